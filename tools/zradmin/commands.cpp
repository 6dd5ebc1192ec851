#include "tools/zradmin/commands.h"

namespace zr::admin {
namespace {

int cmdHelp(const QStringList &, QTextStream &out, QTextStream &) {
  out << "zradmin: administration of the archive database\n\n";
  for (const Command &c : commands())
    out << QString::fromUtf16(c.usage) << "\n\n";
  return 0;
}

} // namespace

const QList<Command> &commands() {
  static const QList<Command> list{
      {u"help", u"zradmin help\n  Shows this text.", cmdHelp},
      {u"install",
       u"zradmin install DIR\n"
       u"  Creates a data directory in DIR with every table, the delivered program groups and\n"
       u"  programs and the seed report templates, and registers the alias ZRRecordFolioLink for it.\n"
       u"  Refuses a DIR that exists and is not empty. Prints the directory; exit 0, or 1 on error.",
       cmdInstall},
      {u"sql",
       u"zradmin sql [--data DIR] STATEMENT\n"
       u"  Runs one statement of the local dialect against the data directory of the alias (or DIR).\n"
       u"  A query prints a header line of column names, then one line per row, values separated by\n"
       u"  tabs, NULL as an empty field, dates as YYYY-MM-DD, numbers in their shortest decimal form.\n"
       u"  A statement without rows prints nothing. A failure prints the system's message on standard\n"
       u"  error and exits 1.",
       cmdSql},
      {u"workbook",
       u"zradmin workbook dump FILE\n"
       u"  Prints the first worksheet of FILE (.xlsx or .xls) as the import reads it: a line of the\n"
       u"  column headings (an empty heading reads F and its column number), then one line per row\n"
       u"  below it up to the last row holding a value or a format, blank rows included; fields are\n"
       u"  separated by tabs, with tab, line break and backslash inside a value written as \\t, \\n,\n"
       u"  \\r and \\\\. Numbers print in their shortest decimal form, dates as YYYY-MM-DD (with\n"
       u"  hh:mm:ss when they hold a time), formulas as their last computed value. A file that cannot\n"
       u"  be read prints the system's message on standard error and exits 1.",
       cmdWorkbook},
      {u"backup",
       u"zradmin backup create [--level fastest|none|default|max] [--max-size BYTES] [--file-list]\n"
       u"                      [--title TEXT] [--incremental] DEST SOURCE\n"
       u"  Packs files into the backup DEST (format 5.00). SOURCE is a directory (every file directly\n"
       u"  in it) or a file name pattern, recursive into subdirectories when it ends with \" /s\".\n"
       u"  --max-size limits each volume (more than 16488 bytes); DEST then continues beside itself\n"
       u"  with the extension .002, .003 ... without asking. --file-list stores the list of files as\n"
       u"  a first entry FILE:LIST; --incremental takes only the files changed since their last\n"
       u"  backup. Nothing is left under DEST unless the backup is complete. Prints each volume.\n"
       u"zradmin backup restore [--mode all|no-overwrite|newer|existing|existing-newer] BACKUP DESTDIR\n"
       u"  Unpacks BACKUP and its volumes into DESTDIR, every entry under its file part alone;\n"
       u"  nothing is written outside DESTDIR. --mode chooses which files are written: every one\n"
       u"  (all), only missing ones, missing or older ones, only existing ones, existing older ones.\n"
       u"  Files are put in place only when the whole backup has been read. Prints each file written.\n"
       u"zradmin backup list BACKUP\n"
       u"  A line with the title, the total size and the file count, then one line per entry: stored\n"
       u"  name, date-time (YYYY-MM-DD hh:mm:ss), size; tab-separated.\n"
       u"zradmin backup verify BACKUP\n"
       u"  Reads every volume and inflates every chunk, writing nothing; prints \"ok\".\n"
       u"  Every backup subcommand exits 0, or 1 with the system's message on standard error, or 2 on\n"
       u"  wrong usage.",
       cmdBackup},
      {u"report",
       u"zradmin report pdf [--data DIR] --template FILE --master STATEMENT [--detail STATEMENT]\n"
       u"                   [--var NAME=VALUE]... OUT.pdf\n"
       u"  Runs the report template FILE over the rows of the master statement (the local dialect;\n"
       u"  column names or their aliases are the names the template's markers use) and writes OUT.pdf.\n"
       u"  A master-detail template needs --detail, whose :PARAMETERS name master columns; it prints\n"
       u"  one slip per master row. --var sets a report variable such as 单位名称. Prints the file and\n"
       u"  its page count, tab-separated; a failure prints the system's message on standard error and\n"
       u"  exits 1.",
       cmdReport},
  };
  return list;
}

int run(const QStringList &args, QTextStream &out, QTextStream &err) {
  const QString name = args.isEmpty() ? QStringLiteral("help") : args.first();
  for (const Command &c : commands())
    if (name == QStringView(c.name))
      return c.run(args.mid(1), out, err);
  err << "zradmin: unknown command '" << name << "'; see zradmin help\n";
  return 2;
}

} // namespace zr::admin
