#include "platform/os/singleinstance.h"

#include <QtCore/QCryptographicHash>
#include <QtCore/QDir>
#include <QtNetwork/QLocalServer>
#include <QtNetwork/QLocalSocket>

namespace zr::os {

namespace {
constexpr char kActivate[] = "activate\n";
}

SingleInstance::SingleInstance(const QString &name, QObject *parent) : QObject(parent) {
  // Socket and lock names must be plain ASCII; the title is Chinese.
  m_key = u"zr-"_qs +
          QString::fromLatin1(QCryptographicHash::hash(name.toUtf8(), QCryptographicHash::Sha1).toHex().left(16));
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::lockPath() const {
  return QDir::tempPath() + u'/' + m_key + u".lock";
}

QString SingleInstance::serverName() const {
  return QDir::tempPath() + u'/' + m_key + u".socket";
}

bool SingleInstance::acquire() {
  if (m_lock)
    return true;
  auto lock = std::make_unique<QLockFile>(lockPath());
  lock->setStaleLockTime(0); // a lock is stale only when its process is gone, never by age
  if (!lock->tryLock(0))
    return false;
  m_lock = std::move(lock);
  // A socket file left by a crashed run would stop listen(); we hold the lock, so it is ours.
  QLocalServer::removeServer(serverName());
  m_server = new QLocalServer(this);
  m_server->setSocketOptions(QLocalServer::UserAccessOption);
  connect(m_server, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket *s = m_server->nextPendingConnection()) {
      connect(s, &QLocalSocket::readyRead, this, [this, s] {
        if (s->readAll().startsWith(kActivate))
          emit activationRequested();
        s->disconnectFromServer();
      });
      connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
    }
  });
  m_server->listen(serverName());
  return true;
}

bool SingleInstance::activateRunning(int timeoutMs) const {
  QLocalSocket s;
  s.connectToServer(serverName());
  if (!s.waitForConnected(timeoutMs))
    return false;
  s.write(kActivate);
  const bool ok = s.waitForBytesWritten(timeoutMs);
  s.waitForDisconnected(timeoutMs);
  return ok;
}

} // namespace zr::os
