#pragma once
// Each test runs on its own temporary folder with its own settings file, so nothing touches the
// user's settings or data.
#include "platform/os/settingsstore.h"
#include "platform/sql/database.h"

#include <QtCore/QTemporaryDir>
#include <memory>

namespace zr::test {

// The first column of every row of a statement, NULL as "<NULL>".
QStringList column(zr::sql::Database &db, const QString &sql);
// Every row of a statement, its columns joined by '|'.
QStringList rows(zr::sql::Database &db, const QString &sql);

class TestEnv {
public:
  TestEnv();
  QString root() const { return m_dir.path(); }
  QString dataDir() const { return m_dir.path() + u"/data"; }
  zr::os::SettingsStore &store() { return m_store; }
  // Installs a data directory and opens it.
  zr::sql::Database &installAndOpen();
  zr::sql::Database &db() { return *m_db; }

private:
  QTemporaryDir m_dir;
  zr::os::SettingsStore m_store;
  std::unique_ptr<zr::sql::Database> m_db;
};

} // namespace zr::test
