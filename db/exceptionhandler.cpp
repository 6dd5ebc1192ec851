#include "db/exceptionhandler.h"

#include "db/errortext.h"
#include "platform/sql/errors.h"
#include "platform/ui/common.h"

#include <new>

namespace zr::db {
namespace {

// Set once a translated message was shown, so the same failure is not reported twice.
bool ErrorShown = false;

// The engine gives every error at least one record.
void engineError(const zr::sql::EngineError &e) {
  const QString translated = translatedMessage(e.first());
  zr::ui::ShowWarning(translated.isEmpty() ? QString::fromUtf16(kGenericDatabaseError) : translated);
  ErrorShown = !translated.isEmpty();
  if (!ErrorShown)
    zr::ui::ShowError(technicalText(e));
  ErrorShown = false;
}

void conversionError(const zr::sql::ConversionError &e) {
  const QString m = e.message();
  if (m.contains(u"is not a valid date"))
    zr::ui::ShowWarning(QStringLiteral("请按格式YYYY-MM-DD 输入日期"));
  else if (m.contains(u"invalid or incompatible with argument"))
    zr::ui::ShowWarning(QStringLiteral("指定的格式与参数类型不匹配!"));
  else
    zr::ui::ShowWarning(m);
}

} // namespace

void HandleException(QObject *, std::exception_ptr error) {
  ErrorShown = false;
  if (!error)
    return;
  try {
    std::rethrow_exception(error);
  } catch (const EAbort &) {
  } catch (const zr::sql::EngineError &e) {
    engineError(e);
  } catch (const zr::sql::ConversionError &e) {
    conversionError(e);
  } catch (const std::range_error &e) {
    zr::ui::ShowError(u"ERangeError:" % QString::fromUtf8(e.what()));
  } catch (const std::out_of_range &e) {
    zr::ui::ShowError(u"ERangeError:" % QString::fromUtf8(e.what()));
  } catch (const std::bad_alloc &) {
    zr::ui::ShowError(QStringLiteral("EOutOfMemory:内存不足"));
  } catch (const std::exception &e) {
    zr::ui::ShowError(u"Exception:" % QString::fromUtf8(e.what()));
  } catch (...) {
    zr::ui::ShowError(QStringLiteral("Exception:未知错误"));
  }
}

} // namespace zr::db
