#include "tests/platform/workbook/fixtures.h"

#include <QtCore/QFile>
#include <QtCore/QtEndian>
#include <stdexcept>
#include <zip.h>

namespace zr::test {

void writeZip(const QString &path, const QList<ZipEntry> &entries) {
  QFile::remove(path);
  int err = 0;
  zip_t *z = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
  if (!z)
    throw std::runtime_error("zip_open failed");
  for (const ZipEntry &e : entries) {
    zip_source_t *src = zip_source_buffer(z, e.data.constData(), zip_uint64_t(e.data.size()), 0);
    if (zip_file_add(z, e.name.toUtf8().constData(), src, ZIP_FL_ENC_UTF_8) < 0)
      throw std::runtime_error("zip_file_add failed");
  }
  if (zip_close(z) != 0)
    throw std::runtime_error("zip_close failed");
}

void patchDeclaredSize(const QString &path, const QString &entry, quint32 size) {
  QFile f(path);
  f.open(QIODevice::ReadWrite);
  QByteArray d = f.readAll();
  const QByteArray name = entry.toUtf8();
  auto patch = [&](const char *sig, int nameLenAt, int nameAt, int sizeAt) {
    for (qsizetype p = d.indexOf(sig); p >= 0; p = d.indexOf(sig, p + 4)) {
      const quint16 n = qFromLittleEndian<quint16>(d.constData() + p + nameLenAt);
      if (d.mid(p + nameAt, n) == name)
        qToLittleEndian<quint32>(size, d.data() + p + sizeAt);
    }
  };
  patch("PK\x03\x04", 26, 30, 22);
  patch("PK\x01\x02", 28, 46, 24);
  f.seek(0);
  f.write(d);
}

QByteArray xmlEscaped(const QString &text) {
  QString s = text;
  s.replace(u'&', QStringLiteral("&amp;"))
      .replace(u'<', QStringLiteral("&lt;"))
      .replace(u'>', QStringLiteral("&gt;"))
      .replace(u'"', QStringLiteral("&quot;"));
  return s.toUtf8();
}

namespace {
const QByteArray kMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const QByteArray kRel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
const QByteArray kHead = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";

QByteArray sheetXml(const QByteArray &before, const QByteArray &rows) {
  return kHead + "<worksheet xmlns=\"" + kMain + "\" xmlns:r=\"" + kRel + "\">" + before + "<sheetData>" +
         rows + "</sheetData></worksheet>";
}
} // namespace

QList<ZipEntry> xlsxEntries(const XlsxParts &p) {
  const bool two = !p.secondSheet.isEmpty();
  QList<ZipEntry> out;
  out << ZipEntry{QStringLiteral("[Content_Types].xml"),
                  kHead + "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                          "<Default Extension=\"xml\" ContentType=\"application/xml\"/></Types>"};
  out << ZipEntry{QStringLiteral("_rels/.rels"),
                  kHead +
                      "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                      "<Relationship Id=\"rId1\" Type=\"" +
                      kRel +
                      "/officeDocument\" Target=\"xl/workbook.xml\"/>"
                      "</Relationships>"};
  // The second sheet comes first in the zip and in the relationships, so only workbook order
  // tells which one is first.
  QByteArray rels =
      kHead + "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
  if (two)
    rels += "<Relationship Id=\"rId9\" Type=\"" + kRel + "/worksheet\" Target=\"worksheets/sheet2.xml\"/>";
  rels += "<Relationship Id=\"rId1\" Type=\"" + kRel +
          "/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
          "<Relationship Id=\"rId2\" Type=\"" +
          kRel + "/styles\" Target=\"styles.xml\"/>";
  if (!p.sharedStrings.isEmpty())
    rels += "<Relationship Id=\"rId3\" Type=\"" + kRel + "/sharedStrings\" Target=\"sharedStrings.xml\"/>";
  rels += "</Relationships>";
  out << ZipEntry{QStringLiteral("xl/_rels/workbook.xml.rels"), rels};
  QByteArray wb = kHead + "<workbook xmlns=\"" + kMain + "\" xmlns:r=\"" + kRel + "\">";
  if (p.date1904)
    wb += "<workbookPr date1904=\"1\"/>";
  wb += "<sheets><sheet name=\"数据\" sheetId=\"1\" r:id=\"rId1\"/>";
  if (two)
    wb += "<sheet name=\"其他\" sheetId=\"2\" r:id=\"rId9\"/>";
  wb += "</sheets></workbook>";
  out << ZipEntry{QStringLiteral("xl/workbook.xml"), wb};
  if (two)
    out << ZipEntry{QStringLiteral("xl/worksheets/sheet2.xml"), sheetXml({}, p.secondSheet)};
  out << ZipEntry{QStringLiteral("xl/worksheets/sheet1.xml"), sheetXml(p.beforeData, p.rows)};
  QByteArray st = kHead + "<styleSheet xmlns=\"" + kMain + "\">";
  if (!p.formatCodes.isEmpty()) {
    st += "<numFmts count=\"" + QByteArray::number(p.formatCodes.size()) + "\">";
    for (int i = 0; i < p.formatCodes.size(); ++i)
      st += "<numFmt numFmtId=\"" + QByteArray::number(164 + i) + "\" formatCode=\"" +
            xmlEscaped(p.formatCodes[i]) + "\"/>";
    st += "</numFmts>";
  }
  st += "<cellStyleXfs count=\"1\"><xf numFmtId=\"14\"/></cellStyleXfs><cellXfs>";
  for (int id : p.styles)
    st += "<xf numFmtId=\"" + QByteArray::number(id) + "\" xfId=\"0\"/>";
  st += "</cellXfs></styleSheet>";
  out << ZipEntry{QStringLiteral("xl/styles.xml"), st};
  if (!p.sharedStrings.isEmpty()) {
    QByteArray sst = kHead + "<sst xmlns=\"" + kMain + "\">";
    for (const QString &s : p.sharedStrings)
      sst += s.startsWith(u'<') ? s.toUtf8() : "<si><t xml:space=\"preserve\">" + xmlEscaped(s) + "</t></si>";
    sst += "</sst>";
    out << ZipEntry{QStringLiteral("xl/sharedStrings.xml"), sst};
  }
  return out;
}

void writeXlsx(const QString &path, const XlsxParts &parts) {
  writeZip(path, xlsxEntries(parts));
}

// --- legacy .xls ---

namespace {

void put16(QByteArray &b, quint16 v) {
  b.append(char(v & 0xff)).append(char(v >> 8));
}
void put32(QByteArray &b, quint32 v) {
  put16(b, quint16(v));
  put16(b, quint16(v >> 16));
}
void record(QByteArray &b, quint16 type, const QByteArray &body) {
  put16(b, type);
  put16(b, quint16(body.size()));
  b += body;
}
QByteArray bof(quint16 kind) {
  QByteArray r;
  put16(r, 0x0600);
  put16(r, kind);
  put16(r, 0x0DBB);
  put16(r, 0x07CC);
  put32(r, 0);
  put32(r, 0x0006);
  return r;
}
QByteArray utf16(const QString &s) {
  QByteArray r;
  for (QChar c : s)
    put16(r, c.unicode());
  return r;
}
QByteArray xf(bool style) {
  QByteArray r;
  put16(r, 0);                       // font
  put16(r, 0);                       // format: General
  put16(r, style ? 0xFFF5 : 0x0001); // style XF, or cell XF of parent 0
  r += QByteArray(14, '\0');
  return r;
}

constexpr int kSector = 512;
constexpr quint32 kEnd = 0xFFFFFFFE, kFree = 0xFFFFFFFF, kFatSect = 0xFFFFFFFD;

} // namespace

QByteArray xlsBytes(const QList<QStringList> &rows) {
  QStringList strings;
  for (const QStringList &r : rows)
    for (const QString &c : r) {
      bool num = false;
      c.toDouble(&num);
      if (!num && !c.isEmpty() && !strings.contains(c))
        strings << c;
    }
  QByteArray sheet;
  record(sheet, 0x0809, bof(0x0010));
  int cols = 0;
  for (const QStringList &r : rows)
    cols = qMax(cols, int(r.size()));
  QByteArray dim;
  put32(dim, 0);
  put32(dim, quint32(rows.size()));
  put16(dim, 0);
  put16(dim, quint16(cols));
  put16(dim, 0);
  record(sheet, 0x0200, dim);
  for (int ri = 0; ri < rows.size(); ++ri)
    for (int ci = 0; ci < rows[ri].size(); ++ci) {
      const QString &c = rows[ri][ci];
      if (c.isEmpty())
        continue;
      QByteArray cell;
      put16(cell, quint16(ri));
      put16(cell, quint16(ci));
      put16(cell, 15);
      bool num = false;
      const double d = c.toDouble(&num);
      if (num) {
        cell.append(reinterpret_cast<const char *>(&d), 8);
        record(sheet, 0x0203, cell);
      } else {
        put32(cell, quint32(strings.indexOf(c)));
        record(sheet, 0x00FD, cell);
      }
    }
  record(sheet, 0x000A, {});

  auto globals = [&](quint32 sheetOffset) {
    QByteArray g;
    record(g, 0x0809, bof(0x0005));
    QByteArray cp;
    put16(cp, 1252);
    record(g, 0x0042, cp);
    for (int i = 0; i < 16; ++i)
      record(g, 0x00E0, xf(i < 15));
    QByteArray bs;
    put32(bs, sheetOffset);
    bs.append('\0').append('\0');
    const QString name = QStringLiteral("Sheet1");
    bs.append(char(name.size())).append('\0');
    bs += name.toLatin1();
    record(g, 0x0085, bs);
    QByteArray sst;
    put32(sst, quint32(strings.size()));
    put32(sst, quint32(strings.size()));
    for (const QString &s : strings) {
      put16(sst, quint16(s.size()));
      sst.append('\x01');
      sst += utf16(s);
    }
    record(g, 0x00FC, sst);
    // Streams under 4096 bytes would live in the mini stream; pad the globals past it with a
    // record type that readers pass over.
    while (g.size() + sheet.size() < 4100)
      record(g, 0x10EF, QByteArray(1000, '\0'));
    record(g, 0x000A, {});
    return g;
  };
  const quint32 globalsSize = quint32(globals(0).size());
  QByteArray stream = globals(globalsSize) + sheet;
  const int streamSectors = int((stream.size() + kSector - 1) / kSector);
  stream.resize(qsizetype(streamSectors) * kSector, '\0');

  QByteArray header;
  header += QByteArray::fromHex("d0cf11e0a1b11ae1");
  header += QByteArray(16, '\0');
  put16(header, 0x003E);
  put16(header, 0x0003);
  put16(header, 0xFFFE);
  put16(header, 9);
  put16(header, 6);
  header += QByteArray(6, '\0');
  put32(header, 0);    // directory sectors (version 3)
  put32(header, 1);    // FAT sectors
  put32(header, 1);    // first directory sector
  put32(header, 0);    // transaction
  put32(header, 4096); // mini stream cutoff
  put32(header, kEnd); // first mini FAT sector
  put32(header, 0);
  put32(header, kEnd); // first DIFAT sector
  put32(header, 0);
  put32(header, 0); // the FAT is sector 0
  for (int i = 1; i < 109; ++i)
    put32(header, kFree);

  QByteArray fat;
  put32(fat, kFatSect);
  put32(fat, kEnd);
  for (int i = 0; i < streamSectors; ++i)
    put32(fat, i + 1 < streamSectors ? quint32(3 + i) : kEnd);
  while (fat.size() < kSector)
    put32(fat, kFree);

  auto entry = [](const QString &name, quint8 type, quint32 child, quint32 start, quint32 size) {
    QByteArray e = utf16(name);
    e.append('\0').append('\0');
    const quint16 nameLen = quint16(e.size());
    e.resize(64, '\0');
    put16(e, nameLen);
    e.append(char(type)).append('\x01');
    put32(e, kFree);
    put32(e, kFree);
    put32(e, child);
    e += QByteArray(16 + 4 + 16, '\0');
    put32(e, start);
    put32(e, size);
    put32(e, 0);
    return e;
  };
  QByteArray dir = entry(QStringLiteral("Root Entry"), 5, 1, kEnd, 0) +
                   entry(QStringLiteral("Workbook"), 2, kFree, 2, quint32(stream.size()));
  while (dir.size() < kSector)
    dir += entry(QString(), 0, kFree, 0, 0);
  return header + fat + dir + stream;
}

qint64 xlsFatEntryOffset(int streamSector) {
  return 512 + 4 * (2 + streamSector);
}

} // namespace zr::test
