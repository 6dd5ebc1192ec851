#pragma once
// Settings of the whole database: one row of SYS_ID_TABLE per name. A missing row reads as "否"
// (or empty).
#include <QtCore/QString>

namespace zr::sql {
class Database;
}

namespace zr::db {

// True when the setting holds "是". Errors pass on.
bool ReadYesNoSetting(zr::sql::Database &db, const QString &name);
// The setting's value; empty when missing. Errors pass on.
QString ReadIdSetting(zr::sql::Database &db, const QString &name);
// Updates the row or inserts it; false when the database refused (callers say
// "参数保存过程发生错误").
bool WriteIdSetting(zr::sql::Database &db, const QString &name, const QString &value);

} // namespace zr::db
