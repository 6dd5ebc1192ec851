#pragma once
// The first worksheet of a workbook (.xlsx or legacy .xls) as the import reads it: one heading per
// column, taken from the first row, then every further row as text fields, blank rows included.
#include <QtCore/QString>
#include <QtCore/QStringList>
#include <memory>
#include <stdexcept>

namespace zr::workbook {

// A workbook that cannot be read. what() is a technical detail for logs and tests; users are shown
// openFailureMessage(path) instead.
class ReadError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// "Excel文件:" + path + "\r\n" + "该文件打开过程发生错误,数据不能导入"
QString openFailureMessage(const QString &path);

// Limits that keep hostile files within bounded time and memory. A file beyond them is refused.
struct ReadLimits {
  qint64 maxPartBytes = 64ll << 20;          // workbook, relationships, styles
  qint64 maxSharedStringBytes = 512ll << 20; // inflated shared-strings part
  qint64 maxSheetBytes = 2ll << 30;          // inflated worksheet part, streamed
  qint64 maxFields = 64ll << 20;             // rows times columns the sheet may yield
  int maxEntries = 100000;                   // entries in the zip directory
};

class SheetReader {
public:
  virtual ~SheetReader() = default;

  // Opens the file and reads its headings; the format is told by the file's content, not its name.
  // Throws ReadError for anything that cannot be read, including files beyond the limits.
  static std::unique_ptr<SheetReader> open(const QString &path, const ReadLimits &limits = {});

  // One per column, left to right; an empty heading reads "F" + its 1-based column number.
  const QStringList &headings() const { return m_headings; }
  // Rows below the heading row, up to the last one that holds a value or a format.
  qint64 rowCount() const { return m_rowCount; }

  // The next row, one field per heading; false after the last. Throws ReadError when the file
  // turns out damaged on the way.
  virtual bool next(QStringList &fields) = 0;

protected:
  QStringList m_headings;
  qint64 m_rowCount = 0;
};

// Shortest decimal text of a number: 4567.5, 3, 0.1, never an exponent.
QString shortestNumber(double d);
// A spreadsheet date serial (days since 1899-12-30, or since 1904-01-01) as YYYY-MM-DD, or
// YYYY-MM-DD hh:mm:ss when it has a time of day; empty when it is no date a calendar holds.
QString serialDateText(double serial, bool date1904 = false);
// Whether a number format code shows a date or a time.
bool isDateFormatCode(QStringView code);
// Whether a built-in number format id is a date or time format.
bool isBuiltinDateFormat(int id);
// "B" -> 2, "AB" -> 28; 0 when the text does not start with a column reference.
int columnNumber(QStringView ref);

} // namespace zr::workbook
