// N records through a single-table template to PDF, beside a bare loop drawing the same strings
// and cell borders into the same PDF writer; and the time to the first preview page.
// Usage: bench_report [records]   (default 10000)
#include "platform/report/pagepainter.h"
#include "platform/report/reportruntime.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QTemporaryDir>
#include <QtGui/QGuiApplication>
#include <QtGui/QPageSize>
#include <QtGui/QPainter>
#include <QtGui/QPdfWriter>
#include <cstdio>

using namespace zr::report;

namespace {

Template listTemplate() {
  Template t;
  t.resize(3, 4);
  t.columns = {15, 40, 80, 45};
  t.rows[0].band = Band::ColumnHeading;
  t.rows[1].band = Band::Detail;
  t.rows[2].band = Band::PageFooter;
  const QStringList head{QStringLiteral("序号"), QStringLiteral("档案编号"), QStringLiteral("档案名称"), QStringLiteral("档案备注")};
  const QStringList body{QStringLiteral("<序号>"), QStringLiteral("{档案编号}"), QStringLiteral("{档案名称}"), QStringLiteral("{档案备注}")};
  for (int c = 0; c < 4; ++c) {
    t.cell(0, c).text = head[c];
    t.cell(0, c).borders = BorderAll;
    t.cell(1, c).text = body[c];
    t.cell(1, c).borders = BorderAll;
  }
  t.cell(2, 0).text = QStringLiteral("<PageNum->");
  t.merge(2, 0, 1, 4);
  return t;
}

} // namespace

int main(int argc, char **argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const int n = argc > 1 ? std::max(1, atoi(argv[1])) : 10000;
  TableSource rows({QStringLiteral("档案编号"), QStringLiteral("档案名称"), QStringLiteral("档案备注")});
  for (int i = 0; i < n; ++i)
    rows.addRow({QStringLiteral("2024%1").arg(i, 6, 10, QLatin1Char('0')), QStringLiteral("第%1卷 市政府工作会议纪要").arg(i + 1),
                 i % 3 ? QStringLiteral("永久保存") : QString()});
  QTemporaryDir dir;
  TReportRunTime rt;
  rt.setTemplate(listTemplate());
  rt.setDataSet(&rows);

  // Warm the font cache so neither run pays for it.
  {
    const Document warm = rt.run();
    writePdf(warm, dir.filePath(QStringLiteral("warm.pdf")));
  }

  QElapsedTimer timer;
  timer.start();
  const Document first = rt.run();
  const Page p1 = first.page(0);
  const double firstPage = timer.nsecsElapsed() / 1e9;

  timer.restart();
  const Document doc = rt.run();
  if (!writePdf(doc, dir.filePath(QStringLiteral("report.pdf"))))
    return 1;
  const double report = timer.nsecsElapsed() / 1e9;

  // The bare loop: the pages' strings and rules laid out by hand into the same writer.
  timer.restart();
  {
    QPdfWriter writer(dir.filePath(QStringLiteral("bare.pdf")));
    writer.setResolution(600);
    writer.setPageSize(QPageSize(QSizeF(210, 297), QPageSize::Millimeter));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter(&writer);
    const double k = writer.resolution() / 25.4;
    QPen pen(Qt::black);
    pen.setWidthF(std::max(1.0, 0.2 * k));
    painter.setPen(pen);
    QFont font(resolveFontFamily(QStringLiteral("宋体")));
    font.setPointSizeF(9 * 25.4 / 72.0 * k * 72.0 / painter.device()->logicalDpiY());
    painter.setFont(font);
    const double xs[5] = {15, 30, 70, 150, 195};
    const double rowH = 6, top = 15, bottom = 297 - 15 - 6;
    const int perPage = int((bottom - top) / rowH) - 1;
    const int pages = (n + perPage - 1) / perPage;
    const QStringList head{QStringLiteral("序号"), QStringLiteral("档案编号"), QStringLiteral("档案名称"), QStringLiteral("档案备注")};
    auto rowOut = [&](double y, const QStringList &cells) {
      QList<QLineF> lines;
      for (int c = 0; c < 4; ++c) {
        const QRectF r(xs[c] * k, y * k, (xs[c + 1] - xs[c]) * k, rowH * k);
        lines << QLineF(r.topLeft(), r.topRight()) << QLineF(r.bottomLeft(), r.bottomRight())
              << QLineF(r.topLeft(), r.bottomLeft()) << QLineF(r.topRight(), r.bottomRight());
        if (!cells[c].isEmpty())
          painter.drawText(r.adjusted(0.8 * k, 0, -0.8 * k, 0), Qt::AlignLeft | Qt::AlignVCenter, cells[c]);
      }
      painter.drawLines(lines);
    };
    for (int pg = 0; pg < pages; ++pg) {
      if (pg)
        writer.newPage();
      rowOut(top, head);
      for (int i = pg * perPage, j = 0; i < std::min(n, (pg + 1) * perPage); ++i, ++j)
        rowOut(top + rowH * (j + 1), {QString::number(i + 1), rows.value(i, 0).toString(), rows.value(i, 1).toString(),
                                      rows.value(i, 2).toString()});
      painter.drawText(QRectF(15 * k, bottom * k, 180 * k, rowH * k), Qt::AlignLeft | Qt::AlignVCenter,
                       u"第" % QString::number(pg + 1) % u"页 共" % QString::number(pages) % u"页");
    }
  }
  const double bare = timer.nsecsElapsed() / 1e9;

  std::printf("records            %d (%d pages)\n", n, doc.pageCount());
  std::printf("first preview page %.4f s (goal 0.2 s), %lld texts\n", firstPage, (long long)p1.texts.size());
  std::printf("report to PDF      %.3f s, %.0f records/s\n", report, n / report);
  std::printf("bare loop to PDF   %.3f s, %.0f records/s\n", bare, n / bare);
  std::printf("ratio              %.2f (goal 1.3)\n", report / bare);
  return 0;
}
