#include "framework/zrdatasource.h"
#include "framework/zrquery.h"
#include "platform/ui/prompter.h"
#include "tests/support/testenv.h"

#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>

using namespace zr::fw;
using zr::sql::Query;

namespace {

TCheckData unique(const QString &column, const QString &select, const QString &message) {
  TCheckData c;
  c.Items[0] = {column, column, {}, {}, u"C"_qs};
  c.SelectSql = select;
  c.KeyField = column;
  c.Message = message;
  c.Unique = true;
  return c;
}

} // namespace

class TestZRQuery : public QObject {
  Q_OBJECT
  std::unique_ptr<zr::test::TestEnv> m_env;
  zr::sql::Database *m_db = nullptr;
  std::unique_ptr<zr::ui::ScriptedPrompterGuard> m_prompts;

  QStringList rows(const QString &sql) { return zr::test::rows(*m_db, sql); }
  QStringList said() { return m_prompts->get().texts(); }

  // The user window's declarations.
  std::unique_ptr<TZRQuery> users() {
    auto q = std::make_unique<TZRQuery>();
    q->setDatabase(m_db);
    q->setTableName(u"SYS_USER_TABLE"_qs);
    q->setSql(u"SELECT  *  FROM  SYS_USER_TABLE ORDER BY USE_ID"_qs);
    q->setUpdateObject({{},
                        u"UPDATE SYS_USER_TABLE SET USE_NAME = :USE_NAME WHERE USE_ID = :OLD_USE_ID"_qs,
                        u"DELETE FROM SYS_USER_TABLE WHERE USE_ID = :OLD_USE_ID"_qs});
    TFieldsDataArray cols;
    TFieldsData id;
    id.FieldName = u"USE_ID"_qs;
    id.Caption = u"用户编号"_qs;
    id.DataKind = u"C"_qs;
    id.Required = true;
    cols << id;
    TFieldsData name = id;
    name.FieldName = u"USE_NAME"_qs;
    name.Caption = u"用户姓名"_qs;
    cols << name;
    TFieldsData date;
    date.FieldName = u"CREATE_DATE"_qs;
    date.Caption = u"建档日期"_qs;
    date.DataKind = u"D"_qs;
    cols << date;
    q->SetColumnList(cols);
    q->SetDuplicateChecks(
        {unique(u"USE_ID"_qs, u"SELECT USE_ID FROM SYS_USER_TABLE WHERE "_qs, u"用户编号重复"_qs),
         unique(u"USE_NAME"_qs, u"SELECT USE_NAME FROM SYS_USER_TABLE WHERE "_qs, u"用户名称重复"_qs)});
    TInsertData pwd{u"USE_PASSWORD"_qs, u"用户口令"_qs, {}, 0, u"947"_qs, nullptr, u"A"_qs, {}};
    q->SetInsertDefaults({pwd});
    q->SetEditStamps({{u"EDIT_NAME"_qs, {}, u"管理员"_qs}});
    return q;
  }

  std::unique_ptr<TZRQuery> volumes(const TInsertDataArray &defaults) {
    auto q = std::make_unique<TZRQuery>();
    q->setDatabase(m_db);
    q->setTableName(u"ZR_ARCHIVE_MASTER_TABLE"_qs);
    q->setUpdateObject(
        {{},
         u"UPDATE ZR_ARCHIVE_MASTER_TABLE SET ARCHIVE_NAME = :ARCHIVE_NAME WHERE ARCHIVE_RECORD_ID = :OLD_ARCHIVE_RECORD_ID"_qs,
         {}});
    q->SetInsertDefaults(defaults);
    q->NumberMonth = u"202612"_qs;
    q->NumberDate = u"20261211"_qs;
    return q;
  }

private slots:
  void init() {
    m_env = std::make_unique<zr::test::TestEnv>();
    m_db = &m_env->installAndOpen();
    m_prompts = std::make_unique<zr::ui::ScriptedPrompterGuard>();
    m_db->exec(
        u"INSERT INTO SYS_USER_TABLE(USE_ID,USE_NAME,SYS_USER,STOP_RIGHT) VALUES('001','张三','是','有效')"_qs);
  }
  void cleanup() {
    m_prompts.reset();
    m_env.reset();
  }

  void duplicateNumberRefused() {
    auto q = users();
    QVERIFY(q->OpenData());
    QVERIFY(q->AddRecord());
    QCOMPARE(q->fieldByName(u"USE_PASSWORD"_qs)->asString(), u"947"_qs);
    q->fieldByName(u"USE_ID"_qs)->setValue(u"001"_qs);
    q->fieldByName(u"USE_NAME"_qs)->setValue(u"李四"_qs);
    QVERIFY(!q->SaveRecord());
    QCOMPARE(said(), QStringList{u"用户编号重复"_qs});
    QCOMPARE(q->state(), zr::data::State::Insert);
    q->fieldByName(u"USE_ID"_qs)->setValue(u"002"_qs);
    q->fieldByName(u"CREATE_DATE"_qs)->setValue(u"2024/3/5"_qs);
    QVERIFY(q->SaveRecord());
    QCOMPARE(rows(u"SELECT USE_NAME, USE_PASSWORD, CREATE_DATE FROM SYS_USER_TABLE WHERE USE_ID = '002'"_qs),
             QStringList{u"李四|947|2024-03-05"_qs});
    // renaming without touching the number runs only the name check
    m_prompts->get().clear();
    q->first();
    QVERIFY(q->EditRecord());
    QCOMPARE(q->fieldByName(u"EDIT_NAME"_qs)->asString(), u"管理员"_qs);
    q->fieldByName(u"USE_NAME"_qs)->setValue(u"李四"_qs);
    QVERIFY(!q->SaveRecord());
    QCOMPARE(said(), QStringList{u"用户名称重复"_qs});
    q->fieldByName(u"USE_NAME"_qs)->setValue(u"张三丰"_qs);
    QVERIFY(q->SaveRecord());
    QCOMPARE(rows(u"SELECT USE_NAME FROM SYS_USER_TABLE WHERE USE_ID = '001'"_qs), QStringList{u"张三丰"_qs});
  }

  void columnChecks_data() {
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("message");
    QTest::newRow("required") << u"003"_qs << QString() << QString() << u"用户姓名必须有一个值"_qs;
    QTest::newRow("blank is empty") << u"003"_qs << u"   "_qs << QString() << u"用户姓名必须有一个值"_qs;
    QTest::newRow("not a date") << u"003"_qs << u"王"_qs << u"2024-13-01"_qs << u"建档日期是错误的数据"_qs;
  }
  void columnChecks() {
    QFETCH(QString, id);
    QFETCH(QString, name);
    QFETCH(QString, date);
    QFETCH(QString, message);
    auto q = users();
    q->OpenData();
    q->AddRecord();
    q->fieldByName(u"USE_ID"_qs)->setValue(id);
    q->fieldByName(u"USE_NAME"_qs)->setValue(name);
    q->fieldByName(u"CREATE_DATE"_qs)->setValue(date);
    QVERIFY(!q->SaveRecord());
    QCOMPARE(said(), QStringList{message});
    QVERIFY(q->isEditing());
    QCOMPARE(rows(u"SELECT COUNT(*) FROM SYS_USER_TABLE"_qs), QStringList{u"1"_qs});
  }

  void counters_data() {
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<int>("digits");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty table") << QStringList() << u"C"_qs << u"A"_qs << 4 << u"A0001"_qs;
    QTest::newRow("after A0099") << QStringList{u"A0099"_qs, u"A0012"_qs} << u"C"_qs << u"A"_qs << 4
                                 << u"A0100"_qs;
    QTest::newRow("other prefixes do not count")
        << QStringList{u"B0500"_qs, u"A0007"_qs} << u"c"_qs << u"A"_qs << 4 << u"A0008"_qs;
    QTest::newRow("letters do not stop numbering")
        << QStringList{u"A00X1"_qs, u"A0003"_qs} << u"C"_qs << u"A"_qs << 4 << u"A0004"_qs;
    QTest::newRow("shorter number padded on the right")
        << QStringList{u"A12"_qs} << u"C"_qs << u"A"_qs << 4 << u"A1201"_qs;
    QTest::newRow("year") << QStringList{u"20250009"_qs, u"20260041"_qs} << u"Y"_qs << QString() << 8
                          << u"20260042"_qs;
    QTest::newRow("month") << QStringList{u"L2026110007"_qs} << u"M"_qs << u"L"_qs << 10 << u"L2026120001"_qs;
    QTest::newRow("day") << QStringList{u"2026121100001"_qs} << u"D"_qs << QString() << 13
                         << u"2026121100002"_qs;
    QTest::newRow("no digits: max plus one")
        << QStringList{u"41"_qs, u"7"_qs} << u"C"_qs << QString() << 0 << u"8"_qs;
  }
  void counters() {
    QFETCH(QStringList, existing);
    QFETCH(QString, kind);
    QFETCH(QString, prefix);
    QFETCH(int, digits);
    QFETCH(QString, expected);
    int n = 0;
    for (const QString &e : existing)
      m_db->exec(u"INSERT INTO ZR_ARCHIVE_MASTER_TABLE(ARCHIVE_RECORD_ID,ARCHIVE_ID) VALUES('R" %
                 QString::number(++n) % u"','" % e % u"')");
    auto q = volumes({{u"ARCHIVE_ID"_qs, u"档案编号"_qs, {}, digits, {}, nullptr, kind, prefix}});
    q->OpenData();
    QVERIFY(q->AddRecord());
    QCOMPARE(q->fieldByName(u"ARCHIVE_ID"_qs)->asString(), expected);
    QVERIFY(said().isEmpty());
  }

  void counterPastItsLargestRefused() {
    m_db->exec(u"INSERT INTO ZR_ARCHIVE_MASTER_TABLE(ARCHIVE_RECORD_ID,ARCHIVE_ID) VALUES('R1','A99')"_qs);
    auto q = volumes({{u"ARCHIVE_ID"_qs, u"档案编号"_qs, {}, 2, {}, nullptr, u"C"_qs, u"A"_qs}});
    q->OpenData();
    QVERIFY(!q->AddRecord());
    QCOMPARE(said(), QStringList{u"数据插入错误"_qs});
    QVERIFY(!q->isEditing());
  }

  void timeKeysAndKeyViolation() {
    auto q = volumes({{u"ARCHIVE_RECORD_ID"_qs, u"记录"_qs, {}, 0, {}, nullptr, u"T"_qs, u"A"_qs}});
    q->OpenData();
    QVERIFY(q->AddRecord());
    const QString first = q->fieldByName(u"ARCHIVE_RECORD_ID"_qs)->asString();
    QVERIFY(QRegularExpression(u"^A\\d{12}$"_qs).match(first).hasMatch());
    QVERIFY(q->SaveRecord());
    QVERIFY(q->AddRecord());
    QVERIFY(q->fieldByName(u"ARCHIVE_RECORD_ID"_qs)->asString() > first); // never the same second twice
    // a key that exists already is a key violation, never an edit of that row
    m_db->exec(u"UPDATE ZR_ARCHIVE_MASTER_TABLE SET ARCHIVE_NAME = '原有' WHERE ARCHIVE_RECORD_ID = '" %
               first % u"'");
    q->fieldByName(u"ARCHIVE_RECORD_ID"_qs)->setValue(first);
    q->fieldByName(u"ARCHIVE_NAME"_qs)->setValue(u"新的"_qs);
    QVERIFY(!q->SaveRecord());
    QCOMPARE(said(), QStringList{u"数据库主键重复"_qs});
    QVERIFY(q->isEditing());
    QCOMPARE(rows(u"SELECT ARCHIVE_NAME FROM ZR_ARCHIVE_MASTER_TABLE"_qs), QStringList{u"原有"_qs});
  }

  void generatedKeyRegeneratedOnlyWhileAdding() {
    auto q = volumes({{u"ARCHIVE_ID"_qs, u"档案编号"_qs, {}, 4, {}, nullptr, u"C"_qs, u"A"_qs},
                      {u"ARCHIVE_RECORD_ID"_qs, u"记录"_qs, {}, 0, {}, nullptr, u"T"_qs, u"A"_qs}});
    q->SetDuplicateChecks({unique(
        u"ARCHIVE_ID"_qs, u"SELECT ARCHIVE_ID FROM ZR_ARCHIVE_MASTER_TABLE WHERE "_qs, u"档案编号重复"_qs)});
    q->OpenData();
    QVERIFY(q->AddRecord());
    QCOMPARE(q->fieldByName(u"ARCHIVE_ID"_qs)->asString(), u"A0001"_qs);
    // another window takes A0001 meanwhile
    m_db->exec(u"INSERT INTO ZR_ARCHIVE_MASTER_TABLE(ARCHIVE_RECORD_ID,ARCHIVE_ID) VALUES('X1','A0001')"_qs);
    QVERIFY(q->SaveRecord());
    QCOMPARE(rows(u"SELECT COUNT(*) FROM ZR_ARCHIVE_MASTER_TABLE WHERE ARCHIVE_ID = 'A0002'"_qs),
             QStringList{u"1"_qs});
    // an edited record whose number now repeats is refused, not renumbered
    QVERIFY(q->EditRecord());
    q->fieldByName(u"ARCHIVE_ID"_qs)->setValue(u"A0001"_qs);
    QVERIFY(!q->SaveRecord());
    QCOMPARE(said(), QStringList{u"档案编号重复"_qs});
  }

  void lookupFillsAndAskOnlyAsksOnce() {
    auto q = users();
    TCheckData look;
    look.Items[0] = {u"NOTE"_qs, u"COMPANY_ID"_qs, {}, {}, u"C"_qs};
    look.SelectSql = u"SELECT COMPANY_NAME FROM SYS_COMPANY_TABLE WHERE "_qs;
    look.Unique = false;
    look.FillFields = u"USE_NAME"_qs;
    look.Message = u"单位不存在"_qs;
    TCheckData ask = unique(u"USE_PASSWORD"_qs, u"SELECT USE_PASSWORD FROM SYS_USER_TABLE WHERE "_qs,
                            u"口令与其他用户相同,是否保存"_qs);
    ask.AskOnly = true;
    q->SetDuplicateChecks({look, ask});
    m_db->exec(u"INSERT INTO SYS_COMPANY_TABLE(COMPANY_ID,COMPANY_NAME) VALUES('000001','档案馆')"_qs);
    m_db->exec(u"UPDATE SYS_USER_TABLE SET USE_PASSWORD = '947'"_qs);
    q->OpenData();
    q->AddRecord();
    q->fieldByName(u"USE_ID"_qs)->setValue(u"009"_qs);
    q->fieldByName(u"USE_NAME"_qs)->setValue(u"x"_qs);
    q->fieldByName(u"NOTE"_qs)->setValue(u"000002"_qs);
    QVERIFY(!q->SaveRecord());
    QCOMPARE(said(), QStringList{u"单位不存在"_qs});
    q->fieldByName(u"NOTE"_qs)->setValue(u"000001"_qs);
    m_prompts->get().queueAnswer(zr::ui::Answer::No);
    QVERIFY(!q->SaveRecord());
    QCOMPARE(q->fieldByName(u"USE_NAME"_qs)->asString(), u"档案馆"_qs); // filled from the found row
    QCOMPARE(said().last(), u"口令与其他用户相同,是否保存 ?"_qs);
    m_prompts->get().queueAnswer(zr::ui::Answer::Yes);
    m_db->exec(u"DELETE FROM SYS_COMPANY_TABLE"_qs); // make the lookup fail next time
    m_db->exec(u"INSERT INTO SYS_COMPANY_TABLE(COMPANY_ID,COMPANY_NAME) VALUES('000001','档案馆')"_qs);
    QVERIFY(q->SaveRecord());
    QCOMPARE(said().size(), 3);
  }

  void recordDeletedElsewhere() {
    auto q = users();
    q->OpenData();
    QVERIFY(q->EditRecord());
    m_db->exec(u"DELETE FROM SYS_USER_TABLE"_qs);
    q->fieldByName(u"USE_NAME"_qs)->setValue(u"王五"_qs);
    QVERIFY(!q->SaveRecord());
    QCOMPARE(said(), QStringList{u"该记录已被其它用户删除或在其它窗口被删除"_qs});
    QVERIFY(q->isEditing());
  }

  void masterDetailDelete() {
    m_db->exec(u"INSERT INTO ZR_ARCHIVE_MASTER_TABLE(ARCHIVE_RECORD_ID) VALUES('A1'),('A2')"_qs);
    m_db->exec(
        u"INSERT INTO ZR_ARCHIVE_DETAIL_TABLE(ARCHIVE_RECORD_ID,DETAIL_RECORD_ID) VALUES('A1','C1'),('A1','C2'),('A2','C3')"_qs);
    auto q = volumes({});
    q->setSql(u"SELECT * FROM ZR_ARCHIVE_MASTER_TABLE ORDER BY ARCHIVE_RECORD_ID"_qs);
    q->DetailTable = u"ZR_ARCHIVE_DETAIL_TABLE"_qs;
    q->KeyValue = u"ARCHIVE_RECORD_ID"_qs;
    q->OpenData();
    m_prompts->get().queueAnswer(zr::ui::Answer::No);
    QVERIFY(!q->DeleteRecord());
    QCOMPARE(said(), QStringList{u"请确认是否删除 ?"_qs});
    QCOMPARE(rows(u"SELECT COUNT(*) FROM ZR_ARCHIVE_DETAIL_TABLE"_qs), QStringList{u"3"_qs});
    m_prompts->get().queueAnswer(zr::ui::Answer::Yes);
    QVERIFY(q->DeleteRecord());
    QCOMPARE(rows(u"SELECT DETAIL_RECORD_ID FROM ZR_ARCHIVE_DETAIL_TABLE"_qs), QStringList{u"C3"_qs});
    QCOMPARE(rows(u"SELECT ARCHIVE_RECORD_ID FROM ZR_ARCHIVE_MASTER_TABLE"_qs), QStringList{u"A2"_qs});
    QCOMPARE(q->fieldByName(u"ARCHIVE_RECORD_ID"_qs)->asString(), u"A2"_qs);
    // one delete without the question, the next asks again
    m_prompts->get().clear();
    q->SkipDeleteConfirm = true;
    QVERIFY(q->DeleteRecord());
    QVERIFY(said().isEmpty());
    QVERIFY(!q->SkipDeleteConfirm);
  }

  void failedDetailDeleteKeepsTheRecord() {
    m_db->exec(u"INSERT INTO ZR_ARCHIVE_MASTER_TABLE(ARCHIVE_RECORD_ID) VALUES('A1')"_qs);
    auto q = volumes({});
    q->DetailTable = u"NO_SUCH_TABLE"_qs;
    q->KeyValue = u"ARCHIVE_RECORD_ID"_qs;
    q->DetailDError = u"档案明细"_qs;
    q->SkipDeleteConfirm = true;
    q->OpenData();
    QVERIFY(!q->DeleteRecord());
    QCOMPARE(said(), QStringList{u"档案明细删除过程发生错误"_qs});
    QCOMPARE(rows(u"SELECT COUNT(*) FROM ZR_ARCHIVE_MASTER_TABLE"_qs), QStringList{u"1"_qs});
    QVERIFY(!q->isEmpty());
  }

  void blankKeyPartIsNull() {
    auto q = std::make_unique<TZRQuery>();
    q->setDatabase(m_db);
    q->setTableName(u"ZR_ARCHIVE_DETAIL_TABLE"_qs);
    q->setUpdateObject(
        {{},
         u"UPDATE ZR_ARCHIVE_DETAIL_TABLE SET DETAIL_ARCHIVE_NAME = :DETAIL_ARCHIVE_NAME WHERE ARCHIVE_RECORD_ID = :OLD_ARCHIVE_RECORD_ID AND DETAIL_ARCHIVE_ID = :OLD_DETAIL_ARCHIVE_ID AND DETAIL_RECORD_ID = :OLD_DETAIL_RECORD_ID"_qs,
         {}});
    m_db->exec(
        u"INSERT INTO ZR_ARCHIVE_DETAIL_TABLE(ARCHIVE_RECORD_ID,DETAIL_RECORD_ID) VALUES('A''1','C1')"_qs);
    q->OpenData();
    QCOMPARE(q->KeyCondition(),
             u"ARCHIVE_RECORD_ID = 'A''1' AND DETAIL_ARCHIVE_ID IS NULL AND DETAIL_RECORD_ID = 'C1'"_qs);
    QVERIFY(q->EditRecord());
    q->fieldByName(u"DETAIL_ARCHIVE_NAME"_qs)->setValue(u"文件"_qs);
    QVERIFY(q->SaveRecord());
    QCOMPARE(rows(u"SELECT DETAIL_ARCHIVE_NAME FROM ZR_ARCHIVE_DETAIL_TABLE"_qs), QStringList{u"文件"_qs});
  }

  void statusRules_data() {
    QTest::addColumn<bool>("forbiddenList");
    QTest::addColumn<QString>("editMessage");
    QTest::addColumn<QString>("deleteMessage");
    QTest::newRow("forbidden list") << true << u"状态为： “已审核 ”  的记录不能编辑"_qs
                                    << u"状态为：  “ 已审核 ”   的记录不能删除"_qs;
    QTest::newRow("allowed list") << false << u"状态为： “ 已审核 ”  的记录不能编辑"_qs
                                  << u"状态为： “ 已审核 ”   的记录不能删除"_qs;
  }
  void statusRules() {
    QFETCH(bool, forbiddenList);
    QFETCH(QString, editMessage);
    QFETCH(QString, deleteMessage);
    m_db->createTable({u"T_STATUS"_qs,
                       {zr::sql::ColumnDef::text(u"ID"_qs, 6), zr::sql::ColumnDef::text(u"STATUS"_qs, 10)},
                       {u"ID"_qs},
                       {}});
    m_db->exec(u"INSERT INTO T_STATUS(ID,STATUS) VALUES('1','已审核'),('2','未审核')"_qs);
    TZRQuery master;
    master.setDatabase(m_db);
    master.setTableName(u"T_STATUS"_qs);
    master.setSql(u"SELECT * FROM T_STATUS ORDER BY ID"_qs);
    master.ActiveStatus = true;
    if (forbiddenList)
      master.setStatusEditEndValue(u"已审核"_qs);
    else
      master.setStatusEditValue(u"未审核"_qs);
    master.OpenData();
    QVERIFY(!master.EditRecord());
    master.SkipDeleteConfirm = true;
    QVERIFY(!master.DeleteRecord());
    QCOMPARE(said(), (QStringList{editMessage, deleteMessage}));
    // a detail of a closed master takes no new rows
    m_prompts->get().clear();
    TZRQuery detail;
    detail.setDatabase(m_db);
    detail.setTableName(u"SYS_ID_TABLE"_qs);
    detail.QyMaster = &master;
    detail.StatusMsg = u"入库单"_qs;
    detail.OpenData();
    QVERIFY(!detail.AddRecord());
    QCOMPARE(said(), QStringList{u"入库单的状态是 “已审核 ” , 不能增加新的记录"_qs});
    master.next();
    QVERIFY(master.EditRecord());
  }

  void buttonsByStateAndRights() {
    QWidget window;
    auto *add = new QPushButton(&window), *edit = new QPushButton(&window), *del = new QPushButton(&window),
         *save = new QPushButton(&window), *cancel = new QPushButton(&window),
         *print = new QPushButton(&window);
    auto *editor = new QLineEdit(&window);
    editor->setProperty("DataField", u"USE_NAME"_qs);
    auto q = users();
    TZRDataSource ds;
    ds.Window = &window;
    ds.setDataSet(q.get());
    ds.Button_Add = add;
    ds.Button_Edit = edit;
    ds.Button_Delete = del;
    ds.Button_Save = save;
    ds.Button_Cancel = cancel;
    ds.Button_Print = print;
    ds.Attach();
    q->ZRDS = &ds;
    q->Window = &window;
    q->OpenData();
    ds.switchControls();
    QVERIFY(add->isEnabled() && edit->isEnabled() && !save->isEnabled() && editor->isReadOnly());
    q->EditRecord();
    QVERIFY(!add->isEnabled() && save->isEnabled() && cancel->isEnabled() && !editor->isReadOnly());
    QCOMPARE(editor->palette().color(QPalette::Base), fromTColor(ds.EditColor));
    q->CancelRecord();
    QVERIFY(add->isEnabled() && !save->isEnabled() && editor->isReadOnly());
    // without the add right, add, edit and delete stay off in every state
    ds.RightAdd = ds.RightEdit = ds.RightDelete = false;
    for (int round = 0; round < 2; ++round) {
      ds.switchControls();
      QVERIFY(!add->isEnabled() && !edit->isEnabled() && !del->isEnabled());
      QVERIFY(print->isEnabled() == !q->isEditing());
      q->EditRecord();
    }
  }
};

QTEST_MAIN(TestZRQuery)
#include "tst_zrquery.moc"
