#include "platform/sql/errors.h"

#include <sqlite3.h>

namespace zr::sql {
namespace records {
namespace {
ErrorRecord make(int code, int cat, int sub, const QString &m) {
  return {code, cat, sub, 0, m};
}
} // namespace
ErrorRecord keyViolation(const QString &m) {
  return make(9729, 38, 1, m);
}
ErrorRecord dependentRows(const QString &m) {
  return make(9734, 38, 6, m);
}
ErrorRecord requiredValue(const QString &m) {
  return make(9732, 38, 4, m);
}
ErrorRecord validityCheck(const QString &m) {
  return make(9733, 38, 5, m);
}
ErrorRecord tableLocked(const QString &m) {
  return make(10243, 40, 3, m);
}
ErrorRecord valueTooBig(const QString &m) {
  return make(10029, 39, 45, m);
}
ErrorRecord openFailure(const QString &m) {
  return make(10770, 42, 18, m);
}
ErrorRecord rowChanged(const QString &m) {
  return make(10763, 42, 11, m);
}
ErrorRecord other(int native, const QString &m) {
  return {0, 0, 0, native, m};
}
} // namespace records

EngineError::EngineError(ErrorRecord record, QString statement)
    : EngineError(QList<ErrorRecord>{std::move(record)}, std::move(statement)) {}

EngineError::EngineError(QList<ErrorRecord> recs, QString statement)
    : std::runtime_error(recs.isEmpty() ? std::string() : recs.first().message.toStdString()),
      m_records(std::move(recs)), m_statement(std::move(statement)) {
  if (m_records.isEmpty())
    m_records.append(records::other(SQLITE_ERROR, QString()));
}

ConversionError::ConversionError(const QString &message)
    : std::runtime_error(message.toStdString()), m_message(message) {}

ErrorRecord fromSqlite(int ext, const QString &message) {
  switch (ext) {
  case SQLITE_CONSTRAINT_PRIMARYKEY:
  case SQLITE_CONSTRAINT_UNIQUE:
  case SQLITE_CONSTRAINT_ROWID: return records::keyViolation(message);
  case SQLITE_CONSTRAINT_FOREIGNKEY: return records::dependentRows(message);
  case SQLITE_CONSTRAINT_NOTNULL: return records::requiredValue(message);
  case SQLITE_CONSTRAINT_CHECK:
  case SQLITE_CONSTRAINT_DATATYPE: return records::validityCheck(message);
  default: break;
  }
  switch (ext & 0xFF) {
  case SQLITE_TOOBIG: return records::valueTooBig(message);
  case SQLITE_BUSY:
  case SQLITE_LOCKED: return records::tableLocked(message);
  case SQLITE_CANTOPEN:
  case SQLITE_NOTADB: return records::openFailure(message);
  default: return records::other(ext, message);
  }
}

} // namespace zr::sql
