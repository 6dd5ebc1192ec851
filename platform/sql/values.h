#pragma once
// How a value becomes what its column stores: blank text is NULL, trailing blanks go, a date is
// 'YYYY-MM-DD' whatever form it came in, a number must be one.
#include "platform/sql/tabledef.h"

#include <QtCore/QVariant>
#include <optional>

namespace zr::sql {

// 'YYYY-MM-DD', 'YYYY/MM/DD', 'MM/DD/YYYY' (the dialect's literal), single-digit parts allowed,
// an optional time of day after a blank; nothing when it is not a real date.
std::optional<QString> parseDate(QStringView text);
// Only the dialect's literal form 'MM/DD/YYYY' (with single-digit parts).
bool looksLikeDialectDate(QStringView text);

QString rtrimBlanks(QStringView text);

// The value to store in a column; throws ConversionError for a date or number that is not one.
QVariant normaliseForColumn(const ColumnDef &column, const QVariant &value);

// The numeric text a numeric column takes from a literal, or nothing.
std::optional<QString> parseNumberText(QStringView text, bool integer);

// Shortest decimal text of a number: 4567.5, 3, 0.1.
QString shortestNumber(double d);

} // namespace zr::sql
