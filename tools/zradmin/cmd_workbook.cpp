#include "platform/workbook/sheetreader.h"
#include "tools/zradmin/commands.h"

namespace zr::admin {
namespace {

// Tabs and line breaks inside a value would break the layout, so they are written as \t and \n.
QString field(QString s) {
  s.replace(u'\\', QStringLiteral("\\\\"))
      .replace(u'\t', QStringLiteral("\\t"))
      .replace(u'\n', QStringLiteral("\\n"))
      .replace(u'\r', QStringLiteral("\\r"));
  return s;
}

QString line(const QStringList &fields) {
  QStringList out;
  out.reserve(fields.size());
  for (const QString &f : fields)
    out << field(f);
  return out.join(u'\t');
}

} // namespace

int cmdWorkbook(const QStringList &args, QTextStream &out, QTextStream &err) {
  if (args.size() != 2 || args[0] != u"dump") {
    err << "usage: zradmin workbook dump FILE\n";
    return 2;
  }
  const QString path = args[1];
  try {
    auto reader = zr::workbook::SheetReader::open(path);
    if (!reader->headings().isEmpty())
      out << line(reader->headings()) << '\n';
    QStringList row;
    while (reader->next(row))
      out << line(row) << '\n';
    return 0;
  } catch (const zr::workbook::ReadError &e) {
    out.flush();
    err << zr::workbook::openFailureMessage(path) << '\n';
    if (qEnvironmentVariableIsSet("ZR_DEBUG"))
      err << QString::fromUtf8(e.what()) << '\n';
  }
  return 1;
}

} // namespace zr::admin
