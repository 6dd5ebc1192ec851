#pragma once
// A query dataset: SQL text with named parameters, fields, a cursor over rows fetched lazily,
// the browse/edit/insert states and cached updates applied through an update object.
// Opening costs a first screen of rows whatever the size of the result; moving to the last row
// reads the result backwards from its end when its order can be reversed.
#include "platform/dataset/rowstore.h"
#include "platform/sql/database.h"

#include <QtCore/QObject>
#include <functional>
#include <memory>

namespace zr::data {

enum class State { Inactive, Browse, Edit, Insert };

// Thrown by an event handler to end the operation silently (the user has been told already).
struct Abort {};

class Dataset;

class Field {
public:
  QString name() const { return m_def.name; }
  zr::sql::ColumnKind kind() const { return m_def.kind; }
  // "C" text, "N" number, "D" date, "B" blob
  QString dataKind() const;
  int size() const { return m_def.width; }
  int index() const { return m_index; }

  QString displayLabel;
  int displayWidth = 0; // characters
  bool visible = true;
  int tag = 0;
  bool readOnly = false;

  QVariant value() const;
  void setValue(const QVariant &v);
  bool isNull() const;
  // Text as the user sees it: dates YYYY-MM-DD, numbers in their shortest form, NULL empty.
  QString asString() const;
  void setAsString(const QString &text) { setValue(text.isEmpty() ? QVariant() : QVariant(text)); }
  // The value when editing started (the stored value while browsing).
  QVariant oldValue() const;

private:
  friend class Dataset;
  Dataset *m_ds = nullptr;
  int m_index = 0;
  zr::sql::ColumnDef m_def;
};

struct UpdateObject {
  QString insertSql;
  QString modifySql;
  QString deleteSql;
};

class Dataset : public QObject {
  Q_OBJECT
public:
  explicit Dataset(QObject *parent = nullptr);
  ~Dataset() override;

  void setDatabase(zr::sql::Database *db) { m_db = db; }
  zr::sql::Database *database() const { return m_db; }
  void setSql(const QString &sql);
  QString sql() const { return m_sql; }
  void setParam(const QString &name, const QVariant &value);
  QVariant param(const QString &name) const { return m_params.value(name.toUpper()); }

  void open();
  void close();
  bool isActive() const { return m_state != State::Inactive; }
  State state() const { return m_state; }
  bool isEditing() const { return m_state == State::Edit || m_state == State::Insert; }

  // Cursor. Positions are 0-based; recNo() is -1 on an empty dataset.
  bool isEmpty() const;
  // Learning the position of a row read from the end costs one count.
  qint64 recNo() const;
  // Counts with one aggregate statement, without reading the rows.
  qint64 recordCount();
  bool bof() const { return m_bof; }
  bool eof() const { return m_eof; }
  void first();
  void prior();
  void next();
  void last();
  bool moveTo(qint64 pos);
  bool locate(const QStringList &fields, const QVariantList &values, bool caseInsensitive = false);
  // A bookmark names the current row across scrolling; valid until the dataset is closed.
  QByteArray bookmark() const;
  bool gotoBookmark(const QByteArray &bookmark);

  int fieldCount() const { return int(m_fields.size()); }
  Field *field(int i) const { return m_fields[size_t(i)].get(); }
  Field *findField(const QString &name) const;
  Field *fieldByName(const QString &name) const; // throws EngineError when missing
  QStringList fieldNames() const;

  // Row access for views: whether the row is known, and its value; fetches as needed.
  QVariant valueAt(qint64 pos, int column);
  // Rows known without further reading (for item views that grow as they scroll).
  qint64 fetchedCount() const;
  bool canFetchMore() const;
  void fetchMore(int rows = 256);

  void append();
  void edit();
  void post();
  void cancel();
  void remove();

  // Cached updates: post and remove change the cache only; applyUpdates writes them through
  // the update object in one transaction, commitUpdates forgets them.
  bool cachedUpdates = true;
  void setUpdateObject(const UpdateObject &u) { m_update = u; }
  const UpdateObject &updateObject() const { return m_update; }
  int pendingUpdates() const { return int(m_pending.size()); }
  void applyUpdates();
  void commitUpdates() { m_pending.clear(); }
  void cancelUpdates();

  // After the current row was written by other means: the database row it now is, so that
  // reading on never shows it twice.
  void setCurrentRowid(qint64 rowid);
  bool hasRowid() const { return m_hasRowid; }

  void disableControls() { ++m_controlsDisabled; }
  void enableControls();
  bool controlsDisabled() const { return m_controlsDisabled > 0; }

  // Memory of the cached rows beside the bytes of their values.
  qint64 cacheMemoryBytes() const { return m_rows.memoryBytes(); }
  qint64 cacheValueBytes() const { return m_rows.valueBytes(); }

  // Window handlers; the controller runs its own work first (see the virtual hooks).
  std::function<void(Dataset &)> beforeInsert, beforeEdit, beforePost, afterOpen, afterScroll, beforeDelete;
  std::function<void(Dataset &, const std::exception &)> onUpdateError;

signals:
  void stateChanged();
  void dataChanged(int field); // -1: the whole record
  void scrolled();
  void layoutReset(); // opened, closed or refetched
  void rowAboutToBeInserted(qint64 pos);
  void rowInserted(qint64 pos);
  void rowAboutToBeRemoved(qint64 pos);
  void rowRemoved(qint64 pos);

protected:
  virtual void doBeforeInsert();
  virtual void doBeforeEdit();
  virtual void doBeforePost();
  virtual void doBeforeDelete();
  virtual void doAfterOpen();
  virtual void doAfterScroll();
  virtual void doUpdateError(const std::exception &e);
  void setState(State s);
  void scrolledTo();

private:
  friend class Field;
  struct Pending {
    enum Kind { Insert, Modify, Delete } kind;
    QVariantList oldValues;
    QVariantList newValues;
  };

  void prepareShape();
  bool ensure(qint64 pos);
  bool fetchForward(int rows);
  bool fetchBackward(int rows);
  bool fetchWindow(qint64 pos);
  QVariantList currentValues() const;
  void bindParams(zr::sql::Query &q) const;
  void applyOne(const Pending &p);
  void resetCursors();

  zr::sql::Database *m_db = nullptr;
  QString m_sql;
  QHash<QString, QVariant> m_params;
  UpdateObject m_update;
  State m_state = State::Inactive;
  std::vector<std::unique_ptr<Field>> m_fields;

  // shape of the statement
  QString m_fetchSql;   // with the hidden rowid and a total order when one can be given
  QString m_reverseSql; // the same rows from the end, or empty
  QString m_countSql;   // counts the rows without reading them
  bool m_hasRowid = false;

  RowStore m_rows;
  std::unique_ptr<zr::sql::Query> m_forward;
  qint64 m_forwardDbPos = 0; // rows the forward statement has delivered
  bool m_forwardDone = false;
  std::unique_ptr<zr::sql::Query> m_backward;
  qint64 m_backwardDbPos = 0; // rows the backward statement has delivered
  qint64 m_count = -1;        // known total, adjusted by local inserts and deletes
  QSet<qint64> m_knownRowids;

  // After last(), rows read from the end wait here (last row first) until a position is needed.
  bool m_detached = false;
  std::vector<QByteArray> m_tail;
  qint64 m_tailPos = 0;
  void anchor();
  bool fetchTail(int rows);
  bool nextFromEnd(QByteArray *row);
  const QByteArray *currentRow() const;

  qint64 m_pos = -1;
  bool m_bof = true, m_eof = true;
  QVariantList m_buffer;    // the record being edited
  QVariantList m_editStart; // its values when editing started
  qint64 m_insertPos = -1;
  std::vector<Pending> m_pending;
  int m_controlsDisabled = 0;
};

} // namespace zr::data
