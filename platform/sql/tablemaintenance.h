#pragma once
// Verify, rebuild and compact, one table at a time, each reporting what it found.
#include "platform/sql/database.h"

namespace zr::sql {

struct TableReport {
  QString table;
  bool ok = false;
  QString message; // what was wrong, or why it could not be done
};

// Reads the table's b-trees and checks every row against its column checks.
TableReport verifyTable(Database &db, const QString &table);
// Copies the rows into a fresh table of the same shape and indexes, in one transaction; a
// failure leaves the table as it was.
TableReport rebuildTable(Database &db, const QString &table);
// Rebuilds the table and gives the freed pages back to the file system.
TableReport compactTable(Database &db, const QString &table);

} // namespace zr::sql
