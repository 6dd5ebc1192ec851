#include "platform/workbook/excelexport.h"

#include "platform/ui/prompter.h"

#include <QtCore/QFile>
#include <QtCore/QMap>
#include <QtCore/QRandomGenerator>
#include <filesystem>
#include <xlsxwriter.h>
#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace zr::workbook {
namespace {

void warn(const QString &text) {
  zr::ui::MessageRequest r;
  r.caption = QStringLiteral("提示信息");
  r.text = text;
  r.icon = zr::ui::Icon::Warning;
  zr::ui::prompter().message(r);
}

// The dataset's AsString trimmed the way the exported lists always were: control characters and
// blanks at either end, nothing else (an ideographic space is content).
QString trimmed(const QString &s) {
  qsizetype b = 0, e = s.size();
  while (b < e && s[b].unicode() <= u' ')
    ++b;
  while (e > b && s[e - 1].unicode() <= u' ')
    --e;
  return b == 0 && e == s.size() ? s : s.mid(b, e - b);
}

// A plain decimal that a spreadsheet cell may hold as a number without changing what it shows
// beyond trailing zeros; "007" is not one, as its leading zeros would be lost.
bool plainNumber(QStringView s, double &value) {
  qsizetype i = 0;
  if (i < s.size() && s[i] == u'-')
    ++i;
  const qsizetype intStart = i;
  while (i < s.size() && s[i].isDigit() && s[i].unicode() < 128)
    ++i;
  const qsizetype intLen = i - intStart;
  if (intLen == 0 || (intLen > 1 && s[intStart] == u'0'))
    return false;
  if (i < s.size() && s[i] == u'.') {
    ++i;
    const qsizetype fracStart = i;
    while (i < s.size() && s[i].isDigit() && s[i].unicode() < 128)
      ++i;
    if (i == fracStart)
      return false;
  }
  if (i != s.size() || s.size() > 15)
    return false;
  bool ok = false;
  value = s.toDouble(&ok);
  return ok;
}

struct Cell {
  QString text;
  bool textFormat = false;
  bool number = false; // running numbers of the "序号" column
};
using RowCells = QMap<int, Cell>; // 0-based column -> cell

class Writer {
public:
  explicit Writer(const QString &path) {
    lxw_workbook_options opts{};
    opts.constant_memory = LXW_TRUE; // rows go to disk as they are written
    opts.use_zip64 = LXW_TRUE;
    m_path = QFile::encodeName(path);
    m_book = workbook_new_opt(m_path.constData(), &opts);
  }
  ~Writer() {
    // Only reached open on a failure: libxlsxwriter has no way to drop a workbook but to write it.
    if (m_book) {
      workbook_close(m_book);
      QFile::remove(QFile::decodeName(m_path));
    }
  }
  bool start(const QString &sheet) {
    if (!m_book)
      return false;
    m_sheet = workbook_add_worksheet(m_book, sheet.toUtf8().constData());
    m_text = workbook_add_format(m_book);
    if (!m_sheet || !m_text)
      return false;
    format_set_num_format(m_text, "@");
    return true;
  }
  bool write(int row, int col, const QString &text, bool textFormat) {
    if (text.isEmpty())
      return true;
    double v = 0;
    lxw_error e;
    if (!textFormat && plainNumber(text, v))
      e = worksheet_write_number(m_sheet, lxw_row_t(row), lxw_col_t(col), v, nullptr);
    else
      e = worksheet_write_string(m_sheet, lxw_row_t(row), lxw_col_t(col), text.toUtf8().constData(),
                                 textFormat ? m_text : nullptr);
    return e == LXW_NO_ERROR;
  }
  bool writeNumber(int row, int col, double v) {
    return worksheet_write_number(m_sheet, lxw_row_t(row), lxw_col_t(col), v, nullptr) == LXW_NO_ERROR;
  }
  bool writeRow(int row, const RowCells &cells) {
    for (auto it = cells.begin(); it != cells.end(); ++it) {
      const bool ok = it->number ? writeNumber(row, it.key(), it->text.toDouble())
                                 : write(row, it.key(), it->text, it->textFormat);
      if (!ok)
        return false;
    }
    return true;
  }
  bool close() {
    const lxw_error e = workbook_close(m_book);
    m_book = nullptr;
    return e == LXW_NO_ERROR;
  }

private:
  QByteArray m_path;
  lxw_workbook *m_book = nullptr;
  lxw_worksheet *m_sheet = nullptr;
  lxw_format *m_text = nullptr;
};

bool syncFile(const QString &path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadWrite))
    return false;
#ifdef Q_OS_UNIX
  return ::fsync(f.handle()) == 0;
#else
  return f.flush();
#endif
}

} // namespace

bool needsTextFormat(QStringView value) {
  const qsizetype n = value.size();
  return n > 10 || ((n == 9 || n == 10) && !value.contains(u'.'));
}

QString TZRExcel::sheetName(const QString &reportName) {
  QString s = reportName.trimmed();
  for (QChar &c : s)
    if (QStringView(u"[]:*?/\\").contains(c))
      c = u'_';
  if (s.startsWith(u'\''))
    s[0] = u'_';
  if (s.size() > 31)
    s.truncate(31);
  if (s.endsWith(u'\''))
    s[s.size() - 1] = u'_';
  return s;
}

QString TZRExcel::writeFailureMessage(const QString &path) {
  return u"Excel文件:" % path % u"\r\n" % u"该文件写入过程发生错误,数据没有导出";
}

bool TZRExcel::ExportDataSet(const TExcelFieldArray &columns, const TExcelFieldArray &titles,
                             const TExcelFieldArray &footers) {
  if (!m_dataSet || !m_dataSet->isOpen()) {
    warn(QStringLiteral("没有数据源"));
    return false;
  }
  if (m_reportName.trimmed().isEmpty()) {
    warn(QStringLiteral("没有报表名称"));
    return false;
  }
  if (m_dataSet->recordCount() <= 0) {
    warn(QStringLiteral("没有数据"));
    return false;
  }

  // Resolve the fields first: a column naming a field the dataset lacks fails the export before
  // anything is written.
  QList<int> fieldOf(columns.size(), -1);
  for (qsizetype f = 0; f < columns.size(); ++f) {
    if (columns[f].name.isEmpty())
      continue;
    fieldOf[f] = m_dataSet->fieldIndex(columns[f].name);
    if (fieldOf[f] < 0) {
      warn(QStringLiteral("Excel打开过程发生错误"));
      return false;
    }
  }

  const QString temp =
      m_fileName % u".~" % QString::number(QRandomGenerator::global()->generate(), 16) % u".tmp";
  auto writeFailed = [&] {
    QFile::remove(temp);
    warn(writeFailureMessage(m_fileName));
    return false;
  };
  auto cellFailed = [&] {
    QFile::remove(temp);
    warn(QStringLiteral("Excel打开过程发生错误"));
    return false;
  };
  if (m_fileName.isEmpty())
    return writeFailed();

  {
    Writer w(temp);
    if (!w.start(sheetName(m_reportName)))
      return writeFailed();

    // Titles: a labelled entry puts its label in row 1 and its value in row 2; an unlabelled one
    // its value in row 1. The heading row goes below whatever the titles took, so a last
    // unlabelled entry cannot make the headings overwrite labelled values.
    RowCells titleRows[2];
    bool anyTitle = false, anyLabel = false;
    for (qsizetype i = 0; i < titles.size(); ++i) {
      const TExcelFieldName &t = titles[i];
      if (t.name.isEmpty())
        continue;
      anyTitle = true;
      const int col = int(i);
      if (!t.caption.isEmpty()) {
        anyLabel = true;
        titleRows[0][col] = {t.caption, false};
        titleRows[1][col] = {t.name, needsTextFormat(t.name)};
      } else {
        titleRows[0][col] = {t.name, needsTextFormat(t.name)};
      }
    }
    if (!w.writeRow(0, titleRows[0]) || !w.writeRow(1, titleRows[1]))
      return cellFailed();
    const int headingRow = anyLabel ? 2 : anyTitle ? 1 : 0; // 0-based

    const int offset = m_id ? 1 : 0;
    RowCells heading;
    if (m_id)
      heading[0] = {QStringLiteral("序号"), false};
    for (qsizetype i = 0; i < columns.size(); ++i)
      if (!columns[i].caption.isEmpty())
        heading[int(i) + offset] = {columns[i].caption, false};
    if (!w.writeRow(headingRow, heading))
      return cellFailed();

    int row = headingRow + 1;
    qint64 n = 1;
    for (m_dataSet->first(); !m_dataSet->eof(); m_dataSet->next()) {
      for (qsizetype f = 0; f < columns.size(); ++f) {
        if (fieldOf[f] < 0)
          continue;
        if (m_id && !w.writeNumber(row, 0, double(n)))
          return cellFailed();
        const QString v = trimmed(m_dataSet->text(fieldOf[f]));
        if (!w.write(row, int(f) + offset, v, needsTextFormat(v)))
          return cellFailed();
      }
      ++n;
      ++row;
    }

    // Footers start one column in: a label in the first row after the data, its value below it.
    RowCells footerRows[2];
    for (qsizetype i = 0; i < footers.size(); ++i) {
      const TExcelFieldName &t = footers[i];
      if (t.name.isEmpty())
        continue;
      const int col = int(i) + 1;
      if (!t.caption.isEmpty()) {
        footerRows[0][col] = {t.caption, false};
        footerRows[1][col] = {t.name, needsTextFormat(t.name)};
      } else {
        footerRows[0][col] = {t.name, needsTextFormat(t.name)};
      }
    }
    if (!w.writeRow(row, footerRows[0]) || !w.writeRow(row + 1, footerRows[1]))
      return cellFailed();
    if (!w.close())
      return writeFailed();
  }

  if (!syncFile(temp))
    return writeFailed();
  std::error_code ec;
  std::filesystem::rename(QFile::encodeName(temp).constData(), QFile::encodeName(m_fileName).constData(), ec);
  if (ec)
    return writeFailed();
  return true;
}

} // namespace zr::workbook
