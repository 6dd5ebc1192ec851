#pragma once
// Every message box, question and file dialog goes through one prompter, so tests can install a
// scripted one that records each text and answers from a queue instead of blocking on a window.
#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QStringList>
#include <memory>

class QWidget;

namespace zr::ui {

enum class Icon { None, Information, Warning, Error, Question };
enum class Buttons { Ok, YesNo, OkCancel, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

struct MessageRequest {
  QWidget *owner = nullptr; // nullptr: the active window, else the main window
  QString caption;
  QString text;
  Icon icon = Icon::None;
  Buttons buttons = Buttons::Ok;
  bool topMost = true;
};

enum class FileDialogKind { Open, Save, Directory };

struct FileRequest {
  QWidget *owner = nullptr;
  FileDialogKind kind = FileDialogKind::Open;
  QString caption;
  QString directory; // start folder or proposed file name
  QString filter;    // "txt|*.txt" pairs are accepted as well as Qt's "Text (*.txt)"
};

class Prompter {
public:
  virtual ~Prompter() = default;
  virtual Answer message(const MessageRequest &request) = 0;
  // The chosen path, or empty when cancelled.
  virtual QString file(const FileRequest &request) = 0;
};

// The prompter in use; a Qt one unless a test installed another.
Prompter &prompter();
// Installs a prompter and returns the previous one (nullptr restores the Qt prompter).
std::unique_ptr<Prompter> setPrompter(std::unique_ptr<Prompter> p);

// Real windows, through QMessageBox and QFileDialog.
class QtPrompter final : public Prompter {
public:
  Answer message(const MessageRequest &request) override;
  QString file(const FileRequest &request) override;
  // "txt|*.txt|All|*.*" becomes "txt (*.txt);;All (*.*)"; Qt filters pass unchanged.
  static QString qtFilter(const QString &filter);
};

// For tests: records every request and answers from queues. An empty queue answers the first
// button (Ok or Yes) and empty file names, and counts the request as unexpected.
class ScriptedPrompter final : public Prompter {
public:
  struct Entry {
    QString caption;
    QString text;
    Icon icon;
    Buttons buttons;
  };

  Answer message(const MessageRequest &request) override;
  QString file(const FileRequest &request) override;

  void queueAnswer(Answer a) { m_answers.append(a); }
  void queueFile(const QString &path) { m_files.append(path); }

  const QList<Entry> &entries() const { return m_entries; }
  QStringList texts() const;
  const QList<FileRequest> &fileRequests() const { return m_fileRequests; }
  int unexpected() const { return m_unexpected; }
  void clear();

private:
  QList<Entry> m_entries;
  QList<FileRequest> m_fileRequests;
  QList<Answer> m_answers;
  QStringList m_files;
  int m_unexpected = 0;
};

// Installs a scripted prompter for the lifetime of the guard; tests reach it through get().
class ScriptedPrompterGuard {
public:
  ScriptedPrompterGuard();
  ~ScriptedPrompterGuard();
  ScriptedPrompter &get() { return *m_scripted; }
  ScriptedPrompter *operator->() { return m_scripted; }

private:
  ScriptedPrompter *m_scripted;
  std::unique_ptr<Prompter> m_previous;
};

} // namespace zr::ui
