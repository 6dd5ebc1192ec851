#pragma once
// Input limits as users observe them: a width in GBK bytes (a Chinese character takes two),
// text GBK cannot encode refused as it is typed, optionally upper-case.
#include <QtGui/QValidator>

class QLineEdit;
class QComboBox;

namespace zr::ui {

class GbkLimitValidator : public QValidator {
  Q_OBJECT
public:
  GbkLimitValidator(int maxBytes, bool upperCase, QObject *parent = nullptr);
  State validate(QString &input, int &pos) const override;

private:
  int m_maxBytes;
  bool m_upper;
};

void limitInput(QLineEdit *edit, int maxBytes, bool upperCase = false);

} // namespace zr::ui
