#include "tests/support/testenv.h"

#include "db/installer.h"

#include <QtTest/QTest>

namespace zr::test {

QStringList column(zr::sql::Database &db, const QString &sql) {
  QStringList out;
  zr::sql::Query q(db, sql);
  while (q.next())
    out << (q.isNull(0) ? QStringLiteral("<NULL>") : q.value(0).toString());
  return out;
}

QStringList rows(zr::sql::Database &db, const QString &sql) {
  QStringList out;
  zr::sql::Query q(db, sql);
  while (q.next()) {
    QStringList r;
    for (int i = 0; i < q.columnCount(); ++i)
      r << q.value(i).toString();
    out << r.join(u'|');
  }
  return out;
}

TestEnv::TestEnv() : m_store(m_dir.path() + u"/settings/ZRSOFTWARE.ini") {
  qputenv("ZR_SETTINGS_FILE", m_store.location().toLocal8Bit());
}

zr::sql::Database &TestEnv::installAndOpen() {
  const auto r = zr::db::install(dataDir(), m_store, m_dir.path() + u"/no-seeds");
  if (!r.ok)
    qFatal("install failed: %s", qPrintable(r.message));
  m_db = std::make_unique<zr::sql::Database>();
  m_db->open(dataDir());
  return *m_db;
}

} // namespace zr::test
