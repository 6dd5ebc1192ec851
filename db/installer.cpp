#include "db/installer.h"

#include "db/schema.h"
#include "db/sqltext.h"
#include "platform/os/settingsstore.h"
#include "platform/sql/database.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtCore/QStandardPaths>
#include <QtCore/QUuid>

namespace zr::db {

QList<std::pair<int, QString>> deliveredGroups() {
  return {{1, QStringLiteral("档案管理")}, {2, QStringLiteral("系统管理")}};
}

// First-run setup grants programs 1 to 6 of group 1 and 1 to 2 of group 2; program 3 of group 1
// is the item query, renamed with the item title.
QList<ProgramRow> deliveredPrograms() {
  const bool y = true, n = false;
  return {
      {1, 1, QStringLiteral("档案类别资料录入编辑"), y, y, y, n, n},
      {1, 2, QStringLiteral("档案资料录入编辑管理"), y, y, y, y, y},
      {1, 3, QStringLiteral("档案明细资料查询管理"), y, y, y, n, y},
      {1, 4, QStringLiteral("档案借阅记录查询管理"), y, y, y, n, n},
      {1, 5, QStringLiteral("档案借阅管理"), y, y, y, n, n},
      {1, 6, QStringLiteral("EXCEL资料导入管理"), y, y, y, y, n},
      {1, 7, QStringLiteral("单位名称录入编辑"), y, y, n, n, n},
      {2, 1, QStringLiteral("数据备份管理"), n, y, n, n, n},
      {2, 2, QStringLiteral("过时数据删除"), y, y, n, n, n},
  };
}

QString defaultSeedDirectory() {
  // installed beside the program, else the source tree this build came from
  const QString installed = QCoreApplication::applicationDirPath() + u"/../share/zrarchive/templates";
  if (QFileInfo(installed).isDir())
    return QDir(installed).absolutePath();
#ifdef ZR_SOURCE_TEMPLATES
  const QString source = QStringLiteral(ZR_SOURCE_TEMPLATES);
  if (QFileInfo(source).isDir())
    return source;
#endif
  return {};
}

QString defaultDataDirectory() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
         QStringLiteral("/zrarchive/data");
}

InstallResult install(const QString &directory, zr::os::SettingsStore &store, const QString &seedDir) {
  InstallResult r;
  const QString target = QDir(directory).absolutePath();
  const QFileInfo fi(target);
  if (fi.exists() &&
      (!fi.isDir() || !QDir(target).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))) {
    r.message = u"数据目录已经存在,不能覆盖: " % target;
    return r;
  }
  if (!QDir().mkpath(fi.absolutePath())) {
    r.message = u"不能建立数据目录: " % target;
    return r;
  }
  const QString staging = target + u".install-" % QUuid::createUuid().toString(QUuid::Id128).left(8);
  if (!QDir().mkpath(staging)) {
    r.message = u"不能建立数据目录: " % staging;
    return r;
  }
  try {
    zr::sql::Database db;
    db.open(staging, true);
    {
      zr::sql::Transaction tx(db);
      for (const auto &t : archiveSchema())
        db.createTable(t);
      for (const auto &[id, name] : deliveredGroups())
        db.exec(u"INSERT INTO SYS_COMPOSE_TABLE(COMPOSE_ID,COMPOSE_NAME) VALUES(" % QString::number(id) %
                u',' % quote(name) % u')');
      auto yn = [](bool b) { return quote(b ? u"是" : u"否"); };
      for (const ProgramRow &p : deliveredPrograms())
        db.exec(u"INSERT INTO SYS_PROGRAM_TABLE(COMPOSE_ID,PROGRAM_ID,PROGRAM_NAME,ADD_RIGHT,BROWSE_RIGHT,"
                u"PRINT_RIGHT,VERIFY_RIGHT,CURRENCY_RIGHT) VALUES(" %
                QString::number(p.composeId) % u',' % QString::number(p.programId) % u',' % quote(p.name) %
                u',' % yn(p.add) % u',' % yn(p.browse) % u',' % yn(p.print) % u',' % yn(p.verify) % u',' %
                yn(p.currency) % u')');
      tx.commit();
    }
    db.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    db.close();
  } catch (const std::exception &e) {
    QDir(staging).removeRecursively();
    r.message = u"数据库建立过程发生错误: " % QString::fromUtf8(e.what());
    return r;
  }
  // Seed template files: copied when present; an installation without them still works.
  const QString seeds = seedDir.isEmpty() ? defaultSeedDirectory() : seedDir;
  if (!seeds.isEmpty())
    for (const QFileInfo &f : QDir(seeds).entryInfoList(QDir::Files))
      if (f.fileName() != u"README.md")
        QFile::copy(f.absoluteFilePath(), staging + u'/' + f.fileName());
  if (fi.exists())
    QDir().rmdir(target); // the empty directory the user named
  if (!QDir().rename(staging, target)) {
    QDir(staging).removeRecursively();
    r.message = u"不能建立数据目录: " % target;
    return r;
  }
  if (!zr::sql::alias::define(QString::fromUtf16(zr::sql::kAliasName), target, store)) {
    r.message = u"注册表打开错误: " % store.location();
    return r;
  }
  r.ok = true;
  return r;
}

} // namespace zr::db
