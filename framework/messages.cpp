#include "framework/messages.h"

#include "db/errortext.h"
#include "platform/ui/prompter.h"

namespace zr::fw {

void warn(const QString &text) {
  zr::ui::prompter().message({nullptr, QStringLiteral("提示信息"), text, zr::ui::Icon::Warning, zr::ui::Buttons::Ok, true});
}

bool confirm(const QString &text) {
  return zr::ui::prompter().message({nullptr, QStringLiteral("提示信息"), text + u" ?", zr::ui::Icon::Question,
                                     zr::ui::Buttons::YesNo, true}) == zr::ui::Answer::Yes;
}

void reportError(const std::exception &e) {
  if (auto *ee = dynamic_cast<const zr::sql::EngineError *>(&e)) {
    const QString t = zr::db::translatedMessage(ee->first());
    if (!t.isEmpty())
      return warn(t);
    warn(QString::fromUtf16(zr::db::kGenericDatabaseError));
    zr::ui::prompter().message({nullptr, QStringLiteral("错误信息"), zr::db::technicalText(*ee), zr::ui::Icon::Error,
                                zr::ui::Buttons::Ok, true});
    return;
  }
  if (auto *ce = dynamic_cast<const zr::sql::ConversionError *>(&e))
    return warn(zr::db::messageFor(*ce));
  zr::ui::prompter().message({nullptr, QStringLiteral("错误信息"), QString::fromUtf8(e.what()), zr::ui::Icon::Error,
                              zr::ui::Buttons::Ok, true});
}

} // namespace zr::fw
