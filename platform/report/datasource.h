#pragma once
// The rows a report reads. The report knows fields by their display names; an adapter over the
// application's datasets comes from above, tests and tools use TableSource.
#include <QtCore/QList>
#include <QtCore/QStringList>
#include <QtCore/QVariant>

namespace zr::report {

class DataSource {
public:
  virtual ~DataSource() = default;
  virtual QStringList fieldNames() const = 0;
  virtual int rowCount() const = 0;
  virtual QVariant value(int row, int field) const = 0;
  // The row the master fields of headers and master-detail reports come from.
  virtual int currentRow() const { return 0; }
  int fieldIndex(const QString &name) const { return int(fieldNames().indexOf(name)); }
};

// Rows held in memory.
class TableSource : public DataSource {
public:
  TableSource() = default;
  explicit TableSource(QStringList fields) : m_fields(std::move(fields)) {}
  void setFields(const QStringList &fields) { m_fields = fields; }
  void addRow(QVariantList row) { m_rows.append(std::move(row)); }
  void clear() { m_rows.clear(); }
  void setCurrentRow(int r) { m_current = r; }

  QStringList fieldNames() const override { return m_fields; }
  int rowCount() const override { return int(m_rows.size()); }
  QVariant value(int row, int field) const override {
    const QVariantList &r = m_rows.at(row);
    return field >= 0 && field < r.size() ? r.at(field) : QVariant();
  }
  int currentRow() const override { return m_current; }

private:
  QStringList m_fields;
  QList<QVariantList> m_rows;
  int m_current = 0;
};

} // namespace zr::report
