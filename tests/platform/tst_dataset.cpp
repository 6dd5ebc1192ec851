#include "platform/dataset/dataset.h"
#include "platform/dataset/datasetmodel.h"
#include "tests/support/testenv.h"

#include <QtTest/QAbstractItemModelTester>
#include <QtTest/QTest>

using namespace zr::data;
using zr::sql::Query;

class TestDataset : public QObject {
  Q_OBJECT
  std::unique_ptr<zr::test::TestEnv> m_env;
  zr::sql::Database *m_db = nullptr;

  // n volumes whose titles sort in another order than their keys
  void fill(int n) {
    zr::sql::Transaction tx(*m_db);
    Query q(
        *m_db,
        u"INSERT INTO ZR_ARCHIVE_MASTER_TABLE(ARCHIVE_RECORD_ID,ARCHIVE_TYPE_ID,ARCHIVE_NAME,NUMBER_FIELD1) VALUES(:ID,:T,:N,:X)"_qs);
    for (int i = 0; i < n; ++i) {
      q.bind(u"ID"_qs, QString(u"A" + QString::number(i).rightJustified(6, u'0')));
      q.bind(u"T"_qs, i % 3 ? u"201"_qs : u"202"_qs);
      q.bind(u"N"_qs,
             i % 7 == 0
                 ? QVariant()
                 : QVariant(QString(u"题名" + QString::number((i * 7919) % n).rightJustified(6, u'0'))));
      q.bind(u"X"_qs, i * 0.5);
      q.exec();
      q.reset();
    }
    tx.commit();
  }
  QStringList ids(const QString &sql) { return zr::test::column(*m_db, sql); }

private slots:
  void init() {
    m_env = std::make_unique<zr::test::TestEnv>();
    m_db = &m_env->installAndOpen();
  }
  void cleanup() { m_env.reset(); }

  void rowStoreShifts() {
    RowStore s;
    for (int i = 0; i < 5; ++i)
      s.put(i, RowCodec::encode({i}, i));
    s.put(10, RowCodec::encode({10}, 10));
    s.insertAt(2, RowCodec::encode({99}, 99));
    QCOMPARE(RowCodec::value(*s.row(2), 0).toInt(), 99);
    QCOMPARE(RowCodec::value(*s.row(3), 0).toInt(), 2);
    QVERIFY(s.has(11) && !s.has(10));
    s.removeAt(0);
    QCOMPARE(RowCodec::value(*s.row(0), 0).toInt(), 1);
    QCOMPARE(RowCodec::value(*s.row(10), 0).toInt(), 10);
    QCOMPARE(s.runEnd(0), 5);
    QCOMPARE(s.runStart(11), 10);
    const QByteArray r =
        RowCodec::encode({QVariant(), u"档案"_qs, 2.5, qlonglong(-3), QByteArray("\0x", 2)}, 7);
    QCOMPARE(RowCodec::rowid(r), 7);
    QVERIFY(RowCodec::value(r, 0).isNull());
    QCOMPARE(RowCodec::value(r, 1).toString(), u"档案"_qs);
    QCOMPARE(RowCodec::value(r, 2).toDouble(), 2.5);
    QCOMPARE(RowCodec::value(r, 3).toLongLong(), -3);
    QCOMPARE(RowCodec::value(r, 4).toByteArray(), QByteArray("\0x", 2));
  }

  // Walking either way gives the query's own order; the end is reached without reading it all.
  void cursorOrder_data() {
    QTest::addColumn<QString>("where");
    QTest::newRow("ordered by title, nulls first") << u"ORDER BY ARCHIVE_NAME"_qs;
    QTest::newRow("descending with a filter")
        << u"WHERE ARCHIVE_TYPE_ID = '201' ORDER BY ARCHIVE_NAME DESC"_qs;
    QTest::newRow("whole table, no order") << QString();
    QTest::newRow("filter without order") << u"WHERE SUBSTRING(ARCHIVE_TYPE_ID FROM 1 FOR 3) = '202'"_qs;
  }
  void cursorOrder() {
    QFETCH(QString, where);
    fill(6000);
    const QString sql = u"SELECT * FROM ZR_ARCHIVE_MASTER_TABLE " + where;
    QStringList expected = ids(u"SELECT ARCHIVE_RECORD_ID FROM ZR_ARCHIVE_MASTER_TABLE " + where +
                               (where.contains(u"ORDER") ? u", rowid"_qs : QString()));
    Dataset ds;
    ds.setDatabase(m_db);
    ds.setSql(sql);
    ds.open();
    QVERIFY(ds.fetchedCount() <= 256);
    QCOMPARE(ds.recordCount(), expected.size());
    ds.last();
    QCOMPARE(ds.recNo(), expected.size() - 1);
    // with an order to reverse, the end comes from reading backwards
    if (where.isEmpty() || where.contains(u"ORDER"))
      QVERIFY(ds.fetchedCount() <= 256);
    QStringList back;
    for (int i = 0; i < 600; ++i) {
      back.prepend(ds.fieldByName(u"ARCHIVE_RECORD_ID"_qs)->asString());
      ds.prior();
    }
    QCOMPARE(back, expected.mid(expected.size() - 600));
    ds.first();
    QStringList fwd;
    while (!ds.eof()) {
      fwd << ds.fieldByName(u"ARCHIVE_RECORD_ID"_qs)->asString();
      ds.next();
    }
    QCOMPARE(fwd, expected); // no row twice where head and tail meet
    QVERIFY(ds.moveTo(1500));
    QCOMPARE(ds.fieldByName(u"ARCHIVE_RECORD_ID"_qs)->asString(), expected[1500]);
  }

  void middleJump() {
    fill(6000);
    Dataset ds;
    ds.setDatabase(m_db);
    ds.setSql(u"SELECT * FROM ZR_ARCHIVE_MASTER_TABLE ORDER BY ARCHIVE_NAME"_qs);
    ds.open();
    const QStringList expected =
        ids(u"SELECT ARCHIVE_RECORD_ID FROM ZR_ARCHIVE_MASTER_TABLE ORDER BY ARCHIVE_NAME, rowid"_qs);
    ds.recordCount();
    QVERIFY(ds.moveTo(3000));
    QCOMPARE(ds.fieldByName(u"ARCHIVE_RECORD_ID"_qs)->asString(), expected[3000]);
    QVERIFY(ds.moveTo(2999));
    QCOMPARE(ds.fieldByName(u"ARCHIVE_RECORD_ID"_qs)->asString(), expected[2999]);
    QVERIFY(ds.cacheMemoryBytes() > 0);
  }

  void parametersAndFields() {
    fill(10);
    Dataset ds;
    ds.setDatabase(m_db);
    ds.setSql(
        u"SELECT * FROM ZR_ARCHIVE_MASTER_TABLE WHERE ARCHIVE_TYPE_ID = :T ORDER BY ARCHIVE_RECORD_ID"_qs);
    ds.setParam(u":T"_qs, u"202"_qs);
    ds.open();
    QCOMPARE(ds.recordCount(), 4);
    const Field *x = ds.fieldByName(u"number_field1"_qs);
    QCOMPARE(x->dataKind(), u"N"_qs);
    QCOMPARE(x->asString(), u"0"_qs);
    ds.next();
    QCOMPARE(x->asString(), u"1.5"_qs);
    QCOMPARE(ds.fieldByName(u"DATE_FIELD1"_qs)->dataKind(), u"D"_qs);
    QCOMPARE(ds.fieldByName(u"ARCHIVE_NAME"_qs)->size(), 180);
    QVERIFY(ds.findField(u"ZR_ROWID"_qs) == nullptr); // the hidden row identity is no field
    QVERIFY_THROWS_EXCEPTION(zr::sql::EngineError, ds.fieldByName(u"NOPE"_qs));
    QVERIFY(ds.locate({u"ARCHIVE_RECORD_ID"_qs}, {u"A000006"_qs}));
    QCOMPARE(ds.recNo(), 2);
    const QByteArray mark = ds.bookmark();
    ds.first();
    QVERIFY(ds.gotoBookmark(mark));
    QCOMPARE(ds.fieldByName(u"ARCHIVE_RECORD_ID"_qs)->asString(), u"A000006"_qs);
  }

  void cachedUpdatesThroughTheUpdateObject() {
    fill(5);
    Dataset ds;
    ds.setDatabase(m_db);
    ds.setSql(u"SELECT * FROM ZR_ARCHIVE_MASTER_TABLE ORDER BY ARCHIVE_RECORD_ID"_qs);
    ds.setUpdateObject(
        {u"INSERT INTO ZR_ARCHIVE_MASTER_TABLE(ARCHIVE_RECORD_ID,ARCHIVE_NAME,DATE_FIELD1) VALUES(:ARCHIVE_RECORD_ID,:ARCHIVE_NAME,:DATE_FIELD1)"_qs,
         u"UPDATE ZR_ARCHIVE_MASTER_TABLE SET ARCHIVE_NAME = :ARCHIVE_NAME WHERE ARCHIVE_RECORD_ID = :OLD_ARCHIVE_RECORD_ID"_qs,
         u"DELETE FROM ZR_ARCHIVE_MASTER_TABLE WHERE ARCHIVE_RECORD_ID = :OLD_ARCHIVE_RECORD_ID"_qs});
    ds.open();
    int changes = 0;
    connect(&ds, &Dataset::stateChanged, this, [&] { ++changes; });
    ds.edit();
    QCOMPARE(ds.state(), State::Edit);
    ds.fieldByName(u"ARCHIVE_NAME"_qs)->setValue(u"新题名  "_qs);
    QCOMPARE(ds.fieldByName(u"ARCHIVE_NAME"_qs)->oldValue().toString(),
             ds.fieldByName(u"ARCHIVE_NAME"_qs)->oldValue().toString());
    ds.post();
    ds.next();
    ds.remove();
    ds.append();
    ds.fieldByName(u"ARCHIVE_RECORD_ID"_qs)->setValue(u"A999999"_qs);
    ds.fieldByName(u"DATE_FIELD1"_qs)->setValue(QDate(2024, 3, 5));
    ds.post();
    ds.append();
    ds.cancel();
    QCOMPARE(ds.pendingUpdates(), 3);
    QCOMPARE(ids(u"SELECT ARCHIVE_NAME FROM ZR_ARCHIVE_MASTER_TABLE WHERE ARCHIVE_RECORD_ID = 'A000000'"_qs)
                 .size(),
             1);
    ds.applyUpdates();
    QCOMPARE(ds.pendingUpdates(), 0);
    QCOMPARE(ids(u"SELECT ARCHIVE_NAME FROM ZR_ARCHIVE_MASTER_TABLE WHERE ARCHIVE_RECORD_ID = 'A000000'"_qs),
             QStringList{u"新题名"_qs});
    QVERIFY(
        ids(u"SELECT ARCHIVE_RECORD_ID FROM ZR_ARCHIVE_MASTER_TABLE WHERE ARCHIVE_RECORD_ID = 'A000001'"_qs)
            .isEmpty());
    QCOMPARE(ids(u"SELECT DATE_FIELD1 FROM ZR_ARCHIVE_MASTER_TABLE WHERE ARCHIVE_RECORD_ID = 'A999999'"_qs),
             QStringList{u"2024-03-05"_qs});
    QCOMPARE(changes, 6); // edit, post, append, post, append, cancel
  }

  // A failing change leaves the database as it was and the cache pending.
  void failedApplyRollsBack() {
    fill(3);
    Dataset ds;
    ds.setDatabase(m_db);
    ds.setSql(u"SELECT * FROM ZR_ARCHIVE_MASTER_TABLE ORDER BY ARCHIVE_RECORD_ID"_qs);
    ds.setUpdateObject(
        {u"INSERT INTO ZR_ARCHIVE_MASTER_TABLE(ARCHIVE_RECORD_ID) VALUES(:ARCHIVE_RECORD_ID)"_qs,
         {},
         u"DELETE FROM ZR_ARCHIVE_MASTER_TABLE WHERE ARCHIVE_RECORD_ID = :OLD_ARCHIVE_RECORD_ID"_qs});
    ds.open();
    ds.remove();
    ds.append();
    ds.fieldByName(u"ARCHIVE_RECORD_ID"_qs)->setValue(u"A000002"_qs); // exists: key violation
    ds.post();
    int errors = 0;
    ds.onUpdateError = [&](Dataset &, const std::exception &) { ++errors; };
    QVERIFY_THROWS_EXCEPTION(zr::sql::EngineError, ds.applyUpdates());
    QCOMPARE(errors, 1);
    QCOMPARE(ds.pendingUpdates(), 2);
    QCOMPARE(ids(u"SELECT COUNT(*) FROM ZR_ARCHIVE_MASTER_TABLE"_qs), QStringList{u"3"_qs});
  }

  void rowWrittenElsewhereNotShownTwice() {
    fill(600);
    Dataset ds;
    ds.setDatabase(m_db);
    ds.setSql(u"SELECT * FROM ZR_ARCHIVE_MASTER_TABLE ORDER BY ARCHIVE_RECORD_ID"_qs);
    ds.open();
    ds.append();
    ds.fieldByName(u"ARCHIVE_RECORD_ID"_qs)->setValue(u"A999999"_qs);
    ds.post();
    m_db->exec(u"INSERT INTO ZR_ARCHIVE_MASTER_TABLE(ARCHIVE_RECORD_ID) VALUES('A999999')"_qs);
    ds.setCurrentRowid(m_db->lastInsertRowid());
    ds.commitUpdates();
    ds.first();
    int seen = 0;
    while (!ds.eof()) {
      seen += ds.fieldByName(u"ARCHIVE_RECORD_ID"_qs)->asString() == u"A999999";
      ds.next();
    }
    QCOMPARE(seen, 1);
  }

  void modelOverDataset() {
    fill(1000);
    Dataset ds;
    ds.setDatabase(m_db);
    ds.setSql(
        u"SELECT ARCHIVE_RECORD_ID, ARCHIVE_NAME, NUMBER_FIELD1 FROM ZR_ARCHIVE_MASTER_TABLE ORDER BY ARCHIVE_RECORD_ID"_qs);
    ds.open();
    DatasetModel model(&ds);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(model.columnCount(), 3);
    const int shown = model.rowCount();
    QVERIFY(shown >= 256 && shown < 1000);
    QVERIFY(model.canFetchMore({}));
    model.fetchMore({});
    QCOMPARE(model.rowCount(), qMin(shown + 256, 1000));
    QCOMPARE(model.data(model.index(3, 2)).toString(), u"1.5"_qs);
    ds.last();
    QCOMPARE(model.rowCount(), 1000);
    QCOMPARE(model.data(model.index(999, 0)).toString(), u"A000999"_qs);
    QCOMPARE(model.data(model.index(700, 0)).toString(), u"A000700"_qs);
    ds.first();
    ds.remove();
    QCOMPARE(model.rowCount(), 999);
    ds.close();
    QCOMPARE(model.rowCount(), 0);
  }
};

QTEST_GUILESS_MAIN(TestDataset)
#include "tst_dataset.moc"
