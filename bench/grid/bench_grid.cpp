// The grid over a large result: scrolling from the first to the last row, and its totals row,
// beside plain SQLite computing the same aggregates on the same file.
//   bench_grid [rows=1000000] [steps=2000]
// The totals ratio is grid time / plain SQLite time (median of 5); the scroll figure is the
// longest single step against one screen refresh (16.7 ms).
#include "controls/tzrndbgrid.h"
#include "db/installer.h"
#include "platform/dataset/dataset.h"
#include "platform/dataset/datasetmodel.h"
#include "platform/os/settingsstore.h"
#include "platform/sql/database.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QTemporaryDir>
#include <QtWidgets/QApplication>
#include <QtWidgets/QScrollBar>
#include <algorithm>
#include <cstdio>
#include <sqlite3.h>

namespace {

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

void fill(zr::sql::Database &db, int rows) {
  sqlite3 *h = db.handle();
  sqlite3_exec(h, "BEGIN", nullptr, nullptr, nullptr);
  sqlite3_stmt *st = nullptr;
  sqlite3_prepare_v2(h, "INSERT INTO SYS_PRINT_TABLE(PRINT_NAME,TOP_MARGIN,BUTTOM_MARGIN) VALUES(?,?,?)", -1,
                     &st, nullptr);
  for (int i = 0; i < rows; ++i) {
    const QByteArray name = "R" + QByteArray::number(i).rightJustified(8, '0');
    sqlite3_bind_text(st, 1, name.constData(), int(name.size()), SQLITE_TRANSIENT);
    sqlite3_bind_double(st, 2, (i % 1000) / 100.0);
    sqlite3_bind_double(st, 3, (i % 7) * 1.5);
    sqlite3_step(st);
    sqlite3_reset(st);
  }
  sqlite3_finalize(st);
  sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr);
}

} // namespace

int main(int argc, char **argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int rows = argc > 1 ? std::atoi(argv[1]) : 1000000;
  const int steps = argc > 2 ? std::atoi(argv[2]) : 2000;
  QTemporaryDir tmp;
  qputenv("ZR_SETTINGS_FILE", (tmp.path() + u"/ZRSOFTWARE.ini").toLocal8Bit());
  zr::os::SettingsStore store(tmp.path() + u"/ZRSOFTWARE.ini");
  const auto r = zr::db::install(tmp.path() + u"/data", store, tmp.path() + u"/no-seeds");
  if (!r.ok) {
    std::fprintf(stderr, "install failed\n");
    return 1;
  }
  zr::sql::Database db;
  db.open(tmp.path() + u"/data");
  QElapsedTimer t;
  t.start();
  fill(db, rows);
  std::printf("rows: %d (filled in %.1f s)\n", rows, t.elapsed() / 1000.0);

  zr::data::Dataset ds;
  ds.setDatabase(&db);
  ds.setSql(u"SELECT PRINT_NAME,TOP_MARGIN,BUTTOM_MARGIN FROM SYS_PRINT_TABLE"_qs);
  zr::controls::TZRNDBGrid grid;
  zr::fw::TFieldsData name, top, bottom;
  name.FieldName = u"PRINT_NAME"_qs;
  name.Caption = u"名称"_qs;
  name.Width = 12;
  name.FooterKind = u"@Count"_qs;
  top.FieldName = u"TOP_MARGIN"_qs;
  top.Caption = u"上"_qs;
  top.Width = 10;
  top.DataKind = u"N"_qs;
  top.FooterKind = u"@Sum"_qs;
  top.RoundDecimals = u"2"_qs;
  bottom = top;
  bottom.FieldName = u"BUTTOM_MARGIN"_qs;
  bottom.Caption = u"下"_qs;
  grid.SetColumnList({name, top, bottom});
  grid.setDataSource(&ds);
  grid.resize(800, 600);
  grid.show();

  t.restart();
  ds.open();
  app.processEvents();
  std::printf("open and first screen: %.2f ms\n", t.nsecsElapsed() / 1e6);

  // totals: the grid's aggregate statement beside the same aggregates in plain SQLite
  std::vector<double> gridTimes, plainTimes;
  QString gridSum;
  double plainSum = 0;
  for (int i = 0; i < 5; ++i) {
    t.restart();
    grid.RefreshFooter();
    gridTimes.push_back(t.nsecsElapsed() / 1e6);
    gridSum = grid.footerText(1);
    t.restart();
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db.handle(), "SELECT SUM(TOP_MARGIN),SUM(BUTTOM_MARGIN),COUNT(*) FROM SYS_PRINT_TABLE",
                       -1, &st, nullptr);
    sqlite3_step(st);
    plainSum = sqlite3_column_double(st, 0);
    sqlite3_finalize(st);
    plainTimes.push_back(t.nsecsElapsed() / 1e6);
  }
  const double g = median(gridTimes), p = median(plainTimes);
  std::printf("totals: grid %.2f ms (sum %s, count %s, %d walks), plain SQLite %.2f ms (sum %.2f), ratio "
              "%.2f (goal 1.2)\n",
              g, qPrintable(gridSum), qPrintable(grid.footerText(0)), grid.footerWalks, p, plainSum, g / p);

  // scrolling: jump to the end once, then from the first row to the last in equal steps
  t.restart();
  ds.last();
  app.processEvents();
  const double toEnd = t.nsecsElapsed() / 1e6;
  QScrollBar *bar = grid.verticalScrollBar();
  double worst = 0, total = 0;
  for (int i = 0; i <= steps; ++i) {
    t.restart();
    bar->setValue(int(qint64(bar->maximum()) * i / steps));
    grid.viewport()->repaint();
    const double ms = t.nsecsElapsed() / 1e6;
    worst = std::max(worst, ms);
    total += ms;
  }
  std::printf("scroll: jump to last row %.2f ms; %d steps over %d model rows, mean %.3f ms, longest %.2f ms "
              "(screen refresh 16.7 ms, ratio %.2f)\n",
              toEnd, steps, grid.model()->rowCount(), total / (steps + 1), worst, worst / 16.7);
  return 0;
}
