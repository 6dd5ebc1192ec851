#include "platform/os/settingsstore.h"

#include <QtCore/QTemporaryDir>
#include <QtTest/QTest>

class TestSettingsStore : public QObject {
  Q_OBJECT
private slots:
  void readWrite() {
    QTemporaryDir dir;
    zr::os::SettingsStore store(dir.path() + u"/sub/ZRSOFTWARE.ini");
    QVERIFY(!store.read(u"ZRArchivesImes"_qs).has_value());
    QVERIFY(store.write(u"ZRArchivesImes"_qs, u"中文输入法"_qs));
    QVERIFY(store.write(u"ZRDossiersData"_qs, u"/备份/目录"_qs));
    zr::os::SettingsStore again(store.location());
    QCOMPARE(again.read(u"ZRArchivesImes"_qs).value_or(QString()), u"中文输入法"_qs);
    QCOMPARE(again.read(u"ZRDossiersData"_qs).value_or(QString()), u"/备份/目录"_qs);
    QVERIFY(again.remove(u"ZRArchivesImes"_qs));
    QVERIFY(!again.read(u"ZRArchivesImes"_qs).has_value());
  }

  void environmentRedirects() {
    QTemporaryDir dir;
    const QString path = dir.path() + u"/x.ini";
    qputenv("ZR_SETTINGS_FILE", path.toLocal8Bit());
    QCOMPARE(zr::os::SettingsStore().location(), path);
    qunsetenv("ZR_SETTINGS_FILE");
    QVERIFY(zr::os::SettingsStore().location() != path);
  }

  void unwritableStoreReportsFailure() {
    QTemporaryDir dir;
    QFile blocker(dir.path() + u"/file");
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    // the store's folder would have to be a regular file
    zr::os::SettingsStore store(dir.path() + u"/file/ZRSOFTWARE.ini");
    QVERIFY(!store.write(u"ZRArchivesColor"_qs, u"123"_qs));
  }
};

QTEST_APPLESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
