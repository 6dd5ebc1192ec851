#pragma once
// Small workbooks made by the tests themselves: a zip of chosen entries, an .xlsx of chosen rows,
// and a minimal legacy .xls (compound file with a BIFF8 workbook stream).
#include <QtCore/QByteArray>
#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QStringList>

namespace zr::test {

struct ZipEntry {
  QString name;
  QByteArray data;
};
void writeZip(const QString &path, const QList<ZipEntry> &entries);
// Rewrites the uncompressed size that the zip declares for an entry, in both of its headers.
void patchDeclaredSize(const QString &path, const QString &entry, quint32 size);

struct XlsxParts {
  QByteArray rows;       // the content of <sheetData>
  QByteArray beforeData; // elements of the worksheet before <sheetData>, e.g. <dimension>
  QStringList sharedStrings;
  QStringList formatCodes; // custom number formats, numbered from 164
  QList<int> styles{0};    // numFmtId of each cell style; style 0 is General
  QByteArray secondSheet;  // rows of a second worksheet; none when empty
  bool date1904 = false;
};
QList<ZipEntry> xlsxEntries(const XlsxParts &parts);
void writeXlsx(const QString &path, const XlsxParts &parts);
QByteArray xmlEscaped(const QString &text);

// A legacy workbook: one worksheet of text (through the shared string table) and numbers, given
// as rows of cells; a cell that parses as a number is written as one.
QByteArray xlsBytes(const QList<QStringList> &rows);
// Sector of the workbook stream's chain, counted from its first, for breaking the chain.
qint64 xlsFatEntryOffset(int streamSector);

} // namespace zr::test
