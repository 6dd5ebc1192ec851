#include "maintenance/backupfile.h"
#include "tools/zradmin/commands.h"

#include <QtCore/QFileInfo>

namespace zr::admin {
namespace {

using zr::maintenance::TZRBackupFile;

// The system's message and what it concerns. Only a missing backup fails without an error code
// (nothing here can stop an operation otherwise).
void printError(const TZRBackupFile &b, const QString &file, QTextStream &err) {
  if (b.errorCode() == zr::maintenance::beNone) {
    err << zr::maintenance::backupErrorText(zr::maintenance::beReadBackup) << ": " << file << '\n';
    return;
  }
  err << b.errorText();
  if (!b.errorDetail().isEmpty())
    err << ": " << b.errorDetail();
  err << '\n';
}

// Options first, then the positional arguments; an unknown option is a usage error.
struct Parsed {
  QHash<QString, QString> options;
  QStringList flags;
  QStringList positional;
  bool ok = true;
};

Parsed parse(const QStringList &args, const QStringList &valued, const QStringList &flags) {
  Parsed p;
  for (qsizetype i = 0; i < args.size(); ++i) {
    const QString &a = args[i];
    if (!a.startsWith(u"--") || !p.positional.isEmpty()) {
      p.positional << a;
    } else if (valued.contains(a) && i + 1 < args.size()) {
      p.options.insert(a, args[++i]);
    } else if (flags.contains(a)) {
      p.flags << a;
    } else {
      p.ok = false;
    }
  }
  return p;
}

QString dateText(std::uint32_t packed) {
  const QDateTime t = zr::maintenance::unpackDosDateTime(packed);
  return t.isValid() ? t.toString(u"yyyy-MM-dd hh:mm:ss") : QString();
}

int create(const QStringList &args, QTextStream &out, QTextStream &err) {
  const Parsed p =
      parse(args, {QStringLiteral("--title"), QStringLiteral("--level"), QStringLiteral("--max-size")},
            {QStringLiteral("--file-list"), QStringLiteral("--incremental")});
  if (!p.ok || p.positional.size() != 2) {
    err << "usage: zradmin backup create [--level fastest|none|default|max] [--max-size BYTES]\n"
           "         [--file-list] [--title TEXT] [--incremental] DEST SOURCE\n";
    return 2;
  }
  TZRBackupFile b;
  b.setBackupTitle(p.options.value(QStringLiteral("--title")));
  b.setSaveFileID(p.flags.contains(QStringLiteral("--file-list")));
  if (p.flags.contains(QStringLiteral("--incremental")))
    b.setBackupMode(zr::maintenance::bmIncremental);
  const QString level = p.options.value(QStringLiteral("--level"), QStringLiteral("fastest"));
  static const QHash<QString, zr::maintenance::TCompressionLevel> levels{
      {QStringLiteral("fastest"), zr::maintenance::clFastest},
      {QStringLiteral("none"), zr::maintenance::clNone},
      {QStringLiteral("default"), zr::maintenance::clDefault},
      {QStringLiteral("max"), zr::maintenance::clMax}};
  if (!levels.contains(level)) {
    err << "zradmin backup create: unknown level '" << level << "'\n";
    return 2;
  }
  b.setCompressionLevel(levels.value(level));
  if (p.options.contains(QStringLiteral("--max-size"))) {
    bool ok = false;
    const qint64 size = p.options.value(QStringLiteral("--max-size")).toLongLong(&ok);
    if (!ok || size < 0) {
      err << "zradmin backup create: --max-size takes a number of bytes\n";
      return 2;
    }
    b.setMaxSize(size);
  }
  // Continuation volumes go beside DEST; there is nobody to ask for a disk.
  b.onNeedDisk = [](std::uint16_t, bool &cont) { cont = true; };

  const QString file = p.positional[0];
  const QString source = p.positional[1];
  if (!b.backup(source, file, QFileInfo(source).isDir())) {
    printError(b, file, err);
    return 1;
  }
  for (const QString &v : b.volumes())
    out << v << '\n';
  return 0;
}

int restore(const QStringList &args, QTextStream &out, QTextStream &err) {
  const Parsed p = parse(args, {QStringLiteral("--mode")}, {});
  static const QHash<QString, zr::maintenance::TRestoreMode> modes{
      {QStringLiteral("all"), zr::maintenance::rmAll},
      {QStringLiteral("no-overwrite"), zr::maintenance::rmNoOverwrite},
      {QStringLiteral("newer"), zr::maintenance::rmNewer},
      {QStringLiteral("existing"), zr::maintenance::rmExisting},
      {QStringLiteral("existing-newer"), zr::maintenance::rmExistingNewer}};
  const QString mode = p.options.value(QStringLiteral("--mode"), QStringLiteral("all"));
  if (!p.ok || !modes.contains(mode) || p.positional.size() != 2 || p.positional[1].isEmpty()) {
    err << "usage: zradmin backup restore [--mode all|no-overwrite|newer|existing|existing-newer]\n"
           "         BACKUP DESTDIR\n";
    return 2;
  }
  const QString file = p.positional[0];
  TZRBackupFile b;
  b.setRestoreMode(modes.value(mode));
  // Files are put in place only when the whole backup has been read, so the names are printed
  // once it has succeeded.
  QStringList written;
  b.onFileRestored = [&written](QString &name, QFileDevice &) { written << name; };
  if (!b.restore(file, p.positional[1])) {
    printError(b, file, err);
    return 1;
  }
  for (const QString &name : std::as_const(written))
    out << name << '\n';
  return 0;
}

int list(const QStringList &args, QTextStream &out, QTextStream &err) {
  if (args.size() != 1 || args[0].startsWith(u"--")) {
    err << "usage: zradmin backup list BACKUP\n";
    return 2;
  }
  TZRBackupFile b;
  zr::maintenance::BackupHeader header;
  // Printed only when the backup reads through to its trailer: a damaged one prints nothing.
  QStringList lines;
  const bool ok = b.examine(
      args[0],
      [&](const zr::maintenance::BackupEntryInfo &e) {
        lines << e.name % u'\t' % dateText(e.dateTime) % u'\t' % QString::number(e.size);
      },
      &header);
  if (!ok) {
    printError(b, args[0], err);
    return 1;
  }
  out << header.title << '\t' << header.totalSize << '\t' << header.fileCount << '\n';
  for (const QString &l : std::as_const(lines))
    out << l << '\n';
  return 0;
}

int verify(const QStringList &args, QTextStream &out, QTextStream &err) {
  if (args.size() != 1 || args[0].startsWith(u"--")) {
    err << "usage: zradmin backup verify BACKUP\n";
    return 2;
  }
  TZRBackupFile b;
  if (!b.examine(args[0], {})) {
    printError(b, args[0], err);
    return 1;
  }
  out << "ok\n";
  return 0;
}

} // namespace

int cmdBackup(const QStringList &args, QTextStream &out, QTextStream &err) {
  const QString sub = args.value(0);
  const QStringList rest = args.mid(1);
  if (sub == u"create")
    return create(rest, out, err);
  if (sub == u"restore")
    return restore(rest, out, err);
  if (sub == u"list")
    return list(rest, out, err);
  if (sub == u"verify")
    return verify(rest, out, err);
  err << "usage: zradmin backup create|restore|list|verify ...; see zradmin help\n";
  return 2;
}

} // namespace zr::admin
