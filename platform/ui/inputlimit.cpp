#include "platform/ui/inputlimit.h"

#include "platform/os/gbk.h"

#include <QtWidgets/QLineEdit>

namespace zr::ui {

GbkLimitValidator::GbkLimitValidator(int maxBytes, bool upperCase, QObject *parent)
    : QValidator(parent), m_maxBytes(maxBytes), m_upper(upperCase) {}

QValidator::State GbkLimitValidator::validate(QString &input, int &) const {
  if (m_upper)
    input = input.toUpper();
  if (zr::gbk::firstUnencodable(input) >= 0)
    return Invalid;
  return zr::gbk::byteLength(input) <= m_maxBytes ? Acceptable : Invalid;
}

void limitInput(QLineEdit *edit, int maxBytes, bool upperCase) {
  edit->setValidator(new GbkLimitValidator(maxBytes, upperCase, edit));
}

} // namespace zr::ui
