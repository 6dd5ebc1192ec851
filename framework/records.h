#pragma once
// What a data window declares to the controller: its columns, the checks run before a save,
// the values generated when a record is added and stamped when one is edited.
#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QVariant>
#include <array>

class QWidget;

namespace zr::data {
class Dataset;
}

namespace zr::fw {

class TZRQuery;

enum class TSqlType { urStandard, urSql_Server, urAccess };

struct TFieldsData {
  QString FieldName;
  QString Caption;
  int Width = 0; // characters; -1 shows the column with width 0
  QString FooterField, FooterKind, FooterFormat;
  QString RoundDecimals, RoundWord;
  QString DataKind; // "C", "N", "D"
  QString ValueList;
  QString TableAlias;
  QString FindKind;
  bool Required = false;
  QWidget *Control = nullptr;
  bool Visible = true;
};
using TFieldsDataArray = QList<TFieldsData>;

struct TCheckFieldsData {
  QString FieldName;  // dataset column
  QString ColumnName; // table column in the statement
  QVariant OldValue;
  QString FixedValue;
  QString DataKind; // "N", "C", "D"
};

struct TCheckData {
  std::array<TCheckFieldsData, 11> Items;
  QString Message;
  QString FillFields;
  QString KeyField;
  QString ExtraCondition;
  bool RunAlways = false;
  QWidget *FocusControl = nullptr;
  QString SelectSql;
  bool Unique = true;
  bool SkipIfEmpty = false;
  bool AskOnly = false;
};
using TCheckDataArray = QList<TCheckData>;

struct TInsertData {
  QString FieldName;
  QString Caption;
  QString Condition;
  int Digits = 0;
  QString Value;
  zr::data::Dataset *SourceDataSet = nullptr;
  QString Kind; // A T L B C Y M D
  QString Prefix;
};
using TInsertDataArray = QList<TInsertData>;

struct TEditData {
  QString FieldName;
  QString Unused;
  QString Value;
};
using TEditDataArray = QList<TEditData>;

struct TQueryChildOpen {
  struct Link {
    QString MasterField;
    QString DetailField;
    QString Kind; // "N", "C", "D"
  };
  QList<Link> Links; // at most 11
  QString DetailSql; // statement head the condition is appended to
  zr::data::Dataset *Detail = nullptr;
  bool Enabled = false;
};

} // namespace zr::fw
