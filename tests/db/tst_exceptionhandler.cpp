#include "db/errortext.h"
#include "db/exceptionhandler.h"
#include "db/queries.h"
#include "platform/sql/database.h"
#include "platform/ui/prompter.h"
#include "tests/support/testenv.h"

#include <QtTest/QTest>
#include <sqlite3.h>

Q_DECLARE_METATYPE(std::exception_ptr)

using zr::sql::EngineError;
using zr::sql::ErrorRecord;
using zr::ui::Icon;

namespace {
template <class E> void handle(const E &e) {
  zr::db::HandleException(nullptr, std::make_exception_ptr(e));
}
} // namespace

class TestExceptionHandler : public QObject {
  Q_OBJECT
  std::unique_ptr<zr::test::TestEnv> m_env;
  std::unique_ptr<zr::ui::ScriptedPrompterGuard> m_prompter;

private slots:
  void init() {
    m_env = std::make_unique<zr::test::TestEnv>();
    m_prompter = std::make_unique<zr::ui::ScriptedPrompterGuard>();
  }
  void cleanup() {
    m_prompter.reset();
    m_env.reset();
  }

  // Each listed record shows its message alone, as a warning.
  void listedRecords_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("category");
    QTest::addColumn<int>("sub");
    QTest::addColumn<QString>("message");
    QTest::newRow("dependent rows") << 9734 << 38 << 6
                                    << u"其它的数据库表中存在对该纪录的引用,纪录不能删除"_qs;
    QTest::newRow("open failure") << 10770 << 42 << 18 << u"数据库打开过程发生错误"_qs;
    QTest::newRow("key violation") << 9729 << 38 << 1 << u"数据库主键重复"_qs;
    QTest::newRow("row changed") << 10763 << 42 << 11
                                 << u"数据已被其它用户修改,请重新查找刷新该记录,查看其它用户修改后的数据"_qs;
    QTest::newRow("too big") << 10029 << 39 << 45 << u"数据太大,不能保存数据"_qs;
    QTest::newRow("table locked") << 10243 << 40 << 3 << u"有未关闭的数据表"_qs;
  }
  void listedRecords() {
    QFETCH(int, code);
    QFETCH(int, category);
    QFETCH(int, sub);
    QFETCH(QString, message);
    handle(EngineError(ErrorRecord{code, category, sub, 0, u"engine text"_qs}));
    auto &p = m_prompter->get();
    QCOMPARE(p.texts(), QStringList{message});
    QCOMPARE(p.entries().first().caption, u"提示信息"_qs);
    QCOMPARE(p.entries().first().icon, Icon::Warning);
  }

  // An unlisted record, or a listed one with a native code, shows the generic warning and then
  // the technical text as an error.
  void unlistedRecords_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("category");
    QTest::addColumn<int>("sub");
    QTest::addColumn<int>("native");
    QTest::newRow("unknown code") << 9999 << 1 << 2 << 0;
    QTest::newRow("listed code, other sub-code") << 9729 << 38 << 2 << 0;
    QTest::newRow("listed code with native code") << 9729 << 38 << 1 << 19;
  }
  void unlistedRecords() {
    QFETCH(int, code);
    QFETCH(int, category);
    QFETCH(int, sub);
    QFETCH(int, native);
    handle(EngineError(ErrorRecord{code, category, sub, native, u"引擎原文"_qs}));
    auto &p = m_prompter->get();
    QCOMPARE(p.entries().size(), 2);
    QCOMPARE(p.entries()[0].text, u"数据库操作错误"_qs);
    QCOMPARE(p.entries()[0].icon, Icon::Warning);
    QCOMPARE(p.entries()[1].caption, u"错误信息"_qs);
    QCOMPARE(p.entries()[1].icon, Icon::Error);
    QCOMPARE(p.entries()[1].text, u"EDBEngineError:ErrorCode: (" % QString::number(code) % u',' %
                                      QString::number(category) % u',' % QString::number(sub) % u',' %
                                      QString::number(native) % u")\t引擎原文\r");
  }

  // Failures the engine really raises: a duplicate key, and a refusal it has no word for.
  void realEngineErrors() {
    auto &db = m_env->installAndOpen();
    db.exec(u"INSERT INTO SYS_USER_TABLE(USE_ID,USE_NAME) VALUES('001','a')"_qs);
    try {
      db.exec(u"INSERT INTO SYS_USER_TABLE(USE_ID,USE_NAME) VALUES('001','b')"_qs);
      QFAIL("duplicate stored");
    } catch (...) {
      zr::db::HandleException(nullptr, std::current_exception());
    }
    QCOMPARE(m_prompter->get().texts(), QStringList{u"数据库主键重复"_qs});
    m_prompter->get().clear();

    QCOMPARE(sqlite3_exec(
                 db.handle(),
                 "CREATE TRIGGER refuse BEFORE DELETE ON SYS_USER_TABLE BEGIN SELECT RAISE(ABORT,'no'); END",
                 nullptr, nullptr, nullptr),
             SQLITE_OK);
    try {
      db.exec(u"DELETE FROM SYS_USER_TABLE"_qs);
      QFAIL("delete went through the trigger");
    } catch (...) {
      zr::db::HandleException(nullptr, std::current_exception());
    }
    const QStringList texts = m_prompter->get().texts();
    QCOMPARE(texts.size(), 2);
    QCOMPARE(texts[0], u"数据库操作错误"_qs);
    QVERIFY2(texts[1].startsWith(u"EDBEngineError:ErrorCode: ("), qPrintable(texts[1]));
  }

  void otherErrors_data() {
    QTest::addColumn<std::exception_ptr>("error");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<int>("icon");
    QTest::newRow("date") << std::make_exception_ptr(
                                 zr::sql::ConversionError(u"'2024-13-01' is not a valid date"_qs))
                          << QStringList{u"请按格式YYYY-MM-DD 输入日期"_qs} << int(Icon::Warning);
    QTest::newRow("format") << std::make_exception_ptr(zr::sql::ConversionError(
                                   u"Format '%d' invalid or incompatible with argument"_qs))
                            << QStringList{u"指定的格式与参数类型不匹配!"_qs} << int(Icon::Warning);
    QTest::newRow("other conversion") << std::make_exception_ptr(zr::sql::ConversionError(u"不是数字"_qs))
                                      << QStringList{u"不是数字"_qs} << int(Icon::Warning);
    QTest::newRow("range") << std::make_exception_ptr(std::out_of_range("index 5"))
                           << QStringList{u"ERangeError:index 5"_qs} << int(Icon::Error);
    QTest::newRow("any other") << std::make_exception_ptr(std::runtime_error("boom"))
                               << QStringList{u"Exception:boom"_qs} << int(Icon::Error);
    QTest::newRow("silent abort") << std::make_exception_ptr(zr::db::EAbort()) << QStringList{} << 0;
  }
  void otherErrors() {
    QFETCH(std::exception_ptr, error);
    QFETCH(QStringList, texts);
    QFETCH(int, icon);
    zr::db::HandleException(nullptr, error);
    const auto &p = m_prompter->get();
    QCOMPARE(p.texts(), texts);
    if (!texts.isEmpty())
      QCOMPARE(int(p.entries()[0].icon), icon);
  }

  // A statement built from a format that does not fit its arguments reaches the user as the
  // format message.
  void formatMismatchThroughHandler() {
    try {
      zr::db::formatStatement(u"SELECT * FROM T WHERE ID = %d"_qs, {u"abc"_qs});
      QFAIL("no error");
    } catch (...) {
      zr::db::HandleException(nullptr, std::current_exception());
    }
    QCOMPARE(m_prompter->get().texts(), QStringList{u"指定的格式与参数类型不匹配!"_qs});
  }
};

QTEST_MAIN(TestExceptionHandler)
#include "tst_exceptionhandler.moc"
