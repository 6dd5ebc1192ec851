#include "controls/tzrtreeview.h"

#include "db/sqltext.h"
#include "platform/os/numbertext.h"
#include "platform/sql/database.h"
#include "platform/ui/common.h"

namespace zr::controls {

namespace {
constexpr int kRecordRole = Qt::UserRole + 1;
constexpr int kImageRole = Qt::UserRole + 2;
constexpr char16_t kPlaceholder[] = u"temp";
} // namespace

TZRTreeView::TZRTreeView(QWidget *parent) : QTreeWidget(parent) {
  setHeaderHidden(true);
  setColumnCount(1);
  // the selected node on SelectColor with white text
  QPalette p = palette();
  p.setColor(QPalette::Highlight, SelectColor);
  p.setColor(QPalette::HighlightedText, Qt::white);
  setPalette(p);
  connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem *item) {
    if (item->childCount() == 1 && isPlaceholder(item->child(0))) {
      if (OnExpanding)
        OnExpanding(item);
      loadChildren(item);
    }
  });
  connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *current, QTreeWidgetItem *) {
    if (SetColor) { // a change made by the program itself
      SetColor = false;
      return;
    }
    if (OnChange)
      OnChange(current);
  });
}

TZRTreeView::~TZRTreeView() = default;

zr::sql::Database *TZRTreeView::db() const {
  return database ? database : zr::sql::Database::named(DataBaseName);
}

bool TZRTreeView::isPlaceholder(const QTreeWidgetItem *item) {
  return item && !item->data(0, kRecordRole).isValid() && item->text(0) == QStringView(kPlaceholder);
}

int TZRTreeView::imageIndex(const QTreeWidgetItem *item) {
  return item ? item->data(0, kImageRole).toInt() : -1;
}

int TZRTreeView::level(const QTreeWidgetItem *item) {
  int l = 0;
  for (const QTreeWidgetItem *p = item ? item->parent() : nullptr; p; p = p->parent())
    ++l;
  return l;
}

void TZRTreeView::setImage(QTreeWidgetItem *item, int index) {
  item->setData(0, kImageRole, index);
  if (index >= 0 && index < Images.size())
    item->setIcon(0, Images.at(index));
}

NodeRecord *TZRTreeView::recordOf(const QTreeWidgetItem *item) const {
  if (!item)
    return nullptr;
  const QVariant v = item->data(0, kRecordRole);
  return v.isValid() ? reinterpret_cast<NodeRecord *>(v.value<quintptr>()) : nullptr;
}

QString TZRTreeView::withId(const QString &head, const QString &id, const QString &kind,
                            const QString &tail) const {
  if (kind.isEmpty())
    return head + u" " + tail;
  if (kind.compare(u"C", Qt::CaseInsensitive) == 0)
    return head + zr::db::quote(id) + u" " + tail;
  // an identifier spliced unquoted must be a number; anything else goes in quoted
  const auto n = zr::db::number(id);
  return head + (n ? *n : zr::db::quote(id)) + u" " + tail;
}

// Adds the node and decides whether it gets a placeholder child (it may have children).
QTreeWidgetItem *TZRTreeView::addWithRecord(QTreeWidgetItem *parent, const QString &caption,
                                            NodeRecord *rec) {
  auto *item = new QTreeWidgetItem(QStringList{caption});
  if (rec)
    item->setData(0, kRecordRole, QVariant::fromValue(quintptr(rec)));
  if (parent) {
    parent->addChild(item);
    if (parent->childCount() == 1)
      parent->setExpanded(true);
  } else {
    addTopLevelItem(item);
  }
  if ((parent && recordOf(parent)) || level(item) == 0) {
    bool placeholder = CountKind.compare(u"A", Qt::CaseInsensitive) == 0;
    if (!placeholder && !CountHead.isEmpty() && rec && db()) {
      const QString sql = CountKind.isEmpty() ? CountHead : withId(CountHead, rec->id, CountKind, CountTail);
      zr::sql::Query q(*db(), sql);
      placeholder = q.next() && q.value(0).toDouble() > 0;
    }
    if (placeholder)
      item->addChild(new QTreeWidgetItem(QStringList{QString::fromUtf16(kPlaceholder)}));
  }
  return item;
}

void TZRTreeView::loadChildren(QTreeWidgetItem *node) {
  delete node->takeChild(0);
  NodeRecord *rec = recordOf(node);
  QList<QPair<QString, QString>> rows; // (id, name)
  if (ChildHead == u"A") {
    for (const auto &s : std::as_const(StaticChildren))
      rows << qMakePair(s.second, s.first);
  } else if (!rec && !ChildIdKind.isEmpty()) {
    zr::ui::ShowWarning(QStringLiteral("节点空"));
  } else if (db()) {
    const QString sql = withId(ChildHead, rec ? rec->id : QString(), ChildIdKind, ChildTail);
    ++statementsRun;
    zr::sql::Query q(*db(), sql);
    while (q.next())
      rows << qMakePair(q.value(0).toString(), q.value(1).toString());
  }
  const int width = CaptionWidth.toInt();
  for (const auto &r : std::as_const(rows)) {
    QString caption = width > 0 && CaptionWidth != u"0" ? zr::os::PadZeros(r.second, width) : r.second;
    m_records.push_back(std::make_unique<NodeRecord>(NodeRecord{r.first, r.second}));
    QTreeWidgetItem *child = addWithRecord(node, caption + CaptionSuffix, m_records.back().get());
    setImage(child, LevelImages ? level(child) : (child->childCount() ? 0 : 2));
  }
  setImage(node, LevelImages ? level(node) : 1);
}

void TZRTreeView::BuildRoot() {
  if (RootId.isEmpty() || RootName.isEmpty()) {
    zr::ui::ShowWarning(QStringLiteral("没有节点ID或没有节点名称，不能建立节点"));
    return;
  }
  ClearTree();
  m_records.push_back(std::make_unique<NodeRecord>(NodeRecord{RootId, RootName}));
  QTreeWidgetItem *root = addWithRecord(nullptr, RootName, m_records.back().get());
  setImage(root, 0);
  // the root always reads its children, counted or not
  if (root->childCount() == 0)
    root->addChild(new QTreeWidgetItem(QStringList{QString::fromUtf16(kPlaceholder)}));
  root->setExpanded(true);
}

QTreeWidgetItem *TZRTreeView::AddNode(QTreeWidgetItem *parent, const QString &caption, const QString &id) {
  m_records.insert(m_records.begin(), std::make_unique<NodeRecord>(NodeRecord{id, caption}));
  QTreeWidgetItem *item = addWithRecord(parent, caption, m_records.front().get());
  if (parent)
    setImage(parent, LevelImages ? level(parent) : 0);
  setImage(item, LevelImages ? level(item) : (item->childCount() ? 0 : 2));
  return item;
}

void TZRTreeView::freeRecord(NodeRecord *rec) {
  std::erase_if(m_records, [rec](const std::unique_ptr<NodeRecord> &r) { return r.get() == rec; });
}

bool TZRTreeView::DeleteNode(QTreeWidgetItem *node, bool force) {
  if (!node)
    return false;
  const bool hasChildren = node->childCount() > 0;
  if (hasChildren && !force) {
    zr::ui::ShowWarning(QStringLiteral("请先删除该节点的子节点"));
    return false;
  }
  while (node->childCount() > 0) // depth first
    DeleteNode(node->child(node->childCount() - 1), true);
  if (NodeRecord *rec = recordOf(node))
    freeRecord(rec);
  delete node;
  if (QTreeWidgetItem *sel = currentItem())
    setImage(sel, LevelImages ? level(sel) : (sel->childCount() ? 0 : 2));
  return true;
}

QTreeWidgetItem *TZRTreeView::FindNode(const QString &id) const {
  QTreeWidgetItem *found = nullptr;
  for (QTreeWidgetItemIterator it(const_cast<TZRTreeView *>(this)); *it; ++it)
    if (const NodeRecord *r = recordOf(*it); r && r->id == id)
      found = *it; // the last in tree order
  return found;
}

QString TZRTreeView::NodeId(const QTreeWidgetItem *node) {
  const QVariant v = node ? node->data(0, kRecordRole) : QVariant();
  return v.isValid() ? reinterpret_cast<NodeRecord *>(v.value<quintptr>())->id : QString();
}
QString TZRTreeView::NodeName(const QTreeWidgetItem *node) {
  const QVariant v = node ? node->data(0, kRecordRole) : QVariant();
  return v.isValid() ? reinterpret_cast<NodeRecord *>(v.value<quintptr>())->name : QString();
}
QString TZRTreeView::TopNodeId(const QTreeWidgetItem *node) {
  while (node && node->parent())
    node = node->parent();
  return NodeId(node);
}
QString TZRTreeView::TopNodeName(const QTreeWidgetItem *node) {
  while (node && node->parent())
    node = node->parent();
  return NodeName(node);
}

void TZRTreeView::SetNodeName(QTreeWidgetItem *node, const QString &name) {
  if (!node)
    return;
  node->setText(0, name);
  if (NodeRecord *r = recordOf(node))
    r->name = name;
}

void TZRTreeView::RenameById(const QString &id, const QString &caption) {
  for (QTreeWidgetItemIterator it(this); *it; ++it)
    if (const NodeRecord *r = recordOf(*it); r && r->id == id)
      SetNodeName(*it, caption);
}

void TZRTreeView::ClearTree() {
  try {
    clear();
    m_records.clear();
  } catch (const std::exception &) {
    zr::ui::ShowWarning(QStringLiteral("节点数据清除过程发生错误"));
  }
}

} // namespace zr::controls
