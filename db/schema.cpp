#include "db/schema.h"

namespace zr::db {
namespace {

using zr::sql::ColumnDef;
using zr::sql::TableDef;

QString s(const char16_t *t) {
  return QString::fromUtf16(t);
}
ColumnDef T(const char16_t *n, int w) {
  return ColumnDef::text(s(n), w);
}
ColumnDef D(const char16_t *n) {
  return ColumnDef::date(s(n));
}
ColumnDef F(const char16_t *n) {
  return ColumnDef::real(s(n));
}
ColumnDef I(const char16_t *n) {
  return ColumnDef::integer(s(n));
}
ColumnDef B(const char16_t *n) {
  return ColumnDef::blob(s(n));
}

QList<ColumnDef> audit() {
  return {T(u"CREATE_NAME", 20), D(u"CREATE_DATE"), T(u"EDIT_NAME", 20), D(u"EDIT_DATE")};
}

QStringList keys(std::initializer_list<const char16_t *> k) {
  QStringList out;
  for (auto x : k)
    out << s(x);
  return out;
}

// The volume shape, shared by the archive, the staging table and the display template.
QList<ColumnDef> volumeColumns(int longTextWidth, bool withTypeName) {
  QList<ColumnDef> c{T(u"ARCHIVE_RECORD_ID", 16), T(u"ARCHIVE_TYPE_ID", 16), T(u"ARCHIVE_ID", 30),
                     T(u"ARCHIVE_NAME", 180)};
  for (int i = 1; i <= 4; ++i)
    c << ColumnDef::date(u"DATE_FIELD" % QString::number(i));
  for (int i = 1; i <= 10; ++i)
    c << ColumnDef::text(u"TEXT_FIELD" % QString::number(i), 50);
  c << ColumnDef::text(QStringLiteral("TEXT_FIELD11"), longTextWidth)
    << ColumnDef::text(QStringLiteral("TEXT_FIELD12"), longTextWidth) << T(u"TEXT_NOTE", 255);
  for (int i = 1; i <= 6; ++i)
    c << ColumnDef::real(u"NUMBER_FIELD" % QString::number(i));
  c << audit();
  if (withTypeName)
    c << T(u"ARCHIVE_TYPE_NAME", 20);
  return c;
}

QList<TableDef> build() {
  QList<TableDef> t;
  // A. users, rights, organisation
  t << TableDef{s(u"SYS_USER_TABLE"),
                QList<ColumnDef>{T(u"USE_ID", 6), T(u"USE_NAME", 20), T(u"USE_PASSWORD", 10),
                                 T(u"SYS_USER", 2), T(u"STOP_RIGHT", 4), T(u"NOTE", 30)} +
                    audit(),
                keys({u"USE_ID"}),
                {}};
  t << TableDef{s(u"SYS_COMPOSE_TABLE"),
                {I(u"COMPOSE_ID"), T(u"COMPOSE_NAME", kWidthComposeName)},
                keys({u"COMPOSE_ID"}),
                {}};
  t << TableDef{s(u"SYS_PROGRAM_TABLE"),
                {I(u"COMPOSE_ID"), I(u"PROGRAM_ID"), T(u"PROGRAM_NAME", kWidthProgramName),
                 T(u"ADD_RIGHT", kWidthRight), T(u"BROWSE_RIGHT", kWidthRight),
                 T(u"PRINT_RIGHT", kWidthRight), T(u"VERIFY_RIGHT", kWidthRight),
                 T(u"CURRENCY_RIGHT", kWidthRight)},
                keys({u"COMPOSE_ID", u"PROGRAM_ID"}),
                {}};
  t << TableDef{s(u"SYS_RIGHT_TABLE"),
                {T(u"USE_ID", 6), I(u"COMPOSE_ID"), I(u"PROGRAM_ID"), T(u"ADD_RIGHT", kWidthRight),
                 T(u"EDIT_RIGHT", kWidthRight), T(u"DELETE_RIGHT", kWidthRight),
                 T(u"BROWSE_RIGHT", kWidthRight), T(u"PRINT_RIGHT", kWidthRight),
                 T(u"VERIFY_RIGHT", kWidthRight), T(u"CURRENCY_RIGHT", kWidthRight)},
                keys({u"USE_ID", u"COMPOSE_ID", u"PROGRAM_ID"}),
                {}};
  t << TableDef{s(u"SYS_USER_REGION_RIGHT_TABLE"),
                {T(u"USE_ID", 6), T(u"ARCHIVE_TYPE_ID", 16)},
                {},
                {keys({u"USE_ID"})}};
  t << TableDef{s(u"SYS_COMPANY_TABLE"),
                QList<ColumnDef>{T(u"COMPANY_ID", 6), T(u"COMPANY_NAME", 40), T(u"COMPANY_ADDRESS", 50),
                                 T(u"COMPANY_POSTCODE", 10), T(u"COMPANY_PHONE", 20), T(u"NOTE", 40)} +
                    audit(),
                keys({u"COMPANY_ID"}),
                {}};
  t << TableDef{
      s(u"SYS_ID_TABLE"), {T(u"NAME_ID", kWidthNameId), T(u"AUTO_ID", kWidthAutoId)}, keys({u"NAME_ID"}), {}};

  // B. catalogue
  t << TableDef{s(u"ZR_ARCHIVE_TYPE_TABLE"),
                QList<ColumnDef>{T(u"ARCHIVE_TYPE_ID", 16), T(u"ARCHIVE_TYPE_NAME", 20), I(u"ORDER_ID"),
                                 T(u"PRIOR_ID", 16), T(u"NOTE", 40)} +
                    audit(),
                keys({u"ARCHIVE_TYPE_ID"}),
                {keys({u"PRIOR_ID", u"ORDER_ID"})}};
  t << TableDef{
      s(u"ZR_ARCHIVE_NODE_NAME_TABLE"), {I(u"ORDER_ID"), T(u"NODE_NAME", 100), T(u"NOTE", 80)}, {}, {}};
  for (const char16_t *name : {u"SYS_ARCHIVE_FIELD_TABLE", u"SYS_ARCHIVE_DETAIL_FIELD_TABLE"})
    t << TableDef{s(name),
                  {T(u"ARCHIVE_TYPE_ID", 16), T(u"FIELD_NAME", 30), T(u"FIELD_DISPLAY_NAME", 20),
                   T(u"FIELD_TYPE", 10), I(u"FIELD_WIDTH"), I(u"FIELD_DISPLAY_WIDTH"),
                   T(u"FIELD_FIND_TYPE", 10), T(u"FIELD_ORDER_TYPE", 10), I(u"FIELD_ORDER"),
                   I(u"FIELD_ITERATION")},
                  keys({u"ARCHIVE_TYPE_ID", u"FIELD_NAME"}),
                  {}};

  // C. records
  t << TableDef{s(u"ZR_ARCHIVE_MASTER_TABLE"),
                volumeColumns(160, false),
                keys({u"ARCHIVE_RECORD_ID"}),
                {keys({u"ARCHIVE_TYPE_ID", u"ARCHIVE_NAME"}), keys({u"ARCHIVE_ID"})}};
  t << TableDef{s(u"ZR_TARCHIVE_MASTER_TABLE"),
                volumeColumns(160, false),
                keys({u"ARCHIVE_RECORD_ID"}),
                {keys({u"ARCHIVE_TYPE_ID", u"ARCHIVE_NAME"})}};
  t << TableDef{s(u"ZR_ARCHIVE_MASTER_SHOW_TABLE"), volumeColumns(50, true), {}, {}};
  {
    QList<ColumnDef> c;
    for (int i = 1; i <= 12; ++i)
      c << ColumnDef::text(u"TEXT_FIELD" % QString::number(i), i <= 10 ? 50 : 160);
    c << T(u"TEXT_NOTE", 255);
    t << TableDef{s(u"ZR_INTO_ARCHIVE_SHOW_TABLE"), c, {}, {}};
  }
  {
    QList<ColumnDef> c{T(u"ARCHIVE_RECORD_ID", 16), T(u"DETAIL_RECORD_ID", 16), T(u"DETAIL_ARCHIVE_ID", 30),
                       T(u"DETAIL_ARCHIVE_NAME", 180)};
    for (int i = 1; i <= 4; ++i)
      c << ColumnDef::date(u"DETAIL_DATE_FIELD" % QString::number(i));
    for (int i = 1; i <= 12; ++i)
      c << ColumnDef::text(u"DETAIL_TEXT_FIELD" % QString::number(i), i <= 10 ? 50 : 160);
    c << T(u"DETAIL_TEXT_NOTE", 255);
    for (int i = 1; i <= 6; ++i)
      c << ColumnDef::real(u"DETAIL_NUMBER_FIELD" % QString::number(i));
    c << audit();
    t << TableDef{s(u"ZR_ARCHIVE_DETAIL_TABLE"),
                  c,
                  keys({u"DETAIL_RECORD_ID"}),
                  {keys({u"ARCHIVE_RECORD_ID", u"DETAIL_ARCHIVE_ID"})}};
  }
  for (const char16_t *name : {u"ZR_INTO_ARCHIVE_FIELD_TABLE", u"ZR_INTO_ARCHIVE_DETAIL_FIELD_TABLE"})
    t << TableDef{s(name),
                  {T(u"ARCHIVE_TYPE_ID", 16), T(u"TABLE_FIELD_NAME", 30), T(u"EXCEL_FIELD_NAME", 30),
                   F(u"FIELD_ORDER")},
                  keys({u"ARCHIVE_TYPE_ID", u"TABLE_FIELD_NAME"}),
                  {}};

  // D. attachments
  t << TableDef{s(u"ZR_MARCHIVE_MASTER_FILE_TABLE"),
                QList<ColumnDef>{T(u"FILE_RECORD_ID", 16), T(u"ARCHIVE_RECORD_ID", 16),
                                 T(u"FILE_TITLE_NAME", 255), I(u"FILE_ORDER"), T(u"NOTE", 255)} +
                    audit(),
                keys({u"FILE_RECORD_ID", u"ARCHIVE_RECORD_ID"}),
                {keys({u"ARCHIVE_RECORD_ID"})}};
  t << TableDef{s(u"ZR_MARCHIVE_MASTER_PICTURE_TABLE"),
                QList<ColumnDef>{T(u"ARCHIVE_RECORD_ID", 16), T(u"PICTURE_RECORD_ID", 16),
                                 T(u"PICTURE_TITLE_NAME", 255), I(u"PICTURE_ORDER"), T(u"NOTE", 255)} +
                    audit(),
                keys({u"ARCHIVE_RECORD_ID", u"PICTURE_RECORD_ID"}),
                {}};
  t << TableDef{s(u"ZR_DARCHIVE_MASTER_FILE_TABLE"),
                QList<ColumnDef>{T(u"FILE_RECORD_ID", 16), T(u"DETAIL_RECORD_ID", 16),
                                 T(u"FILE_TITLE_NAME", 255), I(u"FILE_ORDER"), T(u"NOTE", 255)} +
                    audit(),
                keys({u"FILE_RECORD_ID"}),
                {keys({u"DETAIL_RECORD_ID"})}};
  t << TableDef{s(u"ZR_DARCHIVE_MASTER_PICTURE_TABLE"),
                QList<ColumnDef>{T(u"DETAIL_RECORD_ID", 16), T(u"PICTURE_RECORD_ID", 16),
                                 T(u"PICTURE_TITLE_NAME", 255), I(u"PICTURE_ORDER"), T(u"NOTE", 255)} +
                    audit(),
                keys({u"DETAIL_RECORD_ID", u"PICTURE_RECORD_ID"}),
                {}};
  t << TableDef{s(u"ZR_MARCHIVE_DETAIL_FILE_TABLE"),
                {T(u"FILE_RECORD_ID", 16), B(u"FILE_SAVE_NAME")},
                keys({u"FILE_RECORD_ID"}),
                {}};
  t << TableDef{s(u"ZR_DARCHIVE_DETAIL_FILE_TABLE"),
                {T(u"FILE_RECORD_ID", 16), B(u"FILE_SAVE_NAME")},
                {},
                {keys({u"FILE_RECORD_ID"})}};
  t << TableDef{s(u"ZR_DARCHIVE_DETAIL_PICTURE_TABLE"),
                {T(u"PICTURE_RECORD_ID", 16), B(u"PICTURE_SAVE_NAME")},
                {},
                {keys({u"PICTURE_RECORD_ID"})}};

  // E. lending
  t << TableDef{s(u"ZR_ARCHIVE_LEND_TABLE"),
                QList<ColumnDef>{T(u"ARCHIVE_RECORD_ID", 16), T(u"LEND_ID", 16), D(u"LEND_DATE"),
                                 T(u"LEND_NAME", 20), D(u"RETURN_LIMIT_DATE"), D(u"RETURN_DATE"),
                                 T(u"NOTE", 160)} +
                    audit(),
                keys({u"LEND_ID", u"ARCHIVE_RECORD_ID"}),
                {keys({u"ARCHIVE_RECORD_ID"})}};
  t << TableDef{s(u"ZR_LEND_NAME_TABLE"),
                QList<ColumnDef>{T(u"LEND_NAME", kWidthLendName)} + audit(),
                keys({u"LEND_NAME"}),
                {}};

  // F. value lists
  for (const bool detail : {false, true})
    for (int i = 1; i <= 12; ++i) {
      const QString col =
          (detail ? QStringLiteral("DETAIL_TEXT_FIELD") : QStringLiteral("TEXT_FIELD")) + QString::number(i);
      const QString name =
          (detail ? QStringLiteral("ZR_DETAIL_TEXT_FIELD") : QStringLiteral("ZR_TEXT_FIELD")) +
          QString::number(i) + QStringLiteral("_TABLE");
      t << TableDef{name,
                    QList<ColumnDef>{T(u"ARCHIVE_TYPE_ID", 16), ColumnDef::text(col, i <= 10 ? 50 : 160)} +
                        audit(),
                    QStringList{QStringLiteral("ARCHIVE_TYPE_ID"), col},
                    {}};
    }

  // G. printing
  t << TableDef{s(u"SYS_PRINT_NAME_TABLE"),
                {T(u"PRINT_INDEX", 80), T(u"PRINT_ID", 26), T(u"PRINT_NAME", 180), T(u"PRINT_TYPE", 2)},
                keys({u"PRINT_INDEX", u"PRINT_ID"}),
                {keys({u"PRINT_ID"})}};
  for (const char16_t *name : {u"SYS_PRINT_DATA_TABLE", u"SYS_PRINT_ARCHIVE_MASTER_TABLE"})
    t << TableDef{s(name), {T(u"PRINT_ID", 26), B(u"PRINT_TABLE")}, {}, {keys({u"PRINT_ID"})}};
  t << TableDef{s(u"SYS_PRINT_TABLE"),
                {T(u"PRINT_NAME", kWidthMarginReport), F(u"TOP_MARGIN"), F(u"BUTTOM_MARGIN"),
                 F(u"LEFT_MARGIN"), F(u"RIGHT_MARGIN")},
                keys({u"PRINT_NAME"}),
                {}};

  // H. per-user grid layouts
  for (const char16_t *name :
       {u"SYS_ARCHIVE_DBGRID_TABLE", u"SYS_ARCHIVE_DETAIL_TABLE", u"SYS_ARCHIVE_LEND_TABLE",
        u"SYS_QUERY_ARCHIVE_DETAIL_TABLE", u"SYS_QUERY_ARCHIVE_LEND_TABLE",
        u"SYS_SELECT_ARCHIVE_DETAIL_FILE_TABLE", u"SYS_SELECT_ARCHIVE_FILE_TABLE",
        u"SYS_SELECT_ARCHIVE_MASTER_FILE_TABLE", u"SYS_SELECT_ARCHIVE_PICTURE_TABLE"})
    t << TableDef{s(name),
                  {T(u"USE_ID", 6), T(u"FORM_NAME", kWidthFormName), T(u"DBGRID_NAME", kWidthGridName),
                   T(u"FIELD_NAME", kWidthGridField), I(u"FIELD_WIDTH"), I(u"FIELD_ORDER")},
                  keys({u"USE_ID", u"FORM_NAME", u"DBGRID_NAME", u"FIELD_NAME"}),
                  {}};

  // I. maintenance: no statement reads or writes it; its columns are ours to choose.
  t << TableDef{s(u"SYS_BACK_TABLE"), {T(u"BACK_ID", 16), T(u"BACK_NAME", 255), D(u"BACK_DATE")}, {}, {}};
  return t;
}

} // namespace

const QList<zr::sql::TableDef> &archiveSchema() {
  static const QList<zr::sql::TableDef> t = build();
  return t;
}

const zr::sql::TableDef *archiveTable(QStringView name) {
  for (const auto &t : archiveSchema())
    if (name.compare(t.name, Qt::CaseInsensitive) == 0)
      return &t;
  return nullptr;
}

} // namespace zr::db
