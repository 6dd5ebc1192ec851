// Reading and writing a large worksheet, each beside the least any program must do for it:
// reading beside inflating the same zip entries and running QXmlStreamReader over them, writing
// beside a bare libxlsxwriter loop writing the same cells.
// usage: bench_workbook [ROWS [COLUMNS]]   (defaults 100000 and 20)
#include "platform/workbook/excelexport.h"
#include "platform/workbook/sheetreader.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtCore/QXmlStreamReader>
#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>
#include <xlsxwriter.h>
#include <zip.h>

using namespace zr::workbook;

namespace {

long rssKb() {
  QFile f(QStringLiteral("/proc/self/status"));
  if (!f.open(QIODevice::ReadOnly))
    return 0;
  for (const QByteArray &line : f.readAll().split('\n'))
    if (line.startsWith("VmRSS:"))
      return line.mid(6).trimmed().split(' ').first().toLong();
  return 0;
}

// The rows of the benchmark: an id, text from a bounded vocabulary (as real lists repeat their
// categories and names), amounts, dates and 12-digit record numbers.
class Generated final : public RowSource {
public:
  Generated(qint64 rows, int cols) : m_rows(rows), m_cols(cols) {
    const QString syll = QStringLiteral("档案资料目录卷宗文件归档保管期限密级机构年度类别张王李赵刘陈");
    for (int i = 0; i < 1000; ++i)
      m_vocab << QString(syll[i % syll.size()]) + syll[(i / 7) % syll.size()] + syll[(i / 49) % syll.size()] +
                     QString::number(i);
  }
  bool isOpen() const override { return true; }
  qint64 recordCount() const override { return m_rows; }
  void first() override { m_pos = 0; }
  bool eof() const override { return m_pos >= m_rows; }
  void next() override { ++m_pos; }
  int fieldIndex(const QString &name) const override { return name.mid(1).toInt(); }
  QString text(int f) const override { return value(m_pos, f); }
  QString value(qint64 row, int f) const {
    switch (f % 5) {
    case 0: return f == 0 ? QString::number(row + 1) : m_vocab[(row * 7 + f) % 1000];
    case 1: return m_vocab[(row + f * 13) % 1000];
    case 2: return QString::number(double(row % 10000) / 4 + f);
    case 3: return QDate(2000, 1, 1).addDays((row + f) % 9000).toString(u"yyyy-MM-dd");
    default: return QString::number(100000000000LL + row * 20 + f);
    }
  }
  int columns() const { return m_cols; }

private:
  qint64 m_rows;
  int m_cols;
  qint64 m_pos = 0;
  QStringList m_vocab;
};

TExcelFieldArray columnsOf(int cols) {
  TExcelFieldArray a;
  for (int i = 0; i < cols; ++i)
    a.append({u'F' + QString::number(i), {}, u"列" + QString::number(i + 1)});
  return a;
}

// The bare loop: the same cells, the same formats, no layout logic.
void bareWrite(const QString &path, Generated &src) {
  lxw_workbook_options opts{};
  opts.constant_memory = LXW_TRUE;
  opts.use_zip64 = LXW_TRUE;
  lxw_workbook *wb = workbook_new_opt(QFile::encodeName(path).constData(), &opts);
  lxw_worksheet *ws = workbook_add_worksheet(wb, "bench");
  lxw_format *text = workbook_add_format(wb);
  format_set_num_format(text, "@");
  for (int c = 0; c < src.columns(); ++c)
    worksheet_write_string(ws, 0, lxw_col_t(c), (u"列" + QString::number(c + 1)).toUtf8().constData(),
                           nullptr);
  lxw_row_t r = 1;
  for (src.first(); !src.eof(); src.next(), ++r)
    for (int c = 0; c < src.columns(); ++c) {
      const QString v = src.text(c);
      if (c % 5 == 0 && c == 0)
        worksheet_write_number(ws, r, lxw_col_t(c), v.toDouble(), nullptr);
      else if (c % 5 == 2)
        worksheet_write_number(ws, r, lxw_col_t(c), v.toDouble(), nullptr);
      else
        worksheet_write_string(ws, r, lxw_col_t(c), v.toUtf8().constData(), c % 5 >= 3 ? text : nullptr);
    }
  workbook_close(wb);
}

// A workbook in the shape users bring: shared strings, real dates with a date format.
void makeInput(const QString &path, Generated &src) {
  lxw_workbook *wb = workbook_new(QFile::encodeName(path).constData());
  lxw_worksheet *ws = workbook_add_worksheet(wb, "数据");
  lxw_format *date = workbook_add_format(wb);
  format_set_num_format(date, "yyyy-mm-dd");
  for (int c = 0; c < src.columns(); ++c)
    worksheet_write_string(ws, 0, lxw_col_t(c), (u"列" + QString::number(c + 1)).toUtf8().constData(),
                           nullptr);
  lxw_row_t r = 1;
  for (src.first(); !src.eof(); src.next(), ++r)
    for (int c = 0; c < src.columns(); ++c) {
      const QString v = src.text(c);
      if (c == 0 || c % 5 == 2 || c % 5 == 4)
        worksheet_write_number(ws, r, lxw_col_t(c), v.toDouble(), nullptr);
      else if (c % 5 == 3)
        worksheet_write_number(ws, r, lxw_col_t(c),
                               QDate(1899, 12, 30).daysTo(QDate::fromString(v, u"yyyy-MM-dd")), date);
      else
        worksheet_write_string(ws, r, lxw_col_t(c), v.toUtf8().constData(), nullptr);
    }
  workbook_close(wb);
}

// The floor for reading: inflate every XML entry the reader touches and tokenize it.
qint64 inflateAndScan(const QString &path) {
  int err = 0;
  zip_t *z = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &err);
  qint64 tokens = 0;
  for (const char *name : {"xl/workbook.xml", "xl/_rels/workbook.xml.rels", "xl/styles.xml",
                           "xl/sharedStrings.xml", "xl/worksheets/sheet1.xml"}) {
    zip_file_t *f = zip_fopen(z, name, 0);
    if (!f)
      continue;
    QXmlStreamReader xml;
    QByteArray chunk(64 * 1024, Qt::Uninitialized);
    for (;;) {
      const auto t = xml.readNext();
      if (t == QXmlStreamReader::Invalid && xml.error() == QXmlStreamReader::PrematureEndOfDocumentError) {
        const zip_int64_t n = zip_fread(f, chunk.data(), zip_uint64_t(chunk.size()));
        if (n <= 0)
          break;
        xml.addData(QByteArray(chunk.constData(), n));
        continue;
      }
      if (t == QXmlStreamReader::EndDocument || t == QXmlStreamReader::Invalid)
        break;
      ++tokens;
    }
    zip_fclose(f);
  }
  zip_discard(z);
  return tokens;
}

} // namespace

int main(int argc, char **argv) {
  QCoreApplication app(argc, argv);
  const qint64 rows = argc > 1 ? QByteArray(argv[1]).toLongLong() : 100000;
  const int cols = argc > 2 ? QByteArray(argv[2]).toInt() : 20;
  QTemporaryDir dir;
  Generated src(rows, cols);
  const QString input = dir.filePath(QStringLiteral("input.xlsx"));
  // Made in a child process: libxlsxwriter's in-memory mode would otherwise leave its heap in
  // this process and blur the memory figures of the reader.
  if (const pid_t child = fork(); child == 0) {
    makeInput(input, src);
    _exit(0);
  } else {
    int status = 0;
    waitpid(child, &status, 0);
  }
  std::printf("workbook: %lld rows x %d columns, input %.1f MB\n", static_cast<long long>(rows), cols,
              double(QFileInfo(input).size()) / 1e6);

  QElapsedTimer t;
  // Reading, best of three each.
  double base = 1e30, ours = 1e30;
  long rssOpen = 0, rssPeak = 0;
  qint64 yielded = 0;
  for (int round = 0; round < 3; ++round) {
    t.start();
    inflateAndScan(input);
    base = qMin(base, t.nsecsElapsed() / 1e9);
    t.start();
    auto r = SheetReader::open(input);
    rssOpen = rssKb();
    QStringList row;
    yielded = 0;
    while (r->next(row))
      if (++yielded % 10000 == 0)
        rssPeak = qMax(rssPeak, rssKb());
    ours = qMin(ours, t.nsecsElapsed() / 1e9);
  }
  std::printf(
      "read:  reader %.0f rows/s (%.3f s), inflate+scan %.0f rows/s (%.3f s), ratio %.2f (goal <= 1.5)\n",
      double(yielded) / ours, ours, double(rows) / base, base, ours / base);
  std::printf("       RSS after open %ld kB, peak while reading %ld kB (growth %ld kB)\n", rssOpen, rssPeak,
              rssPeak - rssOpen);

  // Writing, best of three each.
  double bare = 1e30, exp = 1e30;
  long rssBefore = rssKb(), rssWrite = 0;
  const TExcelFieldArray columns = columnsOf(cols);
  for (int round = 0; round < 3; ++round) {
    t.start();
    bareWrite(dir.filePath(QStringLiteral("bare.xlsx")), src);
    bare = qMin(bare, t.nsecsElapsed() / 1e9);
    TZRExcel excel;
    excel.setDataSet(&src);
    excel.setReportName(QStringLiteral("档案资料"));
    excel.setFileName(dir.filePath(QStringLiteral("export.xlsx")));
    t.start();
    if (!excel.ExportDataSet(columns, {}, {}))
      return 1;
    exp = qMin(exp, t.nsecsElapsed() / 1e9);
    rssWrite = qMax(rssWrite, rssKb());
  }
  std::printf("write: export %.0f rows/s (%.3f s), bare libxlsxwriter %.0f rows/s (%.3f s), ratio %.2f (goal "
              "<= 1.2)\n",
              double(rows) / exp, exp, double(rows) / bare, bare, exp / bare);
  std::printf("       RSS before writing %ld kB, after %ld kB\n", rssBefore, rssWrite);
  return 0;
}
