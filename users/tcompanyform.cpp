#include "users/tcompanyform.h"

#include "controls/zredits.h"
#include "db/globals.h"
#include "db/queries.h"
#include "framework/zrquery.h"
#include "platform/ui/common.h"

#include <QtWidgets/QFormLayout>
#include <QtWidgets/QToolButton>

namespace zr::users {

using zr::fw::TFieldsData;

namespace {

TFieldsData column(const char16_t *field, const char16_t *caption, const char16_t *kind, bool required,
                   const char16_t *find, bool visible) {
  TFieldsData c;
  c.FieldName = QString::fromUtf16(field);
  c.Caption = QString::fromUtf16(caption);
  c.DataKind = QString::fromUtf16(kind);
  c.Required = required;
  c.FindKind = QString::fromUtf16(find);
  c.Visible = visible;
  return c;
}

} // namespace

TCompanyForm::TCompanyForm(QWidget *owner) : zr::fw::TZRDForm(owner) {
  setObjectName(QStringLiteral("CompanyForm"));
  setWindowTitle(QStringLiteral("单位资料编辑窗口"));
  setFixedSize(500, 300);
  ProgramGroup = QStringLiteral("档案管理");
  ProgramName = QStringLiteral("单位名称录入编辑");
  button_delete->hide();
  button_find->hide();
  button_print->hide();

  Query->setTableName(QStringLiteral("SYS_COMPANY_TABLE"), true);
  Query->setSql(QStringLiteral("SELECT  *  FROM  SYS_COMPANY_TABLE"));
  const QString cols =
      QStringLiteral("COMPANY_ID,COMPANY_NAME,COMPANY_ADDRESS,COMPANY_POSTCODE,COMPANY_PHONE,NOTE,"
                     "CREATE_NAME,CREATE_DATE,EDIT_NAME,EDIT_DATE");
  QStringList params, sets;
  for (const QString &c : cols.split(u','))
    params << u':' + c, sets << c % u" = :" % c;
  UpdateSQL1 = {
      u"INSERT INTO SYS_COMPANY_TABLE(" % cols % u") VALUES(" % params.join(u',') % u')',
      u"UPDATE SYS_COMPANY_TABLE SET " % sets.join(u", ") %
          u" WHERE COMPANY_ID = :OLD_COMPANY_ID AND COMPANY_NAME = :OLD_COMPANY_NAME",
      QStringLiteral("DELETE FROM SYS_COMPANY_TABLE WHERE COMPANY_ID = :OLD_COMPANY_ID AND COMPANY_NAME = "
                     ":OLD_COMPANY_NAME")};
  Query->setUpdateObject(UpdateSQL1);
  Query->SetColumnList({column(u"COMPANY_ID", u"单位编号", u"C", true, u"", false),
                        column(u"COMPANY_NAME", u"单位名称", u"C", true, u"T", true),
                        column(u"COMPANY_ADDRESS", u"单位地址", u"C", false, u"T", true),
                        column(u"COMPANY_POSTCODE", u"邮编", u"C", false, u"T", true),
                        column(u"COMPANY_PHONE", u"电话", u"C", false, u"T", true),
                        column(u"NOTE", u"备注", u"C", false, u"", true),
                        column(u"CREATE_NAME", u"建档人员", u"C", false, u"", true),
                        column(u"CREATE_DATE", u"建档日期", u"D", false, u"", true),
                        column(u"EDIT_NAME", u"修改人员", u"C", false, u"", true),
                        column(u"EDIT_DATE", u"修改日期", u"D", false, u"", true)});
  zr::fw::TCheckData unique;
  unique.Items[0] = {QStringLiteral("COMPANY_ID"), QStringLiteral("COMPANY_ID"), {}, {}, QStringLiteral("C")};
  unique.SelectSql = QStringLiteral("SELECT COMPANY_ID FROM SYS_COMPANY_TABLE WHERE ");
  unique.KeyField = QStringLiteral("COMPANY_ID");
  unique.Message = QStringLiteral("单位重复");
  Query->SetDuplicateChecks({unique});
  refreshStamps();
  Query->ActiveControl = QStringLiteral("ZRDBEdit1");

  auto *form = new QFormLayout(Panel1);
  auto edit = [&](const char16_t *name, const char16_t *field, const char16_t *caption) {
    auto *e = new zr::controls::TZRDBEdit(Panel1);
    e->setObjectName(QString::fromUtf16(name));
    e->setDataSource(Query, QString::fromUtf16(field));
    form->addRow(QString::fromUtf16(caption), e);
    return e;
  };
  ZRDBEdit1 = edit(u"ZRDBEdit1", u"COMPANY_NAME", u"单位名称");
  ZRDBEdit3 = edit(u"ZRDBEdit3", u"COMPANY_ADDRESS", u"单位地址");
  ZRDBEdit4 = edit(u"ZRDBEdit4", u"COMPANY_POSTCODE", u"邮编");
  ZRDBEdit5 = edit(u"ZRDBEdit5", u"COMPANY_PHONE", u"电话");
  ZRDBEdit2 = edit(u"ZRDBEdit2", u"NOTE", u"备注");
}

// Generated values and stamps carry the user and the working date of the moment.
void TCompanyForm::refreshStamps() {
  Query->SetInsertDefaults({{QStringLiteral("COMPANY_ID"),
                             QStringLiteral("单位编号"),
                             {},
                             6,
                             {},
                             nullptr,
                             QStringLiteral("C"),
                             {}},
                            {QStringLiteral("CREATE_NAME"),
                             QStringLiteral("建档人员"),
                             {},
                             0,
                             zr::db::CurrentUserName,
                             nullptr,
                             QStringLiteral("A"),
                             {}},
                            {QStringLiteral("CREATE_DATE"),
                             QStringLiteral("建档日期"),
                             {},
                             0,
                             zr::db::WorkingDate,
                             nullptr,
                             QStringLiteral("A"),
                             {}}});
  Query->SetEditStamps({{QStringLiteral("EDIT_NAME"), {}, zr::db::CurrentUserName},
                        {QStringLiteral("EDIT_DATE"), {}, zr::db::WorkingDate}});
}

// The window shows its one row as soon as it appears.
void TCompanyForm::showEvent(QShowEvent *e) {
  zr::fw::TZRDForm::showEvent(e);
  if (!Query->isActive())
    Query->OpenData();
}

// The system keeps one organisation row.
void TCompanyForm::button_addClick() {
  if (Query->isActive() && !Query->isEmpty()) {
    zr::ui::ShowWarning(QStringLiteral("单位名称只能有一个"));
    return;
  }
  zr::db::WorkingDate = zr::db::today();
  refreshStamps();
  zr::fw::TZRDForm::button_addClick();
}

void TCompanyForm::button_editClick() {
  zr::db::WorkingDate = zr::db::today();
  refreshStamps();
  zr::fw::TZRDForm::button_editClick();
}

void TCompanyForm::button_saveClick() {
  zr::fw::TZRDForm::button_saveClick();
  if (!Query->Saved)
    return;
  zr::db::OrganisationName = Query->fieldByName(QStringLiteral("COMPANY_NAME"))->asString();
  emit organisationRenamed(zr::db::OrganisationName);
}

} // namespace zr::users
