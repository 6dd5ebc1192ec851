#pragma once
// For unattended runs (ZR_PROMPT_LOG=file): every message goes to the file, one per line, and is
// answered without a window (Ok, No, no file), so a scripted start never waits for a click.
#include "platform/ui/prompter.h"

namespace zr::app {

class LogPrompter final : public zr::ui::Prompter {
public:
  explicit LogPrompter(QString path) : m_path(std::move(path)) {}
  zr::ui::Answer message(const zr::ui::MessageRequest &request) override;
  QString file(const zr::ui::FileRequest &request) override;

private:
  QString m_path;
};

// Installs the log prompter when ZR_PROMPT_LOG names a file.
void installPromptLogFromEnvironment();

} // namespace zr::app
