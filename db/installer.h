#pragma once
// Creates a data directory: every table with its keys, the delivered program groups and
// programs, the seed report templates; and registers the alias that names it.
#include <QtCore/QString>

namespace zr::os {
class SettingsStore;
}

namespace zr::db {

struct InstallResult {
  bool ok = false;
  QString message; // why it was refused or failed
};

// Refuses a directory that exists and is not empty. The directory is built under a temporary
// name beside the target and renamed into place only when complete. seedDir: where the seed
// template files are found (empty: the program's own).
InstallResult install(const QString &directory, zr::os::SettingsStore &store, const QString &seedDir = {});

// Where the program keeps its seed template files.
QString defaultSeedDirectory();
// Where a fresh data directory goes when none is registered yet.
QString defaultDataDirectory();

// The delivered groups and programs, for tests and the installer.
struct ProgramRow {
  int composeId;
  int programId;
  QString name;
  bool add, browse, print, verify, currency;
};
QList<std::pair<int, QString>> deliveredGroups();
QList<ProgramRow> deliveredPrograms();

} // namespace zr::db
