// The designer and the preview driven as a user would, checked on the template and the pages.
#include "platform/report/reportdesigner.h"
#include "platform/report/reportpreview.h"

#include <QtTest/QtTest>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QTableWidget>

using namespace zr::report;

class TestReportWidgets : public QObject {
  Q_OBJECT
private slots:
  void designerEditsCells() {
    ReportDesigner d;
    Template t;
    t.resize(3, 3);
    t.rows[0].band = Band::ReportHeader;
    d.setReport(t);
    d.grid()->clearSelection();
    d.grid()->setCurrentCell(-1, -1);
    QVERIFY(!d.isCellSelected());
    QVERIFY(!d.putText(QStringLiteral("{档案名称}")));

    d.selectCells(1, 1);
    QVERIFY(d.isCellSelected());
    QVERIFY(d.putText(QStringLiteral("{档案名称}")));
    QCOMPARE(d.report().cell(1, 1).text, QStringLiteral("{档案名称}"));
    QVERIFY(d.isModified());

    // Typing into the grid reaches the template.
    d.grid()->item(2, 0)->setText(QStringLiteral("<PageNum/>"));
    QCOMPARE(d.report().cell(2, 0).text, QStringLiteral("<PageNum/>"));

    // The size box offers the usual sizes with 9 chosen; choosing one sets the selection's size.
    QStringList sizes;
    for (int i = 0; i < d.sizeBox()->count(); ++i)
      sizes << d.sizeBox()->itemText(i);
    QCOMPARE(sizes, (QStringList{u"8"_qs, u"9"_qs, u"10"_qs, u"11"_qs, u"12"_qs, u"14"_qs, u"16"_qs, u"18"_qs, u"20"_qs,
                                 u"22"_qs, u"24"_qs, u"26"_qs, u"28"_qs, u"36"_qs, u"48"_qs, u"72"_qs}));
    d.selectCells(1, 1);
    d.sizeBox()->setCurrentText(QStringLiteral("14"));
    QCOMPARE(d.report().cell(1, 1).size, 14.0);

    // A merge inside a band, and none across bands.
    d.selectCells(0, 0, 2, 2);
    QVERIFY(!d.mergeSelection());
    d.selectCells(1, 0, 2, 3);
    QVERIFY(d.mergeSelection());
    QCOMPARE(d.grid()->columnSpan(1, 0), 3);
    // A merged cell takes the text in its top-left cell, wherever it was clicked.
    d.selectCells(2, 2);
    QVERIFY(d.putText(QStringLiteral("合并")));
    QCOMPARE(d.report().cell(1, 0).text, QStringLiteral("合并"));
    // Moving one row of the merge to another band would split the merge across bands.
    d.selectCells(2, 0);
    d.setRowBand(Band::PageFooter);
    QCOMPARE(d.report().rows[2].band, Band::Detail);
    d.splitSelection();
    QCOMPARE(d.report().cell(1, 0).colSpan, 1);
  }

  void designerDropAndWidths() {
    ReportDesigner d;
    d.resize(800, 600);
    const QRect cell = d.grid()->visualRect(d.grid()->model()->index(2, 1));
    QVERIFY(d.dropEntry(cell.center(), QStringLiteral("档案编号")));
    QCOMPARE(d.report().cell(2, 1).text, QStringLiteral("#T1.档案编号"));
    QVERIFY(!d.dropEntry(QPoint(-5, -5), QStringLiteral("档案编号")));

    // Dragging a column header wider makes the column wider in millimetres.
    const double before = d.report().columns[1];
    d.grid()->horizontalHeader()->resizeSection(1, d.grid()->columnWidth(1) * 2);
    QVERIFY(d.report().columns[1] > before * 1.8);
    // At 200 % the same millimetres take twice the pixels.
    const int px = d.grid()->columnWidth(0);
    d.setZoom(200);
    QVERIFY(qAbs(d.grid()->columnWidth(0) - 2 * px) <= 2);
  }

  void designerStreamsAndMarkers() {
    ReportDesigner d;
    d.selectCells(0, 0);
    d.putText(QStringLiteral("{档案编号}{无此字段}<Date>"));
    const QByteArray body = d.saveToStream();
    ReportDesigner e;
    e.loadFromStream(body);
    QCOMPARE(e.report(), d.report());
    QVERIFY_THROWS_EXCEPTION(TemplateError, e.loadFromStream(QByteArray("{\"format\": 1}")));
    QCOMPARE(e.report(), d.report());
    e.setFieldLists({QStringLiteral("档案编号")}, {});
    QCOMPARE(e.unknownMarkers(), QStringList{QStringLiteral("{无此字段}")});
  }

  void previewNavigatesAndZooms() {
    Template t;
    t.resize(1, 1);
    t.rows[0].height = 100;
    t.cell(0, 0).text = QStringLiteral("{名称}");
    TableSource rows({QStringLiteral("名称")});
    for (int i = 0; i < 5; ++i)
      rows.addRow({QString::number(i)});
    TReportRunTime rt;
    rt.setTemplate(t);
    rt.setDataSet(&rows);
    ReportPreview p(rt.run());
    QCOMPARE(p.pageCount(), 3);
    QCOMPARE(p.statusText(), QStringLiteral("总共3页, 第1页"));
    p.priorPage();
    QCOMPARE(p.currentPage(), 1);
    p.lastPage();
    p.nextPage();
    QCOMPARE(p.currentPage(), 3);
    QCOMPARE(p.statusText(), QStringLiteral("总共3页, 第3页"));
    p.firstPage();
    QCOMPARE(p.currentPage(), 1);
    p.zoomIn();
    QVERIFY(p.zoom() > 1.0);
    p.zoomActual();
    QCOMPARE(p.zoom(), 1.0);
    p.zoomOut();
    QVERIFY(p.zoom() < 1.0);
  }
};

QTEST_MAIN(TestReportWidgets)
#include "tst_reportwidgets.moc"
