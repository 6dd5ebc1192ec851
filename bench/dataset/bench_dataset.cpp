// The dataset and the controller beside plain SQLite doing the same reads on one database.
//   bench_dataset [volumes=1000000]
// open + first screen: a LIMIT 256 page; last row: a keyset window at the end; record count:
// COUNT(*); save of one record: one UPDATE by key. Medians of alternating runs.
#include "bench/common/benchtime.h"
#include "db/installer.h"
#include "framework/zrquery.h"
#include "platform/os/settingsstore.h"
#include "platform/sql/database.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QRandomGenerator>
#include <QtCore/QTemporaryDir>
#include <QtWidgets/QApplication>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>

using namespace zr::sql;

namespace {

using zr::bench::median;
using zr::bench::timeMs;
using zr::bench::timePair;

const QString kChinese = QStringLiteral(
    "档案资料管理系统文书科技会计人事基建设备声像照片实物荣誉证书合同协议通知报告请示批复决定会议纪要");

QString chinese(QRandomGenerator &rng, int n) {
  QString s;
  for (int i = 0; i < n; ++i)
    s += kChinese[rng.bounded(int(kChinese.size()))];
  return s;
}

// Reads up to n rows of a raw statement into text, as a grid would show them.
int rawRows(sqlite3 *db, const char *sql, int n) {
  sqlite3_stmt *st = nullptr;
  sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
  int rows = 0;
  while (rows < n && sqlite3_step(st) == SQLITE_ROW) {
    for (int c = 0; c < sqlite3_column_count(st); ++c)
      if (sqlite3_column_type(st, c) == SQLITE_TEXT)
        QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, c)),
                          sqlite3_column_bytes(st, c));
    ++rows;
  }
  sqlite3_finalize(st);
  return rows;
}

void report(const char *what, double e, double r, double goal) {
  std::printf("%-28s dataset %9.3f ms   sqlite %9.3f ms   ratio %6.2f", what, e, r, e / r);
  if (goal > 0)
    std::printf("  %s %.1f", e / r <= goal ? "(goal met:" : "(goal MISSED:", goal), std::printf(")");
  std::printf("\n");
  std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int volumes = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 1000000;
  QTemporaryDir tmp;
  zr::os::SettingsStore store(tmp.path() + u"/settings.ini");
  if (!zr::db::install(tmp.path() + u"/data", store, tmp.path() + u"/none").ok)
    return 1;
  Database db;
  db.open(tmp.path() + u"/data");
  sqlite3 *raw = db.handle();
  {
    QRandomGenerator rng(7);
    sqlite3_exec(raw, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(
        raw,
        "INSERT INTO ZR_ARCHIVE_MASTER_TABLE(ARCHIVE_RECORD_ID,ARCHIVE_TYPE_ID,ARCHIVE_ID,ARCHIVE_NAME,"
        "TEXT_FIELD1,TEXT_FIELD2,TEXT_FIELD3,TEXT_FIELD4,TEXT_FIELD11,TEXT_FIELD12,TEXT_NOTE,NUMBER_FIELD1,"
        "DATE_FIELD1) VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?)",
        -1, &st, nullptr);
    for (int i = 0; i < volumes; ++i) {
      const QList<QByteArray> v{(u"A" + QString::number(i).rightJustified(12, u'0')).toUtf8(),
                                QByteArrayLiteral("201003"),
                                (u"2024" + QString::number(i).rightJustified(6, u'0')).toUtf8(),
                                chinese(rng, 40).toUtf8(),
                                chinese(rng, 20).toUtf8(),
                                chinese(rng, 20).toUtf8(),
                                chinese(rng, 20).toUtf8(),
                                chinese(rng, 20).toUtf8(),
                                chinese(rng, 70).toUtf8(),
                                chinese(rng, 70).toUtf8(),
                                chinese(rng, 110).toUtf8()};
      for (int k = 0; k < v.size(); ++k)
        sqlite3_bind_text(st, k + 1, v[k].constData(), int(v[k].size()), SQLITE_TRANSIENT);
      sqlite3_bind_double(st, 12, i * 0.25);
      sqlite3_bind_text(st, 13, "2024-03-05", -1, SQLITE_STATIC);
      sqlite3_step(st);
      sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_exec(raw, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_exec(raw, "ANALYZE", nullptr, nullptr, nullptr);
  }
  std::printf("%d volumes, %.0f MB\n", volumes, QFileInfo(db.filePath()).size() / 1048576.0);
  const QString sql = u"SELECT * FROM ZR_ARCHIVE_MASTER_TABLE ORDER BY ARCHIVE_ID"_qs;
  const int runs = 9;
  {
    auto [e, r] = timePair(
        runs,
        [&] {
          zr::fw::TZRQuery q;
          q.setDatabase(&db);
          q.setSql(sql);
          q.OpenData();
          for (qint64 i = 0; i < 40; ++i) // a first screen of forty rows, every column
            for (int c = 0; c < q.fieldCount(); ++c)
              q.valueAt(i, c);
        },
        [&] {
          rawRows(raw, "SELECT *, rowid FROM ZR_ARCHIVE_MASTER_TABLE ORDER BY ARCHIVE_ID, rowid LIMIT 256",
                  256);
        });
    report("open + first screen", e, r, 1.2);
  }
  {
    zr::fw::TZRQuery q;
    auto [e, r] = timePair(
        runs,
        [&] {
          q.close();
          q.setDatabase(&db);
          q.setSql(sql);
          q.OpenData();
          q.last();
        },
        [&] {
          rawRows(
              raw,
              "SELECT *, rowid FROM ZR_ARCHIVE_MASTER_TABLE ORDER BY ARCHIVE_ID DESC, rowid DESC LIMIT 256",
              256);
        });
    // the open is part of the dataset side: take its own cost off
    auto [open, none] = timePair(
        runs,
        [&] {
          q.close();
          q.OpenData();
        },
        [] {});
    report("last row", e - open, r, 2.0);
    std::printf("  (last row including the open: %.3f ms)\n", e);
  }
  {
    zr::fw::TZRQuery q;
    q.setDatabase(&db);
    q.setSql(sql);
    q.OpenData();
    auto [e, r] = timePair(
        runs,
        [&] {
          q.close();
          q.OpenData();
          q.recordCount();
        },
        [&] {
          sqlite3_stmt *st = nullptr;
          sqlite3_prepare_v2(raw, "SELECT COUNT(*) FROM ZR_ARCHIVE_MASTER_TABLE", -1, &st, nullptr);
          sqlite3_step(st);
          sqlite3_finalize(st);
        });
    report("record count (with open)", e, r, 0);
  }
  {
    zr::fw::TZRQuery q;
    q.setDatabase(&db);
    q.setTableName(u"ZR_ARCHIVE_MASTER_TABLE"_qs, true);
    q.setSql(sql);
    q.setUpdateObject(
        {{},
         u"UPDATE ZR_ARCHIVE_MASTER_TABLE SET ARCHIVE_NAME = :ARCHIVE_NAME WHERE ARCHIVE_RECORD_ID = :OLD_ARCHIVE_RECORD_ID"_qs,
         {}});
    q.OpenData();
    int n = 0;
    auto [e, r] = timePair(
        runs,
        [&] {
          q.EditRecord();
          q.fieldByName(u"ARCHIVE_NAME"_qs)->setValue(QString(u"改名" + QString::number(++n)));
          q.SaveRecord();
        },
        [&] {
          const QByteArray s = "UPDATE ZR_ARCHIVE_MASTER_TABLE SET ARCHIVE_NAME = 'x" +
                               QByteArray::number(++n) + "' WHERE ARCHIVE_RECORD_ID = 'A000000000001'";
          sqlite3_exec(raw, s.constData(), nullptr, nullptr, nullptr);
        });
    report("save of one record", e, r, 0);
  }
  {
    zr::fw::TZRQuery q;
    q.setDatabase(&db);
    q.setSql(sql);
    q.OpenData();
    for (int i = 0; i < 20; ++i)
      q.fetchMore(256);
    const double mem = double(q.cacheMemoryBytes()), values = double(q.cacheValueBytes());
    std::printf("cached rows: %lld, memory %.0f KB for %.0f KB of values: %.2f times %s\n", q.fetchedCount(),
                mem / 1024, values / 1024, mem / values,
                mem / values <= 1.5 ? "(goal 1.5 met)" : "(goal 1.5 MISSED)");
  }
  return 0;
}
