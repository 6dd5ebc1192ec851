#include "controls/find/findforms.h"
#include "db/globals.h"
#include "platform/ui/modal.h"
#include "platform/ui/prompter.h"
#include "tests/support/testenv.h"

#include <QtTest/QTest>
#include <QtWidgets/QButtonGroup>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>

using namespace zr::ctl;
using zr::fw::TFieldsData;

namespace {

TFieldsData col(const QString &field, const QString &caption, const QString &kind, const QString &find,
                const QString &values = {}) {
  TFieldsData f;
  f.FieldName = field;
  f.Caption = caption;
  f.DataKind = kind;
  f.FindKind = find;
  f.ValueList = values;
  return f;
}

const zr::fw::TFieldsDataArray kColumns{col(u"ARCHIVE_NAME"_qs, u"题名"_qs, u"C"_qs, u"T"_qs),
                                        col(u"NUMBER_FIELD1"_qs, u"页数"_qs, u"N"_qs, u"T"_qs),
                                        col(u"DATE_FIELD1"_qs, u"日期"_qs, u"D"_qs, u"D"_qs),
                                        col(u"TEXT_FIELD1"_qs, u"密级"_qs, u"C"_qs, u"B"_qs, u"公开;秘密"_qs),
                                        col(u"TEXT_FIELD2"_qs, u"备注"_qs, u"C"_qs, QString())};

const FindRelation *rel(const QString &word) {
  static const QList<FindRelation> r = defaultRelations();
  for (const auto &x : r)
    if (x.word == word)
      return &x;
  return nullptr;
}

} // namespace

class TestFind : public QObject {
  Q_OBJECT
  std::unique_ptr<zr::test::TestEnv> m_env;
  zr::sql::Database *m_db = nullptr;
  std::unique_ptr<zr::ui::ScriptedPrompterGuard> m_prompts;
  QList<FindColumn> m_cols;

  QStringList found(const QStringList &pieces) {
    QStringList out;
    zr::sql::Query q(*m_db, u"SELECT ARCHIVE_RECORD_ID FROM ZR_ARCHIVE_MASTER_TABLE WHERE (" +
                                pieces.join(QString()) + u") ORDER BY ARCHIVE_RECORD_ID");
    while (q.next())
      out << q.value(0).toString();
    return out;
  }

private slots:
  void init() {
    m_env = std::make_unique<zr::test::TestEnv>();
    m_db = &m_env->installAndOpen();
    m_prompts = std::make_unique<zr::ui::ScriptedPrompterGuard>();
    m_cols = findColumns(kColumns);
    m_db->exec(u"INSERT INTO "
               u"ZR_ARCHIVE_MASTER_TABLE(ARCHIVE_RECORD_ID,ARCHIVE_NAME,NUMBER_FIELD1,DATE_FIELD1,TEXT_"
               u"FIELD1) VALUES"
               u"('A1','张氏家谱',12,'2024-03-05','公开'),('A2','O''Brien的信',3,'2023-12-31','秘密'),"
               u"('A3','会议纪要',40,'2024-03-06','公开')"_qs);
  }
  void cleanup() {
    m_prompts.reset();
    m_env.reset();
  }

  void offeredColumnsAndRelations() {
    QCOMPARE(m_cols.size(), 4); // a column without a find kind is not offered
    QVERIFY(m_cols[0].offersLike());
    QVERIFY(!m_cols[1].offersLike()); // numeric
    QVERIFY(!m_cols[2].offersLike()); // date
    QCOMPARE(m_cols[3].values, (QStringList{u"公开"_qs, u"秘密"_qs}));
  }

  // Each built condition runs against the table and finds the right rows.
  void conditions_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("relation");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("like") << 0 << u"相似"_qs << u"家谱"_qs << QStringList{u"A1"_qs};
    QTest::newRow("a quote in the value") << 0 << u"等于"_qs << u"O'Brien的信"_qs << QStringList{u"A2"_qs};
    QTest::newRow("like with a quote") << 0 << u"相似"_qs << u"'B"_qs << QStringList{u"A2"_qs};
    QTest::newRow("number") << 1 << u"大于等于"_qs << u"12"_qs << QStringList{u"A1"_qs, u"A3"_qs};
    QTest::newRow("date") << 2 << u"大于等于"_qs << u"2024-03-05"_qs << QStringList{u"A1"_qs, u"A3"_qs};
    QTest::newRow("date not equal") << 2 << u"不等于"_qs << u"2024-03-05"_qs
                                    << QStringList{u"A2"_qs, u"A3"_qs};
    QTest::newRow("value list") << 3 << u"等于"_qs << u"秘密"_qs << QStringList{u"A2"_qs};
  }
  void conditions() {
    QFETCH(int, column);
    QFETCH(QString, relation);
    QFETCH(QString, value);
    QFETCH(QStringList, rows);
    FindConditions c;
    QVERIFY(!c.add(m_cols[column], rel(relation), value, Join::None).refused());
    QCOMPARE(c.lines().first(), u' ' % m_cols[column].caption % u' ' % relation % u' ' % value);
    QVERIFY(!c.confirm().refused());
    QCOMPARE(found(c.pieces()), rows);
  }

  void joinsAndRemoval() {
    FindConditions c;
    // the first line with "或者" chosen is stored without its joining word
    QVERIFY(!c.add(m_cols[0], rel(u"相似"_qs), u"谱"_qs, Join::Or).refused());
    QCOMPARE(c.pieces().first(), u"ARCHIVE_NAME Like  '%谱%'"_qs);
    QCOMPARE(c.add(m_cols[1], rel(u"等于"_qs), u"3"_qs, Join::None).message, u"必须有一个查找逻辑"_qs);
    QVERIFY(!c.add(m_cols[1], rel(u"等于"_qs), u"3"_qs, Join::Or).refused());
    QVERIFY(!c.add(m_cols[3], rel(u"等于"_qs), u"公开"_qs, Join::And).refused());
    QCOMPARE(c.lines()[1], u" 或着 页数 等于 3"_qs);
    QCOMPARE(c.lines()[2], u" 并且 密级 等于 公开"_qs);
    QVERIFY(!c.confirm().refused());
    QCOMPARE(found(c.pieces()),
             QStringList{u"A1"_qs}); // (谱 or 3) and 公开 as SQL groups it: 谱 or (3 and 公开)
    c.remove(0);
    QCOMPARE(c.lines().first(), u" 页数 等于 3"_qs);
    QVERIFY(!c.confirm().refused());
    QVERIFY(found(c.pieces()).isEmpty());
    c.remove(0);
    c.remove(0);
    QCOMPARE(c.confirm().message, u"没有查找表达式"_qs);
  }

  void refusals_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("relation");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("message");
    QTest::newRow("no value") << 0 << u"等于"_qs << QString() << u"必须有一个查找的值"_qs;
    QTest::newRow("no relation") << 0 << QString() << u"x"_qs << u"必须有一个查找关系"_qs;
    QTest::newRow("number that is none") << 1 << u"等于"_qs << u"1 or 1=1"_qs << u"必须有一个查找的值"_qs;
    QTest::newRow("no date") << 2 << u"等于"_qs << QString() << u"必须有一个查找的日期"_qs;
    QTest::newRow("date without leading zeros")
        << 2 << u"等于"_qs << u"2024-3-5"_qs
        << u"错误的日期格式,正确的日期格式如2000年8月8日是:“2000-08-08”"_qs;
    QTest::newRow("ten characters but no date")
        << 2 << u"等于"_qs << u"2024-13-45"_qs
        << u"错误的日期格式,正确的日期格式如2000年8月8日是:“2000-08-08”"_qs;
  }
  void refusals() {
    QFETCH(int, column);
    QFETCH(QString, relation);
    QFETCH(QString, value);
    QFETCH(QString, message);
    FindConditions c;
    QCOMPARE(c.add(m_cols[column], relation.isEmpty() ? nullptr : rel(relation), value, Join::None).message,
             message);
    QVERIFY(c.pieces().isEmpty());
  }

  // The dialog as a user drives it.
  void dialogTypedAsAUser() {
    zr::db::WorkingDate = u"2026-12-11"_qs;
    TFindFormDialog dlg;
    dlg.Caption = u"档案"_qs;
    dlg.SetColumnList(kColumns);
    dlg.setShowAll(u"SELECT * FROM ZR_ARCHIVE_MASTER_TABLE"_qs);
    int shown = 0;
    zr::ui::ModalHandlerGuard guard([&](QDialog &d) {
      ++shown;
      auto &f = static_cast<TZRFindForm &>(d);
      if (shown == 1) {
        [&] { QCOMPARE(f.windowTitle(), u"档案查找窗口"_qs); }();
        f.ComboBoxField->setCurrentIndex(1); // 页数: numeric, no 相似
        [&] { QCOMPARE(f.ComboBoxRelation->findText(u"相似"_qs), -1); }();
        f.ComboBoxRelation->setCurrentIndex(f.ComboBoxRelation->findText(u"大于等于"_qs));
        QTest::keyClicks(f.EditValue, u"1a2"_qs); // letters never reach a numeric value
        [&] { QCOMPARE(f.EditValue->text(), u"12"_qs); }();
        QTest::mouseClick(f.ButtonAdd, Qt::LeftButton);
        f.ComboBoxField->setCurrentIndex(0);
        f.ComboBoxRelation->setCurrentIndex(f.ComboBoxRelation->findText(u"相似"_qs));
        f.EditValue->insert(u"纪要"_qs); // Chinese arrives through the input method, not as keys
        QTest::mouseClick(f.ButtonAdd, Qt::LeftButton); // no joining word chosen
        f.RadioAnd->setChecked(true);
        QTest::mouseClick(f.ButtonAdd, Qt::LeftButton);
        [&] { QCOMPARE(f.ListBox->count(), 2); }();
        QTest::keyClick(&f, Qt::Key_F3);
      } else {
        QTest::mouseClick(f.ButtonAll, Qt::LeftButton);
      }
      return d.result();
    });
    QVERIFY(dlg.Execute());
    QCOMPARE(m_prompts->get().texts(), QStringList{u"必须有一个查找逻辑"_qs});
    QCOMPARE(dlg.Description(), u" 页数 大于等于 12 并且 题名 相似 纪要"_qs);
    QCOMPARE(found(dlg.Conditions()), QStringList{u"A3"_qs});
    // the conditions stay for the next showing; all data clears them
    QVERIFY(dlg.Execute());
    QVERIFY(dlg.AllData());
    QVERIFY(dlg.Conditions().isEmpty());
  }

  void simpleDialog() {
    TFindSimpleFormDialog dlg;
    dlg.SetColumnList(kColumns);
    zr::ui::ModalHandlerGuard guard([&](QDialog &d) {
      auto &f = static_cast<TZRFindSimpleForm &>(d);
      f.ComboBoxField->setCurrentIndex(3);
      f.ComboBoxRelation->setCurrentIndex(f.ComboBoxRelation->findText(u"等于"_qs));
      f.ComboBoxValue->setCurrentIndex(f.ComboBoxValue->findText(u"公开"_qs));
      QTest::mouseClick(f.ButtonOk, Qt::LeftButton);
      return d.result();
    });
    QVERIFY(dlg.Execute());
    QCOMPARE(found({dlg.Condition()}), (QStringList{u"A1"_qs, u"A3"_qs}));
  }

  void choosers() {
    {
      zr::ui::ModalHandlerGuard guard([](QDialog &d) {
        auto &f = static_cast<TSelectReportForm &>(d);
        QTest::mouseClick(f.ButtonOk, Qt::LeftButton); // nothing checked yet
        f.RadioButton2->setChecked(true);
        QTest::mouseClick(f.ButtonOk, Qt::LeftButton);
        return d.result();
      });
      QCOMPARE(OperationChooser(nullptr, u"打印"_qs, u"目录"_qs, u"清单"_qs), 2);
      QCOMPARE(m_prompts->get().texts(), QStringList{u"必须选择一个选项"_qs});
    }
    {
      zr::ui::ModalHandlerGuard guard([](QDialog &d) {
        d.reject();
        return d.result();
      });
      QCOMPARE(OperationChooser(nullptr, u"打印"_qs, u"目录"_qs, u"清单"_qs), 0);
      QVERIFY(SortChooser(nullptr, u"排序"_qs, {{u"题名"_qs, u"ARCHIVE_NAME"_qs}}).isEmpty());
    }
    {
      zr::ui::ModalHandlerGuard guard([](QDialog &d) {
        auto &f = static_cast<TSelectItemForm &>(d);
        f.RadioGroup->button(2)->setChecked(true);
        QTest::mouseClick(f.ButtonOk, Qt::LeftButton);
        return d.result();
      });
      QCOMPARE(SortChooser(nullptr, u"排序"_qs,
                           {{u"题名"_qs, u"ARCHIVE_NAME"_qs}, {u"日期"_qs, u"DATE_FIELD1"_qs}}),
               u" ORDER BY DATE_FIELD1"_qs);
    }
    TFindStatusForm status;
    QTest::mouseClick(status.ButtonOk, Qt::LeftButton);
    QCOMPARE(m_prompts->get().texts().last(), u"必须选择状态"_qs);
    status.ComboBox->setCurrentIndex(1);
    QTest::mouseClick(status.ButtonOk, Qt::LeftButton);
    QCOMPARE(status.status(), u"未归还"_qs);
  }
};

QTEST_MAIN(TestFind)
#include "tst_find.moc"
