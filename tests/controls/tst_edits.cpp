#include "controls/zredits.h"
#include "platform/dataset/dataset.h"
#include "platform/ui/prompter.h"
#include "tests/support/testenv.h"

#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QToolButton>
#include <QtWidgets/QVBoxLayout>

using namespace zr::controls;

namespace {
// Types text key by key; characters without a key of their own arrive as an input method sends them.
void typeText(QWidget *w, const QString &text) {
  for (QChar c : text) {
    if (c.unicode() < 0x80)
      QTest::keyClick(w, char(c.unicode()));
    else
      QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
  }
}
} // namespace

class TestEdits : public QObject {
  Q_OBJECT
  std::unique_ptr<zr::test::TestEnv> m_env;
  std::unique_ptr<zr::ui::ScriptedPrompterGuard> m_prompts;

private slots:
  void init() {
    m_env = std::make_unique<zr::test::TestEnv>();
    m_prompts = std::make_unique<zr::ui::ScriptedPrompterGuard>();
  }
  zr::sql::Database &withCategory() {
    zr::sql::Database &db = m_env->installAndOpen();
    db.exec(u"INSERT INTO ZR_ARCHIVE_TYPE_TABLE(ARCHIVE_TYPE_ID,ARCHIVE_TYPE_NAME,ORDER_ID,PRIOR_ID) "
            u"VALUES('201','文书档案',1,'G001')"_qs);
    return db;
  }
  void cleanup() {
    m_prompts.reset();
    m_env.reset();
  }

  void typedCharacters_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("start");
    QTest::addColumn<bool>("selectAll");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    auto row = [](const char *name, TEditTypes t, const QString &start, bool sel, const QString &typed,
                  const QString &shown) { QTest::newRow(name) << int(t) << start << sel << typed << shown; };
    row("integer refuses a second minus", TEditTypes::etInteger, {}, false, u"-12-3"_qs, u"-123"_qs);
    row("integer refuses letters and space", TEditTypes::etInteger, {}, false, u"1a 2"_qs, u"12"_qs);
    row("integer: whole text selected is replaced by anything", TEditTypes::etInteger, u"-45"_qs, true,
        u"x"_qs, u"x"_qs);
    row("float takes one decimal mark", TEditTypes::etFloat, {}, false, u"1.5.2,"_qs, u"1.52"_qs);
    row("float comma enters the decimal separator", TEditTypes::etFloat, {}, false, u"3,25"_qs, u"3.25"_qs);
    row("date takes digits and separators", TEditTypes::etDate, {}, false, u"2024/3-5x"_qs, u"2024/3-5"_qs);
    row("time takes digits and colon", TEditTypes::etTime, {}, false, u"12:3a0"_qs, u"12:30"_qs);
    row("string takes everything", TEditTypes::etString, {}, false, u"a-b.c"_qs, u"a-b.c"_qs);
  }
  void typedCharacters() {
    QFETCH(int, type);
    QFETCH(QString, start);
    QFETCH(bool, selectAll);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QLocale::setDefault(QLocale::c());
    QWidget w;
    auto *e = new TZREdit(&w);
    e->EditType = TEditTypes(type);
    e->setText(start);
    w.show();
    e->setFocus();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    if (selectAll)
      e->selectAll();
    else
      e->end(false);
    QTest::keyClicks(e, typed);
    QCOMPARE(e->text(), shown);
  }

  void integerWithMinusIsLimitedToElevenCharacters() {
    TZREdit e;
    e.EditType = TEditTypes::etInteger;
    QTest::keyClicks(&e, u"-1234567890123"_qs);
    QCOMPARE(e.text(), u"-1234567890"_qs);
  }

  void focusColoursOnEnteringAndLeaving() {
    QWidget w;
    auto *lay = new QVBoxLayout(&w);
    auto *a = new TZREdit(&w);
    auto *b = new TZREdit(&w);
    lay->addWidget(a);
    lay->addWidget(b);
    QPalette p = a->palette();
    p.setColor(QPalette::Base, Qt::white);
    a->setPalette(p);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    b->setFocus();
    QTRY_VERIFY(b->hasFocus());
    QTest::mouseClick(a, Qt::LeftButton);
    QTRY_VERIFY(a->hasFocus());
    QCOMPARE(a->palette().color(QPalette::Base), a->focus.ColorOnFocus);
    QTest::keyClick(a, Qt::Key_Tab);
    QTRY_VERIFY(b->hasFocus());
    QCOMPARE(a->palette().color(QPalette::Base), QColor(Qt::white));
  }

  void textFieldsShareTheInputMethodMemory() {
    QWidget w;
    auto *lay = new QVBoxLayout(&w);
    auto *a = new TZREdit(&w);
    auto *num = new TZREdit(&w);
    num->EditType = TEditTypes::etInteger;
    auto *b = new TZREdit(&w);
    for (auto *e : {a, num, b})
      lay->addWidget(e);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    a->setFocus();
    QTRY_VERIFY(a->hasFocus());
    a->setProperty("ImeName", u"拼音"_qs); // the user switches input method
    QTest::keyClick(a, Qt::Key_Tab);
    QTRY_VERIFY(num->hasFocus());
    QCOMPARE(num->property("ImeName").toString(), QString());
    QTest::keyClick(num, Qt::Key_Tab);
    QTRY_VERIFY(b->hasFocus());
    QCOMPARE(b->property("ImeName").toString(), u"拼音"_qs);
  }

  void comboEditButtonByAltDownAndClick() {
    TZRComboEdit e;
    int clicks = 0;
    e.OnButtonClick = [&] { ++clicks; };
    e.resize(120, 21);
    e.show();
    QVERIFY(QTest::qWaitForWindowExposed(&e));
    QTest::keyClick(&e, Qt::Key_Down, Qt::AltModifier);
    QCOMPARE(clicks, 1);
    QCOMPARE(e.text(), QString()); // the key is consumed
    QTest::mouseClick(e.button(), Qt::LeftButton);
    QCOMPARE(clicks, 2);
    QVERIFY(e.button()->geometry().right() < e.width());
    e.setButtonWidth(0);
    QTest::keyClick(&e, Qt::Key_Down, Qt::AltModifier);
    QCOMPARE(clicks, 2);
    QVERIFY(!e.button()->isVisible());
  }

  // A string field of 20 GBK bytes: the 21st byte is refused as it is typed, a Chinese
  // character counting two.
  void gbkByteLimitOfAStringField_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    QTest::newRow("ascii") << u"123456789012345678901"_qs << u"12345678901234567890"_qs;
    QTest::newRow("chinese") << u"一二三四五六七八九十百"_qs << u"一二三四五六七八九十"_qs;
    QTest::newRow("mixed odd") << u"1一二三四五六七八九十"_qs << u"1一二三四五六七八九"_qs;
  }
  void gbkByteLimitOfAStringField() {
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    zr::sql::Database &db = m_env->installAndOpen();
    zr::data::Dataset ds;
    ds.setDatabase(&db);
    ds.setSql(u"SELECT * FROM ZR_ARCHIVE_TYPE_TABLE"_qs); // ARCHIVE_TYPE_NAME holds 20 bytes
    ds.open();
    TZRDBEdit e;
    e.setDataSource(&ds, u"ARCHIVE_TYPE_NAME"_qs);
    QCOMPARE(e.property("DataField").toString(), u"ARCHIVE_TYPE_NAME"_qs);
    QVERIFY(e.property("Tag").isValid());
    ds.append();
    typeText(&e, typed);
    QCOMPARE(e.text(), kept);
  }

  void dataBoundEditWritesBackAndKeepsFocusOnFailure() {
    zr::sql::Database &db = withCategory();
    zr::data::Dataset ds;
    ds.setDatabase(&db);
    ds.setSql(u"SELECT * FROM ZR_ARCHIVE_TYPE_TABLE ORDER BY ARCHIVE_TYPE_ID"_qs);
    ds.open();
    QWidget w;
    auto *lay = new QVBoxLayout(&w);
    auto *name = new TZRDBEdit(&w);
    auto *order = new TZRDBEdit(&w);
    lay->addWidget(name);
    lay->addWidget(order);
    name->setDataSource(&ds, u"ARCHIVE_TYPE_NAME"_qs);
    order->setDataSource(&ds, u"ORDER_ID"_qs);
    QVERIFY(!name->text().isEmpty()); // shows the first row
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    ds.edit();
    name->setFocus();
    QTRY_VERIFY(name->hasFocus());
    name->selectAll();
    typeText(name, u"新类别"_qs);
    QTest::keyClick(name, Qt::Key_Tab);
    QTRY_VERIFY(order->hasFocus());
    QCOMPARE(ds.fieldByName(u"ARCHIVE_TYPE_NAME"_qs)->asString(), u"新类别"_qs);
    // a number field refuses a letter as it is typed, and a bad text pasted in on leaving
    order->selectAll();
    QTest::keyClicks(order, u"1x2"_qs);
    QCOMPARE(order->text(), u"12"_qs);
    order->setText(u"1-2-3"_qs);
    QTest::keyClick(order, Qt::Key_Tab);
    QTRY_VERIFY(order->hasFocus());
    QCOMPARE(order->selectedText(), u"1-2-3"_qs);
    QVERIFY(m_prompts->get().texts().last().endsWith(u"是错误的数据"));
  }

  void dataBoundComboEditSelectAndFieldFilter() {
    zr::sql::Database &db = withCategory();
    zr::data::Dataset ds;
    ds.setDatabase(&db);
    ds.setSql(u"SELECT * FROM ZR_ARCHIVE_TYPE_TABLE"_qs);
    ds.open();
    TZRDBComboEdit e;
    e.setDataSource(&ds, u"ORDER_ID"_qs);
    QVERIFY(e.isReadOnly());
    int selects = 0;
    e.OnSelect = [&](QObject *, bool &handled) {
      ++selects;
      handled = true;
    };
    e.setReadOnly(false);
    ds.edit();
    e.selectAll();
    QTest::keyClicks(&e, u"7a"_qs);
    QCOMPARE(e.text(), u"7"_qs);
    QTest::keyClick(&e, Qt::Key_Return);
    QCOMPARE(selects, 1);
  }
};

QTEST_MAIN(TestEdits)
#include "tst_edits.moc"
