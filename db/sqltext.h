#pragma once
// The one way a value typed by a user or read from a file enters a statement: quoted, with
// every single quote doubled, so no value can end the literal or change the statement.
#include <QtCore/QString>
#include <optional>

namespace zr::db {

// 'value' with inner quotes doubled: O'Brien -> 'O''Brien'.
QString quote(QStringView value);

// A value that must be spliced unquoted (a number): its canonical text, or nothing when it is
// not a number.
std::optional<QString> number(QStringView value);

} // namespace zr::db
