#pragma once
// The help pages: one HTML page per topic number, shipped with the program in help/ZRDossiers.
#include <QtWidgets/QWidget>

class QTextBrowser;

namespace zr::app {

// The folder of the help pages: installed beside the program, else the source tree of this
// build. Empty when neither exists.
QString helpDirectory();
// The page of a topic ("<dir>/<topic>.html"), the contents page when the topic has none.
QString helpPage(int topic);

class THelpForm : public QWidget {
  Q_OBJECT
public:
  explicit THelpForm(QWidget *parent = nullptr);
  // Shows the topic's page; false when no page could be found.
  bool showTopic(int topic);
  int topic() const { return m_topic; }
  QTextBrowser *Browser;

private:
  int m_topic = 0;
};

} // namespace zr::app
