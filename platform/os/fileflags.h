#pragma once
// The archive flag of a file: set when the file changed since it was last backed up. Windows
// keeps it as the file's archive attribute; elsewhere a user extended attribute remembers the
// modification time and size the file had when it was backed up, and a file whose time or size
// differs from that (or that was never backed up) counts as flagged.
#include <QtCore/QString>

namespace zr::os {

bool archiveFlag(const QString &path);
// Marks the file as backed up and leaves its other attributes alone. False when the file system
// cannot keep the mark (the file then stays flagged, so an incremental backup takes it again).
bool clearArchiveFlag(const QString &path);

} // namespace zr::os
