#pragma once
// The grid-report template: a page, a grid of columns and rows, rows grouped into bands, and
// cells with text, merges and formatting. Sizes are millimetres throughout, so a template means
// the same on screen, printer and PDF.
//
// Cell text holds literal text mixed with markers, replaced when the report runs:
//   {name}      a field of the master data source M (its current row, or each row in the detail)
//   [name]      a field of the detail data source D (each of its rows, in master-detail reports)
//   #T1.name    a field the designer dropped onto the cell; the first table, M, like {name}
//   <name>      a function, or a report variable of that name:
//     <单位名称>   the variable "单位名称" (the organisation), like any other variable
//     <序号>       the running number of the detail row, 1, 2, 3 ... over the whole report
//     <SumPage()>  the sum of the numeric field of the same column in the detail band, over the
//                  rows printed on this page
//     <Sum()>      the same sum over every row of the report
//     <PageNum>    the page number: "3"
//     <PageNum/>   page number and page count: "3/12"
//     <PageNum->   "第3页 共12页"
//     <Date>       the run date "2024-05-01", <Time> "14:05:09", <DateTime> "2024-05-01 14:05:09"
#include <QtCore/QByteArray>
#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QStringList>
#include <stdexcept>

namespace zr::report {

enum class Band { ReportHeader, PageHeader, ColumnHeading, Detail, SubDetail, PageFooter, ReportFooter };
constexpr int kBandCount = 7;
QString bandKey(Band b);  // the word the file format stores: "reportHeader" ...
QString bandName(Band b); // the caption the designer shows: "报表头" ...

enum class HAlign { Left, Center, Right };
enum class VAlign { Top, Middle, Bottom };

// Border sides of a cell, a bit each.
enum Border : unsigned { BorderNone = 0, BorderLeft = 1, BorderTop = 2, BorderRight = 4, BorderBottom = 8, BorderAll = 15 };

struct Cell {
  QString text;
  QString font;  // empty: the template's default face
  double size = 0; // points; 0: the template's default size
  bool bold = false;
  HAlign align = HAlign::Left;
  VAlign valign = VAlign::Middle;
  unsigned borders = BorderNone;
  bool wrap = false;
  int rowSpan = 1; // a merge: this cell covers rowSpan x colSpan cells from its own place
  int colSpan = 1;
  bool operator==(const Cell &) const = default;
  bool isDefault() const { return *this == Cell(); }
};

struct Row {
  double height = 6; // mm
  Band band = Band::Detail;
  QList<Cell> cells; // one per column
  bool operator==(const Row &) const = default;
};

struct PageSetup {
  QString paper = QStringLiteral("A4"); // "A4", "A3", "A5", "B5", "Letter" or "Custom"
  double width = 210;                   // mm, portrait sense
  double height = 297;
  bool landscape = false;
  double top = 15, bottom = 15, left = 15, right = 15; // margins, mm
  bool operator==(const PageSetup &) const = default;
  // Width and height of the printed sheet with the orientation applied.
  double sheetWidth() const { return landscape ? height : width; }
  double sheetHeight() const { return landscape ? width : height; }
  // Sets width and height from a named paper; false when the name is unknown.
  bool setPaper(const QString &name);
};

class TemplateError : public std::runtime_error {
public:
  explicit TemplateError(const QString &message) : std::runtime_error(message.toStdString()), m_message(message) {}
  QString message() const { return m_message; }

private:
  QString m_message;
};

class Template {
public:
  static constexpr int kFormatVersion = 1;

  QString title;
  QString type = QStringLiteral("M"); // "M" single table, "MD" master-detail
  QString font = QStringLiteral("宋体");
  double fontSize = 9;
  PageSetup page;
  QList<double> columns; // widths, mm
  QList<Row> rows;

  bool operator==(const Template &) const = default;

  int columnCount() const { return int(columns.size()); }
  int rowCount() const { return int(rows.size()); }
  void resize(int rowCount, int columnCount); // keeps what fits; new rows are detail rows
  Cell &cell(int row, int col) { return rows[row].cells[col]; }
  const Cell &cell(int row, int col) const { return rows[row].cells[col]; }

  // The merge that covers (row, col): its top-left cell, or (row, col) itself.
  void owner(int row, int col, int *ownerRow, int *ownerCol) const;
  // Merges the rectangle into its top-left cell; refused (false) when it crosses a band or
  // another merge only partly.
  bool merge(int row, int col, int rowCount, int colCount);
  void split(int row, int col);

  // Field names the markers of the text name: master ({name}, #T1.name) and detail ([name]).
  static void fieldsIn(const QString &text, QStringList *master, QStringList *detail);
  // Markers naming no field of the given lists or no known function/variable: "{x}", "<y>".
  QStringList unknownMarkers(const QStringList &masterFields, const QStringList &detailFields,
                             const QStringList &variables) const;

  // The system's file format: JSON, versioned. Loading checks the whole body first and throws
  // TemplateError with a message for the user; nothing is half-loaded.
  QByteArray toBytes() const;
  static Template fromBytes(const QByteArray &body);
  // File access; saving goes through a temporary file renamed into place.
  void save(const QString &path) const;
  static Template load(const QString &path);

  // Checks the structure (sizes, spans, bands); throws TemplateError.
  void validate() const;
};

// The functions "<...>" understands, in the order the designer's function box lists them.
const QStringList &functionNames();

} // namespace zr::report
