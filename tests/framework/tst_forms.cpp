#include "controls/tzrndbgrid.h"
#include "controls/zredits.h"
#include "db/globals.h"
#include "framework/forms/tzrapppopform.h"
#include "framework/forms/tzrbasepopeditshowform.h"
#include "framework/forms/tzrdform.h"
#include "framework/forms/tzrpagecontrol.h"
#include "framework/zrdatasource.h"
#include "framework/zrquery.h"
#include "platform/ui/prompter.h"
#include "tests/support/testenv.h"

#include <QtGui/QInputMethodEvent>
#include <QtTest/QSignalSpy>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QFormLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QTabBar>
#include <QtWidgets/QToolButton>

using namespace zr::fw;
using zr::controls::TZRDBComboEdit;
using zr::controls::TZRDBEdit;

namespace {

const QString kSql = u"SELECT * FROM SYS_COMPANY_TABLE ORDER BY COMPANY_ID"_qs;
const zr::data::UpdateObject kUpdate{
    {},
    u"UPDATE SYS_COMPANY_TABLE SET COMPANY_ID = :COMPANY_ID, COMPANY_NAME = :COMPANY_NAME, COMPANY_ADDRESS = "
    u":COMPANY_ADDRESS, COMPANY_PHONE = :COMPANY_PHONE WHERE COMPANY_ID = :OLD_COMPANY_ID"_qs,
    u"DELETE FROM SYS_COMPANY_TABLE WHERE COMPANY_ID = :OLD_COMPANY_ID"_qs};

void declare(TZRQuery *q) {
  q->setTableName(u"SYS_COMPANY_TABLE"_qs);
  q->setSql(kSql);
  q->setUpdateObject(kUpdate);
  TFieldsData id;
  id.FieldName = u"COMPANY_ID"_qs;
  id.Caption = u"单位编号"_qs;
  id.DataKind = u"C"_qs;
  id.Required = true;
  TFieldsData name = id;
  name.FieldName = u"COMPANY_NAME"_qs;
  name.Caption = u"单位名称"_qs;
  q->SetColumnList({id, name});
}

// The organisation window as a derived window declares it: its table, its program, its editors.
class OrgForm : public TZRDForm {
public:
  TZRDBEdit *id, *name, *address;
  TZRDBComboEdit *phone;
  QPlainTextEdit *memo;
  zr::controls::TZRNDBGrid *grid;
  int selects = 0;
  bool takeSelect = false;

  explicit OrgForm(QWidget *owner) : TZRDForm(owner) {
    setWindowTitle(u"单位名称录入编辑"_qs);
    ProgramGroup = u"档案管理"_qs;
    ProgramName = u"单位名称录入编辑"_qs;
    declare(Query);
    auto *form = new QFormLayout(Panel1);
    auto edit = [&](const char *objName, const QString &field, const QString &caption) {
      auto *e = new TZRDBEdit(Panel1);
      e->setObjectName(QString::fromLatin1(objName));
      e->setDataSource(Query, field);
      form->addRow(caption, e);
      return e;
    };
    id = edit("id", u"COMPANY_ID"_qs, u"单位编号"_qs);
    name = edit("name", u"COMPANY_NAME"_qs, u"单位名称"_qs);
    address = edit("address", u"COMPANY_ADDRESS"_qs, u"单位地址"_qs);
    phone = new TZRDBComboEdit(Panel1);
    phone->setObjectName(u"phone"_qs);
    phone->setDataSource(Query, u"COMPANY_PHONE"_qs);
    phone->OnSelect = [this](QObject *, bool &handled) {
      ++selects;
      handled = takeSelect;
    };
    form->addRow(u"联系电话"_qs, phone);
    memo = new QPlainTextEdit(Panel1);
    memo->setObjectName(u"memo"_qs);
    form->addRow(u"备注"_qs, memo);
    grid = new zr::controls::TZRNDBGrid(Panel1);
    grid->setObjectName(u"grid"_qs);
    grid->setDataSource(Query);
    form->addRow(grid);
    resize(720, 480);
  }
};

struct Rights {
  QString add, print;
};

} // namespace

class TestForms : public QObject {
  Q_OBJECT
  std::unique_ptr<zr::test::TestEnv> m_env;
  zr::sql::Database *m_db = nullptr;
  std::unique_ptr<zr::ui::ScriptedPrompterGuard> m_prompts;
  std::unique_ptr<QWidget> m_main;

  QStringList said() { return m_prompts->get().texts(); }
  QStringList rows(const QString &sql) { return zr::test::rows(*m_db, sql); }
  void grant(const QString &add, const QString &print) {
    m_db->exec(u"INSERT INTO SYS_RIGHT_TABLE(USE_ID,COMPOSE_ID,PROGRAM_ID,ADD_RIGHT,EDIT_RIGHT,DELETE_RIGHT,"
               u"BROWSE_RIGHT,PRINT_RIGHT,VERIFY_RIGHT,CURRENCY_RIGHT) VALUES('U01',1,7,'"_qs %
               add % u"','是','是','是','"_qs % print % u"','是','是')"_qs);
  }
  void addCompany(const QString &id, const QString &name) {
    m_db->exec(u"INSERT INTO SYS_COMPANY_TABLE(COMPANY_ID,COMPANY_NAME) VALUES('"_qs % id % u"','"_qs % name %
               u"')"_qs);
  }
  // A shown organisation window, every right granted, its query open and the focus in the number edit.
  OrgForm *openForm() {
    grant(u"是"_qs, u"是"_qs);
    auto *f = new OrgForm(m_main.get());
    f->Query->OpenData();
    f->show();
    QApplication::setActiveWindow(f);
    f->id->setFocus();
    return f;
  }
  static void press(int key) { QTest::keyClick(QApplication::focusWidget(), Qt::Key(key)); }

private slots:
  void init() {
    m_env = std::make_unique<zr::test::TestEnv>();
    m_db = &m_env->installAndOpen();
    zr::sql::Database::registerNamed(QString::fromUtf16(zr::sql::kDatabaseName), m_db);
    m_prompts = std::make_unique<zr::ui::ScriptedPrompterGuard>();
    zr::db::CurrentUserId = u"U01"_qs;
    m_main = std::make_unique<QWidget>();
    m_main->resize(1000, 700);
    m_main->show();
  }
  void cleanup() {
    m_main.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    zr::sql::Database::unregisterNamed(QString::fromUtf16(zr::sql::kDatabaseName));
    m_prompts.reset();
    m_env.reset();
  }

  void functionKeyClicksItsButton_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("setup"); // "", "disable", "hide", "edit" (a record is being edited)
    QTest::addColumn<int>("clicks");
    QTest::newRow("F5 add") << int(Qt::Key_F5) << u"button_add"_qs << QString() << 1;
    QTest::newRow("F5 add disabled") << int(Qt::Key_F5) << u"button_add"_qs << u"disable"_qs << 0;
    QTest::newRow("F6 edit") << int(Qt::Key_F6) << u"button_edit"_qs << QString() << 1;
    QTest::newRow("F7 delete") << int(Qt::Key_F7) << u"button_delete"_qs << QString() << 1;
    QTest::newRow("F8 save while browsing") << int(Qt::Key_F8) << u"button_save"_qs << QString() << 0;
    QTest::newRow("F8 save while editing") << int(Qt::Key_F8) << u"button_save"_qs << u"edit"_qs << 1;
    QTest::newRow("F9 cancel while editing") << int(Qt::Key_F9) << u"button_cancel"_qs << u"edit"_qs << 1;
    QTest::newRow("F10 find") << int(Qt::Key_F10) << u"button_find"_qs << QString() << 1;
    QTest::newRow("F10 find while editing") << int(Qt::Key_F10) << u"button_find"_qs << u"edit"_qs << 0;
    QTest::newRow("F11 print") << int(Qt::Key_F11) << u"button_print"_qs << QString() << 1;
    QTest::newRow("F11 print hidden") << int(Qt::Key_F11) << u"button_print"_qs << u"hide"_qs << 0;
    QTest::newRow("F12 close") << int(Qt::Key_F12) << u"button_close"_qs << QString() << 1;
  }
  void functionKeyClicksItsButton() {
    QFETCH(int, key);
    QFETCH(QString, button);
    QFETCH(QString, setup);
    QFETCH(int, clicks);
    addCompany(u"000001"_qs, u"总部"_qs);
    QPointer<OrgForm> f = openForm();
    auto *b = f->findChild<QToolButton *>(button);
    QVERIFY(b);
    if (setup == u"disable")
      b->setEnabled(false);
    if (setup == u"hide")
      b->setVisible(false);
    if (setup == u"edit") {
      press(Qt::Key_F6);
      QCOMPARE(f->Query->state(), zr::data::State::Edit);
    }
    m_prompts->get().queueAnswer(zr::ui::Answer::No); // the delete question
    QSignalSpy spy(b, &QToolButton::clicked);
    press(key);
    QCOMPARE(spy.count(), clicks);
    if (key == Qt::Key_F12) {
      QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
      QVERIFY(f.isNull());
    }
    delete f.data();
  }

  // Adding a record from the keyboard: F5, typed text moved through with Enter, F8.
  void addAndSaveFromKeyboard() {
    OrgForm *f = openForm();
    press(Qt::Key_F5);
    QCOMPARE(f->Query->state(), zr::data::State::Insert);
    QVERIFY(!f->button_add->isEnabled());
    QVERIFY(f->button_save->isEnabled());
    f->id->setFocus();
    QTest::keyClicks(f->id, u"000009"_qs);
    press(Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), f->name);
    // Chinese arrives committed by the input method
    QInputMethodEvent typed;
    typed.setCommitString(u"档案馆"_qs);
    QApplication::sendEvent(f->name, &typed);
    press(Qt::Key_F8);
    QCOMPARE(f->Query->state(), zr::data::State::Browse);
    QCOMPARE(rows(u"SELECT COMPANY_ID, COMPANY_NAME FROM SYS_COMPANY_TABLE"_qs),
             QStringList{u"000009|档案馆"_qs});
    QVERIFY(said().isEmpty());
    delete f;
  }

  void keysMoveBetweenControls_data() {
    QTest::addColumn<QString>("from");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("takeSelect");
    QTest::addColumn<QString>("to");
    QTest::addColumn<int>("selects");
    QTest::newRow("Enter to the next edit") << u"id"_qs << int(Qt::Key_Return) << false << u"name"_qs << 0;
    QTest::newRow("keypad Enter") << u"name"_qs << int(Qt::Key_Enter) << false << u"address"_qs << 0;
    QTest::newRow("Down to the next") << u"id"_qs << int(Qt::Key_Down) << false << u"name"_qs << 0;
    QTest::newRow("Up to the previous") << u"name"_qs << int(Qt::Key_Up) << false << u"id"_qs << 0;
    QTest::newRow("selection handler takes Enter")
        << u"phone"_qs << int(Qt::Key_Return) << true << u"phone"_qs << 1;
    QTest::newRow("selection handler passes Enter")
        << u"phone"_qs << int(Qt::Key_Return) << false << u"memo"_qs << 1;
    QTest::newRow("memo keeps Enter") << u"memo"_qs << int(Qt::Key_Return) << false << u"memo"_qs << 0;
    QTest::newRow("memo keeps Down") << u"memo"_qs << int(Qt::Key_Down) << false << u"memo"_qs << 0;
    QTest::newRow("grid keeps Up") << u"grid"_qs << int(Qt::Key_Up) << false << u"grid"_qs << 0;
  }
  void keysMoveBetweenControls() {
    QFETCH(QString, from);
    QFETCH(int, key);
    QFETCH(bool, takeSelect);
    QFETCH(QString, to);
    QFETCH(int, selects);
    addCompany(u"000001"_qs, u"总部"_qs);
    addCompany(u"000002"_qs, u"分部"_qs);
    OrgForm *f = openForm();
    f->takeSelect = takeSelect;
    f->memo->setPlainText(u"第一行"_qs);
    auto *start = f->findChild<QWidget *>(from);
    start->setFocus();
    QCOMPARE(QApplication::focusWidget(), start);
    press(key);
    QCOMPARE(QApplication::focusWidget()->objectName(), to);
    QCOMPARE(f->selects, selects);
    if (from == u"memo" && key == Qt::Key_Return)
      QCOMPARE(f->memo->toPlainText().count(u'\n'), 1);
    delete f;
  }

  void closeRefusedWhileEditing() {
    addCompany(u"000001"_qs, u"总部"_qs);
    QPointer<OrgForm> f = openForm();
    QSignalSpy closed(f->ZRChild, &TZRChild::TZRCloseFormMessage);
    press(Qt::Key_F5);
    press(Qt::Key_F12);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(f);
    QVERIFY(f->isVisible());
    QCOMPARE(said(), QStringList{u"必须先保存或取消新增的数据或修改后的数据"_qs});
    QCOMPARE(closed.count(), 0);
    press(Qt::Key_F9);
    press(Qt::Key_F12);
    QCOMPARE(closed.count(), 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(f.isNull());
    QCOMPARE(rows(u"SELECT COMPANY_ID FROM SYS_COMPANY_TABLE"_qs), QStringList{u"000001"_qs});
  }

  void rightsGovernButtons_data() {
    QTest::addColumn<QString>("program"); // the window's program name
    QTest::addColumn<QString>("add");     // the user's add right; empty: no rights row
    QTest::addColumn<QString>("print");
    QTest::addColumn<bool>("editing");
    QTest::addColumn<bool>("print_on");
    const QString prog = u"单位名称录入编辑"_qs;
    QTest::newRow("every right") << prog << u"是"_qs << u"是"_qs << true << true;
    QTest::newRow("no add right") << prog << u"否"_qs << u"是"_qs << false << true;
    QTest::newRow("no print right") << prog << u"是"_qs << u"否"_qs << true << false;
    QTest::newRow("no rights row") << prog << QString() << QString() << false << false;
    QTest::newRow("no program name: every right") << QString() << QString() << QString() << true << true;
  }
  void rightsGovernButtons() {
    QFETCH(QString, program);
    QFETCH(QString, add);
    QFETCH(QString, print);
    QFETCH(bool, editing);
    QFETCH(bool, print_on);
    addCompany(u"000001"_qs, u"总部"_qs);
    if (!add.isEmpty())
      grant(add, print);
    auto *f = new OrgForm(m_main.get());
    f->ProgramName = program;
    f->Query->OpenData();
    f->show();
    auto check = [&](const char *where) {
      for (QToolButton *b : {f->button_add, f->button_edit, f->button_delete})
        if (b->isEnabled() != editing)
          QFAIL(qPrintable(b->objectName() + u" wrong "_qs + QString::fromLatin1(where)));
    };
    check("at show");
    QCOMPARE(f->button_print->isEnabled(), print_on);
    // through a whole edit cycle the buttons keep to the rights
    f->Query->EditRecord();
    QVERIFY(!f->button_add->isEnabled());
    f->Query->CancelRecord();
    check("after an edit");
    QCOMPARE(f->button_print->isEnabled(), print_on);
    f->button_add->setFocus();
    QApplication::setActiveWindow(f);
    f->id->setFocus();
    press(Qt::Key_F5);
    QCOMPARE(f->Query->state() == zr::data::State::Insert, editing);
    QVERIFY(said().isEmpty());
    f->Query->CancelRecord();
    delete f;
  }

  void missingNamesWarnOnce_data() {
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("message");
    QTest::newRow("group") << u"不存在的组"_qs << u"单位名称录入编辑"_qs << u"不存在的组程序组找不到"_qs;
    QTest::newRow("program") << u"档案管理"_qs << u"不存在的程序"_qs << u"不存在的程序程序找不到"_qs;
    QTest::newRow("program of another group")
        << u"系统管理"_qs << u"单位名称录入编辑"_qs << u"单位名称录入编辑程序找不到"_qs;
    QTest::newRow("quote in a name") << u"档案'管理"_qs << u"x"_qs << u"档案'管理程序组找不到"_qs;
  }
  void missingNamesWarnOnce() {
    QFETCH(QString, group);
    QFETCH(QString, program);
    QFETCH(QString, message);
    grant(u"是"_qs, u"是"_qs);
    addCompany(u"000001"_qs, u"总部"_qs);
    auto *f = new OrgForm(m_main.get());
    f->ProgramGroup = group;
    f->ProgramName = program;
    f->Query->OpenData();
    f->show();
    f->Query->EditRecord();
    f->Query->CancelRecord();
    QCOMPARE(said(), QStringList{message});
    for (QToolButton *b : {f->button_add, f->button_edit, f->button_delete, f->button_print})
      QVERIFY2(!b->isEnabled(), qPrintable(b->objectName()));
    QVERIFY(!f->Rights.Browse && !f->Rights.Exists);
    delete f;
  }

  void readAndWriteOneRight() {
    TZRChild *c = nullptr;
    auto *f = new OrgForm(m_main.get());
    c = f->ZRChild;
    const QString user = u"O'K"_qs; // a quote must not end the literal
    QCOMPARE(c->ReadRight(user, 1, 7, 4), u"否"_qs);
    QVERIFY(c->WriteRight(user, 1, u"是"_qs, 4, 7));
    QVERIFY(c->WriteRight(user, 1, u"是"_qs, 2, 7));
    QCOMPARE(c->ReadRight(user, 1, 7, 4), u"是"_qs);
    QCOMPARE(c->ReadRight(user, 1, 7, 2), u"是"_qs);
    QCOMPARE(c->ReadRight(user, 1, 7, 0), u"否"_qs); // row exists, column empty
    QVERIFY(c->WriteRight(user, 1, u"否"_qs, 4, 7));
    QCOMPARE(rows(u"SELECT USE_ID, PRINT_RIGHT, DELETE_RIGHT FROM SYS_RIGHT_TABLE"_qs),
             QStringList{u"O'K|否|是"_qs});
    QVERIFY(said().isEmpty());
    c->DataBaseName.clear();
    QVERIFY(!c->WriteRight(user, 1, u"是"_qs, 0, 7));
    QCOMPARE(said(), QStringList{u"DataBaseName必须有一个值"_qs});
    delete f;
  }

  void secondChildRefused() {
    auto *f = new OrgForm(m_main.get());
    try {
      new TZRChild(f);
      QFAIL("a second TZRChild was accepted");
    } catch (const EChildTwice &e) {
      QCOMPARE(QString::fromUtf8(e.what()), u"TZRChild控件只能有一个"_qs);
    }
    QCOMPARE(TZRChild::of(f), f->ZRChild);
    delete f;
  }

  void recordMovesAtTheEnds() {
    auto *f = new OrgForm(m_main.get());
    f->Query->OpenData();
    f->show();
    f->button_next->click();
    f->button_First->click();
    addCompany(u"000001"_qs, u"总部"_qs);
    addCompany(u"000002"_qs, u"分部"_qs);
    f->Query->close();
    f->Query->OpenData();
    f->button_next->click();
    QCOMPARE(f->Query->fieldByName(u"COMPANY_ID"_qs)->asString(), u"000002"_qs);
    f->button_next->click();
    f->button_Prior->click();
    f->button_Prior->click();
    QCOMPARE(said(), (QStringList{u"没有数据记录"_qs, u"没有数据记录"_qs, u"已到最后一个纪录"_qs,
                                  u"已到第一个纪录"_qs}));
    QCOMPARE(f->Query->fieldByName(u"COMPANY_ID"_qs)->asString(), u"000001"_qs);
    delete f;
  }

  void pageChange_data() {
    QTest::addColumn<bool>("masterRows");
    QTest::addColumn<bool>("editing");
    QTest::addColumn<bool>("programmatic");
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("message");
    QTest::newRow("allowed") << true << false << false << 1 << QString();
    QTest::newRow("editing") << true << true << false << 0 << u"必须先保存或取消新增的数据或修改后的数据"_qs;
    QTest::newRow("empty master") << false << false << false << 0 << u"没有主档数据记录，不能改变页面"_qs;
    QTest::newRow("empty master, by the program") << false << false << true << 1 << QString();
    QTest::newRow("editing, by the program")
        << true << true << true << 0 << u"必须先保存或取消新增的数据或修改后的数据"_qs;
  }
  void pageChange() {
    QFETCH(bool, masterRows);
    QFETCH(bool, editing);
    QFETCH(bool, programmatic);
    QFETCH(int, page);
    QFETCH(QString, message);
    if (masterRows)
      addCompany(u"000001"_qs, u"总部"_qs);
    auto *f = new OrgForm(m_main.get());
    auto *pages = new TZRPageControl(f->Panel1);
    pages->addTab(new QLabel(u"主档"_qs), u"主档资料"_qs);
    pages->addTab(new QLabel(u"明细"_qs), u"明细资料"_qs);
    pages->DataSources[0] = f->DS;
    pages->QyMaster = f->Query;
    f->Panel1->layout()->addWidget(pages);
    f->Query->OpenData();
    f->show();
    if (editing)
      QVERIFY(f->Query->AddRecord());
    if (programmatic) {
      pages->setActivePage(1);
    } else {
      QTest::mouseClick(pages->tabBar(), Qt::LeftButton, {}, pages->tabBar()->tabRect(1).center());
    }
    QCOMPARE(pages->currentIndex(), page);
    QCOMPARE(said(), message.isEmpty() ? QStringList() : QStringList{message});
    f->Query->CancelRecord();
    delete f;
  }

  void pickerOkAndClose() {
    zr::fw::TZRAppPopForm pop(m_main.get());
    declare(pop.Query);
    pop.Query->OpenData();
    pop.show();
    QApplication::setActiveWindow(&pop);
    press(Qt::Key_F3);
    QCOMPARE(said(), QStringList{u"必须选择一个记录"_qs});
    QVERIFY(pop.isVisible());
    addCompany(u"000003"_qs, u"三分部"_qs);
    pop.Query->close();
    pop.Query->OpenData();
    pop.Query->AddRecord();
    QVERIFY(!pop.button_close->isEnabled());
    pop.close(); // the title bar's close box
    QVERIFY(pop.isVisible());
    QCOMPARE(said().last(), u"必须先保存或取消新增的数据或修改后的数据"_qs);
    pop.Query->CancelRecord();
    press(Qt::Key_F3);
    QVERIFY(!pop.isVisible());
    QCOMPARE(pop.result(), int(QDialog::Accepted));
    // the caller reads the chosen record after the window has gone
    QVERIFY(pop.Query->isActive());
    QCOMPARE(pop.Query->fieldByName(u"COMPANY_NAME"_qs)->asString(), u"三分部"_qs);
  }

  void popEditorOverOpenersDataset() {
    addCompany(u"000001"_qs, u"总部"_qs);
    auto *f = new OrgForm(m_main.get());
    f->Query->OpenData();
    f->show();
    auto &pop = *new zr::fw::TZRBasePopEditShowForm(f);
    pop.DataSet = f->Query;
    pop.show();
    QApplication::setActiveWindow(&pop);
    press(Qt::Key_F6);
    QCOMPARE(f->Query->state(), zr::data::State::Edit);
    press(Qt::Key_F12);
    QVERIFY(pop.isVisible());
    QCOMPARE(said(), QStringList{u"必须先按“保存”或“取消”按钮后才能关闭窗口"_qs});
    press(Qt::Key_F9);
    pop.button1_next->click();
    QCOMPARE(said().last(), u"已到最后一个纪录"_qs);
    press(Qt::Key_F12);
    QVERIFY(!pop.isVisible());
    QCOMPARE(pop.result(), int(QDialog::Rejected));
    QVERIFY(f->Query->isActive()); // the opener's query is not the pop-up's to close
    delete f;
  }

  void placedOverTheMainWindow_data() {
    QTest::addColumn<QSize>("main");
    QTest::addColumn<QSize>("child");
    QTest::addColumn<QPoint>("at");
    QTest::newRow("centred, top held at 90") << QSize(1000, 700) << QSize(600, 400) << QPoint(199, 90);
    QTest::newRow("centred") << QSize(1000, 400) << QSize(600, 300) << QPoint(199, 55);
    QTest::newRow("wider than the main window") << QSize(500, 400) << QSize(600, 300) << QPoint(2, 55);
  }
  void placedOverTheMainWindow() {
    QFETCH(QSize, main);
    QFETCH(QSize, child);
    QFETCH(QPoint, at);
    m_main->setGeometry(QRect(QPoint(0, 0), main));
    auto *f = new OrgForm(m_main.get());
    f->resize(child);
    QSignalSpy shown(f->ZRChild, &TZRChild::TZRShowFormMessage);
    f->ZRChild->ShowChild(1);
    QVERIFY(f->isVisible());
    QCOMPARE(f->pos() - m_main->geometry().topLeft(), at);
    QCOMPARE(shown.count(), 1);
    // the main window's list hears of a minimised window too
    QSignalSpy hidden(f->ZRChild, &TZRChild::TZRHideFormMessage);
    f->setWindowState(Qt::WindowMinimized);
    QTRY_COMPARE(hidden.count(), 1);
    delete f;
  }

  void lookReachesControls() {
    auto *f = new OrgForm(m_main.get());
    auto *readOnly = new TZRDBEdit(f->Panel1);
    readOnly->setTag(3);
    f->Panel1->layout()->addWidget(readOnly);
    f->show();
    QCOMPARE(readOnly->palette().color(QPalette::Base), fromTColor(int(zr::db::kDefaultLabelColor)));
    QCOMPARE(f->id->palette().color(QPalette::Base), fromTColor(int(zr::db::kDefaultBrowseColor)));
    const QLabel *label = f->findChild<QLabel *>();
    QVERIFY(label);
    QCOMPARE(label->font().pointSize(), 9);
    QCOMPARE(label->font().family(), TZRChild::chineseFamily());
    QVERIFY(QFontInfo(f->button_add->font()).family().contains(u"CJK"_qs) ||
            QFontInfo(f->button_add->font()).family() == TZRChild::chineseFamily());
    delete f;
  }
};

QTEST_MAIN(TestForms)
#include "tst_forms.moc"
