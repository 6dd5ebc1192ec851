#include "platform/os/gbk.h"

#include <QtCore/QRandomGenerator>
#include <QtTest/QTest>

class TestGbk : public QObject {
  Q_OBJECT
private slots:
  void byteLength_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("bytes");
    QTest::newRow("ascii") << u"ABC 123"_qs << 7;
    QTest::newRow("chinese") << u"张三"_qs << 4;
    QTest::newRow("mixed") << u"档案A1"_qs << 6;
    QTest::newRow("ten chinese") << u"一二三四五六七八九十"_qs << 20;
    QTest::newRow("full-width digit") << u"１"_qs << 2;
    QTest::newRow("euro is one byte in cp936") << u"€"_qs << 1;
    QTest::newRow("emoji counts two") << u"😀"_qs << 2;
    QTest::newRow("last block of the table") << u"￥￡"_qs << 4;
    QTest::newRow("empty") << QString() << 0;
  }
  void byteLength() {
    QFETCH(QString, text);
    QFETCH(int, bytes);
    QCOMPARE(zr::gbk::byteLength(text), bytes);
    const QByteArray u = text.toUtf8();
    QCOMPARE(zr::gbk::byteLengthUtf8(u.constData(), int(u.size())), bytes);
  }

  void unencodable() {
    QCOMPARE(zr::gbk::firstUnencodable(u"档案资料"), -1);
    QCOMPARE(zr::gbk::firstUnencodable(u"ab😀"), 2);
    const QByteArray u = u"x\u20AC\u00E9\u0E01"_qs.toUtf8(); // Thai is outside GBK
    QCOMPARE(zr::gbk::firstUnencodableUtf8(u.constData(), int(u.size())), char32_t(0x0E01));
    bool ok = true;
    zr::gbk::encode(u"ab😀", &ok);
    QVERIFY(!ok);
    QCOMPARE(zr::gbk::decode(zr::gbk::encode(u"档案", &ok)), u"档案"_qs);
    QVERIFY(ok);
  }

  void unitsFitting() {
    QCOMPARE(zr::gbk::unitsFitting(u"一二三", 5), 2); // a character is never cut
    QCOMPARE(zr::gbk::unitsFitting(u"a一b", 3), 2);
    QCOMPARE(zr::gbk::unitsFitting(u"abc", 10), 3);
  }

  // The collation must order exactly as the GBK bytes do, for any text.
  void orderMatchesBytes() {
    const QList<char16_t> pool{u'a',  u'B',  u'0',  u' ',  u'~',      u'张',     u'王', u'李',
                               u'赵', u'阿', u'啊', u'一', u'\u00E9', u'\u20AC', u'Ａ', u'档'};
    auto *rng = QRandomGenerator::global();
    for (int n = 0; n < 5000; ++n) {
      QString a, b;
      const int la = rng->bounded(5), lb = rng->bounded(5);
      for (int i = 0; i < la; ++i)
        a += QChar(pool[rng->bounded(int(pool.size()))]);
      for (int i = 0; i < lb; ++i)
        b += QChar(pool[rng->bounded(int(pool.size()))]);
      const QByteArray ga = zr::gbk::encode(a), gb = zr::gbk::encode(b);
      const int bytes = ga < gb ? -1 : ga == gb ? 0 : 1;
      const QByteArray ua = a.toUtf8(), ub = b.toUtf8();
      const int c = zr::gbk::compareUtf8(ua.constData(), int(ua.size()), ub.constData(), int(ub.size()));
      const int sign = c < 0 ? -1 : c > 0 ? 1 : 0;
      if (sign != bytes)
        QFAIL(qPrintable(a + u" vs " + b));
    }
  }

  void chineseNamesInGbkOrder() {
    // GBK orders the common characters by pinyin: 阿 (B0A2) < 李 (C0EE) < 王 (CDF5) < 张 (D5C5)
    QStringList names{u"张三"_qs, u"阿明"_qs, u"王五"_qs, u"李四"_qs};
    std::sort(names.begin(), names.end(), [](const QString &x, const QString &y) {
      const QByteArray a = x.toUtf8(), b = y.toUtf8();
      return zr::gbk::compareUtf8(a.constData(), int(a.size()), b.constData(), int(b.size())) < 0;
    });
    QCOMPARE(names, (QStringList{u"阿明"_qs, u"李四"_qs, u"王五"_qs, u"张三"_qs}));
  }
};

QTEST_APPLESS_MAIN(TestGbk)
#include "tst_gbk.moc"
