#include "controls/tselectform.h"
#include "controls/tzrpanel.h"
#include "platform/os/gbk.h"
#include "platform/ui/prompter.h"
#include "tests/support/testenv.h"

#include <QtTest/QTest>

using namespace zr::controls;

class TestSelectForm : public QObject {
  Q_OBJECT
  std::unique_ptr<zr::test::TestEnv> m_env;
  zr::sql::Database *m_db = nullptr;

  std::unique_ptr<TSelectForm> form(const QList<int> &widths) {
    auto f = std::make_unique<TSelectForm>(m_db);
    f->Query_Select->setSql(u"SELECT ARCHIVE_TYPE_ID,ARCHIVE_TYPE_NAME,NOTE FROM ZR_ARCHIVE_TYPE_TABLE"_qs);
    f->Query_Select->open();
    for (int i = 0; i < 3; ++i)
      f->Query_Select->field(i)->displayWidth = widths.value(i);
    return f;
  }
  int sum(TSelectForm &f) {
    int s = 0;
    for (int i = 0; i < f.Query_Select->fieldCount(); ++i)
      s += f.Query_Select->field(i)->displayWidth;
    return s;
  }

private slots:
  void init() {
    m_env = std::make_unique<zr::test::TestEnv>();
    m_db = &m_env->installAndOpen();
    m_db->exec(u"INSERT INTO ZR_ARCHIVE_TYPE_TABLE(ARCHIVE_TYPE_ID,ARCHIVE_TYPE_NAME,ORDER_ID,PRIOR_ID) "
               u"VALUES('201','文书档案',1,'G001')"_qs);
  }
  void cleanup() { m_env.reset(); }

  void columnWidthsFillAbout102Characters_data() {
    QTest::addColumn<QList<int>>("widths");
    QTest::addColumn<QList<int>>("fitted");
    QTest::newRow("narrow columns grow evenly") << QList<int>{10, 10, 10} << QList<int>{33, 33, 33};
    // a = (150 - 102) / 3 - 1 = 15: 100 is above 6a and becomes 2a; 30 and 20 are not above 3a
    QTest::newRow("wide column shrinks") << QList<int>{100, 30, 20} << QList<int>{30, 30, 20};
    // a share below one character leaves the widths alone instead of making them zero
    QTest::newRow("just over the limit") << QList<int>{40, 40, 23} << QList<int>{40, 40, 23};
  }
  void columnWidthsFillAbout102Characters() {
    QFETCH(QList<int>, widths);
    QFETCH(QList<int>, fitted);
    auto f = form(widths);
    f->fitColumns();
    QList<int> got;
    for (int i = 0; i < 3; ++i)
      got << f->Query_Select->field(i)->displayWidth;
    QCOMPARE(got, fitted);
    QCOMPARE(f->DBGrid->columnWidth(0), TZRNDBGrid::pixelsOf(fitted[0]));
  }

  void keysCloseTheWindow_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("result");
    QTest::newRow("F3") << int(Qt::Key_F3) << int(QDialog::Accepted);
    QTest::newRow("Enter") << int(Qt::Key_Return) << int(QDialog::Accepted);
    QTest::newRow("F12") << int(Qt::Key_F12) << int(QDialog::Rejected);
  }
  void keysCloseTheWindow() {
    QFETCH(int, key);
    QFETCH(int, result);
    auto f = form({10, 10, 10});
    f->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.get()));
    QTest::keyClick(f.get(), Qt::Key(key));
    QCOMPARE(f->result(), result);
    QVERIFY(f->DBGrid->footerText(0).isEmpty());
  }

  void labelTextIsCutAt255BytesWithoutHalfACharacter() {
    TZR3DLabel l;
    l.setText(u"a"_qs + QString(200, u'档'));
    QCOMPARE(zr::gbk::byteLength(l.text()), 255);
    l.setText(QString(200, u'档'));
    QCOMPARE(zr::gbk::byteLength(l.text()), 254);
  }

  void labelDrawTypes_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("dark");
    QTest::newRow("shadow") << int(TDrawType::dtShadow) << true;
    QTest::newRow("heavy raised") << int(TDrawType::dtHeavyRaised) << true;
    QTest::newRow("light raised") << int(TDrawType::dtLightRaised) << false;
    QTest::newRow("none") << int(TDrawType::dtNone) << false;
  }
  void labelDrawTypes() {
    QFETCH(int, type);
    QFETCH(bool, dark);
    TZR3DLabel l;
    l.DarkColor = QColor(255, 0, 0);
    l.DrawType = TDrawType(type);
    QFont big = l.font();
    big.setPixelSize(30);
    l.setFont(big);
    l.setText(u"档案"_qs);
    const QImage img = l.grab().toImage();
    bool red = false;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x)
        red = red || img.pixelColor(x, y) == QColor(255, 0, 0);
    QCOMPARE(red, dark);
  }

  void panelFaceLeavesRoomForTheShadow() {
    TZRPanel p;
    QCOMPARE(p.size(), QSize(185, 41));
    p.ShadowWidth = 4;
    p.resize(100, 50);
    QVERIFY(p.faceRect().right() <= 100 - 4);
    QVERIFY(p.faceRect().bottom() <= 50 - 4);
  }
};

QTEST_MAIN(TestSelectForm)
#include "tst_selectform.moc"
