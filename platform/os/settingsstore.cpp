#include "platform/os/settingsstore.h"

#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtCore/QSettings>
#include <QtCore/QStandardPaths>

namespace zr::os {
namespace {

// QSettings reads "/" as a group separator; the key's backslash becomes one group level per part.
QString groupOf() {
  return QString::fromUtf16(kSettingsKey).replace(u'\\', u'/');
}

std::unique_ptr<QSettings> open(const QString &path) {
#ifdef Q_OS_WIN
  if (path.isEmpty())
    return std::make_unique<QSettings>(
        QStringLiteral("HKEY_LOCAL_MACHINE\\") + QString::fromUtf16(kSettingsKey), QSettings::NativeFormat);
#endif
  auto s = std::make_unique<QSettings>(path, QSettings::IniFormat);
  s->beginGroup(groupOf());
  return s;
}

} // namespace

QString SettingsStore::defaultLocation() {
  const QByteArray env = qgetenv("ZR_SETTINGS_FILE");
  if (!env.isEmpty())
    return QString::fromLocal8Bit(env);
#ifdef Q_OS_WIN
  return {};
#else
  const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  return base + u"/zrsoftware/ZRSOFTWARE.ini";
#endif
}

SettingsStore::SettingsStore() : m_path(defaultLocation()) {}
SettingsStore::SettingsStore(const QString &iniPath) : m_path(iniPath) {}

std::optional<QString> SettingsStore::read(const QString &name, bool *ok) const {
  auto s = open(m_path);
  const bool good = s->status() == QSettings::NoError;
  if (ok)
    *ok = good;
  if (!good || !s->contains(name))
    return std::nullopt;
  return s->value(name).toString();
}

bool SettingsStore::write(const QString &name, const QString &value) {
  if (!m_path.isEmpty())
    QDir().mkpath(QFileInfo(m_path).absolutePath());
  auto s = open(m_path);
  s->setValue(name, value);
  s->sync(); // QSettings saves through QSaveFile: a temporary file renamed over the old one
  return s->status() == QSettings::NoError;
}

bool SettingsStore::remove(const QString &name) {
  auto s = open(m_path);
  s->remove(name);
  s->sync();
  return s->status() == QSettings::NoError;
}

} // namespace zr::os
