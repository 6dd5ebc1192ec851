#pragma once
// TZRTreeView: a tree that reads the children of a node from the database the first time the
// node opens. Until then a node that has children carries one placeholder child.
#include <QtCore/QPair>
#include <QtWidgets/QTreeWidget>
#include <functional>
#include <memory>
#include <vector>

namespace zr::sql {
class Database;
}

namespace zr::controls {

struct NodeRecord {
  QString id;
  QString name;
};

class TZRTreeView : public QTreeWidget {
  Q_OBJECT
public:
  explicit TZRTreeView(QWidget *parent = nullptr);
  ~TZRTreeView() override;

  QString DataBaseName;                          // a named database
  zr::sql::Database *database = nullptr;         // used when set, else DataBaseName
  QColor SelectColor = QColor(0x00, 0x80, 0xC0); // 12615680 as BGR
  bool SetColor = false;
  QString RootId, RootName;
  // child statement
  QString ChildHead, ChildTail, ChildIdKind, CaptionSuffix, CaptionWidth = u"0"_qs;
  // count statement
  QString CountHead, CountTail, CountKind;
  bool LevelImages = false;
  QList<QPair<QString, QString>> StaticChildren; // (caption, identifier), used when ChildHead is "A"
  QList<QIcon> Images;

  std::function<void(QTreeWidgetItem *)> OnExpanding;
  std::function<void(QTreeWidgetItem *)> OnChange;

  void BuildRoot();
  QTreeWidgetItem *AddNode(QTreeWidgetItem *parent, const QString &caption, const QString &id);
  bool DeleteNode(QTreeWidgetItem *node, bool force);
  QTreeWidgetItem *FindNode(const QString &id) const;
  static QString NodeId(const QTreeWidgetItem *node);
  static QString NodeName(const QTreeWidgetItem *node);
  static QString TopNodeId(const QTreeWidgetItem *node);
  static QString TopNodeName(const QTreeWidgetItem *node);
  void SetNodeName(QTreeWidgetItem *node, const QString &name);
  void RenameById(const QString &id, const QString &caption);
  void ClearTree();

  static bool isPlaceholder(const QTreeWidgetItem *item);
  static int imageIndex(const QTreeWidgetItem *item);
  static int level(const QTreeWidgetItem *item);
  int recordCount() const { return int(m_records.size()); }
  // Child statements run so far (a node opened twice must not read again).
  int statementsRun = 0;

private:
  NodeRecord *recordOf(const QTreeWidgetItem *item) const;
  QTreeWidgetItem *addWithRecord(QTreeWidgetItem *parent, const QString &caption, NodeRecord *rec);
  void loadChildren(QTreeWidgetItem *node);
  void setImage(QTreeWidgetItem *item, int index);
  void freeRecord(NodeRecord *rec);
  QString withId(const QString &head, const QString &id, const QString &kind, const QString &tail) const;
  zr::sql::Database *db() const;

  std::vector<std::unique_ptr<NodeRecord>> m_records;
};

} // namespace zr::controls
