#pragma once
// The list export: a dataset written to a new .xlsx workbook of one worksheet, laid out as the
// lists have always been exported (titles, heading row, optional "序号" column, data, footers).
#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QStringList>

namespace zr::workbook {

// For a column: field name, unused, heading caption. For a title or footer entry: value text,
// unused, optional label. An entry with an empty first string is skipped.
struct TExcelFieldName {
  QString name;
  QString second;
  QString caption;
};
using TExcelFieldArray = QList<TExcelFieldName>;

// The records to export, fed by the dataset layer; read forward once.
class RowSource {
public:
  virtual ~RowSource() = default;
  virtual bool isOpen() const = 0;
  virtual qint64 recordCount() const = 0;
  virtual void first() = 0;
  virtual bool eof() const = 0;
  virtual void next() = 0;
  // Position of a field by name, or -1 when the dataset has none of that name.
  virtual int fieldIndex(const QString &name) const = 0;
  // The current record's value of a field as text.
  virtual QString text(int field) const = 0;
};

// Rows held in memory, for small exports and tests.
class ListRowSource final : public RowSource {
public:
  ListRowSource(QStringList fields, QList<QStringList> rows)
      : m_fields(std::move(fields)), m_rows(std::move(rows)) {}
  bool isOpen() const override { return true; }
  qint64 recordCount() const override { return m_rows.size(); }
  void first() override { m_pos = 0; }
  bool eof() const override { return m_pos >= m_rows.size(); }
  void next() override { ++m_pos; }
  int fieldIndex(const QString &name) const override { return int(m_fields.indexOf(name)); }
  QString text(int field) const override { return m_rows[m_pos].value(field); }

private:
  QStringList m_fields;
  QList<QStringList> m_rows;
  qsizetype m_pos = 0;
};

// Whether a value's cell gets the text format "@": longer than 10 characters, or 9 or 10 long
// without a ".", so identifiers and long digit strings stay text while decimals stay numbers.
bool needsTextFormat(QStringView value);

class TZRExcel {
public:
  void setDataSet(RowSource *source) { m_dataSet = source; }
  void setReportName(const QString &name) { m_reportName = name; }
  void setID(bool on) { m_id = on; }
  // The workbook file to write; replaced only once the new one is complete.
  void setFileName(const QString &path) { m_fileName = path; }

  // Writes the workbook; every failure is shown as a warning and leaves any earlier file alone.
  // True when the file was written.
  bool ExportDataSet(const TExcelFieldArray &columns, const TExcelFieldArray &titles,
                     const TExcelFieldArray &footers);

  // The sheet name the workbook gets for a report name: characters a sheet name cannot hold
  // become "_", and it is cut to 31 characters.
  static QString sheetName(const QString &reportName);
  static QString writeFailureMessage(const QString &path);

private:
  RowSource *m_dataSet = nullptr;
  QString m_reportName;
  bool m_id = false;
  QString m_fileName;
};

} // namespace zr::workbook
