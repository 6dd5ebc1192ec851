#pragma once
// Failures of the engine. An EngineError carries records shaped like the original engine's
// (code, category, sub-code, native code) so the application's handler can translate them; a
// ConversionError is a value that cannot become what its column holds (a date, a number, GBK).
#include <QtCore/QList>
#include <QtCore/QString>
#include <stdexcept>

namespace zr::sql {

struct ErrorRecord {
  int errorCode = 0;
  int category = 0;
  int subCode = 0;
  int nativeCode = 0;
  QString message;

  bool is(int code, int cat, int sub) const {
    return errorCode == code && category == cat && subCode == sub && nativeCode == 0;
  }
};

// The records the handler knows by number.
namespace records {
ErrorRecord keyViolation(const QString &message);          // 9729/38/1
ErrorRecord dependentRows(const QString &message);         // 9734/38/6
ErrorRecord requiredValue(const QString &message);         // 9732/38/4
ErrorRecord validityCheck(const QString &message);         // 9733/38/5
ErrorRecord tableLocked(const QString &message);           // 10243/40/3
ErrorRecord valueTooBig(const QString &message);           // 10029/39/45
ErrorRecord openFailure(const QString &message);           // 10770/42/18
ErrorRecord rowChanged(const QString &message);            // 10763/42/11
ErrorRecord other(int nativeCode, const QString &message); // 0/0/0/native: keeps SQLite's text
} // namespace records

class EngineError : public std::runtime_error {
public:
  explicit EngineError(ErrorRecord record, QString statement = {});
  EngineError(QList<ErrorRecord> records, QString statement);

  const QList<ErrorRecord> &records() const { return m_records; }
  const ErrorRecord &first() const { return m_records.first(); }
  QString message() const { return m_records.first().message; }
  QString statement() const { return m_statement; }
  // The class name the technical text shows.
  static QString className() { return QStringLiteral("EDBEngineError"); }

private:
  QList<ErrorRecord> m_records;
  QString m_statement;
};

class ConversionError : public std::runtime_error {
public:
  explicit ConversionError(const QString &message);
  QString message() const { return m_message; }
  static QString className() { return QStringLiteral("EConvertError"); }

private:
  QString m_message;
};

// The record for a SQLite result: extended code and its message.
ErrorRecord fromSqlite(int extendedCode, const QString &message);

} // namespace zr::sql
