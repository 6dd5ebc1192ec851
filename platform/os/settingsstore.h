#pragma once
// Workstation settings: string values under the key SOFTWARE\ZRSOFTWARE. On Windows that is the
// registry (HKEY_LOCAL_MACHINE); elsewhere an INI file in the user's configuration folder.
// ZR_SETTINGS_FILE names another INI file (tests, portable installs).
#include <QtCore/QString>
#include <optional>

namespace zr::os {

inline constexpr char16_t kSettingsKey[] = u"SOFTWARE\\ZRSOFTWARE";

class SettingsStore {
public:
  // The store of this workstation (or of ZR_SETTINGS_FILE).
  SettingsStore();
  // A store in a given INI file.
  explicit SettingsStore(const QString &iniPath);

  // Where the values live, for messages.
  QString location() const { return m_path; }

  // The value, or nothing when it is missing; an unreadable store gives nothing too and sets
  // ok to false (callers then say "注册表打开错误").
  std::optional<QString> read(const QString &name, bool *ok = nullptr) const;
  // Writes through a temporary file beside the store, so a crash never leaves it half-written.
  bool write(const QString &name, const QString &value);
  bool remove(const QString &name);

  static QString defaultLocation();

private:
  QString m_path;
};

} // namespace zr::os
