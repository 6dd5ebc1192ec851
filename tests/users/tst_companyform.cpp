#include "controls/zredits.h"
#include "db/globals.h"
#include "framework/zrquery.h"
#include "platform/ui/prompter.h"
#include "tests/support/testenv.h"
#include "users/tcompanyform.h"

#include <QtTest/QSignalSpy>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QToolButton>

using zr::users::TCompanyForm;

class TestCompanyForm : public QObject {
  Q_OBJECT
  std::unique_ptr<zr::test::TestEnv> m_env;
  zr::sql::Database *m_db = nullptr;
  std::unique_ptr<zr::ui::ScriptedPrompterGuard> m_prompts;
  std::unique_ptr<QWidget> m_main;

  QStringList rows(const QString &sql) { return zr::test::column(*m_db, sql); }
  TCompanyForm *open() {
    auto *f = new TCompanyForm(m_main.get());
    f->Query->OpenData();
    f->show();
    QApplication::setActiveWindow(f);
    return f;
  }

private slots:
  void init() {
    m_env = std::make_unique<zr::test::TestEnv>();
    m_db = &m_env->installAndOpen();
    zr::sql::Database::registerNamed(QString::fromUtf16(zr::sql::kDatabaseName), m_db);
    m_prompts = std::make_unique<zr::ui::ScriptedPrompterGuard>();
    zr::db::CurrentUserId = u"U01"_qs;
    zr::db::CurrentUserName = u"管理员"_qs;
    m_db->exec(
        u"INSERT INTO SYS_RIGHT_TABLE(USE_ID,COMPOSE_ID,PROGRAM_ID,ADD_RIGHT,BROWSE_RIGHT) VALUES('U01',1,7,'是','是')"_qs);
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

  void firstRowOnAnEmptyTable() {
    TCompanyForm *f = open();
    QCOMPARE(f->windowTitle(), u"单位资料编辑窗口"_qs);
    QVERIFY(!f->button_delete->isVisible() && !f->button_find->isVisible() && !f->button_print->isVisible());
    QSignalSpy renamed(f, &TCompanyForm::organisationRenamed);
    f->button_add->click();
    QVERIFY(f->Query->isEditing());
    QCOMPARE(f->Query->fieldByName(u"COMPANY_ID"_qs)->asString(), u"000001"_qs);
    f->ZRDBEdit1->setFocus();
    f->ZRDBEdit1->insert(u"市档案馆"_qs);
    f->ZRDBEdit3->setFocus(); // leaving the box writes it back
    f->button_save->click();
    QVERIFY2(!f->Query->isEditing(), qPrintable(m_prompts->get().texts().join(u'|')));
    QCOMPARE(
        rows(u"SELECT COMPANY_ID || '/' || COMPANY_NAME || '/' || CREATE_NAME FROM SYS_COMPANY_TABLE"_qs),
        QStringList{u"000001/市档案馆/管理员"_qs});
    QCOMPARE(renamed.count(), 1);
    QCOMPARE(zr::db::OrganisationName, u"市档案馆"_qs);
    // a second organisation is refused
    f->button_add->click();
    QCOMPARE(m_prompts->get().texts(), QStringList{u"单位名称只能有一个"_qs});
    QVERIFY(!f->Query->isEditing());
  }

  void renamingReachesTheCaption() {
    m_db->exec(u"INSERT INTO SYS_COMPANY_TABLE(COMPANY_ID,COMPANY_NAME) VALUES('000001','旧名称')"_qs);
    TCompanyForm *f = open();
    QSignalSpy renamed(f, &TCompanyForm::organisationRenamed);
    f->button_edit->click();
    QVERIFY(f->Query->isEditing());
    f->Query->fieldByName(u"COMPANY_NAME"_qs)->setValue(u"新名称"_qs);
    f->button_save->click();
    QCOMPARE(renamed.count(), 1);
    QCOMPARE(renamed.first().first().toString(), u"新名称"_qs);
    QCOMPARE(rows(u"SELECT COMPANY_NAME || '/' || EDIT_NAME FROM SYS_COMPANY_TABLE"_qs),
             QStringList{u"新名称/管理员"_qs});
  }

  void nameRequired() {
    TCompanyForm *f = open();
    f->button_add->click();
    f->button_save->click();
    QCOMPARE(m_prompts->get().texts(), QStringList{u"单位名称必须有一个值"_qs});
    QVERIFY(f->Query->isEditing());
  }
};

QTEST_MAIN(TestCompanyForm)
#include "tst_companyform.moc"
