#pragma once
// TZRAppForm: a data window with the shared tool bar. Every button has its fixed caption; the
// function key named in the caption clicks it.
#include "framework/forms/tzrbaseform.h"

class QHBoxLayout;
class QToolButton;
class QVBoxLayout;

namespace zr::fw {

class TZRAppForm : public TZRBaseForm {
  Q_OBJECT
public:
  explicit TZRAppForm(QWidget *owner = nullptr);

  QWidget *CoolBar1;
  QWidget *ToolBar1;
  QToolButton *button_add, *button_edit, *button_delete, *button_save, *button_cancel, *button_find;
  QToolButton *button_First, *button_Prior, *button_next, *button_Last, *Button_Other, *button_check;
  QToolButton *button_print, *button_close;
  // The tool bar's buttons in their order.
  QList<QToolButton *> toolButtons() const { return m_buttons; }

protected:
  void showEvent(QShowEvent *e) override;
  QVBoxLayout *m_layout;

private:
  QToolButton *addButton(const char *name, const QString &caption, int image, bool visible = true,
                         int tag = 0);
  QList<QToolButton *> m_buttons;
  QHBoxLayout *m_row;
};

} // namespace zr::fw
