#pragma once
// TZRSetForm: the window's input-method and colour settings for its input controls.
#include <QtCore/QObject>
#include <QtCore/QString>

class QWidget;

namespace zr::fw {

class TZRSetForm : public QObject {
  Q_OBJECT
public:
  explicit TZRSetForm(QWidget *window);
  int ScreenWidth = 0; // kept for the windows that set it
  QString DataBaseName;
  int EditColor = 0;
  int ColorOnFocus = 0;
  // Gives every input control of the window this input-method name (empty clears it).
  void setImeNames(const QString &name);
  QString imeName() const { return m_ime; }

private:
  QWidget *m_window;
  QString m_ime;
};

// What every framework window does when it is made: database name, shared colours and language
// on its TZRChild and TZRSetForm, key, close and show handling, the look, the input-method
// names, and today's working date.
void prepareFrameworkWindow(QWidget *window, class TZRChild *child, TZRSetForm *set, const QString &imeName);
// The Chinese font every framework window shows its texts in.
QFont frameworkFont();

} // namespace zr::fw
