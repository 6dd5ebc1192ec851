#include "db/schema.h"
#include "platform/sql/errors.h"
#include "platform/sql/translator.h"

#include <QtTest/QTest>

using zr::sql::translate;

class TestTranslator : public QObject {
  Q_OBJECT
  zr::sql::Catalog m_cat;

private slots:
  void initTestCase() {
    for (const auto &t : zr::db::archiveSchema())
      m_cat.add(t);
  }

  void statements_data() {
    QTest::addColumn<QString>("dialect");
    QTest::addColumn<QString>("sqlite");
    const QString top = QString::fromUcs4(U"\U0010FFFF", 1);
    QTest::newRow("plain select passes")
        << u"SELECT  *  FROM  SYS_USER_TABLE "_qs << u"SELECT  *  FROM  SYS_USER_TABLE "_qs;
    QTest::newRow("category prefix becomes a range")
        << u"SELECT * FROM ZR_ARCHIVE_MASTER_TABLE WHERE SUBSTRING(ARCHIVE_TYPE_ID FROM 1 FOR 3) = '201'"_qs
        << u"SELECT * FROM ZR_ARCHIVE_MASTER_TABLE WHERE (ARCHIVE_TYPE_ID >= '201' AND ARCHIVE_TYPE_ID < '202')"_qs;
    QTest::newRow("prefix ending in a chinese character")
        << u"SELECT * FROM ZR_ARCHIVE_MASTER_TABLE WHERE SUBSTRING(ARCHIVE_NAME FROM 1 FOR 2) = '张氏'"_qs
        << u"SELECT * FROM ZR_ARCHIVE_MASTER_TABLE WHERE (ARCHIVE_NAME >= '张氏' AND ARCHIVE_NAME < '张氏"_qs +
               top + u"')"_qs;
    QTest::newRow("prefix with alias and more conditions")
        << u"SELECT A.* FROM ZR_ARCHIVE_MASTER_TABLE A WHERE  SUBSTRING(A.ARCHIVE_TYPE_ID FROM 1 FOR 6) = '201001' AND A.ARCHIVE_ID = 'x'"_qs
        << u"SELECT A.* FROM ZR_ARCHIVE_MASTER_TABLE A WHERE  (A.ARCHIVE_TYPE_ID >= '201001' AND A.ARCHIVE_TYPE_ID < '201002') AND A.ARCHIVE_ID = 'x'"_qs;
    QTest::newRow("prefix literal of other length keeps substr")
        << u"SELECT * FROM ZR_ARCHIVE_MASTER_TABLE WHERE SUBSTRING(ARCHIVE_TYPE_ID FROM 1 FOR 3) = '20'"_qs
        << u"SELECT * FROM ZR_ARCHIVE_MASTER_TABLE WHERE substr(ARCHIVE_TYPE_ID, 1, 3) = '20'"_qs;
    QTest::newRow("substring from other start")
        << u"SELECT MAX(SubString(ARCHIVE_ID FROM 5 FOR 6)) FROM ZR_ARCHIVE_MASTER_TABLE"_qs
        << u"SELECT MAX(substr(ARCHIVE_ID, 5, 6)) AS \"MAX(SubString(ARCHIVE_ID FROM 5 FOR 6))\" FROM ZR_ARCHIVE_MASTER_TABLE"_qs;
    QTest::newRow("substring without FOR")
        << u"SELECT ARCHIVE_ID FROM ZR_ARCHIVE_MASTER_TABLE WHERE SUBSTRING(ARCHIVE_ID FROM 2) = 'x'"_qs
        << u"SELECT ARCHIVE_ID FROM ZR_ARCHIVE_MASTER_TABLE WHERE substr(ARCHIVE_ID, 2) = 'x'"_qs;
    QTest::newRow("extract and the date number")
        << u"DELETE FROM ZR_ARCHIVE_MASTER_TABLE WHERE (10000 * EXTRACT(YEAR FROM DATE_FIELD1) +100 * EXTRACT(Month FROM DATE_FIELD1) + EXTRACT(DAY FROM DATE_FIELD1)) > 20240101"_qs
        << u"DELETE FROM ZR_ARCHIVE_MASTER_TABLE WHERE (10000 * CAST(substr(DATE_FIELD1, 1, 4) AS INTEGER) +100 * CAST(substr(DATE_FIELD1, 6, 2) AS INTEGER) + CAST(substr(DATE_FIELD1, 9, 2) AS INTEGER)) > 20240101"_qs;
    QTest::newRow("date literal compared with a date column")
        << u"SELECT COUNT(A.ARCHIVE_RECORD_ID) FROM ZR_ARCHIVE_LEND_TABLE A,ZR_ARCHIVE_MASTER_TABLE B WHERE (A.ARCHIVE_RECORD_ID = B.ARCHIVE_RECORD_ID) AND (A.RETURN_DATE IS NULL) AND (A.RETURN_LIMIT_DATE < '03/05/2024')"_qs
        << u"SELECT COUNT(A.ARCHIVE_RECORD_ID) FROM ZR_ARCHIVE_LEND_TABLE A,ZR_ARCHIVE_MASTER_TABLE B WHERE (A.ARCHIVE_RECORD_ID = B.ARCHIVE_RECORD_ID) AND (A.RETURN_DATE IS NULL) AND (A.RETURN_LIMIT_DATE < '2024-03-05')"_qs;
    QTest::newRow("date literal on the left, single digits")
        << u"SELECT * FROM ZR_ARCHIVE_LEND_TABLE WHERE '3/5/2024' <= LEND_DATE"_qs
        << u"SELECT * FROM ZR_ARCHIVE_LEND_TABLE WHERE '2024-03-05' <= LEND_DATE"_qs;
    QTest::newRow("text column keeps a date-like text")
        << u"SELECT * FROM ZR_ARCHIVE_MASTER_TABLE WHERE TEXT_FIELD1 = '03/05/2024'"_qs
        << u"SELECT * FROM ZR_ARCHIVE_MASTER_TABLE WHERE TEXT_FIELD1 = '03/05/2024'"_qs;
    QTest::newRow("between and in on dates")
        << u"SELECT * FROM ZR_ARCHIVE_LEND_TABLE WHERE LEND_DATE BETWEEN '01/01/2024' AND '12/31/2024' OR RETURN_DATE IN ('02/29/2024','2024-03-01')"_qs
        << u"SELECT * FROM ZR_ARCHIVE_LEND_TABLE WHERE LEND_DATE BETWEEN '2024-01-01' AND '2024-12-31' OR RETURN_DATE IN ('2024-02-29','2024-03-01')"_qs;
    QTest::newRow("insert: blank to NULL, trailing blanks, date, number")
        << u"INSERT INTO SYS_USER_TABLE(USE_PASSWORD,USE_ID,USE_NAME,SYS_USER,STOP_RIGHT,CREATE_NAME,CREATE_DATE) VALUES('947','001','张三  ','是','有效','   ','12/11/2026')"_qs
        << u"INSERT INTO SYS_USER_TABLE(USE_PASSWORD,USE_ID,USE_NAME,SYS_USER,STOP_RIGHT,CREATE_NAME,CREATE_DATE) VALUES('947','001','张三','是','有效',NULL,'2026-12-11')"_qs;
    QTest::newRow("insert of a numeric text into a float column")
        << u"INSERT INTO SYS_PRINT_TABLE(PRINT_NAME,TOP_MARGIN,BUTTOM_MARGIN,LEFT_MARGIN,RIGHT_MARGIN) VALUES('r',' 12.50','10',' ',3)"_qs
        << u"INSERT INTO SYS_PRINT_TABLE(PRINT_NAME,TOP_MARGIN,BUTTOM_MARGIN,LEFT_MARGIN,RIGHT_MARGIN) VALUES('r',12.5,10,NULL,3)"_qs;
    QTest::newRow("mixed-case column and unquoted numbers")
        << u"INSERT INTO SYS_RIGHT_TABLE(USE_ID,COMPOSE_ID,PROGRAM_ID,ADD_RIGHT,EDIT_RIGHT,DElETE_RIGHT)VALUES('001',1,2,'是','是','是')"_qs
        << u"INSERT INTO SYS_RIGHT_TABLE(USE_ID,COMPOSE_ID,PROGRAM_ID,ADD_RIGHT,EDIT_RIGHT,DElETE_RIGHT)VALUES('001',1,2,'是','是','是')"_qs;
    QTest::newRow("update: set values normalised, where kept")
        << u"UPDATE ZR_ARCHIVE_LEND_TABLE SET RETURN_DATE = '12/11/2026', NOTE = '  ' WHERE LEND_ID = '0001 '"_qs
        << u"UPDATE ZR_ARCHIVE_LEND_TABLE SET RETURN_DATE = '2026-12-11', NOTE = NULL WHERE LEND_ID = '0001 '"_qs;
    QTest::newRow("quotes inside a value survive")
        << u"UPDATE SYS_COMPANY_TABLE SET COMPANY_NAME = 'O''Brien''s ' WHERE COMPANY_ID = '000001'"_qs
        << u"UPDATE SYS_COMPANY_TABLE SET COMPANY_NAME = 'O''Brien''s' WHERE COMPANY_ID = '000001'"_qs;
    QTest::newRow("named and old parameters pass")
        << u"UPDATE SYS_PRINT_NAME_TABLE SET PRINT_NAME = :PRINT_NAME WHERE PRINT_INDEX = :OLD_PRINT_INDEX AND PRINT_ID = :OLD_PRINT_ID"_qs
        << u"UPDATE SYS_PRINT_NAME_TABLE SET PRINT_NAME = :PRINT_NAME WHERE PRINT_INDEX = :OLD_PRINT_INDEX AND PRINT_ID = :OLD_PRINT_ID"_qs;
    QTest::newRow("a date literal inside a string is left alone")
        << u"SELECT 'LEND_DATE = ''03/05/2024''' FROM ZR_ARCHIVE_LEND_TABLE"_qs
        << u"SELECT 'LEND_DATE = ''03/05/2024''' FROM ZR_ARCHIVE_LEND_TABLE"_qs;
    QTest::newRow("not in sub-select")
        << u"DELETE FROM SYS_RIGHT_TABLE WHERE NOT (USE_ID IN(SELECT USE_ID FROM SYS_USER_TABLE))"_qs
        << u"DELETE FROM SYS_RIGHT_TABLE WHERE NOT (USE_ID IN(SELECT USE_ID FROM SYS_USER_TABLE))"_qs;
  }
  void statements() {
    QFETCH(QString, dialect);
    QFETCH(QString, sqlite);
    QCOMPARE(translate(dialect, m_cat).sql, sqlite);
  }

  void parameterTargets() {
    const auto tr = translate(
        u"INSERT INTO ZR_ARCHIVE_LEND_TABLE(LEND_ID, LEND_DATE) VALUES(:LEND_ID, :lend_date)"_qs, m_cat);
    QVERIFY(tr.params.value(u"LEND_DATE"_qs).write);
    QCOMPARE(tr.params.value(u"LEND_DATE"_qs).column.kind, zr::sql::ColumnKind::Date);
    const auto where = translate(u"SELECT * FROM ZR_ARCHIVE_LEND_TABLE WHERE RETURN_DATE < :D"_qs, m_cat);
    QVERIFY(!where.params.value(u"D"_qs).write);
    QCOMPARE(where.params.value(u"D"_qs).column.name, u"RETURN_DATE"_qs);
    QCOMPARE(where.tables, QStringList{u"ZR_ARCHIVE_LEND_TABLE"_qs});
    QVERIFY(where.readsRows);
  }

  void refusals_data() {
    QTest::addColumn<QString>("dialect");
    QTest::addColumn<bool>("conversion");
    QTest::newRow("impossible date compared")
        << u"SELECT * FROM ZR_ARCHIVE_LEND_TABLE WHERE LEND_DATE = '13/45/2024'"_qs << true;
    QTest::newRow("text into a date column")
        << u"INSERT INTO ZR_ARCHIVE_LEND_TABLE(LEND_ID, LEND_DATE) VALUES('1','soon')"_qs << true;
    QTest::newRow("text into a number column")
        << u"UPDATE SYS_PRINT_TABLE SET TOP_MARGIN = 'wide'"_qs << true;
    QTest::newRow("unterminated literal") << u"SELECT * FROM SYS_USER_TABLE WHERE USE_ID = 'x"_qs << false;
    QTest::newRow("extract without from")
        << u"SELECT EXTRACT(YEAR LEND_DATE) FROM ZR_ARCHIVE_LEND_TABLE"_qs << false;
  }
  void refusals() {
    QFETCH(QString, dialect);
    QFETCH(bool, conversion);
    if (conversion)
      QVERIFY_THROWS_EXCEPTION(zr::sql::ConversionError, translate(dialect, m_cat));
    else
      QVERIFY_THROWS_EXCEPTION(zr::sql::EngineError, translate(dialect, m_cat));
  }
};

QTEST_APPLESS_MAIN(TestTranslator)
#include "tst_translator.moc"
