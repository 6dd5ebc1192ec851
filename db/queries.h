#pragma once
// One statement against a database reached by its name (the application's is
// ZRRecordFolioDataBase). Values a user typed must already be quoted with zr::db::quote.
#include "platform/sql/database.h"

#include <QtCore/QVariant>
#include <memory>

namespace zr::db {

// Runs a statement that returns no rows; false on any failure, without a message.
bool ExecSql(const QString &database, const QString &sql);
// "%s" takes an argument as text, "%d" an integer, "%%" a percent sign; then as ExecSql. A
// format that does not fit its arguments throws ConversionError.
bool ExecSqlFmt(const QString &database, const QString &format, const QVariantList &args);
QString formatStatement(const QString &format, const QVariantList &args);

// A read-only result positioned on its first row (eof() when there is none).
class QueryCursor {
public:
  QueryCursor(zr::sql::Database &db, const QString &sql);
  bool eof() const { return m_eof; }
  void next();
  int columnCount() const { return m_query.columnCount(); }
  QString columnName(int i) const { return m_query.columnName(i); }
  QVariant value(int i) const { return m_query.value(i); }
  QVariant value(const QString &column) const { return m_query.value(column); }
  // The value as text, empty for NULL.
  QString text(int i) const;

private:
  zr::sql::Query m_query;
  bool m_eof = true;
};

// Opens the statement; the caller owns the cursor. Errors pass on.
std::unique_ptr<QueryCursor> OpenQuery(const QString &database, const QString &sql);
// First column of the first row as text; empty when there is no row. Errors pass on.
QString QueryValue(const QString &database, const QString &sql);
// First column of the first row read as a number (zr::os::ParseNumber); 0 when there is no row.
double QueryNumber(const QString &database, const QString &sql);
// One value for a one-column result, else the list of the first row's values; invalid when
// there is no row.
QVariant QueryRow(const QString &database, const QString &sql);

// The named database; throws the engine's open failure when none is registered.
zr::sql::Database &namedDatabase(const QString &database);

} // namespace zr::db
