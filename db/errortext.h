#pragma once
// The system's words for engine failures: the table the exception handler and the tools share.
#include "platform/sql/errors.h"

namespace zr::db {

// The translated message of an engine record, or empty when the record is not one the system
// names (then "数据库操作错误" and the technical text are shown).
QString translatedMessage(const zr::sql::ErrorRecord &record);

inline constexpr char16_t kGenericDatabaseError[] = u"数据库操作错误";

// Class name, "ErrorCode:", the four numbers and the first record's message.
QString technicalText(const zr::sql::EngineError &error);

// One line for a tool: the translated message, or the generic one with the technical text.
QString messageFor(const zr::sql::EngineError &error);
// A conversion refusal in the system's words ("请按格式YYYY-MM-DD 输入日期" for dates).
QString messageFor(const zr::sql::ConversionError &error);

} // namespace zr::db
