#include "platform/os/files.h"
#include "platform/os/gbk.h"
#include "platform/ui/common.h"
#include "platform/ui/modal.h"
#include "platform/ui/prompter.h"
#include "platform/ui/tdateform.h"
#include "platform/ui/terrormsgform.h"
#include "platform/ui/tzrthread.h"
#include "tests/support/testenv.h"

#include <QtTest/QTest>
#include <QtWidgets/QCalendarWidget>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QProgressBar>
#include <QtWidgets/QPushButton>

using namespace zr::ui;

class TestCommonUi : public QObject {
  Q_OBJECT
  std::unique_ptr<zr::test::TestEnv> m_env;
  std::unique_ptr<ScriptedPrompterGuard> m_prompter;
  ScriptedPrompter &prompts() { return m_prompter->get(); }

private slots:
  void init() {
    m_env = std::make_unique<zr::test::TestEnv>();
    m_prompter = std::make_unique<ScriptedPrompterGuard>();
  }
  void cleanup() {
    m_prompter.reset();
    m_env.reset();
  }

  void messageBoxes() {
    prompts().queueAnswer(Answer::No);
    QVERIFY(!Confirm(u"删除吗"_qs));
    prompts().queueAnswer(Answer::Yes);
    QVERIFY(Confirm(u"删除吗"_qs));
    ShowError(u"e"_qs);
    ShowWarning(u"w"_qs);
    QWidget owner;
    ShowWarningFor(&owner, u"wf"_qs);
    ShowErrorFor(&owner, u"ef"_qs);
    const auto &e = prompts().entries();
    QCOMPARE(e.size(), 6);
    QCOMPARE(e[0].text, u"删除吗 ?"_qs);
    QCOMPARE(e[0].caption, u"提示信息"_qs);
    QCOMPARE(e[0].icon, Icon::Question);
    QCOMPARE(e[0].buttons, Buttons::YesNo);
    const struct {
      const char16_t *caption;
      Icon icon;
    } rest[] = {{u"错误信息", Icon::Error},
                {u"提示信息", Icon::Warning},
                {u"提示信息", Icon::Warning},
                {u"错误信息", Icon::Error}};
    for (int i = 0; i < 4; ++i) {
      QCOMPARE(e[i + 2].caption, QString::fromUtf16(rest[i].caption));
      QCOMPARE(e[i + 2].icon, rest[i].icon);
      QCOMPARE(e[i + 2].buttons, Buttons::Ok);
    }
  }

  void capitalAmountWarnsOutOfRange() {
    QCOMPARE(CapitalAmount(u"12345678901234"_qs), u"整"_qs);
    QCOMPARE(prompts().texts(), QStringList{u"所处理数据超出范围!"_qs});
    QCOMPARE(CapitalAmount(u"20"_qs), u"贰拾元整"_qs);
    QCOMPARE(prompts().texts().size(), 1);
  }

  void settings() {
    QVERIFY(WriteSetting(u"ZRArchivesImes"_qs, u"五笔"_qs));
    QCOMPARE(ReadSetting(u"ZRArchivesImes"_qs), u"五笔"_qs);
    QCOMPARE(ReadSetting(u"Missing"_qs), QString());
    QVERIFY(WriteSetting(u"ZRArchivesColor"_qs, u"12615680"_qs));
    QCOMPARE(ReadIntSetting(u"ZRArchivesColor"_qs), u"12615680"_qs);
    QVERIFY(WriteSetting(u"ZRArchivesColor"_qs, u"blue"_qs));
    QCOMPARE(ReadIntSetting(u"ZRArchivesColor"_qs), QString());
    QVERIFY(prompts().texts().isEmpty());
  }

  // A store that cannot be opened: the warning, and nothing read.
  void settingsStoreUnreadable() {
    const QString path = m_env->root() + u"/settings/ZRSOFTWARE.ini";
    QDir().mkpath(path); // a directory where the file should be
    QCOMPARE(ReadSetting(u"ZRArchivesImes"_qs), QString());
    QVERIFY(!WriteSetting(u"ZRArchivesImes"_qs, u"x"_qs));
    QCOMPARE(prompts().texts(), (QStringList{u"注册表打开错误"_qs, u"注册表打开错误"_qs}));
  }

  // PickDate opens on the given date (a time of day cut off), or on the default; OK returns
  // YYYY-MM-DD, the year step keeps 29 February valid, close returns nothing.
  void pickDate_data() {
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("fallback");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("result");
    QTest::newRow("date and time") << u"2010-01-02 12:30"_qs << u"2024-03-05"_qs << u"2010-01-02"_qs
                                   << u"button_ok"_qs << u"2010-01-02"_qs;
    QTest::newRow("empty uses default")
        << QString() << u"2024-03-05"_qs << u"2024-03-05"_qs << u"button_ok"_qs << u"2024-03-05"_qs;
    QTest::newRow("next month") << u"2024-01-31"_qs << QString() << u"2024-01-31"_qs << u"NextMonthBtn"_qs
                                << u"2024-02-29"_qs;
    QTest::newRow("leap day, next year")
        << u"2024-02-29"_qs << QString() << u"2024-02-29"_qs << u"SpeedButton2"_qs << u"2025-02-28"_qs;
    QTest::newRow("previous year") << u"2024-03-05"_qs << QString() << u"2024-03-05"_qs << u"SpeedButton1"_qs
                                   << u"2023-03-05"_qs;
    QTest::newRow("cancelled") << u"2024-03-05"_qs << QString() << u"2024-03-05"_qs << u"button_close"_qs
                               << QString();
  }
  void pickDate() {
    QFETCH(QString, current);
    QFETCH(QString, fallback);
    QFETCH(QString, shown);
    QFETCH(QString, button);
    QFETCH(QString, result);
    QString title;
    ModalHandlerGuard guard([&](QDialog &d) {
      auto &f = static_cast<TDateForm &>(d);
      f.show();
      title = f.TitleLabel->text();
      auto *b = f.findChild<QPushButton *>(button);
      QTest::mouseClick(b, Qt::LeftButton);
      if (b != f.button_ok && b != f.button_close)
        QTest::keyClick(&f, Qt::Key_F3);
      return f.result();
    });
    QCOMPARE(PickDate(current, fallback), result);
    QCOMPARE(title, shown);
    QCOMPARE(prompts().texts(), QStringList{});
  }

  // An invalid current date leaves the calendar where it was, without a message.
  void pickDateInvalid() {
    QDate opened;
    ModalHandlerGuard guard([&](QDialog &d) {
      opened = static_cast<TDateForm &>(d).date();
      return int(QDialog::Rejected);
    });
    QCOMPARE(PickDate(u"2024-13-01"_qs, u"2020-01-01"_qs), QString());
    QCOMPARE(opened, QDate::currentDate());
    QVERIFY(prompts().texts().isEmpty());
  }

  void errorMsgFormSaves() {
    TErrorMsgForm f;
    f.setFileName(u"导入错误"_qs);
    f.addLine(u"第3行: 档案编号重复"_qs);
    f.addLine(u"第9行: 日期错误"_qs);
    QVERIFY(f.Memo1->isReadOnly());
    const QString path = m_env->root() + u"/out.txt";
    prompts().queueFile(path);
    QTest::mouseClick(f.Button_Save, Qt::LeftButton);
    QCOMPARE(prompts().fileRequests().size(), 1);
    QCOMPARE(prompts().fileRequests()[0].filter, u"txt|*.txt"_qs);
    QCOMPARE(prompts().fileRequests()[0].directory, u"导入错误"_qs);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(zr::gbk::decode(file.readAll()), u"第3行: 档案编号重复\n第9行: 日期错误\n"_qs);
  }

  // The progress window: shown by Start with its caption and bars, the stop button seen by
  // Stopped, gone after Stop, and a new Start clears the stop.
  void progressWindow() {
    TZRThread t;
    t.Caption = u"正在建立报表数据......"_qs;
    t.Kind = TOptionKind::Delete;
    t.SetMax(5);
    t.Start();
    QVERIFY(t.Active());
    TThreadForm *w = t.form();
    QVERIFY(w->isVisible());
    QCOMPARE(w->windowTitle(), u"正在建立报表数据......"_qs);
    QCOMPARE(w->height(), 158);
    QVERIFY(w->ProgressBar1->isVisibleTo(w));
    QVERIFY(!w->ProgressBar2->isVisibleTo(w));
    QVERIFY(w->Animate1->running());
    QCOMPARE(w->Animate1->kind(), TOptionKind::Delete);
    t.SetPosition(3);
    QCOMPARE(w->ProgressBar1->maximum(), 5);
    QCOMPARE(w->ProgressBar1->value(), 3);
    QVERIFY(!t.Stopped());
    QTest::mouseClick(w->button_close, Qt::LeftButton);
    QVERIFY(t.Stopped());
    QTest::keyClick(w, Qt::Key_Escape); // does not take the window away
    QVERIFY(w->isVisible());
    t.Stop();
    QVERIFY(!t.Active());
    QVERIFY(!w->isVisible());
    t.Tall = true;
    t.Caption.clear();
    t.Start();
    QVERIFY(!t.Stopped());
    QCOMPARE(w->height(), 194);
    QCOMPARE(w->windowTitle(), u"提示窗口"_qs);
    t.Stop();
  }

  void copyFiles() {
    const QString root = m_env->root();
    auto write = [](const QString &p, const QByteArray &b) {
      QDir().mkpath(QFileInfo(p).absolutePath());
      QFile f(p);
      QVERIFY(f.open(QIODevice::WriteOnly));
      f.write(b);
    };
    auto read = [](const QString &p) {
      QFile f(p);
      return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    };
    write(root + u"/src/a.txt", "a");
    write(root + u"/src/sub/b.txt", "b");
    write(root + u"/src/c.dat", "c");
    write(root + u"/one/a.txt", "old");
    // A file over an existing one, without asking.
    QVERIFY(zr::os::CopyFiles(root + u"/src/a.txt", root + u"/one/a.txt"));
    QCOMPARE(read(root + u"/one/a.txt"), QByteArray("a"));
    // A tree to a new place, target folders made.
    QVERIFY(zr::os::CopyFiles(root + u"/src", root + u"/deep/copy"));
    QCOMPARE(read(root + u"/deep/copy/sub/b.txt"), QByteArray("b"));
    // A wildcard into a folder.
    QVERIFY(zr::os::CopyFiles(root + u"/src/*.txt", root + u"/wild"));
    QCOMPARE(read(root + u"/wild/a.txt"), QByteArray("a"));
    QVERIFY(!QFile::exists(root + u"/wild/c.dat"));
    // Nothing to copy is a failure.
    QVERIFY(!zr::os::CopyFiles(root + u"/nothing", root + u"/x"));
    QVERIFY(zr::os::IsDirectory(root + u"/deep/copy"));
    QVERIFY(!zr::os::IsDirectory(root + u"/src/a.txt"));
    QVERIFY(zr::os::TempDirectory().endsWith(QDir::separator()));
  }
};

QTEST_MAIN(TestCommonUi)
#include "tst_commonui.moc"
