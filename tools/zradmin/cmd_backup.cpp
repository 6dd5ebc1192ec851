#include "db/errortext.h"
#include "maintenance/backupfile.h"
#include "platform/os/settingsstore.h"
#include "platform/sql/database.h"
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
  const Parsed p = parse(args,
                         {QStringLiteral("--data"), QStringLiteral("--title"), QStringLiteral("--level"),
                          QStringLiteral("--volume-size")},
                         {QStringLiteral("--file-list"), QStringLiteral("--incremental")});
  if (!p.ok || p.positional.isEmpty() || p.positional.size() > 2 ||
      (p.positional.size() == 2 && p.options.contains(QStringLiteral("--data")))) {
    err << "usage: zradmin backup create [--data DIR] [--title TEXT] [--level fastest|none|default|max]\n"
           "         [--volume-size BYTES] [--file-list] [--incremental] FILE [SOURCE]\n";
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
  if (p.options.contains(QStringLiteral("--volume-size"))) {
    bool ok = false;
    const qint64 size = p.options.value(QStringLiteral("--volume-size")).toLongLong(&ok);
    if (!ok || size < 0) {
      err << "zradmin backup create: --volume-size takes a number of bytes\n";
      return 2;
    }
    b.setMaxSize(size);
  }

  const QString file = p.positional[0];
  QString source;
  bool wholeDirectory = true;
  if (p.positional.size() == 2) {
    source = p.positional[1];
    wholeDirectory = QFileInfo(source).isDir();
  } else {
    // The data directory: opening and closing the database folds its journal into its one
    // file, so the backup holds the database whole.
    try {
      zr::sql::Database db;
      if (p.options.contains(QStringLiteral("--data")))
        db.open(p.options.value(QStringLiteral("--data")));
      else
        db.openAlias(QString::fromUtf16(zr::sql::kAliasName), zr::os::SettingsStore());
      source = db.directory();
    } catch (const zr::sql::EngineError &e) {
      err << zr::db::messageFor(e) << '\n';
      return 1;
    }
  }
  if (!b.backup(source, file, wholeDirectory)) {
    printError(b, file, err);
    return 1;
  }
  for (const QString &v : b.volumes())
    out << v << '\n';
  return 0;
}

int restore(const QStringList &args, QTextStream &out, QTextStream &err) {
  const Parsed p = parse(args, {QStringLiteral("--mode")}, {QStringLiteral("--full-path")});
  const bool fullPath = p.flags.contains(QStringLiteral("--full-path"));
  static const QHash<QString, zr::maintenance::TRestoreMode> modes{
      {QStringLiteral("all"), zr::maintenance::rmAll},
      {QStringLiteral("no-overwrite"), zr::maintenance::rmNoOverwrite},
      {QStringLiteral("newer"), zr::maintenance::rmNewer},
      {QStringLiteral("existing"), zr::maintenance::rmExisting},
      {QStringLiteral("existing-newer"), zr::maintenance::rmExistingNewer}};
  const QString mode = p.options.value(QStringLiteral("--mode"), QStringLiteral("all"));
  if (!p.ok || !modes.contains(mode) || p.positional.size() != (fullPath ? 1 : 2)) {
    err << "usage: zradmin backup restore [--mode all|no-overwrite|newer|existing|existing-newer]\n"
           "         FILE DIR | --full-path FILE\n";
    return 2;
  }
  const QString file = p.positional[0];
  TZRBackupFile b;
  b.setRestoreMode(modes.value(mode));
  b.onFileRestored = [&out](QString &name, QFileDevice &) { out << name << '\n'; };
  if (!b.restore(file, fullPath ? QString() : p.positional[1])) {
    printError(b, file, err);
    return 1;
  }
  return 0;
}

int list(const QStringList &args, QTextStream &out, QTextStream &err) {
  if (args.size() != 1 || args[0].startsWith(u"--")) {
    err << "usage: zradmin backup list FILE\n";
    return 2;
  }
  TZRBackupFile b;
  // The heading comes with the first entry, so a file that is no backup prints nothing.
  bool headed = false;
  const auto heading = [&] {
    if (!headed)
      out << "name\tmodified\tsize\tstored\tvolume\n";
    headed = true;
  };
  const bool ok = b.examine(args[0], [&](const zr::maintenance::BackupEntryInfo &e) {
    heading();
    const QString volume = e.firstVolume == e.lastVolume
                               ? QString::number(e.firstVolume)
                               : QString::number(e.firstVolume) + u'-' + QString::number(e.lastVolume);
    out << e.name << '\t' << dateText(e.dateTime) << '\t' << e.size << '\t' << e.storedBytes << '\t' << volume
        << '\n';
  });
  if (!ok) {
    printError(b, args[0], err);
    return 1;
  }
  heading();
  return 0;
}

int verify(const QStringList &args, QTextStream &out, QTextStream &err) {
  if (args.size() != 1 || args[0].startsWith(u"--")) {
    err << "usage: zradmin backup verify FILE\n";
    return 2;
  }
  TZRBackupFile b;
  zr::maintenance::BackupHeader header;
  int entries = 0;
  int volumes = 1;
  qint64 bytes = 0;
  const bool ok = b.examine(
      args[0],
      [&](const zr::maintenance::BackupEntryInfo &e) {
        if (!e.isFileList)
          ++entries;
        bytes += e.size;
        volumes = qMax(volumes, e.lastVolume);
      },
      &header);
  if (!ok) {
    printError(b, args[0], err);
    return 1;
  }
  out << "title\t" << header.title << '\n'
      << "files\t" << entries << '\n'
      << "listed\t" << header.fileCount << '\n'
      << "bytes\t" << bytes << '\n'
      << "volumes\t" << volumes << '\n'
      << "ok\n";
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
