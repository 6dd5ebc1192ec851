#pragma once
// The conditions a find dialog builds: for each added line a readable text and an SQL piece of
// the local dialect. Every typed value enters the piece quoted, or parsed as a number or a date.
#include "framework/records.h"

#include <QtCore/QStringList>

namespace zr::ctl {

struct FindRelation {
  QString op;   // "Like", "=", "<>", "<=", ">="
  QString word; // "相似", "等于", ...
};
QList<FindRelation> defaultRelations();

// A column the dialog offers: ColumnList entries with a caption and a find kind.
struct FindColumn {
  QString fieldName;
  QString caption;
  QString dataKind; // "C" text, otherwise a number or a date
  QString findKind; // T DT D B BS BF
  QStringList values;
  QString alias;
  QString expression() const { return alias.isEmpty() ? fieldName : alias + u'.' + fieldName; }
  bool numeric() const { return dataKind != u"C" && findKind != u"D"; }
  bool offersLike() const {
    return !(numeric() || findKind == u"D" || findKind == u"B" || findKind == u"BS");
  }
};
QList<FindColumn> findColumns(const zr::fw::TFieldsDataArray &columns);

enum class Join { None, And, Or };
enum class FindFocus { None, Column, Relation, Value, Join };

struct FindRefusal {
  QString message;
  FindFocus focus = FindFocus::None;
  bool refused() const { return !message.isEmpty(); }
};

class FindConditions {
public:
  // One piece from a column, a relation, the value typed and, for BS/BF, the caller's condition.
  // relationFixed: the relation box was disabled (the line then reads "等于").
  static FindRefusal piece(const FindColumn &column, const FindRelation *relation, const QString &value,
                           const QString &popupCondition, bool relationFixed, QString *piece, QString *line);

  // Adds a line (B.3, B.4): the first is stored as it is, others need a joining word.
  FindRefusal add(const FindColumn &column, const FindRelation *relation, const QString &value, Join join,
                  const QString &popupCondition = {}, bool relationFixed = false);
  // Deletes line i; a new first line loses its joining word.
  void remove(int i);
  // The pieces as the window joins them, the first without a joining word; refused when empty.
  FindRefusal confirm();
  void reset();

  const QStringList &lines() const { return m_lines; }
  const QStringList &pieces() const { return m_pieces; }
  QString description() const { return m_lines.join(QString()); }

private:
  QStringList m_lines;
  QStringList m_pieces;
};

} // namespace zr::ctl
