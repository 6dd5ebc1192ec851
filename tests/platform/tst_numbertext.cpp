#include "platform/os/numbertext.h"

#include <QtTest/QTest>

using namespace zr::os;

class TestNumberText : public QObject {
  Q_OBJECT
private slots:
  void parseNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("thousands separators") << u"4,567.50"_qs << 4567.5;
    QTest::newRow("blanks around") << u"  12.5 "_qs << 12.5;
    QTest::newRow("negative") << u"-1,000"_qs << -1000.0;
    QTest::newRow("letters") << u"abc"_qs << 0.0;
    QTest::newRow("empty") << QString() << 0.0;
    QTest::newRow("number then letters") << u"12abc"_qs << 0.0;
    QTest::newRow("infinity is not a number") << u"inf"_qs << 0.0;
  }
  void parseNumber() {
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(ParseNumber(text), value);
  }

  void roundText_data() {
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("word");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    const QString w5 = u"五舍六入"_qs, w3 = u"三舍四入"_qs, w2 = u"二舍三入"_qs, w1 = u"一舍二入"_qs;
    QTest::newRow("1.25 five-down") << 1 << w5 << 1.25 << u"1.2"_qs;
    QTest::newRow("1.25 ordinary") << 1 << QString() << 1.25 << u"1.3"_qs;
    QTest::newRow("1.25 other word") << 1 << u"四舍五入"_qs << 1.25 << u"1.3"_qs;
    QTest::newRow("1.26 five-down") << 1 << w5 << 1.26 << u"1.3"_qs;
    QTest::newRow("1.24 three-down") << 1 << w3 << 1.24 << u"1.3"_qs;
    QTest::newRow("1.23 two-down") << 1 << w2 << 1.23 << u"1.3"_qs;
    QTest::newRow("1.22 one-down") << 1 << w1 << 1.22 << u"1.3"_qs;
    QTest::newRow("1.21 five-down") << 1 << w5 << 1.21 << u"1.2"_qs;
    QTest::newRow("1.21 three-down") << 1 << w3 << 1.21 << u"1.2"_qs;
    QTest::newRow("1.21 two-down") << 1 << w2 << 1.21 << u"1.2"_qs;
    QTest::newRow("1.21 one-down") << 1 << w1 << 1.21 << u"1.2"_qs;
    QTest::newRow("2.375 five-down") << 2 << w5 << 2.375 << u"2.37"_qs;
    QTest::newRow("2.375 ordinary") << 2 << QString() << 2.375 << u"2.38"_qs;
    QTest::newRow("2.374 three-down") << 2 << w3 << 2.374 << u"2.38"_qs;
    QTest::newRow("2.374 ordinary") << 2 << QString() << 2.374 << u"2.37"_qs;
    QTest::newRow("7.4 three-down whole") << 0 << w3 << 7.4 << u"8"_qs;
    QTest::newRow("decimals 12 means whole") << 12 << QString() << 7.6 << u"8"_qs;
    QTest::newRow("negative decimals mean whole") << -1 << QString() << 2.5 << u"3"_qs;
    // Binary 2.345 is 2.34499999...; the decimal reading decides.
    QTest::newRow("2.345 ordinary") << 2 << QString() << 2.345 << u"2.35"_qs;
    QTest::newRow("1.005 ordinary") << 2 << QString() << 1.005 << u"1.01"_qs;
    QTest::newRow("0.125 ordinary") << 2 << QString() << 0.125 << u"0.13"_qs;
    QTest::newRow("carry through nines") << 2 << QString() << 9.995 << u"10.00"_qs;
    QTest::newRow("zero five-down") << 1 << w5 << 0.0 << u"0.0"_qs;
    QTest::newRow("large") << 2 << QString() << 123456789012.345 << u"123456789012.35"_qs;
    // Negative values round as their magnitude does.
    QTest::newRow("-1.25 five-down") << 1 << w5 << -1.25 << u"-1.2"_qs;
    QTest::newRow("-1.24 five-down") << 1 << w5 << -1.24 << u"-1.2"_qs;
    QTest::newRow("-1.24 three-down") << 1 << w3 << -1.24 << u"-1.3"_qs;
    QTest::newRow("-1.25 ordinary") << 1 << QString() << -1.25 << u"-1.3"_qs;
    QTest::newRow("-0.04 no negative zero") << 1 << QString() << -0.04 << u"0.0"_qs;
  }
  void roundText() {
    QFETCH(int, decimals);
    QFETCH(QString, word);
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(RoundText(decimals, word, value), expected);
  }

  void capitalAmount_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("words");
    QTest::addColumn<bool>("outOfRange");
    QTest::newRow("4567.5") << u"4567.5"_qs << u"肆仟伍佰陆拾柒元伍角整"_qs << false;
    QTest::newRow("100.05") << u"100.05"_qs << u"壹佰元零伍分"_qs << false;
    QTest::newRow("0.3") << u"0.3"_qs << u"叁角整"_qs << false;
    QTest::newRow("-20") << u"-20"_qs << u"负贰拾元整"_qs << false;
    QTest::newRow("-0.3") << u"-0.3"_qs << u"负叁角整"_qs << false;
    QTest::newRow("0") << u"0"_qs << QString() << false;
    QTest::newRow("empty") << QString() << QString() << false;
    QTest::newRow("below a fen") << u"0.004"_qs << QString() << false;
    QTest::newRow("one hundred million") << u"100000000"_qs << u"壹亿元整"_qs << false;
    QTest::newRow("100,010,000") << u"100,010,000"_qs << u"壹亿零壹万元整"_qs << false;
    QTest::newRow("jiao and fen") << u"12.34"_qs << u"壹拾贰元叁角肆分"_qs << false;
    QTest::newRow("1001") << u"1001"_qs << u"壹仟零壹元整"_qs << false;
    QTest::newRow("1010") << u"1010"_qs << u"壹仟零壹拾元整"_qs << false;
    QTest::newRow("1100") << u"1100"_qs << u"壹仟壹佰元整"_qs << false;
    QTest::newRow("105") << u"105"_qs << u"壹佰零伍元整"_qs << false;
    QTest::newRow("10001") << u"10001"_qs << u"壹万零壹元整"_qs << false;
    QTest::newRow("10500 as the printed forms write it") << u"10500"_qs << u"壹万伍佰元整"_qs << false;
    QTest::newRow("10510") << u"10510"_qs << u"壹万伍佰壹拾元整"_qs << false;
    QTest::newRow("10511") << u"10511"_qs << u"壹万零伍佰壹拾壹元整"_qs << false;
    QTest::newRow("twelve digits") << u"999999999999"_qs
                                   << u"玖仟玖佰玖拾玖亿玖仟玖佰玖拾玖万玖仟玖佰玖拾玖元整"_qs << false;
    QTest::newRow("thirteen digits") << u"1234567890123.45"_qs << u"肆角伍分"_qs << true;
    QTest::newRow("thirteen digits whole") << u"1234567890123"_qs << u"整"_qs << true;
    QTest::newRow("rounded to fen") << u"2.345"_qs << u"贰元叁角伍分"_qs << false;
  }
  void capitalAmount() {
    QFETCH(QString, text);
    QFETCH(QString, words);
    QFETCH(bool, outOfRange);
    bool out = !outOfRange;
    QCOMPARE(CapitalAmountText(text, &out), words);
    QCOMPARE(out, outOfRange);
  }

  void padAndField_data() {
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("expected");
    QTest::newRow("pad 6") << PadZeros(u"42"_qs, 6) << u"000042"_qs;
    QTest::newRow("pad longer text keeps its end") << PadZeros(u"1234567"_qs, 4) << u"4567"_qs;
    QTest::newRow("pad beyond nine zeros") << PadZeros(u"7"_qs, 12) << u"0000000007"_qs;
    QTest::newRow("field 1") << FieldOf(u"a;b;c"_qs, u";"_qs, 1) << u"b"_qs;
    QTest::newRow("field 0") << FieldOf(u"a;b;c"_qs, u";"_qs, 0) << u"a"_qs;
    QTest::newRow("field last") << FieldOf(u"a;b;c"_qs, u";"_qs, -1) << u"c"_qs;
    QTest::newRow("field 5") << FieldOf(u"a;b;c"_qs, u";"_qs, 5) << QString();
    QTest::newRow("field last without separator") << FieldOf(u"abc"_qs, u";"_qs, -1) << u"abc"_qs;
    QTest::newRow("field multi-char separator") << FieldOf(u"x||y||z"_qs, u"||"_qs, 2) << u"z"_qs;
  }
  void padAndField() {
    QFETCH(QString, result);
    QFETCH(QString, expected);
    QCOMPARE(result, expected);
  }
};

QTEST_APPLESS_MAIN(TestNumberText)
#include "tst_numbertext.moc"
