#pragma once
// TZRQuery: the dataset every data window edits through. The window declares its columns,
// checks, generated values and stamps; the controller runs add, edit, save, cancel and delete,
// writes each change with its own statements and refuses what the declarations forbid.
#include "framework/records.h"
#include "platform/dataset/dataset.h"

#include <QtCore/QPointer>
#include <QtCore/QSet>
#include <functional>

class QWidget;

namespace zr::fw {

class TZRDataSource;

class TZRQuery : public zr::data::Dataset {
  Q_OBJECT
public:
  explicit TZRQuery(QObject *parent = nullptr);

  // Published properties
  QString TableName() const { return m_tableName; }
  void setTableName(const QString &name, bool loading = false);
  QString ActiveControl;
  TSqlType SqlType = TSqlType::urStandard;
  int ColorOnFocus = 0;
  bool ActiveStatus = false;
  void setStatusEditValue(const QString &v) { m_statusEdit << v; }
  void setStatusEditEndValue(const QString &v) { m_statusEditEnd << v; }
  QPointer<TZRQuery> QyMaster;
  QPointer<TZRQuery> QyDetail;
  QString KeyValue;
  QString DetailTable;
  QPointer<QWidget> DBGride;
  QPointer<QWidget> DBNGride;
  QString DetailDError;
  QPointer<TZRDataSource> ZRDS;
  QString StatusMsg;
  bool UpDateTable = false;
  bool NotEdit = false;

  // Public settings
  bool BatchMode = false;
  bool SkipDeleteConfirm = false;
  bool CollectMessages = false;
  QString CheckMessages;
  bool DeferWrite = false;
  bool ApplyThroughCache = false;
  bool GenerateOnAdd = true;
  bool GenerateOnSave = false;
  bool SkipValidation = false;
  bool ReducedChecks = false;
  bool Saved = false;
  QString NumberMonth; // "YYYYMM"
  QString NumberDate;  // "YYYYMMDD"
  TQueryChildOpen ChildOpen;

  // The window whose controls ActiveControl and the column editors name.
  QPointer<QWidget> Window;
  // Refreshes the grid's totals row after save and cancel (set by the grid).
  std::function<void()> RefreshFooter;
  // Reads the grid's saved column layout before opening (set by the grid).
  std::function<void()> LoadGridLayout;

  void SetColumnList(const TFieldsDataArray &a) { m_columns = a; }
  void SetDuplicateChecks(const TCheckDataArray &a) { m_checks = a; }
  void SetInsertDefaults(const TInsertDataArray &a) { m_defaults = a; }
  void SetEditStamps(const TEditDataArray &a) { m_stamps = a; }
  const TFieldsDataArray &ColumnList() const { return m_columns; }
  const TCheckDataArray &DuplicateChecks() const { return m_checks; }

  bool OpenData();
  void CloseData();
  bool AddRecord();
  bool EditRecord();
  bool SaveRecord();
  bool CancelRecord();
  bool DeleteRecord();
  bool GenerateAll();
  bool GenerateField(const QString &name);
  bool ValidateRecord();
  void FocusField(const QString &name);
  bool HasField(const QString &name) const { return findField(name) != nullptr; }

  // The key condition of the current record, built from the modify statement (for tests and
  // the windows that reuse it).
  QString KeyCondition();

signals:
  void gridsEnabled(bool enabled);

protected:
  void doBeforeInsert() override;
  void doBeforeEdit() override;
  void doBeforePost() override;
  void doAfterScroll() override;
  void doUpdateError(const std::exception &e) override;

private:
  bool applyDefault(const TInsertData &d);
  bool counterValue(const TInsertData &d, QString *out);
  bool validateColumns();
  bool runChecks();
  bool statusAllows(const zr::data::Dataset &ds, const QString &action, bool master);
  bool writeRecord();
  bool deleteDetails();
  void setGridsEnabled(bool on);
  QWidget *editorFor(const QString &field) const;
  void focusWidget(QWidget *w) const;
  QString literalFor(const QVariant &v, const QString &kind) const;
  QString updateStatement(QString sql) const;
  void resumeSwitching();

  QString m_tableName;
  QStringList m_statusEdit, m_statusEditEnd;
  TFieldsDataArray m_columns;
  TCheckDataArray m_checks;
  TInsertDataArray m_defaults;
  TEditDataArray m_stamps;
  QHash<QString, QString> m_generated; // column -> value generated on add
  QSet<QString> m_askedYes;
  bool m_handlersReady = false;
  bool m_inSave = false;
  QString m_lastTimeKey;
};

} // namespace zr::fw
