#include "framework/forms/tzrsetform.h"

#include "db/globals.h"
#include "framework/forms/tzrchild.h"
#include "platform/sql/database.h"

#include <QtGui/QFont>
#include <QtWidgets/QAbstractSpinBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QTextEdit>

namespace zr::fw {

TZRSetForm::TZRSetForm(QWidget *window) : QObject(window), m_window(window) {}

void TZRSetForm::setImeNames(const QString &name) {
  m_ime = name;
  for (QWidget *w : m_window->findChildren<QWidget *>())
    if (qobject_cast<QLineEdit *>(w) || qobject_cast<QComboBox *>(w) || qobject_cast<QTextEdit *>(w) ||
        qobject_cast<QPlainTextEdit *>(w) || qobject_cast<QAbstractSpinBox *>(w))
      w->setProperty("ImeName", name);
}

QFont frameworkFont() {
  return QFont(TZRChild::chineseFamily(), 9);
}

void prepareFrameworkWindow(QWidget *window, TZRChild *child, TZRSetForm *set, const QString &imeName) {
  const QString db = QString::fromUtf16(zr::sql::kDatabaseName);
  set->DataBaseName = db;
  set->EditColor = int(zr::db::kDefaultEditColor);
  set->ColorOnFocus = int(zr::db::kDefaultFocusColor);
  child->DataBaseName = db;
  child->Language = QStringLiteral("GB");
  child->Color = int(zr::db::kDefaultBrowseColor);
  child->LabelColor = int(zr::db::kDefaultLabelColor);
  child->EditColor = int(zr::db::kDefaultEditColor);
  child->ColorOnFocus = int(zr::db::kDefaultFocusColor);
  window->setFont(frameworkFont());
  child->ApplyLook(window);
  set->setImeNames(imeName);
  zr::db::WorkingDate = zr::db::today();
}

} // namespace zr::fw
