#include "framework/forms/tzrpagecontrol.h"

#include "framework/messages.h"
#include "framework/zrdatasource.h"
#include "platform/dataset/dataset.h"

#include <QtGui/QKeyEvent>
#include <QtGui/QMouseEvent>
#include <QtWidgets/QTabBar>

namespace zr::fw {

TZRPageControl::TZRPageControl(QWidget *parent) : QTabWidget(parent) {
  tabBar()->installEventFilter(this);
}

bool TZRPageControl::CanChange(bool programmatic) {
  for (const auto &ds : DataSources)
    if (ds && ds->dataSet() && ds->dataSet()->isEditing()) {
      warn(QStringLiteral("必须先保存或取消新增的数据或修改后的数据"));
      return false;
    }
  if (!programmatic && QyMaster && (!QyMaster->isActive() || QyMaster->isEmpty())) {
    warn(QStringLiteral("没有主档数据记录，不能改变页面"));
    return false;
  }
  return !OnChanging || OnChanging();
}

bool TZRPageControl::setActivePage(int index) {
  if (index == currentIndex())
    return true;
  if (!CanChange(true))
    return false;
  setCurrentIndex(index);
  return true;
}

bool TZRPageControl::eventFilter(QObject *watched, QEvent *event) {
  if (watched != tabBar())
    return QTabWidget::eventFilter(watched, event);
  switch (event->type()) {
  case QEvent::MouseButtonPress:
  case QEvent::MouseButtonDblClick: {
    auto *m = static_cast<QMouseEvent *>(event);
    const int at = tabBar()->tabAt(m->position().toPoint());
    if (m->button() == Qt::LeftButton && at >= 0 && at != currentIndex() && !CanChange(false))
      return true;
    return false;
  }
  case QEvent::KeyPress: {
    const int k = static_cast<QKeyEvent *>(event)->key();
    if ((k == Qt::Key_Left || k == Qt::Key_Right || k == Qt::Key_Up || k == Qt::Key_Down ||
         k == Qt::Key_Home || k == Qt::Key_End) &&
        count() > 1 && !CanChange(false))
      return true;
    return false;
  }
  case QEvent::Wheel:
    // Turning the wheel over the tabs would change pages without asking.
    return true;
  default: return false;
  }
}

void TZRPageControl::keyPressEvent(QKeyEvent *e) {
  const bool pageKey =
      (e->modifiers() & Qt::ControlModifier) && (e->key() == Qt::Key_Tab || e->key() == Qt::Key_Backtab ||
                                                 e->key() == Qt::Key_PageUp || e->key() == Qt::Key_PageDown);
  if (pageKey && count() > 1 && !CanChange(false)) {
    e->accept();
    return;
  }
  QTabWidget::keyPressEvent(e);
}

} // namespace zr::fw
