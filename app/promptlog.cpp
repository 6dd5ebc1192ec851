#include "app/promptlog.h"

#include <QtCore/QFile>

namespace zr::app {

zr::ui::Answer LogPrompter::message(const zr::ui::MessageRequest &request) {
  QFile f(m_path);
  if (f.open(QIODevice::Append | QIODevice::Text))
    f.write(request.text.toUtf8() + '\n');
  switch (request.buttons) {
  case zr::ui::Buttons::Ok:
    return zr::ui::Answer::Ok;
  case zr::ui::Buttons::OkCancel:
    return zr::ui::Answer::Cancel;
  default:
    return zr::ui::Answer::No;
  }
}

QString LogPrompter::file(const zr::ui::FileRequest &) {
  return {};
}

void installPromptLogFromEnvironment() {
  const QString path = qEnvironmentVariable("ZR_PROMPT_LOG");
  if (!path.isEmpty())
    zr::ui::setPrompter(std::make_unique<LogPrompter>(path));
}

} // namespace zr::app
