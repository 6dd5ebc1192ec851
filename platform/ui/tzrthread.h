#pragma once
// The progress window of long loops. Everything stays on the user-interface thread: the caller
// moves the bar between its own steps and asks Stopped(), which lets pending clicks through, so
// the user can stop the loop with the window's button.
#include <QtCore/QObject>
#include <QtWidgets/QDialog>

class QProgressBar;
class QPushButton;
class QTimer;

namespace zr::ui {

// Animation shown in the window.
enum class TOptionKind { Copy = 0, Delete = 1, SearchFolder = 2 };

class AnimationWidget;

class TThreadForm : public QDialog {
  Q_OBJECT
public:
  explicit TThreadForm(QWidget *parent = nullptr);
  AnimationWidget *Animate1;
  QProgressBar *ProgressBar1, *ProgressBar2, *ProgressBar3;
  QPushButton *button_close;
  bool stopPressed() const { return m_stop; }

protected:
  void showEvent(QShowEvent *e) override;
  void closeEvent(QCloseEvent *e) override;
  void reject() override;

private:
  bool m_stop = false;
};

class TZRThread : public QObject {
  Q_OBJECT
public:
  explicit TZRThread(QObject *parent = nullptr);
  ~TZRThread() override;

  QString Caption;
  bool ProgressBar1 = true, ProgressBar2 = false, ProgressBar3 = false;
  TOptionKind Kind = TOptionKind::Copy;
  // The taller window, with room under the bars.
  bool Tall = false;

  bool Active() const { return m_active; }
  void SetMax(int n);
  void SetPosition(int n);
  void Start();
  void Stop();
  // True once the user pressed "停止" since the window was last shown.
  bool Stopped();

  TThreadForm *form() const { return m_form; }

private:
  TThreadForm *m_form = nullptr;
  bool m_active = false;
  bool m_cursorSet = false;
  int m_max = 100, m_position = 0;
};

// A small animation of its own: a sheet moving between two folders (copy), a sheet falling into
// a bin (delete) or a lens sweeping over a folder (search).
class AnimationWidget : public QWidget {
  Q_OBJECT
public:
  explicit AnimationWidget(QWidget *parent = nullptr);
  void setKind(TOptionKind k);
  TOptionKind kind() const { return m_kind; }
  void start();
  void stop();
  bool running() const;
  int frame() const { return m_frame; }

protected:
  void paintEvent(QPaintEvent *e) override;

private:
  QTimer *m_timer;
  TOptionKind m_kind = TOptionKind::Copy;
  int m_frame = 0;
};

} // namespace zr::ui
