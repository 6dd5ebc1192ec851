#include "db/idsettings.h"

#include "db/sqltext.h"
#include "platform/sql/database.h"

namespace zr::db {

QString ReadIdSetting(zr::sql::Database &db, const QString &name) {
  zr::sql::Query q(db, u"SELECT AUTO_ID FROM SYS_ID_TABLE WHERE NAME_ID = " % quote(name));
  return q.next() && !q.isNull(0) ? q.value(0).toString() : QString();
}

bool ReadYesNoSetting(zr::sql::Database &db, const QString &name) {
  return ReadIdSetting(db, name) == u"是";
}

bool WriteIdSetting(zr::sql::Database &db, const QString &name, const QString &value) {
  try {
    zr::sql::Query count(db, u"SELECT COUNT(AUTO_ID) FROM SYS_ID_TABLE WHERE NAME_ID = " % quote(name));
    const bool exists = count.next() && count.value(0).toLongLong() > 0;
    if (exists)
      db.exec(u"UPDATE SYS_ID_TABLE SET AUTO_ID = " % quote(value) % u"  WHERE NAME_ID = " % quote(name));
    else
      db.exec(u"INSERT INTO SYS_ID_TABLE(NAME_ID,AUTO_ID) VALUES(" % quote(name) % u',' % quote(value) %
              u')');
    return true;
  } catch (const std::exception &) {
    return false;
  }
}

} // namespace zr::db
