#pragma once
// Runs a template over data sources: binds the letters M and D through "SetDataSet(M,Name);"
// lines, paginates, and renders pages of primitives on demand.
#include "platform/report/datasource.h"
#include "platform/report/pages.h"
#include "platform/report/reporttemplate.h"

#include <QtCore/QDateTime>
#include <QtCore/QHash>
#include <memory>

class QWidget;

namespace zr::report {

struct LaidOutReport;

// A paginated report: the page count is known as soon as it exists; pages are drawn on demand,
// so the first page of a long report is ready without drawing the rest. It reads its data
// sources while drawing: they must outlive it and keep their rows.
class Document {
public:
  Document();
  ~Document();
  Document(Document &&) noexcept;
  Document &operator=(Document &&) noexcept;
  int pageCount() const;
  Page page(int index) const; // 0-based
  double pageWidth() const;
  double pageHeight() const;

private:
  friend class TReportRunTime;
  std::unique_ptr<LaidOutReport> d;
};

class TReportRunTime {
public:
  TReportRunTime();
  ~TReportRunTime();

  // "SetDataSet(M,ArchiveForm.Query);" lines: the letter names the role, the rest a source
  // registered with addDataSource.
  QStringList SetData;
  // The last page filled with empty ruled rows.
  bool AddSpace = false;

  void addDataSource(const QString &name, DataSource *source);
  // The printed data set: the master M, whatever the lines say.
  void setDataSet(DataSource *source) { m_printed = source; }
  void setVariable(const QString &name, const QString &value) { m_vars.insert(name, value); }
  QString variable(const QString &name) const { return m_vars.value(name); }
  QStringList variableNames() const { return m_vars.keys(); }
  // The run date and time of <Date>, <Time>, <DateTime>; the current time when not set.
  void setClock(const QDateTime &when) { m_clock = when; }

  // Loading refuses a damaged body with TemplateError and keeps the previous template.
  void setReportFile(const QString &path);
  void loadFromStream(const QByteArray &body);
  void setTemplate(const Template &t) { m_template = t; }
  const Template &report() const { return m_template; }

  // The source a role letter stands for (M or D), or null.
  DataSource *source(QChar letter) const;
  // Lays the report out. Throws TemplateError when the template needs a source that is missing.
  Document run() const;

  // Printing and preview through the platform's dialogs; false when cancelled or no printer.
  bool print(QWidget *parent = nullptr) const;
  void preview(QWidget *parent = nullptr) const;

private:
  Template m_template;
  QHash<QString, DataSource *> m_sources;
  DataSource *m_printed = nullptr;
  QHash<QString, QString> m_vars;
  QDateTime m_clock;
};

// Whether the platform knows any printer.
bool printerInstalled();

} // namespace zr::report
