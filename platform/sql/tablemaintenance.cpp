#include "platform/sql/tablemaintenance.h"

namespace zr::sql {

QString tableSql(const TableDef &t, const QString &asName);

namespace {

QString quoteName(const QString &n) {
  return u'"' % QString(n).replace(u'"', QStringLiteral("\"\"")) % u'"';
}

// Maintenance needs the table to itself.
bool refuseInUse(Database &db, const QString &table, TableReport &r) {
  if (db.tablesInUse().contains(table, Qt::CaseInsensitive)) {
    r.message = u"有未关闭的数据表: " % table;
    return true;
  }
  return false;
}

const TableDef *known(Database &db, const QString &table, TableReport &r) {
  const TableDef *t = db.catalog().table(table);
  if (!t)
    r.message = u"no such table: " % table;
  else
    r.table = t->name;
  return t;
}

} // namespace

TableReport verifyTable(Database &db, const QString &table) {
  TableReport r{table, false, {}};
  if (!known(db, table, r))
    return r;
  try {
    QStringList problems;
    Query q(db, u"PRAGMA integrity_check(" % quoteName(r.table) % u')');
    while (q.next()) {
      const QString line = q.value(0).toString();
      if (line != u"ok")
        problems << line;
    }
    r.ok = problems.isEmpty();
    r.message = problems.join(u'\n');
  } catch (const std::exception &e) {
    r.message = QString::fromUtf8(e.what());
  }
  return r;
}

TableReport rebuildTable(Database &db, const QString &table) {
  TableReport r{table, false, {}};
  const TableDef *t = known(db, table, r);
  if (!t || refuseInUse(db, r.table, r))
    return r;
  const TableDef def = *t;
  const QString tmp = def.name + u"_REBUILD";
  try {
    Transaction tx(db);
    QStringList indexSql;
    {
      Query q(db, u"SELECT sql FROM sqlite_schema WHERE type = 'index' AND tbl_name = " % sqlQuote(def.name) %
                      u" AND sql IS NOT NULL");
      while (q.next())
        indexSql << q.value(0).toString();
    }
    QStringList cols;
    for (const ColumnDef &c : def.columns)
      cols << quoteName(c.name);
    db.exec(u"DROP TABLE IF EXISTS " % quoteName(tmp));
    db.exec(tableSql(def, tmp));
    db.exec(u"INSERT INTO " % quoteName(tmp) % u" (" % cols.join(u", ") % u") SELECT " % cols.join(u", ") %
            u" FROM " % quoteName(def.name));
    db.exec(u"DROP TABLE " % quoteName(def.name));
    db.exec(u"ALTER TABLE " % quoteName(tmp) % u" RENAME TO " % quoteName(def.name));
    for (const QString &s : indexSql)
      db.exec(s);
    tx.commit();
    r.ok = true;
  } catch (const EngineError &e) {
    r.message = e.message();
  } catch (const ConversionError &e) {
    r.message = e.message();
  }
  return r;
}

TableReport compactTable(Database &db, const QString &table) {
  TableReport r = rebuildTable(db, table);
  if (!r.ok)
    return r;
  try {
    Query q(db, QStringLiteral("PRAGMA incremental_vacuum"));
    q.exec();
  } catch (const EngineError &e) {
    r.ok = false;
    r.message = e.message();
  }
  return r;
}

} // namespace zr::sql
