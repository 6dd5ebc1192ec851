#include "controls/tzrtreeview.h"
#include "platform/ui/prompter.h"
#include "tests/support/testenv.h"

#include <QtTest/QAbstractItemModelTester>
#include <QtTest/QTest>

using namespace zr::controls;

class TestTree : public QObject {
  Q_OBJECT
  std::unique_ptr<zr::test::TestEnv> m_env;
  zr::sql::Database *m_db = nullptr;
  std::unique_ptr<zr::ui::ScriptedPrompterGuard> m_prompts;

  // The category window's tree: root G001, children by PRIOR_ID, counted to learn which open.
  std::unique_ptr<TZRTreeView> categoryTree() {
    auto t = std::make_unique<TZRTreeView>();
    t->database = m_db;
    t->RootId = u"G001"_qs;
    t->RootName = u"档案类别"_qs;
    t->ChildHead =
        u"SELECT ARCHIVE_TYPE_ID,ARCHIVE_TYPE_NAME,ORDER_ID FROM ZR_ARCHIVE_TYPE_TABLE WHERE PRIOR_ID = "_qs;
    t->ChildIdKind = u"C"_qs;
    t->ChildTail = u" ORDER BY ORDER_ID"_qs;
    t->CountHead = u"SELECT Count(ARCHIVE_TYPE_ID) FROM ZR_ARCHIVE_TYPE_TABLE WHERE PRIOR_ID = "_qs;
    t->CountKind = u"C"_qs;
    return t;
  }
  void category(const QString &id, const QString &name, int order, const QString &parent) {
    m_db->exec(
        u"INSERT INTO ZR_ARCHIVE_TYPE_TABLE(ARCHIVE_TYPE_ID,ARCHIVE_TYPE_NAME,ORDER_ID,PRIOR_ID) VALUES('" +
        id + u"','" + name + u"'," + QString::number(order) + u",'" + parent + u"')");
  }
  static QStringList captions(QTreeWidgetItem *node) {
    QStringList out;
    for (int i = 0; i < node->childCount(); ++i)
      out << node->child(i)->text(0);
    return out;
  }

private slots:
  void init() {
    m_env = std::make_unique<zr::test::TestEnv>();
    m_db = &m_env->installAndOpen();
    m_prompts = std::make_unique<zr::ui::ScriptedPrompterGuard>();
    category(u"201"_qs, u"文书档案"_qs, 2, u"G001"_qs);
    category(u"202"_qs, u"科技档案"_qs, 1, u"G001"_qs);
    category(u"201001"_qs, u"永久"_qs, 1, u"201"_qs);
    category(u"201001001"_qs, u"一卷"_qs, 1, u"201001"_qs);
  }
  void cleanup() {
    m_prompts.reset();
    m_env.reset();
  }

  void childrenLoadOnlyWhenANodeOpens() {
    auto t = categoryTree();
    QAbstractItemModelTester tester(t->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    t->BuildRoot();
    QTreeWidgetItem *root = t->topLevelItem(0);
    QCOMPARE(captions(root), (QStringList{u"科技档案"_qs, u"文书档案"_qs})); // by ORDER_ID
    QCOMPARE(t->statementsRun, 1);
    QTreeWidgetItem *wenshu = t->FindNode(u"201"_qs);
    QCOMPARE(wenshu->childCount(), 1);
    QVERIFY(TZRTreeView::isPlaceholder(wenshu->child(0)));
    QCOMPARE(t->FindNode(u"202"_qs)->childCount(), 0); // nothing below: no expand button
    QCOMPARE(TZRTreeView::imageIndex(t->FindNode(u"202"_qs)), 2);
    t->expandItem(wenshu);
    QCOMPARE(t->statementsRun, 2);
    QCOMPARE(captions(wenshu), QStringList{u"永久"_qs});
    QCOMPARE(TZRTreeView::imageIndex(wenshu), 1);
    t->collapseItem(wenshu);
    t->expandItem(wenshu); // read once only
    QCOMPARE(t->statementsRun, 2);
    QTreeWidgetItem *deep = t->FindNode(u"201001"_qs);
    t->expandItem(deep);
    QCOMPARE(TZRTreeView::TopNodeId(t->FindNode(u"201001001"_qs)), u"G001"_qs);
    QCOMPARE(TZRTreeView::NodeName(t->FindNode(u"201001001"_qs)), u"一卷"_qs);
  }

  void aQuoteInAnIdentifierStaysInItsLiteral() {
    auto t = categoryTree();
    t->RootId = u"x' OR '1'='1"_qs;
    t->BuildRoot();
    QCOMPARE(t->topLevelItem(0)->childCount(), 0);
  }

  void missingRootIsRefused() {
    auto t = categoryTree();
    t->RootName.clear();
    t->BuildRoot();
    QCOMPARE(m_prompts->get().texts(), QStringList{u"没有节点ID或没有节点名称，不能建立节点"_qs});
    QCOMPARE(t->topLevelItemCount(), 0);
  }

  void findRenameAddDelete() {
    auto t = categoryTree();
    t->BuildRoot();
    QTreeWidgetItem *root = t->topLevelItem(0);
    QTreeWidgetItem *keji = t->FindNode(u"202"_qs);
    // two nodes with one identifier: the later one is found
    QTreeWidgetItem *twin = t->AddNode(root, u"副本"_qs, u"202"_qs);
    QCOMPARE(t->FindNode(u"202"_qs), twin);
    QCOMPARE(TZRTreeView::imageIndex(twin), 2);
    t->RenameById(u"202"_qs, u"技术档案"_qs);
    QCOMPARE(keji->text(0), u"技术档案"_qs);
    QCOMPARE(TZRTreeView::NodeName(twin), u"技术档案"_qs);
    t->SetNodeName(keji, u"科研档案"_qs);
    QCOMPARE(TZRTreeView::NodeName(keji), u"科研档案"_qs);
    QTreeWidgetItem *child = t->AddNode(keji, u"新类"_qs, u"202001"_qs);
    QVERIFY(keji->isExpanded());
    QCOMPARE(TZRTreeView::NodeId(child), u"202001"_qs);
    const int records = t->recordCount();
    QVERIFY(!t->DeleteNode(keji, false));
    QCOMPARE(m_prompts->get().texts().last(), u"请先删除该节点的子节点"_qs);
    QVERIFY(t->DeleteNode(keji, true));
    QCOMPARE(t->recordCount(), records - 2);
    QVERIFY(t->FindNode(u"202001"_qs) == nullptr);
    t->ClearTree();
    QCOMPARE(t->recordCount(), 0);
  }

  void staticChildrenAndCaptionPadding() {
    auto t = categoryTree();
    t->ChildHead = u"A"_qs;
    t->StaticChildren = {{u"7"_qs, u"a"_qs}, {u"12"_qs, u"b"_qs}};
    t->CountHead.clear();
    t->CountKind.clear();
    t->CaptionWidth = u"3"_qs;
    t->CaptionSuffix = u"号"_qs;
    t->BuildRoot();
    QCOMPARE(captions(t->topLevelItem(0)), (QStringList{u"007号"_qs, u"012号"_qs}));
    QCOMPARE(t->statementsRun, 0);
  }

  void programSelectionSkipsTheWindowHandler() {
    auto t = categoryTree();
    t->BuildRoot();
    int changes = 0;
    t->OnChange = [&](QTreeWidgetItem *) { ++changes; };
    t->SetColor = true;
    t->setCurrentItem(t->FindNode(u"201"_qs));
    QCOMPARE(changes, 0);
    t->setCurrentItem(t->FindNode(u"202"_qs));
    QCOMPARE(changes, 1);
  }
};

QTEST_MAIN(TestTree)
#include "tst_tree.moc"
