#include "catalogue/tsetautoidform.h"
#include "db/globals.h"
#include "db/idsettings.h"
#include "platform/ui/prompter.h"
#include "tests/support/testenv.h"

#include <QtTest/QTest>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <sqlite3.h>

using zr::catalogue::TSetAutoIDForm;

namespace {
const QString kDb = QString::fromUtf16(zr::sql::kDatabaseName);
}

class TestSetAutoID : public QObject {
  Q_OBJECT
  std::unique_ptr<zr::test::TestEnv> m_env;
  std::unique_ptr<zr::ui::ScriptedPrompterGuard> m_prompter;
  zr::sql::Database *m_db = nullptr;

  QString setting(const QString &name) { return zr::db::ReadIdSetting(*m_db, name); }

private slots:
  void init() {
    m_env = std::make_unique<zr::test::TestEnv>();
    m_prompter = std::make_unique<zr::ui::ScriptedPrompterGuard>();
    m_db = &m_env->installAndOpen();
    zr::sql::Database::registerNamed(kDb, m_db);
    zr::db::ArchiveNumberingMode = 0;
    zr::db::ItemTitle = u"档案明细资料"_qs;
  }
  void cleanup() {
    zr::sql::Database::unregisterNamed(kDb);
    m_prompter.reset();
    m_env.reset();
  }

  // Showing reads each setting: missing rows read as no, the backup box shows the opposite of
  // "不自动数据备份", and the mode is re-read.
  void showReadsSettings() {
    QVERIFY(zr::db::WriteIdSetting(*m_db, u"档案明细编号"_qs, u"是"_qs));
    QVERIFY(zr::db::WriteIdSetting(*m_db, u"不自动数据备份"_qs, u"是"_qs));
    QVERIFY(zr::db::WriteIdSetting(*m_db, u"分类编号"_qs, u"1"_qs));
    zr::db::ItemTitle = u"卷内文件"_qs;
    TSetAutoIDForm f;
    f.show();
    QVERIFY(!f.CheckBox1->isChecked());
    QVERIFY(f.CheckBox2->isChecked());
    QCOMPARE(f.CheckBox2->text(), u"系统自动填写卷内文件编号"_qs);
    QVERIFY(!f.CheckBox3->isChecked());
    QVERIFY(!f.CheckBox5->isChecked());
    QVERIFY(!f.CheckBox4->isChecked());
    QCOMPARE(f.itemIndex(), 1);
    QCOMPARE(zr::db::ArchiveNumberingMode, 1);
  }

  // "确定" writes the five rows and the mode, which takes effect at once.
  void okWritesSettings() {
    TSetAutoIDForm f;
    f.show();
    QVERIFY(f.CheckBox4->isChecked()); // no row: backups are offered
    // Click on the box itself: the widgets are wider than their text.
    const auto click = [](QAbstractButton *b) {
      QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
    };
    click(f.CheckBox1);
    click(f.CheckBox4);
    click(f.RadioItems[2]);
    QTest::mouseClick(f.Button_ok, Qt::LeftButton);
    QCOMPARE(f.result(), int(QDialog::Accepted));
    QCOMPARE(setting(u"档案编号"_qs), u"是"_qs);
    QCOMPARE(setting(u"档案明细编号"_qs), u"否"_qs);
    QCOMPARE(setting(u"档案借阅编号"_qs), u"否"_qs);
    QCOMPARE(setting(u"过期未还提醒"_qs), u"否"_qs);
    QCOMPARE(setting(u"不自动数据备份"_qs), u"是"_qs);
    QCOMPARE(setting(u"分类编号"_qs), u"2"_qs);
    QCOMPARE(zr::db::ArchiveNumberingMode, 2);
    QVERIFY(m_prompter->get().texts().isEmpty());
  }

  // A refused write is reported and the rows after it are still written.
  void refusedWriteReported() {
    QCOMPARE(
        sqlite3_exec(m_db->handle(),
                     "CREATE TRIGGER no_lend BEFORE INSERT ON SYS_ID_TABLE WHEN NEW.NAME_ID = '档案借阅编号' "
                     "BEGIN SELECT RAISE(ABORT,'no'); END",
                     nullptr, nullptr, nullptr),
        SQLITE_OK);
    TSetAutoIDForm f;
    f.show();
    QTest::keyClick(&f, Qt::Key_Escape); // the only button is the cancel button too
    QCOMPARE(f.result(), int(QDialog::Accepted));
    QCOMPARE(m_prompter->get().texts(), QStringList{u"参数保存过程发生错误"_qs});
    QCOMPARE(setting(u"档案借阅编号"_qs), QString());
    QCOMPARE(setting(u"过期未还提醒"_qs), u"否"_qs);
    QCOMPARE(setting(u"分类编号"_qs), u"0"_qs);
  }
};

QTEST_MAIN(TestSetAutoID)
#include "tst_setautoid.moc"
