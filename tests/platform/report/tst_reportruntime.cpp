// The runtime on page primitives: markers, pagination, totals, empty ruled rows, master-detail.
#include "platform/report/reportruntime.h"

#include <QtTest/QtTest>

using namespace zr::report;

namespace {

// A4 portrait, 10 mm margins; columns 20/40/30 mm from x = 10.
// Bands: report header 10, page header 5, heading 6, detail 8 (or 8+8), page footer 5,
// report footer 6. The body of a page thus ends at 297 - 10 - 5 = 282.
Template listTemplate(int detailRows = 1) {
  Template t;
  t.page.top = t.page.bottom = t.page.left = t.page.right = 10;
  t.resize(0, 3);
  t.columns = {20, 40, 30};
  auto add = [&](Band b, double h, QStringList texts, unsigned borders = BorderNone) {
    Row r;
    r.band = b;
    r.height = h;
    r.cells.resize(3);
    for (int c = 0; c < texts.size(); ++c) {
      r.cells[c].text = texts[c];
      r.cells[c].borders = borders;
    }
    t.rows.append(r);
  };
  add(Band::ReportHeader, 10, {QStringLiteral("<单位名称>")});
  t.merge(0, 0, 1, 3);
  add(Band::PageHeader, 5, {QStringLiteral("<PageNum/>")});
  add(Band::ColumnHeading, 6, {QStringLiteral("序号"), QStringLiteral("名称"), QStringLiteral("数量")});
  add(Band::Detail, 8, {QStringLiteral("<序号>"), QStringLiteral("{名称}"), QStringLiteral("{数量}")}, BorderAll);
  for (int i = 1; i < detailRows; ++i)
    add(Band::Detail, 8, {QStringLiteral("续")}, BorderAll);
  add(Band::PageFooter, 5, {{}, QStringLiteral("本页合计"), QStringLiteral("<SumPage()>")});
  add(Band::ReportFooter, 6, {{}, QStringLiteral("总计"), QStringLiteral("<Sum()>")});
  return t;
}

TableSource numberedRows(int n) {
  TableSource s({QStringLiteral("名称"), QStringLiteral("数量")});
  for (int i = 1; i <= n; ++i)
    s.addRow({QStringLiteral("档案%1").arg(i), double(i)});
  return s;
}

QStringList textsIn(const Page &p) {
  QStringList out;
  for (const TextBox &t : p.texts)
    out << t.text;
  return out;
}

const TextBox *find(const Page &p, const QString &text) {
  for (const TextBox &t : p.texts)
    if (t.text == text)
      return &t;
  return nullptr;
}

// Serial numbers of the detail rows on a page, in drawing order.
QList<int> serials(const Page &p) {
  QList<int> out;
  for (const TextBox &t : p.texts)
    if (t.rect.x() == 10 && t.rect.height() == 8 && t.text != u"续")
      out << t.text.toInt();
  return out;
}

} // namespace

class TestReportRuntime : public QObject {
  Q_OBJECT
private slots:
  void markers_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("master field") << QStringLiteral("{名称}") << QStringLiteral("档案1");
    QTest::newRow("field in text") << QStringLiteral("名称:{名称}。") << QStringLiteral("名称:档案1。");
    QTest::newRow("dropped field") << QStringLiteral("#T1.名称") << QStringLiteral("档案1");
    QTest::newRow("number field") << QStringLiteral("{数量}") << QStringLiteral("1");
    QTest::newRow("organisation") << QStringLiteral("<单位名称>") << QStringLiteral("某市档案馆");
    QTest::newRow("extra variable") << QStringLiteral("经办:<经办人>") << QStringLiteral("经办:王五");
    QTest::newRow("serial") << QStringLiteral("<序号>") << QStringLiteral("1");
    QTest::newRow("page") << QStringLiteral("第<PageNum>页") << QStringLiteral("第1页");
    QTest::newRow("page of count") << QStringLiteral("<PageNum/>") << QStringLiteral("1/1");
    QTest::newRow("page words") << QStringLiteral("<PageNum->") << QStringLiteral("第1页 共1页");
    QTest::newRow("date") << QStringLiteral("<Date>") << QStringLiteral("2024-05-01");
    QTest::newRow("time") << QStringLiteral("<Time>") << QStringLiteral("14:05:09");
    QTest::newRow("date time") << QStringLiteral("<DateTime>") << QStringLiteral("2024-05-01 14:05:09");
    QTest::newRow("no such field") << QStringLiteral("{无此字段}") << QString();
    QTest::newRow("no such field in text") << QStringLiteral("甲{无此字段}乙") << QStringLiteral("甲乙");
    QTest::newRow("unset variable") << QStringLiteral("<无此变量>") << QString();
    QTest::newRow("unclosed brace is text") << QStringLiteral("{名称") << QStringLiteral("{名称");
  }
  void markers() {
    QFETCH(QString, text);
    QFETCH(QString, expected);
    Template t;
    t.resize(1, 1);
    t.cell(0, 0).text = text;
    TableSource rows = numberedRows(1);
    TReportRunTime rt;
    rt.setTemplate(t);
    rt.addDataSource(QStringLiteral("ArchiveForm.Query"), &rows);
    rt.SetData << QStringLiteral("SetDataSet(M,ArchiveForm.Query);");
    rt.setVariable(QStringLiteral("单位名称"), QStringLiteral("某市档案馆"));
    rt.setVariable(QStringLiteral("经办人"), QStringLiteral("王五"));
    rt.setClock(QDateTime(QDate(2024, 5, 1), QTime(14, 5, 9)));
    const Page p = rt.run().page(0);
    QCOMPARE(textsIn(p), expected.isEmpty() ? QStringList() : QStringList{expected});
  }

  void pagination_data() {
    QTest::addColumn<int>("detailRows");
    QTest::addColumn<int>("records");
    QTest::addColumn<QList<int>>("perPage");
    // Page 1: 282 - 10 (top) - 5 - 10 - 6 = 251 mm for rows; later pages 282 - 10 - 5 - 6 = 261.
    QTest::newRow("one-row band") << 1 << 100 << QList<int>{31, 32, 32, 5};
    QTest::newRow("exactly full pages") << 1 << 63 << QList<int>{31, 32};
    QTest::newRow("two-row band kept whole") << 2 << 40 << QList<int>{15, 16, 9};
    QTest::newRow("no records") << 1 << 0 << QList<int>{0};
  }
  void pagination() {
    QFETCH(int, detailRows);
    QFETCH(int, records);
    QFETCH(QList<int>, perPage);
    TableSource rows = numberedRows(records);
    TReportRunTime rt;
    rt.setTemplate(listTemplate(detailRows));
    rt.setDataSet(&rows);
    const Document doc = rt.run();
    // The report footer does not fit under a full last page: it takes a page of its own.
    const int pages = records == 63 ? 3 : int(perPage.size());
    QCOMPARE(doc.pageCount(), pages);
    int next = 1;
    for (int i = 0; i < doc.pageCount(); ++i) {
      const Page p = doc.page(i);
      const QList<int> s = serials(p);
      QCOMPARE(s.size(), i < perPage.size() ? perPage[i] : 0);
      for (int n : s)
        QCOMPARE(n, next++);
      // The page header, with the page count known from the first page on.
      const TextBox *head = find(p, QString::number(i + 1) % u'/' % QString::number(pages));
      QVERIFY(head);
      QCOMPARE(head->rect.y(), 10.0);
      // Headings repeat above the rows of every page that has rows.
      const TextBox *heading = find(p, QStringLiteral("名称"));
      QCOMPARE(bool(heading), !s.isEmpty() || i == 0);
      for (const TextBox &t : p.texts) {
        if (heading && t.rect.height() == 8)
          QVERIFY(t.rect.top() >= heading->rect.bottom() - 1e-9);
        // Nothing of the body runs into the page footer.
        if (t.text != u"本页合计" && t.rect.height() != 5)
          QVERIFY2(t.rect.bottom() <= 282 + 1e-9, qPrintable(t.text));
      }
      QVERIFY(find(p, QStringLiteral("本页合计")));
    }
    QCOMPARE(next, records + 1);
    QVERIFY(find(doc.page(doc.pageCount() - 1), QStringLiteral("总计")));
  }

  void pageAndReportTotals() {
    TableSource rows = numberedRows(100);
    rows.addRow({QStringLiteral("无数量"), QVariant()}); // a blank number counts as nothing
    TReportRunTime rt;
    rt.setTemplate(listTemplate());
    rt.setDataSet(&rows);
    const Document doc = rt.run();
    const QList<int> sums{496, 1520, 2544, 490};
    for (int i = 0; i < 4; ++i) {
      const Page p = doc.page(i);
      const TextBox *label = find(p, QStringLiteral("本页合计"));
      QVERIFY(label);
      const TextBox *sum = find(p, QString::number(sums[i]));
      QVERIFY2(sum, qPrintable(QString::number(i)));
      QCOMPARE(sum->rect.y(), label->rect.y());
      QCOMPARE(sum->rect.x(), 70.0);
    }
    QVERIFY(find(doc.page(3), QStringLiteral("5050")));
  }

  void decimalTotalsHaveNoBinaryNoise() {
    TableSource rows({QStringLiteral("名称"), QStringLiteral("数量")});
    rows.addRow({QStringLiteral("a"), 0.1});
    rows.addRow({QStringLiteral("b"), QStringLiteral("0.2")});
    TReportRunTime rt;
    rt.setTemplate(listTemplate());
    rt.setDataSet(&rows);
    // Once for the page, once for the report.
    QCOMPARE(textsIn(rt.run().page(0)).count(QStringLiteral("0.3")), 2);
  }

  void addSpaceFillsLastPage() {
    TableSource rows = numberedRows(5);
    TReportRunTime rt;
    rt.setTemplate(listTemplate());
    rt.setDataSet(&rows);
    rt.AddSpace = true;
    const Document doc = rt.run();
    QCOMPARE(doc.pageCount(), 1);
    const Page p = doc.page(0);
    // Left rules of detail rows: 5 with data and empty ones down to the report footer.
    // (251 - 6) / 8 = 30 rows fit above it.
    int ruled = 0;
    double lowest = 0;
    for (const QLineF &l : p.lines)
      if (l.x1() == 10 && l.x2() == 10 && qFuzzyCompare(l.dy(), 8.0)) {
        ++ruled;
        lowest = std::max(lowest, l.y2());
      }
    QCOMPARE(ruled, 30);
    QCOMPARE(serials(p), (QList<int>{1, 2, 3, 4, 5}));
    const TextBox *footer = find(p, QStringLiteral("总计"));
    QVERIFY(footer);
    QVERIFY(footer->rect.top() >= lowest - 1e-9);
    QVERIFY(footer->rect.bottom() <= 282 + 1e-9);

    rt.AddSpace = false;
    int plain = 0;
    for (const QLineF &l : rt.run().page(0).lines)
      plain += l.x1() == 10 && l.x2() == 10 && qFuzzyCompare(l.dy(), 8.0);
    QCOMPARE(plain, 5);
  }

  void masterDetail() {
    Template t;
    t.type = QStringLiteral("MD");
    t.resize(4, 2);
    t.rows[0].band = Band::Detail;
    t.cell(0, 0).text = QStringLiteral("档案名称:{档案名称}");
    t.rows[1].band = Band::ColumnHeading;
    t.cell(1, 0).text = QStringLiteral("借阅人员");
    t.rows[2].band = Band::SubDetail;
    t.cell(2, 0).text = QStringLiteral("[借阅人员]");
    t.cell(2, 1).text = QStringLiteral("[天数]");
    t.rows[3].band = Band::ReportFooter;
    t.cell(3, 1).text = QStringLiteral("<Sum()>");

    TableSource volumes({QStringLiteral("档案名称")});
    volumes.addRow({QStringLiteral("第一卷")});
    volumes.addRow({QStringLiteral("第二卷")});
    volumes.setCurrentRow(1);
    TableSource loans({QStringLiteral("借阅人员"), QStringLiteral("天数")});
    loans.addRow({QStringLiteral("张三"), 3});
    loans.addRow({QStringLiteral("李四"), 4});
    TReportRunTime rt;
    rt.setTemplate(t);
    rt.addDataSource(QStringLiteral("ArchiveForm.Query"), &volumes);
    rt.addDataSource(QStringLiteral("LendForm.Query"), &loans);
    rt.SetData << QStringLiteral("SetDataSet(M,ArchiveForm.Query);") << QStringLiteral("SetDataSet(D,LendForm.Query);");
    const Document doc = rt.run();
    QCOMPARE(doc.pageCount(), 1);
    const Page p = doc.page(0);
    QCOMPARE(textsIn(p), (QStringList{QStringLiteral("档案名称:第二卷"), QStringLiteral("借阅人员"), QStringLiteral("张三"),
                                      QStringLiteral("3"), QStringLiteral("李四"), QStringLiteral("4"), QStringLiteral("7")}));
    // The master block, then the heading above the detail rows.
    QVERIFY(find(p, QStringLiteral("借阅人员"))->rect.y() > find(p, QStringLiteral("档案名称:第二卷"))->rect.y());
    QVERIFY(find(p, QStringLiteral("张三"))->rect.y() > find(p, QStringLiteral("借阅人员"))->rect.y());

    rt.SetData.removeLast();
    QVERIFY_THROWS_EXCEPTION(TemplateError, rt.run());
  }

  void oversizedBlockDoesNotLoop() {
    // A detail band taller than a page is printed cut, one record a page.
    Template t;
    t.resize(1, 1);
    t.rows[0].height = 400;
    t.cell(0, 0).text = QStringLiteral("{名称}");
    TableSource rows = numberedRows(3);
    TReportRunTime rt;
    rt.setTemplate(t);
    rt.setDataSet(&rows);
    QCOMPARE(rt.run().pageCount(), 3);
  }

  void mergedCellSpansColumns() {
    TableSource rows = numberedRows(1);
    TReportRunTime rt;
    rt.setTemplate(listTemplate());
    rt.setDataSet(&rows);
    rt.setVariable(QStringLiteral("单位名称"), QStringLiteral("某市档案馆"));
    const TextBox *org = find(rt.run().page(0), QStringLiteral("某市档案馆"));
    QVERIFY(org);
    QCOMPARE(org->rect, QRectF(10, 15, 90, 10));
  }
};

QTEST_MAIN(TestReportRuntime)
#include "tst_reportruntime.moc"
