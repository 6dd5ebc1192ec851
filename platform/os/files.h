#pragma once
// Small file helpers: the temporary folder, directory tests and a copy that needs no questions.
#include <QtCore/QString>

namespace zr::os {

bool IsDirectory(const QString &path);

// The system's temporary folder with a trailing separator.
QString TempDirectory();

// Copies a file, the files a wildcard name matches ("dir/*.txt"), or a whole directory tree.
// Existing targets are replaced without asking; missing target folders are made. A directory
// copied onto an existing directory lands inside it under its own name. Each file is written
// under a temporary name and renamed, so a failed copy never leaves a half-written target.
bool CopyFiles(const QString &from, const QString &to);

} // namespace zr::os
