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
      {u"backup",
       u"zradmin backup create [--data DIR] [--title TEXT] [--level fastest|none|default|max]\n"
       u"                      [--volume-size BYTES] [--file-list] [--incremental] FILE [SOURCE]\n"
       u"  Packs files into the backup FILE (format 5.00). SOURCE is a directory (every file directly\n"
       u"  in it), a file, or a wildcard pattern, recursive into subdirectories when it ends with\n"
       u"  \" /s\". Without SOURCE: the data directory of the alias (or DIR), its database first folded\n"
       u"  into its one file; run it while the application is closed. --volume-size limits each\n"
       u"  volume (more than 16488 bytes); FILE then continues in FILE's name with .002, .003 ...\n"
       u"  --file-list stores the list of files as a first entry FILE:LIST; --incremental takes only\n"
       u"  the files changed since their last backup. Nothing is left under FILE unless the backup\n"
       u"  is complete. Prints each volume written.\n"
       u"zradmin backup restore [--mode all|no-overwrite|newer|existing|existing-newer]\n"
       u"                       FILE DIR | --full-path FILE\n"
       u"  Unpacks FILE and its volumes into DIR under the stored file names alone, or with\n"
       u"  --full-path to the stored full paths. --mode chooses which files are written: every one\n"
       u"  (all), only missing ones, missing or older ones, only existing ones, existing older ones.\n"
       u"  Each file is written whole or not at all. Prints each file written.\n"
       u"zradmin backup list FILE\n"
       u"  A header line, then one line per entry: stored name, modified (YYYY-MM-DD hh:mm:ss), size,\n"
       u"  bytes stored, volume (or first-last), tab-separated.\n"
       u"zradmin backup verify FILE\n"
       u"  Reads every volume and inflates every chunk, writing nothing. Prints title, files (entries\n"
       u"  found), listed (the header's count), bytes, volumes, then \"ok\".\n"
       u"  Every backup subcommand exits 0, or 1 with the system's message on standard error, or 2 on\n"
       u"  wrong usage.",
       cmdBackup},
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
