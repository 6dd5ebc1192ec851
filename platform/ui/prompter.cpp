#include "platform/ui/prompter.h"

#include <QtWidgets/QApplication>
#include <QtWidgets/QFileDialog>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QPushButton>

namespace zr::ui {
namespace {

// Constant-initialised: no guard, usable from any static destructor order.
constinit std::unique_ptr<Prompter> g_current;
std::unique_ptr<Prompter> &current() {
  return g_current;
}

QWidget *ownerFor(QWidget *given) {
  if (given)
    return given;
  if (QWidget *w = QApplication::activeWindow())
    return w;
  return QApplication::activeModalWidget();
}

} // namespace

Prompter &prompter() {
  auto &p = current();
  if (!p)
    p = std::make_unique<QtPrompter>();
  return *p;
}

std::unique_ptr<Prompter> setPrompter(std::unique_ptr<Prompter> p) {
  auto old = std::move(current());
  current() = std::move(p);
  return old;
}

Answer QtPrompter::message(const MessageRequest &r) {
  QMessageBox box(ownerFor(r.owner));
  box.setWindowTitle(r.caption);
  box.setText(r.text);
  switch (r.icon) {
  case Icon::Information: box.setIcon(QMessageBox::Information); break;
  case Icon::Warning: box.setIcon(QMessageBox::Warning); break;
  case Icon::Error: box.setIcon(QMessageBox::Critical); break;
  case Icon::Question: box.setIcon(QMessageBox::Question); break;
  case Icon::None: break;
  }
  // Chinese captions on the buttons, whatever translations are installed.
  auto add = [&box](QMessageBox::StandardButton b, const QString &text) { box.addButton(b)->setText(text); };
  switch (r.buttons) {
  case Buttons::Ok: add(QMessageBox::Ok, QStringLiteral("确定")); break;
  case Buttons::OkCancel:
    add(QMessageBox::Ok, QStringLiteral("确定"));
    add(QMessageBox::Cancel, QStringLiteral("取消"));
    break;
  case Buttons::YesNo:
    add(QMessageBox::Yes, QStringLiteral("是"));
    add(QMessageBox::No, QStringLiteral("否"));
    break;
  case Buttons::YesNoCancel:
    add(QMessageBox::Yes, QStringLiteral("是"));
    add(QMessageBox::No, QStringLiteral("否"));
    add(QMessageBox::Cancel, QStringLiteral("取消"));
    break;
  }
  if (r.topMost)
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
  box.activateWindow();
  switch (box.exec()) {
  case QMessageBox::Yes: return Answer::Yes;
  case QMessageBox::No: return Answer::No;
  case QMessageBox::Cancel: return Answer::Cancel;
  default: return r.buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
  }
}

QString QtPrompter::qtFilter(const QString &filter) {
  if (filter.isEmpty() || filter.contains(u'('))
    return filter;
  const QStringList parts = filter.split(u'|');
  QStringList out;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
    out << parts[i] % u" (" % QString(parts[i + 1]).replace(u';', u' ') % u')';
  return out.join(u";;");
}

QString QtPrompter::file(const FileRequest &r) {
  QWidget *owner = ownerFor(r.owner);
  switch (r.kind) {
  case FileDialogKind::Open:
    return QFileDialog::getOpenFileName(owner, r.caption, r.directory, qtFilter(r.filter));
  case FileDialogKind::Save:
    return QFileDialog::getSaveFileName(owner, r.caption, r.directory, qtFilter(r.filter));
  case FileDialogKind::Directory: return QFileDialog::getExistingDirectory(owner, r.caption, r.directory);
  }
  return {};
}

Answer ScriptedPrompter::message(const MessageRequest &r) {
  m_entries.append({r.caption, r.text, r.icon, r.buttons});
  if (!m_answers.isEmpty())
    return m_answers.takeFirst();
  if (r.buttons != Buttons::Ok)
    ++m_unexpected;
  return r.buttons == Buttons::YesNo || r.buttons == Buttons::YesNoCancel ? Answer::Yes : Answer::Ok;
}

QString ScriptedPrompter::file(const FileRequest &r) {
  m_fileRequests.append(r);
  if (!m_files.isEmpty())
    return m_files.takeFirst();
  ++m_unexpected;
  return {};
}

QStringList ScriptedPrompter::texts() const {
  QStringList out;
  for (const Entry &e : m_entries)
    out << e.text;
  return out;
}

void ScriptedPrompter::clear() {
  m_entries.clear();
  m_fileRequests.clear();
  m_answers.clear();
  m_files.clear();
  m_unexpected = 0;
}

ScriptedPrompterGuard::ScriptedPrompterGuard() {
  auto s = std::make_unique<ScriptedPrompter>();
  m_scripted = s.get();
  m_previous = setPrompter(std::move(s));
}

ScriptedPrompterGuard::~ScriptedPrompterGuard() {
  setPrompter(std::move(m_previous));
}

} // namespace zr::ui
