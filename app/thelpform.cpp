#include "app/thelpform.h"

#include "platform/ui/common.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtCore/QUrl>
#include <QtWidgets/QTextBrowser>
#include <QtWidgets/QVBoxLayout>

namespace zr::app {

QString helpDirectory() {
  const QString installed = QCoreApplication::applicationDirPath() + u"/../share/zrarchive/help/ZRDossiers";
  if (QFileInfo(installed).isDir())
    return QDir(installed).absolutePath();
#ifdef ZR_SOURCE_HELP
  const QString source = QStringLiteral(ZR_SOURCE_HELP);
  if (QFileInfo(source).isDir())
    return source;
#endif
  return {};
}

QString helpPage(int topic) {
  const QString dir = helpDirectory();
  if (dir.isEmpty())
    return {};
  const QString page = dir + u'/' + QString::number(topic) + u".html";
  if (QFileInfo(page).isFile())
    return page;
  const QString contents = dir + u"/index.html";
  return QFileInfo(contents).isFile() ? contents : QString();
}

THelpForm::THelpForm(QWidget *parent) : QWidget(parent, Qt::Window) {
  setObjectName(u"HelpForm"_qs);
  setWindowTitle(u"帮助"_qs);
  resize(640, 480);
  auto *v = new QVBoxLayout(this);
  Browser = new QTextBrowser(this);
  Browser->setOpenLinks(true);
  v->addWidget(Browser);
}

bool THelpForm::showTopic(int topic) {
  const QString page = helpPage(topic);
  if (page.isEmpty()) {
    zr::ui::ShowWarning(u"找不到帮助文件ZRDossiers"_qs);
    return false;
  }
  m_topic = topic;
  Browser->setSearchPaths({QFileInfo(page).absolutePath()});
  Browser->setSource(QUrl::fromLocalFile(page));
  show();
  raise();
  activateWindow();
  return true;
}

} // namespace zr::app
