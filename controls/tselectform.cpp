#include "controls/tselectform.h"

#include "framework/zrdatasource.h"

#include <QtGui/QKeyEvent>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QVBoxLayout>
#include <cmath>

namespace zr::controls {

TSelectForm::TSelectForm(zr::sql::Database *db, QWidget *parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("数据选择窗口"));
  Query_Select = new zr::data::Dataset(this);
  Query_Select->setDatabase(db);
  DBGrid = new TZRNDBGrid(this);
  DBGrid->setObjectName(u"DBGrid"_qs);
  QPalette p = DBGrid->palette();
  p.setColor(QPalette::Base, zr::fw::fromTColor(16750539));
  DBGrid->setPalette(p);
  DBGrid->setAttribute(Qt::WA_InputMethodEnabled, false);
  DBGrid->setDataSource(Query_Select);
  Button_OK = new QPushButton(QStringLiteral("确认[F3]"), this);
  Button_OK->setDefault(true);
  Button_Cancel = new QPushButton(QStringLiteral("关闭[F12]"), this);
  auto *buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(Button_OK);
  buttons->addWidget(Button_Cancel);
  auto *lay = new QVBoxLayout(this);
  lay->addWidget(DBGrid);
  lay->addLayout(buttons);
  connect(Button_OK, &QPushButton::clicked, this, &QDialog::accept);
  connect(Button_Cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(DBGrid, &QAbstractItemView::doubleClicked, this, [this] {
    if (!Query_Select->isEmpty())
      Button_OK->click();
  });
}

TSelectForm::~TSelectForm() {
  Query_Select->close();
}

void TSelectForm::fitColumns() {
  if (!Query_Select->isActive() || Query_Select->fieldCount() == 0)
    return;
  const int n = Query_Select->fieldCount();
  int sum = 0;
  for (int i = 0; i < n; ++i)
    sum += Query_Select->field(i)->displayWidth;
  if (sum > 101) {
    const int a = int(std::lround(double(sum - 102) / n - 1));
    // a share below one character would shrink every column to nothing
    if (a >= 1)
      for (int i = 0; i < n; ++i) {
        int &w = Query_Select->field(i)->displayWidth;
        if (w > 10 * a)
          w = 4 * a;
        else if (w > 8 * a)
          w = 3 * a;
        else if (w > 6 * a)
          w = 2 * a;
        else if (w > 3 * a)
          w = a;
      }
  } else {
    const int grow = int(std::lround(double(102 - sum) / n - 1));
    for (int i = 0; i < n; ++i)
      Query_Select->field(i)->displayWidth += grow;
  }
  for (int i = 0; i < n; ++i)
    DBGrid->setColumnWidth(i, TZRNDBGrid::pixelsOf(Query_Select->field(i)->displayWidth));
}

void TSelectForm::showEvent(QShowEvent *e) {
  QDialog::showEvent(e);
  fitColumns();
  DBGrid->setFocus();
}

void TSelectForm::keyPressEvent(QKeyEvent *e) {
  if (e->key() == Qt::Key_F3 || e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)
    return accept();
  if (e->key() == Qt::Key_F12)
    return reject();
  QDialog::keyPressEvent(e);
}

} // namespace zr::controls
