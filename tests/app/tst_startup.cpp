#include "app/mainwindow.h"
#include "app/startup.h"
#include "app/tdm.h"
#include "app/tenrolform.h"
#include "app/tlogonform.h"
#include "catalogue/tsetautoidform.h"
#include "db/globals.h"
#include "db/queries.h"
#include "db/sqltext.h"
#include "platform/os/screen.h"
#include "platform/os/settingsstore.h"
#include "platform/ui/modal.h"
#include "platform/ui/prompter.h"
#include "platform/ui/tzrthread.h"
#include "tests/support/testenv.h"

#include <QtGui/QInputMethodEvent>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <sqlite3.h>

using namespace zr::app;

namespace {

const QString kDb = QString::fromUtf16(zr::sql::kDatabaseName);

class FakeModes : public zr::os::DisplayModes {
public:
  bool enumerable = false; // as on this platform
  QList<zr::os::DisplayMode> changes;
  bool canEnumerate() const override { return enumerable; }
  bool change(const zr::os::DisplayMode &m) override {
    changes << m;
    return true;
  }
};

void resetGlobals() {
  zr::db::CurrentUserId = u"k"_qs;
  zr::db::CurrentUserName.clear();
  zr::db::CurrentUserIsSystem = false;
  zr::db::CurrentImeName.clear();
  zr::db::JustEnrolled = false;
  zr::db::StartupFailed = false;
  zr::db::WorkingDate = u"2024-03-05"_qs;
}

using zr::test::column;

// Keys for ASCII; Chinese arrives as an input method delivers it, one committed character at
// a time.
void type(QWidget *w, const QString &text) {
  QWidget *target = w;
  if (auto *c = qobject_cast<QComboBox *>(w); c && c->lineEdit())
    target = c->lineEdit();
  for (const QChar ch : text) {
    if (ch.unicode() < 128) {
      QTest::keyClick(target, ch.toLatin1());
    } else {
      QInputMethodEvent e;
      e.setCommitString(QString(ch));
      QApplication::sendEvent(target, &e);
    }
  }
}

// Types the five inputs of the setup window in their order.
void fillEnrol(TEnrolForm &f, const QStringList &v) {
  QLineEdit *edits[] = {f.ZREdit1, f.ZREdit4, f.ZREdit5, f.ZREdit2, f.ZREdit3};
  for (int i = 0; i < 5; ++i)
    type(edits[i], v.value(i));
}

void showActive(QWidget &w) {
  w.show();
  QVERIFY(QTest::qWaitForWindowActive(&w));
}

void sqlRaw(zr::sql::Database &db, const char *sql) {
  QCOMPARE(sqlite3_exec(db.handle(), sql, nullptr, nullptr, nullptr), SQLITE_OK);
}

} // namespace

class TestStartup : public QObject {
  Q_OBJECT
  std::unique_ptr<zr::test::TestEnv> m_env;
  std::unique_ptr<zr::ui::ScriptedPrompterGuard> m_prompter;
  QStringList m_modalTitles; // every modal window, in the order it came up
  bool m_registered = false;

  zr::ui::ScriptedPrompter &prompts() { return m_prompter->get(); }

  zr::sql::Database &openData() {
    auto &db = m_env->installAndOpen();
    zr::sql::Database::registerNamed(kDb, &db);
    m_registered = true;
    zr::db::DataDirectory = m_env->dataDir();
    return db;
  }

  // The numbering window confirms what it shows.
  static int confirmNumbering(QDialog &d) {
    auto *s = qobject_cast<zr::catalogue::TSetAutoIDForm *>(&d);
    if (!s)
      return QDialog::Rejected;
    s->show();
    QTest::mouseClick(s->Button_ok, Qt::LeftButton);
    return s->result();
  }

private slots:
  void init() {
    m_env = std::make_unique<zr::test::TestEnv>();
    m_prompter = std::make_unique<zr::ui::ScriptedPrompterGuard>();
    m_modalTitles.clear();
    resetGlobals();
  }
  void cleanup() {
    if (m_registered)
      zr::sql::Database::unregisterNamed(kDb);
    m_registered = false;
    m_prompter.reset();
    m_env.reset();
  }

  // ---- first-run setup ----

  // The checks run in their order; each refuses with its message, focuses its field and
  // writes nothing.
  void enrolChecks_data() {
    QTest::addColumn<QStringList>("inputs");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    QTest::newRow("all empty") << QStringList{} << u"必须输入单位名称"_qs << u"ZREdit1"_qs;
    QTest::newRow("organisation only blanks") << QStringList{u"   "_qs, u"A1"_qs, u"王"_qs, u"p"_qs, u"p"_qs}
                                              << u"必须输入单位名称"_qs << u"ZREdit1"_qs;
    QTest::newRow("no user number") << QStringList{u"档案室"_qs} << u"必须输入用户编号"_qs << u"ZREdit4"_qs;
    QTest::newRow("no user name") << QStringList{u"档案室"_qs, u"A1"_qs} << u"必须输入用户姓名"_qs
                                  << u"ZREdit5"_qs;
    QTest::newRow("no password") << QStringList{u"档案室"_qs, u"A1"_qs, u"王"_qs} << u"必须输入用户口令"_qs
                                 << u"ZREdit2"_qs;
    QTest::newRow("no confirmation") << QStringList{u"档案室"_qs, u"A1"_qs, u"王"_qs, u"pw"_qs}
                                     << u"必须确认用户口令"_qs << u"ZREdit3"_qs;
    QTest::newRow("confirmation differs") << QStringList{u"档案室"_qs, u"A1"_qs, u"王"_qs, u"pw"_qs, u"pW"_qs}
                                          << u"口令确认错误"_qs << u"ZREdit2"_qs;
  }
  void enrolChecks() {
    QFETCH(QStringList, inputs);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    auto &db = openData();
    TEnrolForm f;
    showActive(f);
    QCOMPARE(QApplication::focusWidget(), f.ZREdit1);
    fillEnrol(f, inputs);
    QTest::mouseClick(f.Button_Ok, Qt::LeftButton);
    QCOMPARE(prompts().texts(), QStringList{message});
    QCOMPARE(prompts().entries().first().caption, u"提示信息"_qs);
    QTRY_COMPARE(QApplication::focusWidget()->objectName(), focus);
    QVERIFY(f.isVisible());
    QCOMPARE(f.result(), int(QDialog::Rejected)); // not ended
    QCOMPARE(column(db, u"SELECT COUNT(*) FROM SYS_COMPANY_TABLE"_qs), QStringList{u"0"_qs});
    QCOMPARE(column(db, u"SELECT COUNT(*) FROM SYS_USER_TABLE"_qs), QStringList{u"0"_qs});
  }

  // Keys: Enter moves on, F3 confirms, F4 closes; the user number is upper-case and held to
  // its width in GBK bytes.
  void enrolKeys() {
    openData();
    TEnrolForm f;
    showActive(f);
    type(f.ZREdit1, u"档案室"_qs);
    QTest::keyClick(f.ZREdit1, Qt::Key_Return);
    QTRY_COMPARE(QApplication::focusWidget(), f.ZREdit4);
    type(f.ZREdit4, u"ab12345"_qs);
    QCOMPARE(f.ZREdit4->text(), u"AB1234"_qs);
    type(f.ZREdit5, u"一二三四五六七八九十十一"_qs); // 20 bytes fit, the 11th character not
    QCOMPARE(f.ZREdit5->text(), u"一二三四五六七八九十"_qs);
    QTest::keyClick(f.ZREdit4, Qt::Key_F3);
    QCOMPARE(prompts().texts(), QStringList{u"必须输入用户口令"_qs});
    QVERIFY(f.isVisible());
    QTest::keyClick(f.ZREdit2, Qt::Key_F4);
    QVERIFY(!f.isVisible());
    QCOMPARE(f.result(), int(QDialog::Rejected));
  }

  // Setup renames the one organisation, replaces all rights by the first user's full set, shows
  // the numbering window with the setup window hidden, tells the user the credentials and
  // makes the templates whose seeds exist, leaving existing ones alone.
  void enrolCompletes() {
    auto &db = openData();
    db.exec(u"INSERT INTO SYS_COMPANY_TABLE(COMPANY_ID,COMPANY_NAME) VALUES('000009','旧名称')"_qs);
    db.exec(
        u"INSERT INTO SYS_USER_TABLE(USE_ID,USE_NAME,SYS_USER,STOP_RIGHT) VALUES('009','老用户','否','有效')"_qs);
    db.exec(
        u"INSERT INTO SYS_RIGHT_TABLE(USE_ID,COMPOSE_ID,PROGRAM_ID,BROWSE_RIGHT) VALUES('009',1,1,'是')"_qs);
    const QString dir = m_env->dataDir();
    for (const char *seed : {"200700000007", "200700000008", "200700000010", "200700000011"}) {
      QFile f(dir + u'/' + QString::fromLatin1(seed));
      QVERIFY(f.open(QIODevice::WriteOnly));
      f.write(QByteArray("seed ") + seed);
    }
    QFile::remove(dir + u"/200700000009");
    db.exec(u"INSERT INTO SYS_PRINT_NAME_TABLE(PRINT_INDEX,PRINT_ID,PRINT_NAME,PRINT_TYPE) "
            u"VALUES('201Q','201Q','我的报表','M')"_qs);
    {
      QFile f(dir + u"/201Q");
      QVERIFY(f.open(QIODevice::WriteOnly));
      f.write("mine");
    }

    TEnrolForm f;
    bool setupHidden = false;
    zr::ui::ModalHandlerGuard guard([&](QDialog &d) {
      m_modalTitles << d.windowTitle();
      setupHidden = f.isHidden();
      return confirmNumbering(d);
    });
    showActive(f);
    fillEnrol(f, {u"卓睿档案室"_qs, u"a01"_qs, u"O'Brien"_qs, u"pw'1"_qs, u"pw'1"_qs});
    QTest::mouseClick(f.Button_Ok, Qt::LeftButton);

    QCOMPARE(f.result(), int(QDialog::Accepted));
    QCOMPARE(m_modalTitles, QStringList{u"编号方式设置窗口"_qs});
    QVERIFY(setupHidden);
    QCOMPARE(prompts().texts(),
             QStringList{u"您的用户名称是：O'Brien\n\r用户编号是：A01\n\r您的口令是：pw'1       "_qs});
    QCOMPARE(column(db, u"SELECT COMPANY_ID || '/' || COMPANY_NAME FROM SYS_COMPANY_TABLE"_qs),
             QStringList{u"000009/卓睿档案室"_qs});
    QCOMPARE(
        column(
            db,
            u"SELECT USE_ID || '/' || USE_NAME || '/' || USE_PASSWORD || '/' || SYS_USER || '/' || "
            u"STOP_RIGHT || '/' || CREATE_NAME || '/' || CREATE_DATE FROM SYS_USER_TABLE WHERE USE_ID = 'A01'"_qs),
        QStringList{u"A01/O'Brien/pw'1/是/有效/O'Brien/2024-03-05"_qs});
    QCOMPARE(
        column(db,
               u"SELECT COMPOSE_ID || '-' || PROGRAM_ID FROM SYS_RIGHT_TABLE WHERE USE_ID = 'A01' AND "
               u"ADD_RIGHT = '是' AND EDIT_RIGHT = '是' AND DELETE_RIGHT = '是' AND BROWSE_RIGHT = '是' AND "
               u"PRINT_RIGHT = '是' AND VERIFY_RIGHT = '是' AND CURRENCY_RIGHT = '是' "
               u"ORDER BY COMPOSE_ID, PROGRAM_ID"_qs),
        (QStringList{u"1-1"_qs, u"1-2"_qs, u"1-3"_qs, u"1-4"_qs, u"1-5"_qs, u"1-6"_qs, u"2-1"_qs,
                     u"2-2"_qs}));
    QCOMPARE(column(db, u"SELECT COUNT(*) FROM SYS_RIGHT_TABLE"_qs), QStringList{u"8"_qs});
    QCOMPARE(zr::db::CurrentUserId, u"A01"_qs);
    QCOMPARE(zr::db::CurrentUserName, u"O'Brien"_qs);
    QVERIFY(zr::db::CurrentUserIsSystem);
    QVERIFY(zr::db::JustEnrolled);
    QCOMPARE(m_env->store().read(u"ZRArchivesImes"_qs), std::optional<QString>(QString()));
    // Numbering window confirmed: its rows exist.
    QCOMPARE(column(db, u"SELECT AUTO_ID FROM SYS_ID_TABLE WHERE NAME_ID = '分类编号'"_qs),
             QStringList{u"0"_qs});

    // Templates: four per category, no "D" (its seed is missing), 201Q untouched.
    QStringList expected;
    for (const QString &c : {u"201"_qs, u"202"_qs, u"203"_qs, u"204"_qs})
      for (const QString &s : {u""_qs, u"L"_qs, u"N"_qs, u"Q"_qs})
        expected << c + s;
    QCOMPARE(column(db, u"SELECT PRINT_INDEX FROM SYS_PRINT_NAME_TABLE ORDER BY PRINT_INDEX"_qs), expected);
    QCOMPARE(column(db, u"SELECT PRINT_NAME FROM SYS_PRINT_NAME_TABLE WHERE PRINT_INDEX = '201Q'"_qs),
             QStringList{u"我的报表"_qs});
    QCOMPARE(column(db,
                    u"SELECT PRINT_ID || '/' || PRINT_NAME || '/' || PRINT_TYPE FROM SYS_PRINT_NAME_TABLE "
                    u"WHERE PRINT_INDEX = '203N'"_qs),
             QStringList{u"203N/档案借阅单/MD"_qs});
    auto content = [&dir](const QString &name) {
      QFile f(dir + u'/' + name);
      return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    };
    QCOMPARE(content(u"201Q"_qs), QByteArray("mine"));
    QCOMPARE(content(u"202Q"_qs), QByteArray("seed 200700000008"));
    QCOMPARE(content(u"204"_qs), QByteArray("seed 200700000007"));
    QCOMPARE(content(u"204L"_qs), QByteArray("seed 200700000011"));
    QVERIFY(!QFile::exists(dir + u"/201D"));
    QVERIFY(!f.ZRThread->Active());
  }

  // A refused right is reported with the database's message; setup stays open and the old
  // rights stay as they were.
  void enrolRightsRefused() {
    auto &db = openData();
    db.exec(
        u"INSERT INTO SYS_RIGHT_TABLE(USE_ID,COMPOSE_ID,PROGRAM_ID,BROWSE_RIGHT) VALUES('009',1,1,'是')"_qs);
    sqlRaw(
        db,
        "CREATE TRIGGER refuse_rights BEFORE INSERT ON SYS_RIGHT_TABLE BEGIN SELECT RAISE(ABORT,'no'); END");
    TEnrolForm f;
    zr::ui::ModalHandlerGuard guard([&](QDialog &d) {
      m_modalTitles << d.windowTitle();
      return confirmNumbering(d);
    });
    showActive(f);
    fillEnrol(f, {u"档案室"_qs, u"A1"_qs, u"王"_qs, u"pw"_qs, u"pw"_qs});
    QTest::mouseClick(f.Button_Ok, Qt::LeftButton);
    QCOMPARE(prompts().texts().size(), 1);
    QVERIFY2(prompts().texts()[0].startsWith(u"数据库操作错误"), qPrintable(prompts().texts()[0]));
    QVERIFY(f.isVisible());
    QCOMPARE(f.result(), int(QDialog::Rejected));
    QVERIFY(m_modalTitles.isEmpty());
    QCOMPARE(column(db, u"SELECT USE_ID FROM SYS_RIGHT_TABLE"_qs), QStringList{u"009"_qs});
  }

  // ---- logon ----

  void logon_data() {
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("loggedOn"); // user id, or empty when refused
    QTest::newRow("by number") << u"001"_qs << u"abc"_qs << u"001"_qs;
    QTest::newRow("by name") << u"张三"_qs << u"abc"_qs << u"001"_qs;
    QTest::newRow("blanks trimmed") << u" 张三 "_qs << u"abc "_qs << u"001"_qs;
    QTest::newRow("name with a quote") << u"O'Neil"_qs << u"x'y"_qs << u"003"_qs;
    QTest::newRow("wrong password") << u"001"_qs << u"abd"_qs << QString();
    QTest::newRow("password is case-sensitive") << u"001"_qs << u"ABC"_qs << QString();
    QTest::newRow("stopped user") << u"002"_qs << u"pw"_qs << QString();
    QTest::newRow("quote trick as password") << u"001"_qs << u"' OR '1'='1"_qs << QString();
    QTest::newRow("quote trick as user") << u"' OR '1'='1' OR '"_qs << u"x"_qs << QString();
  }
  void logon() {
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(QString, loggedOn);
    auto &db = openData();
    db.exec(u"INSERT INTO SYS_USER_TABLE(USE_ID,USE_NAME,USE_PASSWORD,SYS_USER,STOP_RIGHT) "
            u"VALUES('001','张三','abc','是','有效')"_qs);
    db.exec(u"INSERT INTO SYS_USER_TABLE(USE_ID,USE_NAME,USE_PASSWORD,SYS_USER,STOP_RIGHT) "
            u"VALUES('002','李四','pw','否','停用')"_qs);
    db.exec(u"INSERT INTO SYS_USER_TABLE(USE_ID,USE_NAME,USE_PASSWORD,SYS_USER,STOP_RIGHT) "
            u"VALUES('003','O''Neil','x''y','否','有效')"_qs);
    QVERIFY(m_env->store().write(u"ZRArchivesImes"_qs, u"中文输入法"_qs));
    TLogonForm f;
    showActive(f);
    QCOMPARE(QApplication::focusWidget(), f.UserIDBox);
    QStringList offered;
    for (int i = 0; i < f.UserIDBox->count(); ++i)
      offered << f.UserIDBox->itemText(i);
    offered.sort();
    QCOMPARE(offered, (QStringList{u"O'Neil"_qs, u"张三"_qs}));
    type(f.UserIDBox, user);
    QTest::keyClick(f.UserIDBox, Qt::Key_Return);
    QTRY_COMPARE(QApplication::focusWidget(), f.PasswordEdit);
    type(f.PasswordEdit, password);
    QTest::keyClick(f.PasswordEdit, Qt::Key_F3);
    if (loggedOn.isEmpty()) {
      QCOMPARE(prompts().texts(), QStringList{u"错误的用户编号或错误的口令"_qs});
      QVERIFY(f.isVisible());
      QTRY_COMPARE(QApplication::focusWidget(), f.UserIDBox);
      QCOMPARE(f.PasswordEdit->text(), password); // left for the next try
      QCOMPARE(zr::db::CurrentUserId, u"k"_qs);
    } else {
      QVERIFY(prompts().texts().isEmpty());
      QCOMPARE(f.result(), int(QDialog::Accepted));
      QCOMPARE(zr::db::CurrentUserId, loggedOn);
      QCOMPARE(zr::db::CurrentUserIsSystem, loggedOn == u"001");
      QCOMPARE(zr::db::CurrentImeName, u"中文输入法"_qs);
    }
  }

  // Three failures keep the window; the fourth ends the logon with its own message.
  void logonFourAttempts() {
    auto &db = openData();
    db.exec(u"INSERT INTO SYS_USER_TABLE(USE_ID,USE_NAME,USE_PASSWORD,SYS_USER,STOP_RIGHT) "
            u"VALUES('001','张三','abc','是','有效')"_qs);
    TLogonForm f;
    showActive(f);
    type(f.UserIDBox, u"001"_qs);
    type(f.PasswordEdit, u"wrong"_qs);
    for (int i = 1; i <= 3; ++i) {
      QTest::mouseClick(f.ButtonOK, Qt::LeftButton);
      QCOMPARE(prompts().texts().size(), i);
      QCOMPARE(prompts().texts().last(), u"错误的用户编号或错误的口令"_qs);
      QVERIFY(f.isVisible());
    }
    QTest::mouseClick(f.ButtonOK, Qt::LeftButton);
    QCOMPARE(prompts().texts().last(), u"您可能是非法的用户,不能登陆系统"_qs);
    QVERIFY(!f.isVisible());
    QCOMPARE(f.result(), int(QDialog::Rejected));
  }

  // ---- the start-up sequence ----

  void screenCheck_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("enumerable");
    QTest::addColumn<bool>("changed");
    QTest::newRow("1024 wide") << 1024 << true << false;
    QTest::newRow("1280 wide") << 1280 << true << false;
    QTest::newRow("800 wide") << 800 << true << true;
    QTest::newRow("800 wide, modes unknown") << 800 << false << false;
  }
  void screenCheck() {
    QFETCH(int, width);
    QFETCH(bool, enumerable);
    QFETCH(bool, changed);
    FakeModes modes;
    modes.enumerable = enumerable;
    QCOMPARE(ScreenCheck(width, modes), changed);
    QCOMPARE(modes.changes.size(), changed ? 1 : 0);
    QCOMPARE(prompts().texts().size(), changed ? 1 : 0);
    if (changed) {
      QCOMPARE(modes.changes[0].width, 1024);
      QCOMPARE(modes.changes[0].height, 768);
      QCOMPARE(modes.changes[0].bitsPerPixel, 24);
      QVERIFY(prompts().texts()[0].startsWith(u"系统需要1024 × 768的屏幕分辨率才能正常显示"));
      QCOMPARE(prompts().entries()[0].caption, u"提示信息"_qs);
    }
  }

  // No alias: the long message, then the end, before any window but the splash.
  void startupWithoutAlias() {
    FakeModes modes;
    TStartup s(modes);
    s.splashMs = 0;
    zr::ui::ModalHandlerGuard guard([&](QDialog &d) {
      m_modalTitles << d.windowTitle();
      return 0;
    });
    QVERIFY(!s.run());
    QCOMPARE(prompts().texts(), QStringList{missingAliasMessage()});
    QVERIFY(missingAliasMessage().contains(u"重新打开软件。\n\r2.如果打勾后"));
    QVERIFY(m_modalTitles.isEmpty());
    QVERIFY(zr::db::StartupFailed);
  }

  // Which window the start-up offers: setup unless a system user exists.
  void startupChoosesWindow_data() {
    QTest::addColumn<QString>("users"); // SYS_USER values of the stored users
    QTest::addColumn<QString>("window");
    QTest::newRow("empty table") << QString() << u"注册窗口"_qs;
    QTest::newRow("only ordinary users") << u"否,否"_qs << u"注册窗口"_qs;
    QTest::newRow("a system user") << u"否,是"_qs << u"用户登陆窗口"_qs;
  }
  void startupChoosesWindow() {
    QFETCH(QString, users);
    QFETCH(QString, window);
    auto &db = m_env->installAndOpen();
    int n = 0;
    for (const QString &u : users.split(u',', Qt::SkipEmptyParts)) {
      const QString k = QString::number(++n);
      db.exec(u"INSERT INTO SYS_USER_TABLE(USE_ID,USE_NAME,USE_PASSWORD,SYS_USER,STOP_RIGHT) VALUES('00" % k %
              u"','u" % k % u"','p'," % zr::db::quote(u) % u",'有效')");
    }
    FakeModes modes;
    TStartup s(modes);
    s.splashMs = 0;
    zr::ui::ModalHandlerGuard guard([&](QDialog &d) {
      m_modalTitles << d.windowTitle();
      d.show();
      // Leaving either window with its close button ends the program.
      auto *close =
          d.findChild<QPushButton *>(window == u"注册窗口" ? u"Button_Close"_qs : u"ButtonCancel"_qs);
      QTest::mouseClick(close, Qt::LeftButton);
      return d.result();
    });
    QVERIFY(!s.run());
    QCOMPARE(m_modalTitles, QStringList{window});
    QVERIFY(s.main);
    QVERIFY(!s.main->isVisible());
  }

  // A start-up that cannot count the system users ends with the database's message.
  void startupCountFails() {
    auto &db = m_env->installAndOpen();
    sqlRaw(db, "DROP TABLE SYS_USER_TABLE");
    FakeModes modes;
    TStartup s(modes);
    s.splashMs = 0;
    zr::ui::ModalHandlerGuard guard([&](QDialog &d) {
      m_modalTitles << d.windowTitle();
      return 0;
    });
    QVERIFY(!s.run());
    QVERIFY(m_modalTitles.isEmpty());
    QCOMPARE(prompts().texts().size(), 2);
    QCOMPARE(prompts().texts()[0], u"数据库操作错误"_qs);
    QVERIFY(prompts().texts()[1].contains(u"SYS_USER_TABLE"));
  }

  // The first start runs setup and ends on the main window with the organisation's caption;
  // the next start asks for the logon.
  void setupThenLogon() {
    m_env->installAndOpen().close();
    FakeModes modes;
    auto driveEnrol = [&](QDialog &d) {
      m_modalTitles << d.windowTitle();
      if (auto *e = qobject_cast<TEnrolForm *>(&d)) {
        e->show();
        fillEnrol(*e, {u"卓睿档案室"_qs, u"A1"_qs, u"王五"_qs, u"pw"_qs, u"pw"_qs});
        QTest::mouseClick(e->Button_Ok, Qt::LeftButton);
        return e->result();
      }
      if (auto *l = qobject_cast<TLogonForm *>(&d)) {
        l->show();
        type(l->UserIDBox, u"王五"_qs);
        type(l->PasswordEdit, u"pw"_qs);
        QTest::mouseClick(l->ButtonOK, Qt::LeftButton);
        return l->result();
      }
      return confirmNumbering(d);
    };
    {
      TStartup s(modes);
      s.splashMs = 0;
      zr::ui::ModalHandlerGuard guard(driveEnrol);
      TMainForm *w = s.run();
      QVERIFY(w);
      QCOMPARE(w->windowTitle(), u"卓睿档案室典藏库房管理系统"_qs);
      QCOMPARE(m_modalTitles, (QStringList{u"注册窗口"_qs, u"编号方式设置窗口"_qs}));
    }
    m_modalTitles.clear();
    resetGlobals();
    {
      TStartup s(modes);
      s.splashMs = 0;
      zr::ui::ModalHandlerGuard guard(driveEnrol);
      TMainForm *w = s.run();
      QVERIFY(w);
      QCOMPARE(m_modalTitles, QStringList{u"用户登陆窗口"_qs});
      QCOMPARE(zr::db::CurrentUserId, u"A1"_qs);
      QVERIFY(!zr::db::JustEnrolled);
    }
  }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
