// The template model and its file format: round trips, refused bodies, merges.
#include "platform/report/reportruntime.h"
#include "platform/report/reporttemplate.h"

#include <QtCore/QTemporaryDir>
#include <QtTest/QtTest>

using namespace zr::report;

namespace {

// A template using every feature the format stores.
Template richTemplate() {
  Template t;
  t.title = QStringLiteral("档案借阅单");
  t.type = QStringLiteral("MD");
  t.font = QStringLiteral("黑体");
  t.fontSize = 10.5;
  t.page.setPaper(QStringLiteral("Custom"));
  t.page.width = 241;
  t.page.height = 140;
  t.page.landscape = true;
  t.page.top = 12.5;
  t.page.left = 8;
  t.resize(7, 3);
  t.columns = {30, 55.5, 40};
  for (int b = 0; b < kBandCount; ++b)
    t.rows[b].band = Band(b);
  t.rows[0].height = 12;
  Cell &c = t.cell(0, 0);
  c.text = QStringLiteral("<单位名称>借阅单");
  c.font = QStringLiteral("宋体");
  c.size = 18;
  c.bold = true;
  c.align = HAlign::Center;
  c.valign = VAlign::Bottom;
  if (!t.merge(0, 0, 1, 3))
    qFatal("fixture merge refused");
  t.cell(2, 1).text = QStringLiteral("档案名称");
  t.cell(2, 1).borders = BorderAll;
  t.cell(4, 2).text = QStringLiteral("[借阅人员]");
  t.cell(4, 2).wrap = true;
  t.cell(4, 2).align = HAlign::Right;
  t.cell(4, 2).valign = VAlign::Top;
  t.cell(4, 0).borders = BorderLeft | BorderBottom;
  return t;
}

QByteArray validBody() { return richTemplate().toBytes(); }

// The body with one JSON member replaced, for damaged-body cases.
QByteArray edited(const QString &from, const QString &to) {
  QByteArray b = validBody();
  const QByteArray f = from.toUtf8();
  if (!b.contains(f))
    qFatal("fixture text not found");
  b.replace(b.indexOf(f), f.size(), to.toUtf8());
  return b;
}

} // namespace

class TestReportTemplate : public QObject {
  Q_OBJECT
private slots:
  void roundTripBytesAndFile() {
    const Template t = richTemplate();
    QCOMPARE(Template::fromBytes(t.toBytes()), t);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("BX240501120000"));
    t.save(path);
    QCOMPARE(Template::load(path), t);
    // Text survives as Chinese in the body, not as escapes a reader cannot follow.
    QVERIFY(t.toBytes().contains(QStringLiteral("档案借阅单").toUtf8()));
  }

  void refusesDamagedBody_data() {
    QTest::addColumn<QByteArray>("body");
    const QByteArray good = validBody();
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("not json") << QByteArray("PK\x03\x04 binary");
    QTest::newRow("truncated") << good.left(good.size() / 2);
    QTest::newRow("json array") << QByteArray("[1,2,3]");
    QTest::newRow("other format") << edited(QStringLiteral("zr-grid-report"), QStringLiteral("other"));
    QTest::newRow("newer version") << edited(QStringLiteral("\"version\": 1"), QStringLiteral("\"version\": 2"));
    QTest::newRow("version as text") << edited(QStringLiteral("\"version\": 1"), QStringLiteral("\"version\": \"1\""));
    QTest::newRow("unknown type") << edited(QStringLiteral("\"type\": \"MD\""), QStringLiteral("\"type\": \"X\""));
    QTest::newRow("negative column") << edited(QStringLiteral("55.5"), QStringLiteral("-55.5"));
    QTest::newRow("column as text") << edited(QStringLiteral("55.5"), QStringLiteral("\"wide\""));
    QTest::newRow("unknown band") << edited(QStringLiteral("\"pageFooter\""), QStringLiteral("\"sideBar\""));
    QTest::newRow("cell past last column") << edited(QStringLiteral("\"col\": 2"), QStringLiteral("\"col\": 3"));
    QTest::newRow("merge past grid") << edited(QStringLiteral("\"colSpan\": 3"), QStringLiteral("\"colSpan\": 4"));
    QTest::newRow("merge across bands") << edited(QStringLiteral("\"colSpan\": 3"), QStringLiteral("\"colSpan\": 3, \"rowSpan\": 2"));
    QTest::newRow("bad border") << edited(QStringLiteral("\"borders\": \"LTRB\""), QStringLiteral("\"borders\": \"LX\""));
    QTest::newRow("bold as number") << edited(QStringLiteral("\"bold\": true"), QStringLiteral("\"bold\": 1"));
    QTest::newRow("margins larger than paper") << edited(QStringLiteral("\"top\": 12.5"), QStringLiteral("\"top\": 500"));
    QTest::newRow("no rows") << edited(QStringLiteral("\"rows\""), QStringLiteral("\"rowz\""));
  }
  void refusesDamagedBody() {
    QFETCH(QByteArray, body);
    QVERIFY_THROWS_EXCEPTION(TemplateError, Template::fromBytes(body));
    // A runtime that refused a body keeps the template it had.
    TReportRunTime rt;
    rt.setTemplate(richTemplate());
    QVERIFY_THROWS_EXCEPTION(TemplateError, rt.loadFromStream(body));
    QCOMPARE(rt.report(), richTemplate());
  }

  void overlappingMergesRefused() {
    // Two cells claiming the same cell: the second merge would be drawn over the first.
    Template t;
    t.resize(2, 3);
    t.cell(0, 0).colSpan = 2;
    t.cell(0, 1).colSpan = 2;
    QVERIFY_THROWS_EXCEPTION(TemplateError, Template::fromBytes(t.toBytes()));
  }

  void missingFileNamesThePath() {
    try {
      Template::load(QStringLiteral("/nonexistent/BX1"));
      QFAIL("no error");
    } catch (const TemplateError &e) {
      QVERIFY(e.message().contains(u"/nonexistent/BX1"));
      QVERIFY(e.message().contains(u"没有找到报表模版文件"));
    }
  }

  void mergeAndSplit() {
    Template t;
    t.resize(4, 4);
    t.rows[3].band = Band::PageFooter;
    QVERIFY(!t.merge(2, 0, 2, 1)); // a merge never crosses a band
    QVERIFY(t.merge(0, 0, 2, 2));
    QVERIFY(!t.merge(1, 1, 2, 2)); // partly over the first merge
    QVERIFY(t.merge(0, 0, 3, 3));  // a larger merge swallows it whole
    int r, c;
    t.owner(2, 2, &r, &c);
    QCOMPARE(QPoint(c, r), QPoint(0, 0));
    t.split(1, 2);
    QCOMPARE(t.cell(0, 0).rowSpan, 1);
    QCOMPARE(t.cell(0, 0).colSpan, 1);
    t.owner(2, 2, &r, &c);
    QCOMPARE(QPoint(c, r), QPoint(2, 2));
    QVERIFY(!t.merge(0, 3, 1, 2)); // past the grid
  }

  void unknownMarkersReported() {
    Template t;
    t.resize(1, 6);
    const QStringList texts{QStringLiteral("{档案编号}"), QStringLiteral("{无此字段}"), QStringLiteral("[借阅人员]"),
                            QStringLiteral("[档案编号]"), QStringLiteral("<PageNum/>第<未知函数>"), QStringLiteral("#T1.丢失")};
    for (int c = 0; c < texts.size(); ++c)
      t.cell(0, c).text = texts[c];
    const QStringList unknown = t.unknownMarkers({QStringLiteral("档案编号")}, {QStringLiteral("借阅人员")}, {});
    QCOMPARE(unknown, (QStringList{QStringLiteral("{无此字段}"), QStringLiteral("[档案编号]"), QStringLiteral("<未知函数>"),
                                   QStringLiteral("#T1.丢失")}));
  }
};

QTEST_GUILESS_MAIN(TestReportTemplate)
#include "tst_reporttemplate.moc"
