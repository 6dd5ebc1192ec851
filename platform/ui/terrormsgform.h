#pragma once
// The message-log window: bulk operations list the rows or tables they could not handle, and
// the user may save the list as a text file.
#include <QtWidgets/QDialog>

class QPlainTextEdit;
class QPushButton;

namespace zr::ui {

class TErrorMsgForm : public QDialog {
  Q_OBJECT
public:
  explicit TErrorMsgForm(QWidget *parent = nullptr);

  void addLine(const QString &line);
  QStringList lines() const;
  // The name the save dialog proposes.
  void setFileName(const QString &name) { m_fileName = name; }

  QPlainTextEdit *Memo1;
  QPushButton *Button_Save, *Button_Close;

  void Button_SaveClick();

private:
  QString m_fileName;
};

} // namespace zr::ui
