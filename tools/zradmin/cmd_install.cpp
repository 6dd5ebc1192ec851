#include "db/installer.h"
#include "platform/os/settingsstore.h"
#include "tools/zradmin/commands.h"

#include <QtCore/QDir>

namespace zr::admin {

int cmdInstall(const QStringList &args, QTextStream &out, QTextStream &err) {
  if (args.size() != 1) {
    err << "usage: zradmin install DIR\n";
    return 2;
  }
  zr::os::SettingsStore store;
  const auto r = zr::db::install(args.first(), store);
  if (!r.ok) {
    err << r.message << '\n';
    return 1;
  }
  out << QDir(args.first()).absolutePath() << '\n';
  return 0;
}

} // namespace zr::admin
