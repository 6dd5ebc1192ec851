#include "platform/sql/tabledef.h"

namespace zr::sql {

const ColumnDef *TableDef::column(QStringView n) const {
  for (const ColumnDef &c : columns)
    if (n.compare(c.name, Qt::CaseInsensitive) == 0)
      return &c;
  return nullptr;
}

void Catalog::add(TableDef t) {
  const QString k = t.name.toUpper();
  if (!m_tables.contains(k))
    m_order.append(t.name);
  m_tables.insert(k, std::move(t));
}

const TableDef *Catalog::table(QStringView name) const {
  auto it = m_tables.constFind(name.toString().toUpper());
  return it == m_tables.constEnd() ? nullptr : &*it;
}

QStringList Catalog::tableNames() const {
  return m_order;
}

QString kindName(ColumnKind k) {
  switch (k) {
  case ColumnKind::Text: return QStringLiteral("String");
  case ColumnKind::Date: return QStringLiteral("Date");
  case ColumnKind::Float: return QStringLiteral("Float");
  case ColumnKind::Integer: return QStringLiteral("Integer");
  case ColumnKind::Blob: return QStringLiteral("Blob");
  }
  return {};
}

ColumnKind kindFromName(QStringView s) {
  if (s == u"Date")
    return ColumnKind::Date;
  if (s == u"Float")
    return ColumnKind::Float;
  if (s == u"Integer")
    return ColumnKind::Integer;
  if (s == u"Blob")
    return ColumnKind::Blob;
  return ColumnKind::Text;
}

} // namespace zr::sql
