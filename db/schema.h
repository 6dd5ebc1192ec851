#pragma once
// Every table of the archive database: columns, kinds, GBK widths, keys and indexes.
// Widths that no window fixes are chosen here, and only here (see kWidth* below).
#include "platform/sql/tabledef.h"

namespace zr::db {

// Widths chosen for columns whose windows leave them open.
inline constexpr int kWidthComposeName = 40;
inline constexpr int kWidthProgramName = 60; // the item title (up to 30 bytes) + "查询管理"
inline constexpr int kWidthRight = 2;        // "是" / "否"
inline constexpr int kWidthNameId = 30;
inline constexpr int kWidthAutoId = 30;
inline constexpr int kWidthFormName = 40;
inline constexpr int kWidthGridName = 40;
inline constexpr int kWidthGridField = 30;
inline constexpr int kWidthMarginReport = 80; // SYS_PRINT_TABLE.PRINT_NAME
inline constexpr int kWidthLendName = 20;

const QList<zr::sql::TableDef> &archiveSchema();
const zr::sql::TableDef *archiveTable(QStringView name);

} // namespace zr::db
