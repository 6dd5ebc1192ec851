#include "app/mainwindow.h"
#include "app/programcleanup.h"
#include "app/tdm.h"
#include "app/thelpform.h"
#include "app/tlogonform.h"
#include "app/tpasswordchangeform.h"
#include "app/tzrmain.h"
#include "controls/zredits.h"
#include "db/globals.h"
#include "framework/zrquery.h"
#include "platform/os/settingsstore.h"
#include "platform/os/singleinstance.h"
#include "platform/ui/modal.h"
#include "platform/ui/prompter.h"
#include "tests/support/testenv.h"
#include "users/tcompanyform.h"

#include <QtCore/QProcess>
#include <QtCore/QTemporaryDir>
#include <QtTest/QSignalSpy>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QColorDialog>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QDialog>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QMenu>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QTextBrowser>
#include <QtWidgets/QToolButton>

using namespace zr::app;

namespace {

QList<QWidget *> windowsNamed(const QString &name) {
  QList<QWidget *> out;
  for (QWidget *w : QApplication::topLevelWidgets())
    if (w->objectName() == name && w->isVisible())
      out << w;
  return out;
}

} // namespace

class TestMainWindow : public QObject {
  Q_OBJECT
  QTemporaryDir m_tmp; // lock file and socket of the single instance live here
  std::unique_ptr<zr::test::TestEnv> m_env;
  std::unique_ptr<zr::ui::ScriptedPrompterGuard> m_prompter;
  std::unique_ptr<zr::ui::ModalHandlerGuard> m_modal;
  std::unique_ptr<TDM> m_dm;
  std::unique_ptr<TMainForm> m_main;
  QStringList m_modals; // object names of the modal windows that came up

  zr::ui::ScriptedPrompter &prompts() { return m_prompter->get(); }
  zr::sql::Database &db() { return m_env->db(); }

  // Users: 'S' a system user, 'U' an ordinary one; both with password "pw".
  void addUsers() {
    db().exec(u"INSERT INTO SYS_USER_TABLE(USE_ID,USE_NAME,USE_PASSWORD,SYS_USER,STOP_RIGHT) "
              u"VALUES('S','管理员','pw','是','有效')"_qs);
    db().exec(u"INSERT INTO SYS_USER_TABLE(USE_ID,USE_NAME,USE_PASSWORD,SYS_USER,STOP_RIGHT) "
              u"VALUES('U','张三','pw','否','有效')"_qs);
  }
  void logOnAs(const QString &id) {
    zr::db::CurrentUserId = id;
    zr::db::CurrentUserIsSystem = id == u"S";
  }
  void grantBrowse(const QString &user, int compose, int program) {
    db().exec(u"INSERT INTO SYS_RIGHT_TABLE(USE_ID,COMPOSE_ID,PROGRAM_ID,BROWSE_RIGHT) VALUES('"_qs % user %
              u"'," % QString::number(compose) % u',' % QString::number(program) % u",'是')");
  }
  TMainForm &mainWindow() {
    if (!m_main) {
      m_dm = std::make_unique<TDM>();
      m_main = std::make_unique<TMainForm>(*m_dm);
      m_main->show();
      if (!QTest::qWaitForWindowActive(m_main.get()))
        qWarning("main window not active");
    }
    return *m_main;
  }
  QWidget *openPasswordWindow() {
    mainWindow().CHANGEPASSWORDMENU->trigger();
    const auto found = windowsNamed(u"PasswordChangeForm"_qs);
    if (found.size() != 1)
      return nullptr;
    // Wait until the window holds the keyboard, as a user would before typing.
    QTest::qWait(0);
    QApplication::setActiveWindow(found.first());
    if (!QTest::qWaitForWindowActive(found.first()))
      qWarning("function window not active");
    return found.first();
  }

private slots:
  void initTestCase() { qputenv("TMPDIR", QFile::encodeName(m_tmp.path())); }

  void init() {
    m_env = std::make_unique<zr::test::TestEnv>();
    m_env->installAndOpen();
    m_prompter = std::make_unique<zr::ui::ScriptedPrompterGuard>();
    m_modals.clear();
    m_modal = std::make_unique<zr::ui::ModalHandlerGuard>([this](QDialog &d) {
      m_modals << d.objectName();
      return int(QDialog::Rejected);
    });
    zr::db::StartupFailed = false;
    zr::db::OrganisationName.clear();
    QApplication::setApplicationName(u"卓睿典藏库房管理系统"_qs);
    addUsers();
    logOnAs(u"S"_qs);
  }
  void cleanup() {
    for (QWidget *w : QApplication::topLevelWidgets())
      if (w != m_main.get() && w->parent() == m_main.get())
        delete w;
    m_main.reset();
    m_dm.reset();
    m_modal.reset();
    m_prompter.reset();
    m_env.reset();
  }

  // ---- open-window list ----

  // A second choice of an open entry brings the one window forward, restored, and lists it
  // once; closing the last window hides the list again.
  void openWindowList() {
    TMainForm &m = mainWindow();
    QVERIFY(!m.N3->menuAction()->isVisible());
    QWidget *w = openPasswordWindow();
    QVERIFY(w);
    QCOMPARE(m.N3->title(), u"打开的窗口"_qs);
    QVERIFY(m.N3->menuAction()->isVisible());
    w->showMinimized();
    QTRY_VERIFY(!m.ZRMain->entries().first().shown);
    m.N3->actions().first()->trigger(); // the list's own entry brings it back
    QCOMPARE(windowsNamed(u"PasswordChangeForm"_qs), QList<QWidget *>{w});
    QVERIFY(!w->isMinimized());
    QCOMPARE(m.N3->actions().size(), 1);
    QCOMPARE(m.ZRMain->entries().size(), 1);
    QVERIFY(m.ZRMain->entries().first().shown);
    QTest::keyClick(w, Qt::Key_F4);
    QTRY_VERIFY(m.ZRMain->entries().isEmpty());
    QVERIFY(!m.N3->menuAction()->isVisible());
    QVERIFY(m.N3->title().isEmpty());
    QVERIFY(prompts().texts().isEmpty());
  }

  // The organisation window opens from its entry; a save renames the caption at once, and a
  // second organisation row is refused.
  void organisationRecord() {
    db().exec(u"INSERT INTO SYS_COMPANY_TABLE(COMPANY_ID,COMPANY_NAME) VALUES('000001','旧档案馆')"_qs);
    logOnAs(u"U"_qs);
    grantBrowse(u"U"_qs, 1, 7);
    db().exec(u"UPDATE SYS_RIGHT_TABLE SET ADD_RIGHT = '是' WHERE USE_ID = 'U'"_qs);
    zr::sql::Database::registerNamed(QString::fromUtf16(zr::sql::kDatabaseName), &db());
    TMainForm &m = mainWindow();
    QCOMPARE(m.windowTitle(), u"旧档案馆典藏库房管理系统"_qs);
    m.N16->trigger();
    const auto found = windowsNamed(u"CompanyForm"_qs);
    QCOMPARE(found.size(), 1);
    auto *f = qobject_cast<zr::users::TCompanyForm *>(found.first());
    QVERIFY(f);
    f->button_add->click();
    QCOMPARE(prompts().texts(), QStringList{u"单位名称只能有一个"_qs});
    f->button_edit->click();
    QVERIFY(f->Query->isEditing());
    f->Query->fieldByName(u"COMPANY_NAME"_qs)->setValue(u"市档案馆"_qs);
    f->button_save->click();
    QCOMPARE(m.windowTitle(), u"市档案馆典藏库房管理系统"_qs);
    f->close();
    QTRY_VERIFY(m.ZRMain->entries().isEmpty());
  }

  // The main window does not close over an open function window, which stays open.
  void closeRule() {
    TMainForm &m = mainWindow();
    QWidget *w = openPasswordWindow();
    QVERIFY(!m.close());
    QCOMPARE(prompts().texts(), QStringList{u"请先关闭打开的全部子程序后,才能退出系统"_qs});
    QVERIFY(m.isVisible());
    QVERIFY(w->isVisible());
    w->close();
    QTRY_VERIFY(m.ZRMain->entries().isEmpty());
    QVERIFY(m.close());
  }

  // Maintenance refuses while a function window is open, before anything else is asked.
  void maintenanceRefusedWhileOpen_data() {
    QTest::addColumn<QString>("entry");
    QTest::newRow("过时数据删除") << u"N7"_qs;
    QTest::newRow("数据修复管理") << u"N26"_qs;
    QTest::newRow("编号方式设置修改") << u"N28"_qs;
  }
  void maintenanceRefusedWhileOpen() {
    QFETCH(QString, entry);
    TMainForm &m = mainWindow();
    QVERIFY(openPasswordWindow());
    m.findChild<QAction *>(entry)->trigger();
    QCOMPARE(prompts().texts(), QStringList{u"请先关闭其它的窗口"_qs});
    QVERIFY(m_modals.isEmpty());
  }

  // Admission per entry: (user, browse right granted on (group, program) or none, entry,
  // messages). An admitted entry whose window is not built yet says so once.
  void admission_data() {
    QTest::addColumn<QString>("user");
    QTest::addColumn<int>("grantGroup");
    QTest::addColumn<int>("grantProgram");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QStringList>("modals");
    const QString notYet = u"窗口还没有完成"_qs;
    QTest::newRow("no browse right") << u"U"_qs << 0 << 0 << u"N13"_qs
                                     << QStringList{u"您没有在程序\"档案资料录入编辑管理\"中的权限"_qs} << QStringList{};
    QTest::newRow("browse right") << u"U"_qs << 1 << 2 << u"N13"_qs << QStringList{notYet} << QStringList{};
    QTest::newRow("right of another program") << u"U"_qs << 1 << 4 << u"N13"_qs
                                              << QStringList{u"您没有在程序\"档案资料录入编辑管理\"中的权限"_qs}
                                              << QStringList{};
    QTest::newRow("users: not a system user") << u"U"_qs << 0 << 0 << u"USERMENU"_qs
                                              << QStringList{u"您没有在程序\"人员管理\"中的权限"_qs} << QStringList{};
    QTest::newRow("users: system user") << u"S"_qs << 0 << 0 << u"USERMENU"_qs << QStringList{notYet}
                                        << QStringList{};
    QTest::newRow("restore: not a system user") << u"U"_qs << 0 << 0 << u"N22"_qs
                                                << QStringList{u"只有系统管理员才能有恢复数据库的权限"_qs}
                                                << QStringList{};
    QTest::newRow("repair: not a system user") << u"U"_qs << 0 << 0 << u"N26"_qs
                                               << QStringList{u"您没有在程序\"数据修复\"中的权限"_qs} << QStringList{};
    QTest::newRow("numbering: not a system user") << u"U"_qs << 0 << 0 << u"N28"_qs
                                                  << QStringList{u"只有系统管理员才能有设置修改编号方式的权限"_qs}
                                                  << QStringList{};
    QTest::newRow("numbering: system user") << u"S"_qs << 0 << 0 << u"N28"_qs << QStringList{}
                                            << QStringList{u"SetAutoIDForm"_qs};
    QTest::newRow("deletion without right") << u"U"_qs << 0 << 0 << u"N7"_qs
                                            << QStringList{u"您没有在程序\"过时数据删除\"中的权限"_qs} << QStringList{};
    QTest::newRow("backup with right") << u"U"_qs << 2 << 1 << u"N5"_qs << QStringList{notYet} << QStringList{};
  }
  void admission() {
    QFETCH(QString, user);
    QFETCH(int, grantGroup);
    QFETCH(int, grantProgram);
    QFETCH(QString, entry);
    QFETCH(QStringList, messages);
    QFETCH(QStringList, modals);
    if (grantGroup)
      grantBrowse(user, grantGroup, grantProgram);
    logOnAs(user);
    TMainForm &m = mainWindow();
    QAction *a = m.findChild<QAction *>(entry);
    QVERIFY(a);
    a->trigger();
    const QStringList got = prompts().texts();
    QCOMPARE(got.size(), messages.size());
    for (int i = 0; i < got.size(); ++i)
      QVERIFY2(got[i].contains(messages[i]), qPrintable(got[i]));
    QCOMPARE(m_modals, modals);
    QVERIFY(m.ZRMain->entries().isEmpty());
    QVERIFY(!m.ZRMain->Busy);
  }

  // A group or program that is not in the tables says which one is missing.
  void missingProgram() {
    db().exec(u"DELETE FROM SYS_PROGRAM_TABLE WHERE COMPOSE_ID = 1 AND PROGRAM_ID = 2"_qs);
    logOnAs(u"U"_qs);
    mainWindow().N13->trigger();
    QCOMPARE(prompts().texts(), (QStringList{u"档案资料录入编辑管理程序找不到"_qs,
                                             u"您没有在程序\"档案资料录入编辑管理\"中的权限"_qs}));
  }

  // A renamed item level shows in the menu and the tool button, and is the name checked.
  void itemTitle() {
    db().exec(u"UPDATE SYS_PROGRAM_TABLE SET PROGRAM_NAME = '文件资料查询管理' WHERE COMPOSE_ID = 1 AND PROGRAM_ID = 3"_qs);
    logOnAs(u"U"_qs);
    TMainForm &m = mainWindow();
    QCOMPARE(m.N1->text(), u"文件资料查询管理"_qs);
    QCOMPARE(m.ToolButton5->toolTip(), u"文件资料查询管理"_qs);
    QTest::mouseClick(m.ToolButton5, Qt::LeftButton);
    QCOMPARE(prompts().texts(), QStringList{u"您没有在程序\"文件资料查询管理\"中的权限"_qs});
  }

  // ---- caption ----

  void caption_data() {
    QTest::addColumn<QString>("organisation");
    QTest::addColumn<QString>("caption");
    QTest::newRow("empty table") << QString() << u"典藏库房管理系统"_qs;
    QTest::newRow("one row") << u"市档案馆"_qs << u"市档案馆典藏库房管理系统"_qs;
  }
  void caption() {
    QFETCH(QString, organisation);
    QFETCH(QString, caption);
    db().exec(u"DELETE FROM SYS_COMPANY_TABLE"_qs);
    if (!organisation.isEmpty())
      db().exec(u"INSERT INTO SYS_COMPANY_TABLE(COMPANY_ID,COMPANY_NAME) VALUES('000001','"_qs % organisation %
                u"')");
    QCOMPARE(mainWindow().windowTitle(), caption);
    QCOMPARE(zr::db::OrganisationName, organisation);
  }

  // ---- help ----

  void helpTopic() {
    TMainForm &m = mainWindow();
    QVERIFY(QTest::qWaitForWindowActive(&m));
    m.F11->trigger();
    QVERIFY(m.HelpForm && m.HelpForm->isVisible());
    QCOMPARE(m.HelpForm->topic(), 2);
    QVERIFY(m.HelpForm->Browser->toPlainText().contains(u"打开的窗口"));
    QWidget *w = openPasswordWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QTest::keyClick(w, Qt::Key_F1);
    QCOMPARE(m.HelpForm->topic(), 11);
    QVERIFY(m.HelpForm->Browser->toPlainText().contains(u"老口令"));
  }

  // ---- password change ----

  void passwordRefusals_data() {
    QTest::addColumn<QString>("oldPw");
    QTest::addColumn<QString>("newPw");
    QTest::addColumn<QString>("confirm");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    QTest::newRow("no old password") << QString() << u"n1"_qs << u"n1"_qs << u"必须输入新口令"_qs << u"ZREdit1"_qs;
    QTest::newRow("wrong old password") << u"px"_qs << u"n1"_qs << u"n1"_qs << u"错误的老口令"_qs << u"ZREdit3"_qs;
    QTest::newRow("quote in old password") << u"p'w"_qs << u"n1"_qs << u"n1"_qs << u"错误的老口令"_qs
                                           << u"ZREdit3"_qs;
    QTest::newRow("no new password") << u"pw"_qs << u"  "_qs << u"n1"_qs << u"必须输入新口令"_qs << u"ZREdit1"_qs;
    QTest::newRow("no confirmation") << u"pw"_qs << u"n1"_qs << QString() << u"必须输入新口令"_qs << u"ZREdit2"_qs;
    QTest::newRow("differ") << u"pw"_qs << u"n1"_qs << u"n2"_qs << u"新口令与确认的新口令不一致"_qs << u"ZREdit1"_qs;
  }
  void passwordRefusals() {
    QFETCH(QString, oldPw);
    QFETCH(QString, newPw);
    QFETCH(QString, confirm);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    auto *f = qobject_cast<TPasswordChangeForm *>(openPasswordWindow());
    QVERIFY(f);
    QVERIFY(QTest::qWaitForWindowActive(f));
    QCOMPARE(QApplication::focusWidget(), f->ZREdit3);
    QTest::keyClicks(f->ZREdit3, oldPw);
    QTest::keyClicks(f->ZREdit1, newPw);
    QTest::keyClicks(f->ZREdit2, confirm);
    QTest::keyClick(f->ZREdit2, Qt::Key_F3);
    QCOMPARE(prompts().texts(), QStringList{message});
    QTRY_COMPARE(QApplication::focusWidget()->objectName(), focus);
    QVERIFY(f->isVisible());
    zr::sql::Query q(db(), u"SELECT USE_PASSWORD FROM SYS_USER_TABLE WHERE USE_ID = 'S'"_qs);
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString(), u"pw"_qs);
  }

  // A new password typed with blanks around it is stored as the logon compares it, and logs on;
  // Enter moves through the boxes.
  void passwordStoredTrimmed() {
    auto *f = qobject_cast<TPasswordChangeForm *>(openPasswordWindow());
    QVERIFY(QTest::qWaitForWindowActive(f));
    QTest::keyClicks(f->ZREdit3, u" pw "_qs);
    QTest::keyClick(f->ZREdit3, Qt::Key_Return);
    QTRY_COMPARE(QApplication::focusWidget(), f->ZREdit1);
    QTest::keyClicks(f->ZREdit1, u" n'1 "_qs);
    QTest::keyClick(f->ZREdit1, Qt::Key_Return);
    QTRY_COMPARE(QApplication::focusWidget(), f->ZREdit2);
    QTest::keyClicks(f->ZREdit2, u"n'1"_qs);
    QTest::keyClick(f->ZREdit2, Qt::Key_Return);
    QTRY_COMPARE(QApplication::focusWidget(), f->Button_ok);
    QTest::keyClick(f->Button_ok, Qt::Key_Return);
    QCOMPARE(prompts().texts(), QStringList{u"口令改变成功"_qs});
    QTRY_VERIFY(mainWindow().ZRMain->entries().isEmpty());
    zr::sql::Query q(db(), u"SELECT USE_PASSWORD FROM SYS_USER_TABLE WHERE USE_ID = 'S'"_qs);
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString(), u"n'1"_qs);

    TLogonForm logon;
    logon.show();
    QVERIFY(QTest::qWaitForWindowActive(&logon));
    logon.UserIDBox->setEditText(u"S"_qs);
    logon.PasswordEdit->setText(u"  n'1 "_qs);
    QTest::keyClick(logon.PasswordEdit, Qt::Key_F3);
    QCOMPARE(logon.result(), int(QDialog::Accepted));
  }

  // ---- start-up clean-up ----

  // Layout: "<root>/prog/data" holds the live database; files are made in the directory the
  // clean-up is given (relative to root), then the survivors are listed.
  void startupCleanup_data() {
    QTest::addColumn<QString>("programDir");
    QTest::addColumn<QString>("dataDir");
    QTest::addColumn<QStringList>("deleted");
    // A database file in the parent is a leftover too; only the data directory's own is live.
    const QStringList leftovers{u"A.DB"_qs, u"ZRRecordFolio.db"_qs, u"b.mb"_qs};
    QTest::newRow("leftovers in the parent") << u"prog"_qs << u"prog/data"_qs << leftovers;
    QTest::newRow("trailing separator") << u"prog/"_qs << u"prog/data/"_qs << leftovers;
    QTest::newRow("program directory is the data directory") << u"prog/data"_qs << u"prog/data"_qs
                                                             << QStringList{};
    QTest::newRow("empty program directory") << QString() << u"prog/data"_qs << QStringList{};
  }
  void startupCleanup() {
    QFETCH(QString, programDir);
    QFETCH(QString, dataDir);
    QFETCH(QStringList, deleted);
    QTemporaryDir root;
    const QString prog = root.path() + u"/prog", data = prog + u"/data";
    QVERIFY(QDir().mkpath(data));
    for (const QString &dir : {prog, data})
      for (const QString &name : {u"A.DB"_qs, u"b.mb"_qs, u"SYS_BACK_TABLE.DB"_qs, u"keep.txt"_qs,
                                  QString::fromUtf16(zr::sql::kDatabaseFile)}) {
        QFile f(dir + u'/' + name);
        QVERIFY(f.open(QIODevice::WriteOnly));
      }
    const QString given = programDir.isEmpty() ? QString() : root.path() + u'/' + programDir;
    QStringList got = cleanProgramDirectory(given, root.path() + u'/' + dataDir);
    got.sort();
    QCOMPARE(got, deleted);
    QVERIFY(QFile::exists(data + u'/' + QString::fromUtf16(zr::sql::kDatabaseFile)));
    QVERIFY(QFile::exists(prog + u"/SYS_BACK_TABLE.DB"));
    QVERIFY(QFile::exists(data + u"/A.DB")); // the data directory itself is never cleaned
  }

  void programDirectory_data() {
    QTest::addColumn<QString>("data");
    QTest::addColumn<QString>("program");
    QTest::newRow("plain") << u"/a/b/data"_qs << u"/a/b"_qs;
    QTest::newRow("trailing separators") << u"/a/b/data//"_qs << u"/a/b"_qs;
    QTest::newRow("under the root") << u"/data/"_qs << u"/"_qs;
  }
  void programDirectory() {
    QFETCH(QString, data);
    QFETCH(QString, program);
    QCOMPARE(QDir::fromNativeSeparators(programDirectoryOf(data)), program);
  }

  // The root is never cleaned, whatever it holds.
  void cleanupSkipsRoot() { QVERIFY(cleanProgramDirectory(u"/"_qs, u"/data"_qs).isEmpty()); }

  // ---- single instance ----

  // A second start of the program, as a real process, says "程序已经运行", brings this one
  // forward and ends without any logon.
  void secondStart() {
    TMainForm &m = mainWindow();
    QVERIFY(!zr::db::StartupFailed);
    QSignalSpy forward(m.ZRMain, &TZRMain::activationRequested);
    const QString log = m_env->root() + u"/prompts.log";
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"ZR_PROMPT_LOG"_qs, log);
    env.insert(u"QT_QPA_PLATFORM"_qs, u"offscreen"_qs);
    p.setProcessEnvironment(env);
    // The running instance is found by the application title.
    p.start(QStringLiteral(ZR_ARCHIVE_EXE), {});
    QVERIFY(p.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(forward.size() == 1, 20000);
    QTRY_VERIFY_WITH_TIMEOUT(p.state() == QProcess::NotRunning, 20000);
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 0);
    QFile f(log);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(f.readAll()).trimmed(), u"程序已经运行"_qs);
  }

  // A main window created while another instance holds the name ends the start-up.
  void secondInstanceInProcess() {
    zr::os::SingleInstance other(u"ZR"_qs + QApplication::applicationName());
    QVERIFY(other.acquire());
    QSignalSpy forward(&other, &zr::os::SingleInstance::activationRequested);
    TDM dm;
    TMainForm second(dm);
    QVERIFY(zr::db::StartupFailed);
    QCOMPARE(prompts().texts(), QStringList{u"程序已经运行"_qs});
    QTRY_COMPARE(forward.size(), 1);
  }

  // ---- workstation settings ----

  void backgroundPicture() {
    TMainForm &m = mainWindow();
    // The user picks "设置新的窗口背景图像" in the chooser.
    zr::ui::ModalHandlerGuard choose([](QDialog &d) {
      const auto radios = d.findChildren<QRadioButton *>();
      if (radios.isEmpty())
        return int(QDialog::Rejected);
      radios.first()->click();
      d.accept();
      return d.result();
    });
    prompts().queueFile(m_env->root() + u"/missing.png"_qs);
    m.N6->trigger();
    QCOMPARE(prompts().texts(), QStringList{u"图像文件不存在"_qs});
    QVERIFY(!m_env->store().read(u"ZRFolioRecord"_qs).has_value());
    QVERIFY(m.Image1->isHidden());
  }

  void colourStored() {
    TMainForm &m = mainWindow();
    zr::ui::ModalHandlerGuard pick([](QDialog &d) {
      if (auto *c = qobject_cast<QColorDialog *>(&d))
        c->setCurrentColor(QColor(0x11, 0x22, 0x33));
      return int(QDialog::Accepted);
    });
    m.N11->trigger();
    QCOMPARE(prompts().texts().size(), 1);
    QCOMPARE(m_env->store().read(u"ZRArchivesColor"_qs).value_or(QString()), QString::number(0x332211));
    QCOMPARE(m.Panel1->palette().color(QPalette::Window), QColor(0x11, 0x22, 0x33));
  }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
