#include "controls/tzrndbgrid.h"
#include "framework/zrquery.h"
#include "platform/dataset/datasetmodel.h"
#include "platform/ui/prompter.h"
#include "tests/support/testenv.h"

#include <QtTest/QAbstractItemModelTester>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QHeaderView>

using namespace zr::controls;
using zr::fw::TFieldsData;
using zr::fw::TZRQuery;

namespace {
constexpr char16_t kLayout[] = u"SYS_ARCHIVE_DBGRID_TABLE";

TFieldsData col(const QString &name, const QString &caption, int width, const QString &kind = u"C"_qs) {
  TFieldsData f;
  f.FieldName = name;
  f.Caption = caption;
  f.Width = width;
  f.DataKind = kind;
  return f;
}
} // namespace

class TestGrid : public QObject {
  Q_OBJECT
  std::unique_ptr<zr::test::TestEnv> m_env;
  zr::sql::Database *m_db = nullptr;
  std::unique_ptr<zr::ui::ScriptedPrompterGuard> m_prompts;

  // A window's grid over the category table: name, order number (totalled) and note.
  struct Window {
    std::unique_ptr<TZRQuery> query;
    std::unique_ptr<TZRNDBGrid> grid;
  };
  Window open(const QString &user, const QString &form = u"TArchiveTypeForm"_qs, bool withOrder = false) {
    Window w;
    w.query = std::make_unique<TZRQuery>();
    w.query->setDatabase(m_db);
    w.query->setTableName(u"ZR_ARCHIVE_TYPE_TABLE"_qs);
    w.grid = std::make_unique<TZRNDBGrid>();
    w.grid->setObjectName(u"DBGrid1"_qs);
    w.grid->LayoutTable = QString::fromUtf16(kLayout);
    w.grid->LayoutUserId = user;
    w.grid->LayoutFormName = form;
    w.grid->LayoutWithOrder = withOrder;
    TFieldsData order = col(u"ORDER_ID"_qs, u"序号"_qs, 6, u"N"_qs);
    order.FooterKind = u"@Sum"_qs;
    TFieldsData name = col(u"ARCHIVE_TYPE_NAME"_qs, u"档案类别"_qs, 20);
    name.FooterKind = u"@Count"_qs;
    name.FooterFormat = u"共%d类"_qs;
    TFieldsData note = col(u"NOTE"_qs, u"备注"_qs, 30);
    note.FooterKind = u"合计"_qs;
    w.grid->SetColumnList({order, name, note, col(u"ARCHIVE_TYPE_ID"_qs, u"记录编号"_qs, 12)});
    w.grid->setDataSource(w.query.get());
    w.grid->resize(700, 300);
    w.query->OpenData();
    return w;
  }
  int width(Window &w, const char16_t *field) {
    return w.grid->columnWidth(w.grid->columnOf(QString::fromUtf16(field)));
  }
  bool hidden(Window &w, const char16_t *field) {
    return w.grid->isColumnHidden(w.grid->columnOf(QString::fromUtf16(field)));
  }
  int savedRows(const QString &user) {
    zr::sql::Query q(*m_db, u"SELECT COUNT(*) FROM SYS_ARCHIVE_DBGRID_TABLE WHERE USE_ID = '" + user + u"'");
    q.next();
    return q.value(0).toInt();
  }
  void resize(Window &w, const char16_t *field, int px) {
    w.grid->horizontalHeader()->resizeSection(w.grid->columnOf(QString::fromUtf16(field)), px);
  }

private slots:
  void init() {
    m_env = std::make_unique<zr::test::TestEnv>();
    m_db = &m_env->installAndOpen();
    m_prompts = std::make_unique<zr::ui::ScriptedPrompterGuard>();
    m_db->exec(
        u"INSERT INTO ZR_ARCHIVE_TYPE_TABLE(ARCHIVE_TYPE_ID,ARCHIVE_TYPE_NAME,ORDER_ID,PRIOR_ID,NOTE) VALUES"
        u"('201','文书档案',1,'G001','x'),('202','科技档案',2,'G001',NULL),('203','会计档案',4,'G001',NULL)"_qs);
  }
  void cleanup() {
    m_prompts.reset();
    m_env.reset();
  }

  void columnsFromTheColumnList() {
    Window w = open(u"u1"_qs);
    QAbstractItemModelTester tester(w.grid->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    const int name = w.grid->columnOf(u"ARCHIVE_TYPE_NAME"_qs);
    QCOMPARE(w.grid->model()->headerData(name, Qt::Horizontal).toString(), u"档案类别"_qs);
    QCOMPARE(width(w, u"ARCHIVE_TYPE_NAME"), TZRNDBGrid::pixelsOf(20));
    QVERIFY(hidden(w, u"PRIOR_ID")); // not in the list
    QVERIFY(!hidden(w, u"NOTE"));
    QCOMPARE(w.grid->selectionBehavior(), QAbstractItemView::SelectRows);
  }

  void savedLayoutBelongsToUserAndForm() {
    {
      Window w = open(u"u1"_qs);
      resize(w, u"ARCHIVE_TYPE_NAME", 250);
      w.grid->SaveLayout();
    }
    Window same = open(u"u1"_qs);
    QCOMPARE(width(same, u"ARCHIVE_TYPE_NAME"), 250);
    Window other = open(u"u2"_qs);
    QCOMPARE(width(other, u"ARCHIVE_TYPE_NAME"), TZRNDBGrid::pixelsOf(20));
    Window otherForm = open(u"u1"_qs, u"TOtherForm"_qs);
    QCOMPARE(width(otherForm, u"ARCHIVE_TYPE_NAME"), TZRNDBGrid::pixelsOf(20));
  }

  // A quote in a user's number must not break the statements.
  void userTextIsQuoted() {
    {
      Window w = open(u"o'k"_qs);
      resize(w, u"NOTE", 300);
      w.grid->SaveLayout();
    }
    Window again = open(u"o'k"_qs);
    QCOMPARE(width(again, u"NOTE"), 300);
  }

  void widthTolerance_data() {
    QTest::addColumn<int>("chars");
    QTest::addColumn<int>("saved");
    QTest::newRow("wide column, one character more: kept") << 21 << 0;
    QTest::newRow("wide column, two characters more: saved") << 22 << 1;
    QTest::newRow("narrow column, one character more: saved") << 8 << 1;
  }
  void widthTolerance() {
    QFETCH(int, chars);
    QFETCH(int, saved);
    {
      Window w = open(u"u1"_qs);
      resize(w, u"ARCHIVE_TYPE_NAME", TZRNDBGrid::pixelsOf(20));
      w.grid->SaveLayout(); // nothing changed beyond the declared width
    }
    QCOMPARE(savedRows(u"u1"_qs), 0);
    {
      Window w = open(u"u1"_qs);
      resize(w, u"ARCHIVE_TYPE_NAME", TZRNDBGrid::pixelsOf(7)); // a first saved width
      w.grid->SaveLayout();
    }
    {
      Window w = open(u"u1"_qs);
      resize(w, u"ARCHIVE_TYPE_NAME", TZRNDBGrid::pixelsOf(chars == 8 ? 7 : 20));
      w.grid->SaveLayout();
    }
    const int base = TZRNDBGrid::pixelsOf(chars == 8 ? 7 : 20);
    Window w = open(u"u1"_qs);
    resize(w, u"ARCHIVE_TYPE_NAME", TZRNDBGrid::pixelsOf(chars));
    w.grid->SaveLayout();
    Window back = open(u"u1"_qs);
    QCOMPARE(width(back, u"ARCHIVE_TYPE_NAME"), saved ? TZRNDBGrid::pixelsOf(chars) : base);
  }

  void narrowedColumnsNextTime() {
    {
      Window w = open(u"u1"_qs);
      resize(w, u"NOTE", 6);
      resize(w, u"ORDER_ID", 6); // a totals column
      w.grid->SaveLayout();
    }
    Window w = open(u"u1"_qs);
    QVERIFY(hidden(w, u"NOTE"));
    QVERIFY(!hidden(w, u"ORDER_ID"));
    QCOMPARE(width(w, u"ORDER_ID"), 0);
    zr::sql::Query q(*m_db, u"SELECT COUNT(*) FROM SYS_ARCHIVE_DBGRID_TABLE WHERE FIELD_NAME = 'NOTE'"_qs);
    q.next();
    QCOMPARE(q.value(0).toInt(), 0);
  }

  void restoreDefaultStopsLaterSaves() {
    {
      Window w = open(u"u1"_qs);
      resize(w, u"NOTE", 300);
      w.grid->SaveLayout();
    }
    QCOMPARE(savedRows(u"u1"_qs), 1);
    Window w = open(u"u1"_qs);
    w.grid->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.grid.get()));
    m_prompts->get().queueAnswer(zr::ui::Answer::Yes);
    QTest::mouseClick(w.grid->viewport(), Qt::RightButton, {}, QPoint(20, 10));
    QCOMPARE(m_prompts->get().texts(),
             (QStringList{u"是否恢复默认显示设置 ?"_qs, u"请关闭窗口后再重新打开"_qs}));
    QCOMPARE(savedRows(u"u1"_qs), 0);
    resize(w, u"NOTE", 400);
    w.grid->SaveLayout();
    QCOMPARE(savedRows(u"u1"_qs), 0);
    Window again = open(u"u1"_qs);
    QCOMPARE(width(again, u"NOTE"), TZRNDBGrid::pixelsOf(30));
  }

  void declinedRestoreKeepsTheLayout() {
    {
      Window w = open(u"u1"_qs);
      resize(w, u"NOTE", 300);
      w.grid->SaveLayout();
    }
    Window w = open(u"u1"_qs);
    m_prompts->get().queueAnswer(zr::ui::Answer::No);
    w.grid->RestoreDefaultLayout();
    QCOMPARE(savedRows(u"u1"_qs), 1);
    QVERIFY(!w.grid->RestoreRequested);
  }

  void forgetForAllUsersAndDeleteOneColumn() {
    for (const QString &u : {u"u1"_qs, u"u2"_qs}) {
      Window w = open(u);
      resize(w, u"NOTE", 300);
      resize(w, u"ARCHIVE_TYPE_NAME", 300);
      w.grid->SaveLayout();
    }
    Window w = open(u"u1"_qs);
    w.grid->DeleteSavedColumn(u"NOTE"_qs);
    QCOMPARE(savedRows(u"u1"_qs), 1);
    w.grid->ForgetLayoutOfAllUsers();
    QCOMPARE(savedRows(u"u1"_qs) + savedRows(u"u2"_qs), 0);
    QVERIFY(w.grid->RestoreRequested);
  }

  void columnOrderIsRemembered() {
    {
      Window w = open(u"u1"_qs, u"TArchiveTypeForm"_qs, true);
      QHeaderView *h = w.grid->horizontalHeader();
      h->moveSection(h->visualIndex(w.grid->columnOf(u"NOTE"_qs)), 0);
      w.grid->SaveLayout();
    }
    Window w = open(u"u1"_qs, u"TArchiveTypeForm"_qs, true);
    QCOMPARE(w.grid->horizontalHeader()->visualIndex(w.grid->columnOf(u"NOTE"_qs)), 0);
  }

  void footersFromOneAggregateStatement() {
    Window w = open(u"u1"_qs);
    QCOMPARE(w.grid->footerText(w.grid->columnOf(u"ORDER_ID"_qs)), u"7"_qs);
    QCOMPARE(w.grid->footerText(w.grid->columnOf(u"ARCHIVE_TYPE_NAME"_qs)), u"共3类"_qs);
    QCOMPARE(w.grid->footerText(w.grid->columnOf(u"NOTE"_qs)), u"合计"_qs);
    QCOMPARE(w.grid->footerAlignment(w.grid->columnOf(u"ORDER_ID"_qs)), Qt::AlignRight);
    QCOMPARE(w.grid->footerAlignment(w.grid->columnOf(u"NOTE"_qs)), Qt::AlignLeft);
    QVERIFY(w.grid->footerStatements > 0);
    QCOMPARE(w.grid->footerWalks, 0);
    // a change still in the cache is counted from the rows
    w.query->DeferWrite = true;
    w.query->EditRecord();
    w.query->fieldByName(u"ORDER_ID"_qs)->setValue(10);
    QVERIFY(w.query->SaveRecord());
    QCOMPARE(w.grid->footerText(w.grid->columnOf(u"ORDER_ID"_qs)), u"16"_qs);
  }

  void footerRounding_data() {
    QTest::addColumn<QString>("word");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("shown");
    QTest::newRow("五舍六入, 5 goes down") << u"五舍六入"_qs << 2.15 << u"2.1"_qs;
    QTest::newRow("五舍六入, 6 goes up") << u"五舍六入"_qs << 2.16 << u"2.2"_qs;
    QTest::newRow("三舍四入, 4 goes up") << u"三舍四入"_qs << 2.14 << u"2.2"_qs;
    QTest::newRow("三舍四入, 3 goes down") << u"三舍四入"_qs << 2.13 << u"2.1"_qs;
    QTest::newRow("二舍三入, 3 goes up") << u"二舍三入"_qs << 2.13 << u"2.2"_qs;
    QTest::newRow("一舍二入, 2 goes up") << u"一舍二入"_qs << 2.12 << u"2.2"_qs;
    QTest::newRow("一舍二入, 1 goes down") << u"一舍二入"_qs << 2.11 << u"2.1"_qs;
    QTest::newRow("other word, half up") << u"四舍五入"_qs << 2.15 << u"2.2"_qs;
  }
  void footerRounding() {
    QFETCH(QString, word);
    QFETCH(double, value);
    QFETCH(QString, shown);
    m_db->exec(u"INSERT INTO SYS_PRINT_TABLE(PRINT_NAME,TOP_MARGIN) VALUES('a'," + QString::number(value) +
               u")");
    zr::data::Dataset ds;
    ds.setDatabase(m_db);
    ds.setSql(u"SELECT PRINT_NAME,TOP_MARGIN FROM SYS_PRINT_TABLE"_qs);
    TZRNDBGrid grid;
    TFieldsData top = col(u"TOP_MARGIN"_qs, u"上边距"_qs, 8, u"N"_qs);
    top.FooterKind = u"@Sum"_qs;
    top.RoundDecimals = u"1"_qs;
    top.RoundWord = word;
    grid.SetColumnList({col(u"PRINT_NAME"_qs, u"名称"_qs, 10), top});
    grid.setDataSource(&ds);
    ds.open();
    QCOMPARE(grid.footerText(1), shown);
  }

  void rowColouredByTheWindow() {
    Window w = open(u"u1"_qs);
    w.grid->OnApplyCellAttr = [](TZRNDBGrid *g, zr::data::Field *, CellAttr &a, qint64 row, QStyle::State) {
      if (g->dataset()->valueAt(row, g->columnOf(u"ARCHIVE_TYPE_ID"_qs)).toString() == u"202")
        a.background = QColor(255, 0, 0);
    };
    w.grid->setCurrentIndex({});
    w.grid->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.grid.get()));
    const QImage img = w.grid->viewport()->grab().toImage();
    const int nameCol = w.grid->columnOf(u"NOTE"_qs);
    auto pixel = [&](int row) {
      const QRect r = w.grid->visualRect(w.grid->model()->index(row, nameCol));
      return img.pixelColor(r.right() - 3, r.center().y());
    };
    QCOMPARE(pixel(1), QColor(255, 0, 0));
    QVERIFY(pixel(2) != QColor(255, 0, 0));
  }
};

QTEST_MAIN(TestGrid)
#include "tst_grid.moc"
