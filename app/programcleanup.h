#pragma once
// The start-up clean-up of the program directory: table files (".DB", ".MB") left there by
// earlier restores are deleted, all but "SYS_BACK_TABLE.DB".
#include <QtCore/QString>
#include <QtCore/QStringList>

namespace zr::app {

// The parent of a data directory; trailing separators are dropped first, so "/a/data/" gives
// "/a", not "/a/data". Empty when the directory has no parent.
QString programDirectoryOf(const QString &dataDirectory);

// Deletes the leftover table files of programDirectory and returns the names it deleted. Does
// nothing when the directory is empty, a file-system root or the data directory itself, and
// never deletes the live database file. A directory that cannot be listed is ignored.
QStringList cleanProgramDirectory(const QString &programDirectory, const QString &dataDirectory);

} // namespace zr::app
