#pragma once
// What the engine knows of a table: its columns with kind and byte width, its key and indexes.
#include <QtCore/QHash>
#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QStringList>
#include <memory>

namespace zr::sql {

enum class ColumnKind { Text, Date, Float, Integer, Blob };

struct ColumnDef {
  QString name;
  ColumnKind kind = ColumnKind::Text;
  int width = 0; // GBK bytes, text only

  static ColumnDef text(const QString &n, int w) { return {n, ColumnKind::Text, w}; }
  static ColumnDef date(const QString &n) { return {n, ColumnKind::Date, 0}; }
  static ColumnDef real(const QString &n) { return {n, ColumnKind::Float, 0}; }
  static ColumnDef integer(const QString &n) { return {n, ColumnKind::Integer, 0}; }
  static ColumnDef blob(const QString &n) { return {n, ColumnKind::Blob, 0}; }
};

struct TableDef {
  QString name;
  QList<ColumnDef> columns;
  QStringList key;            // empty: no key
  QList<QStringList> indexes; // secondary indexes, not unique

  const ColumnDef *column(QStringView name) const;
};

// The tables of one database, looked up case-insensitively.
class Catalog {
public:
  void add(TableDef t);
  const TableDef *table(QStringView name) const;
  QStringList tableNames() const; // in the order added
  bool isEmpty() const { return m_order.isEmpty(); }

private:
  QHash<QString, TableDef> m_tables; // by upper-case name
  QStringList m_order;
};

QString kindName(ColumnKind k);
ColumnKind kindFromName(QStringView s);

} // namespace zr::sql
