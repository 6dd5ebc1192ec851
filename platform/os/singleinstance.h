#pragma once
// One running program per workstation: a lock file claims the name, and a local socket under
// the same name lets a second start ask the running one to come forward.
#include <QtCore/QLockFile>
#include <QtCore/QObject>
#include <memory>

class QLocalServer;

namespace zr::os {

class SingleInstance : public QObject {
  Q_OBJECT
public:
  // name: any text (the application title); it is hashed into file and socket names.
  explicit SingleInstance(const QString &name, QObject *parent = nullptr);
  ~SingleInstance() override;

  // True when this process now owns the name. A stale lock of a crashed run is taken over.
  bool acquire();
  // Asks the owner to come forward; false when no owner answered.
  bool activateRunning(int timeoutMs = 2000) const;

  QString lockPath() const;
  QString serverName() const;

signals:
  // A later start asked this one to come forward.
  void activationRequested();

private:
  QString m_key;
  std::unique_ptr<QLockFile> m_lock;
  QLocalServer *m_server = nullptr;
};

} // namespace zr::os
