#pragma once
// The .xlsx side of SheetReader. Shared strings and styles are read once; the worksheet is
// streamed twice: a byte scan that finds the extent (last used row, widest column) without
// building anything, then the row-by-row read.
#include "platform/workbook/sheetreader.h"
#include "platform/workbook/ziparchive.h"

#include <QtCore/QXmlStreamReader>
#include <vector>

namespace zr::workbook {

// One cell as the file stores it, for callers that need more than the text (tests of the export).
struct RawCell {
  int column = 0;
  QString text;       // the text the reader yields for it
  QString type;       // the t attribute: "s", "inlineStr", "n", "str", "b", "e", "d" or empty
  QString formatCode; // the number format of its style; "General" when it has none
};

class XlsxReader final : public SheetReader {
public:
  // raw: leave the first row unread, for nextRawRow() from the top.
  XlsxReader(const QString &path, const ReadLimits &limits, bool raw = false);
  ~XlsxReader() override;
  bool next(QStringList &fields) override;
  // Every cell of the next row element with its row number; false at the end of the sheet.
  bool nextRawRow(int &rowNumber, QList<RawCell> &cells);

private:
  struct Style {
    bool date = false;
    QString code;
  };
  void readPackage(const QString &path);
  void readStyles(const QString &part);
  void readSharedStrings(const QString &part);
  void scanExtent(qint64 index);
  // Moves to the next row element; its number, or 0 after the sheet's data.
  int readRowStart();
  void readRowCells(QStringList *fields, QList<RawCell> *raw);
  QString cellText(QStringView type, int style, QStringView v) const;
  QXmlStreamReader::TokenType nextToken();

  ReadLimits m_limits;
  std::unique_ptr<ZipArchive> m_zip;
  std::unique_ptr<ZipArchive::Stream> m_sheet;
  QXmlStreamReader m_xml;
  bool m_eof = false;
  std::vector<QString> m_strings;
  std::vector<Style> m_styles;
  bool m_date1904 = false;
  qint64 m_sheetIndex = -1;
  int m_width = 0;
  qint64 m_lastRow = 0;
  qint64 m_nextRow = 2; // the row next() yields next
  int m_prevRow = 0;    // number of the last row element read
  int m_pendingRow = 0; // a row element read up to its start tag, not yet its cells
  bool m_inSheetData = false;
  bool m_sheetDone = false;
  QString m_value; // the cell value being read, kept between cells for its capacity
};

} // namespace zr::workbook
