#include "app/mainwindow.h"

#include "app/programcleanup.h"
#include "app/taboutform.h"
#include "app/tdm.h"
#include "app/thelpform.h"
#include "app/tpasswordchangeform.h"
#include "app/tselectimesform.h"
#include "app/tzrmain.h"
#include "catalogue/tsetautoidform.h"
#include "controls/find/findforms.h"
#include "db/exceptionhandler.h"
#include "db/globals.h"
#include "db/idsettings.h"
#include "db/queries.h"
#include "platform/os/files.h"
#include "platform/os/settingsstore.h"
#include "platform/ui/common.h"
#include "platform/ui/modal.h"
#include "users/tcompanyform.h"

#include <QtCore/QDate>
#include <QtGui/QCloseEvent>
#include <QtGui/QScreen>
#include <QtWidgets/QApplication>
#include <QtWidgets/QColorDialog>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QMenuBar>
#include <QtWidgets/QStatusBar>
#include <QtWidgets/QStyle>
#include <QtWidgets/QToolBar>
#include <QtWidgets/QToolButton>
#include <QtWidgets/QVBoxLayout>

namespace {

// The style's pictures at the size the window shows them: a theme that has a picture only small
// gets it scaled up, so every icon of a row is the same size.
QPixmap standardPixmap(QStyle::StandardPixmap which, int size) {
  QPixmap pm = QApplication::style()->standardIcon(which).pixmap(size, size);
  if (!pm.isNull() && pm.width() < size)
    pm = pm.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  return pm;
}

} // namespace

namespace zr::app {
namespace {
QString dbName() {
  return QString::fromUtf16(zr::sql::kDatabaseName);
}

const QString kCaptionTail = u"典藏库房管理系统"_qs;
const QString kCloseOthers = u"请先关闭其它的窗口"_qs;

QString chineseDate(const QDate &d) {
  return d.toString(u"yyyy'年'MM'月'dd'日'"_qs);
}
} // namespace

int helpTopicOf(const QString &formName) {
  static const QHash<QString, int> topics = {
      {u"ArchiveTypeForm"_qs, 7},         {u"PasswordChangeForm"_qs, 11},
      {u"DeleteDataForm"_qs, 13},         {u"ArchiveForm"_qs, 19},
      {u"QueryArchiveDetailForm"_qs, 19}, {u"QueryArchiveLendForm"_qs, 19},
      {u"IntoArchiveForm"_qs, 19},        {u"UserForm"_qs, 27},
      {u"DataRebuildForm"_qs, 30},
  };
  return topics.value(formName, 2);
}

TMainForm::TMainForm(TDM &dm, QWidget *parent) : QMainWindow(parent) {
  setObjectName(u"MainForm"_qs);
  ZRMain = new TZRMain(this);
  // 1. The whole screen; function windows size themselves to what is left of it.
  const QRect screen = QGuiApplication::primaryScreen()
                           ? QGuiApplication::primaryScreen()->availableGeometry()
                           : QRect(0, 0, 1024, 768);
  setGeometry(screen);
  setWindowState(Qt::WindowMaximized);
  // 2.
  zr::db::TempDirectory = zr::os::TempDirectory();
  AboutForm = new TAboutForm(this);
  // 3.
  buildMenu();
  buildToolBar();
  buildClientArea();
  StatusPanel0 = new QLabel(u"卓睿典藏库房管理系统 —— 档案的录入、查询、借阅与备份"_qs, this);
  StatusPanel1 = new QLabel(chineseDate(QDate::currentDate()), this);
  for (QLabel *l : {StatusPanel0, StatusPanel1})
    l->setAlignment(Qt::AlignCenter);
  StatusPanel0->setMinimumWidth(qRound(screen.width() / 5.0 * 3) - 20);
  statusBar()->setObjectName(u"ZRStatusBar"_qs);
  statusBar()->addWidget(StatusPanel0, 3);
  statusBar()->addWidget(StatusPanel1, 2);
  zr::db::MainClientHeight =
      screen.height() - menuBar()->sizeHint().height() - statusBar()->sizeHint().height();
  zr::db::MainClientWidth = screen.width();
  try {
    // 5., 6.
    dm.open();
    // 7. Table files that earlier restores left in the program directory.
    cleanProgramDirectory(zr::db::ProgramDirectory, zr::db::DataDirectory);
    // 8.
    if (!ZRMain->Install(QDate::currentDate().toString(u"yyyyMM"_qs))) {
      zr::db::StartupFailed = true;
      return;
    }
    connect(ZRMain, &TZRMain::activationRequested, this, &TMainForm::bringForward);
    // 9.-11.
    refreshCaption();
    bool ok = false;
    const int mode =
        zr::db::QueryValue(dbName(), u"SELECT AUTO_ID FROM SYS_ID_TABLE WHERE NAME_ID = '分类编号'"_qs)
            .toInt(&ok);
    zr::db::ArchiveNumberingMode = ok ? mode : 0;
    refreshItemTitle();
  } catch (...) {
    zr::db::HandleException(this, std::current_exception());
    zr::db::StartupFailed = true;
    return;
  }
  // 12. A picture that has gone is skipped without a word.
  if (const QString picture = ZRMain->ReadBackgroundImage(); !picture.isEmpty())
    applyBackground(picture);
  // 13. A colour that is not an integer is ignored.
  if (const QString colour = zr::ui::ReadIntSetting(u"ZRArchivesColor"_qs); !colour.isEmpty())
    setPanelColor(colour.toUInt());

  setFactory(u"PasswordChangeForm"_qs, [](QWidget *owner) { return new TPasswordChangeForm(owner); });
  setFactory(u"CompanyForm"_qs, [this](QWidget *owner) {
    auto *f = new zr::users::TCompanyForm(owner);
    // the caption follows the organisation's name as soon as it is saved
    connect(f, &zr::users::TCompanyForm::organisationRenamed, this,
            [this](const QString &name) { setWindowTitle(name + kCaptionTail); });
    return f;
  });
}

TMainForm::~TMainForm() = default;

void TMainForm::refreshCaption() {
  zr::db::OrganisationName =
      zr::db::QueryValue(dbName(), QStringLiteral("SELECT COMPANY_NAME FROM  SYS_COMPANY_TABLE "));
  setWindowTitle(zr::db::OrganisationName + kCaptionTail);
}

void TMainForm::refreshItemTitle() {
  QString title = zr::db::QueryValue(
      dbName(), u"SELECT PROGRAM_NAME FROM SYS_PROGRAM_TABLE WHERE COMPOSE_ID = 1 And PROGRAM_ID = 3"_qs);
  const qsizetype cut = title.indexOf(u"查询管理");
  if (cut >= 0)
    title = title.left(cut);
  zr::db::ItemTitle = title.isEmpty() ? QStringLiteral("档案明细资料") : title;
  zr::db::ItemQueryProgramName = zr::db::ItemTitle + u"查询管理";
  N1->setText(zr::db::ItemQueryProgramName);
  ToolButton5->setToolTip(zr::db::ItemQueryProgramName);
  ToolButton5->setText(zr::db::ItemTitle);
}

void TMainForm::setFactory(const QString &formName, WindowFactory factory) {
  m_factories.insert(formName, std::move(factory));
}

void TMainForm::buildMenu() {
  MenuArchive = menuBar()->addMenu(u"档案管理"_qs);
  MenuArchive->setObjectName(u"MenuArchive"_qs);
  SYSMENU = menuBar()->addMenu(u"系统管理"_qs);
  SYSMENU->setObjectName(u"SYSMENU"_qs);
  N9 = menuBar()->addMenu(u"帮助[F1]"_qs);
  N9->setObjectName(u"N9"_qs);
  N3 = menuBar()->addMenu(QString());
  N3->setObjectName(u"N3"_qs);
  N3->menuAction()->setVisible(false);
  ZRMain->OpenWindowsMenu = N3;

  auto add = [this](QMenu *menu, const char16_t *name, const QString &caption) {
    if (!menu->actions().isEmpty())
      menu->addSeparator();
    QAction *a = menu->addAction(caption);
    a->setObjectName(QString::fromUtf16(name));
    return a;
  };
  MenuArchiveType = add(MenuArchive, u"MenuArchiveType", u"档案类别资料录入编辑"_qs);
  N13 = add(MenuArchive, u"N13", u"档案资料录入编辑管理"_qs);
  N1 = add(MenuArchive, u"N1", zr::db::ItemQueryProgramName);
  N24 = add(MenuArchive, u"N24", u"档案借阅记录查询管理"_qs);
  EXCEL1 = add(MenuArchive, u"EXCEL1", u"EXCEL资料导入管理"_qs);
  N16 = add(MenuArchive, u"N16", u"单位名称录入编辑"_qs);
  USERMENU = add(SYSMENU, u"USERMENU", u"用户管理"_qs);
  CHANGEPASSWORDMENU = add(SYSMENU, u"CHANGEPASSWORDMENU", u"用户口令修改"_qs);
  N5 = add(SYSMENU, u"N5", u"数据备份管理"_qs);
  N22 = add(SYSMENU, u"N22", u"数据恢复管理"_qs);
  N7 = add(SYSMENU, u"N7", u"过时数据删除"_qs);
  N26 = add(SYSMENU, u"N26", u"数据修复管理"_qs);
  // The workstation settings stay reachable from code but are never shown in the menu.
  const int before = int(SYSMENU->actions().size());
  N10 = add(SYSMENU, u"N10", u"设置输入法"_qs);
  N6 = add(SYSMENU, u"N6", u"改变主窗口图像"_qs);
  N11 = add(SYSMENU, u"N11", u"改变主窗口颜色"_qs);
  for (qsizetype i = before; i < SYSMENU->actions().size(); ++i)
    SYSMENU->actions()[i]->setVisible(false);
  N28 = add(SYSMENU, u"N28", u"编号方式设置修改"_qs);
  EXITMENU = add(SYSMENU, u"EXITMENU", u"退出[T]"_qs);
  EXITMENU->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
  F11 = N9->addAction(u"帮助"_qs);
  F11->setObjectName(u"F11"_qs);
  F11->setShortcut(QKeySequence(Qt::Key_F1));
  F11->setShortcutContext(Qt::ApplicationShortcut); // from function windows as well
  N2 = N9->addAction(u"关于"_qs);
  N2->setObjectName(u"N2"_qs);

  using zr::db::CurrentUserId;
  connect(MenuArchiveType, &QAction::triggered, this, [this] {
    openEntry(MenuArchiveType, u"ArchiveTypeForm"_qs,
              [this] { return browseAdmission(u"档案管理"_qs, u"档案类别资料录入编辑"_qs); });
  });
  connect(N13, &QAction::triggered, this, [this] {
    openEntry(N13, u"ArchiveForm"_qs,
              [this] { return browseAdmission(u"档案管理"_qs, u"档案资料录入编辑管理"_qs); });
  });
  connect(N1, &QAction::triggered, this, [this] {
    openEntry(N1, u"QueryArchiveDetailForm"_qs, [this] {
      zr::db::ItemQueryProgramName = zr::db::ItemTitle + u"查询管理";
      return browseAdmission(u"档案管理"_qs, zr::db::ItemQueryProgramName);
    });
  });
  connect(N24, &QAction::triggered, this, [this] {
    openEntry(N24, u"QueryArchiveLendForm"_qs,
              [this] { return browseAdmission(u"档案管理"_qs, u"档案借阅记录查询管理"_qs); });
  });
  connect(EXCEL1, &QAction::triggered, this, [this] {
    openEntry(EXCEL1, u"IntoArchiveForm"_qs,
              [this] { return browseAdmission(u"档案管理"_qs, u"EXCEL资料导入管理"_qs); });
  });
  connect(N16, &QAction::triggered, this, [this] {
    openEntry(N16, u"CompanyForm"_qs,
              [this] { return browseAdmission(u"档案管理"_qs, u"单位名称录入编辑"_qs); });
  });
  connect(USERMENU, &QAction::triggered, this, [this] {
    openEntry(USERMENU, u"UserForm"_qs, [this] { return systemAdmission(u"人员管理"_qs); });
  });
  connect(CHANGEPASSWORDMENU, &QAction::triggered, this,
          [this] { openEntry(CHANGEPASSWORDMENU, u"PasswordChangeForm"_qs, [] { return true; }); });
  connect(N5, &QAction::triggered, this, &TMainForm::N5Click);
  connect(N22, &QAction::triggered, this, &TMainForm::N22Click);
  connect(N7, &QAction::triggered, this, &TMainForm::N7Click);
  connect(N26, &QAction::triggered, this, &TMainForm::N26Click);
  connect(N28, &QAction::triggered, this, &TMainForm::N28Click);
  connect(N10, &QAction::triggered, this, &TMainForm::N10Click);
  connect(N6, &QAction::triggered, this, &TMainForm::N6Click);
  connect(N11, &QAction::triggered, this, &TMainForm::N11Click);
  connect(EXITMENU, &QAction::triggered, this, &QWidget::close);
  connect(F11, &QAction::triggered, this, &TMainForm::F11Click);
  connect(N2, &QAction::triggered, this, &TMainForm::N2Click);
}

void TMainForm::buildToolBar() {
  ToolBar1 = new QToolBar(this);
  ToolBar1->setObjectName(u"ToolBar1"_qs);
  ToolBar1->setMovable(false);
  ToolBar1->setIconSize(QSize(28, 28));
  ToolBar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  addToolBar(Qt::TopToolBarArea, ToolBar1);
  auto button = [this](const char16_t *name, QStyle::StandardPixmap icon, const QString &text,
                       const QString &hint, QAction *runs) {
    auto *b = new QToolButton(ToolBar1);
    b->setObjectName(QString::fromUtf16(name));
    b->setIcon(QIcon(standardPixmap(icon, 28)));
    b->setText(text);
    b->setToolTip(hint);
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setMinimumSize(62, 37);
    b->setAutoRaise(true);
    b->setCursor(Qt::PointingHandCursor);
    connect(b, &QToolButton::clicked, runs, &QAction::trigger);
    ToolBar1->addWidget(b);
    return b;
  };
  ToolButton2 = button(u"ToolButton2", QStyle::SP_DirOpenIcon, u"档案管理"_qs, u"档案管理"_qs, N13);
  ToolButton5 = button(u"ToolButton5", QStyle::SP_FileDialogContentsView, zr::db::ItemTitle,
                       zr::db::ItemQueryProgramName, N1);
  ToolButton1 = button(u"ToolButton1", QStyle::SP_FileDialogDetailedView, u"借阅记录"_qs,
                       u"档案借阅记录查询管理"_qs, N24);
  ToolButton3 = button(u"ToolButton3", QStyle::SP_DriveHDIcon, u"数据备份"_qs, u"数据备份"_qs, N5);
  ToolButton4 =
      button(u"ToolButton4", QStyle::SP_DialogCloseButton, u"退出系统"_qs, u"退出系统"_qs, EXITMENU);
}

void TMainForm::buildClientArea() {
  Panel1 = new QFrame(this);
  Panel1->setObjectName(u"Panel1"_qs);
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Panel1->setAutoFillBackground(true);
  setCentralWidget(Panel1);
  setPanelColor(12615680);
  Image1 = new QLabel(Panel1);
  Image1->setObjectName(u"Image1"_qs);
  Image1->setScaledContents(true);
  Image1->hide();
  PanelShow = new QFrame(Panel1);
  PanelShow->setObjectName(u"PanelShow"_qs);
  PanelShow->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  PanelShow->setAutoFillBackground(true);
  PanelShow->setStyleSheet(u"QFrame#PanelShow, QFrame#PanelArchives { background: white; }"_qs);
  PanelArchives = new QFrame(PanelShow);
  PanelArchives->setObjectName(u"PanelArchives"_qs);
  PanelArchives->setAutoFillBackground(true);
  PanelArchives->resize(800, 580);
  auto *grid = new QGridLayout(PanelArchives);
  const struct {
    const char16_t *name;
    QStyle::StandardPixmap icon;
    QAction *runs;
  } icons[] = {{u"Image17", QStyle::SP_DirIcon, MenuArchiveType},
               {u"Image13", QStyle::SP_DirOpenIcon, N13},
               {u"Image22", QStyle::SP_FileDialogContentsView, N1},
               {u"Image20", QStyle::SP_FileDialogDetailedView, N24},
               {u"Image8", QStyle::SP_ArrowDown, EXCEL1}};
  int col = 0;
  for (const auto &i : icons) {
    auto *picture = new QLabel(PanelArchives);
    picture->setObjectName(QString::fromUtf16(i.name));
    picture->setPixmap(standardPixmap(i.icon, 64));
    picture->setAlignment(Qt::AlignCenter);
    picture->setCursor(Qt::PointingHandCursor);
    picture->setToolTip(u"用鼠标左键双击图标"_qs);
    picture->installEventFilter(this);
    auto *label = new QLabel(i.runs->text(), PanelArchives);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setWordWrap(true);
    if (i.runs == N1)
      connect(N1, &QAction::changed, label, [label, this] { label->setText(N1->text()); });
    grid->addWidget(picture, 0, col);
    grid->addWidget(label, 1, col);
    Icons.append({picture, i.runs});
    ++col;
  }
}

void TMainForm::layoutIcons() {
  const QRect r = Panel1->contentsRect();
  Image1->setGeometry(r);
  PanelShow->setGeometry(r.left(), r.top() + 20, qMax(0, r.width() - 20), qMax(0, r.height() - 40));
  const QSize s = PanelArchives->size();
  PanelArchives->move(qMax(0, qRound((PanelShow->width() - s.width()) / 2.0)),
                      qMax(0, qRound((PanelShow->height() - s.height()) / 2.0)));
}

void TMainForm::resizeEvent(QResizeEvent *e) {
  QMainWindow::resizeEvent(e);
  layoutIcons();
}

bool TMainForm::eventFilter(QObject *watched, QEvent *event) {
  if (event->type() == QEvent::MouseButtonDblClick) {
    for (const auto &[picture, action] : Icons)
      if (picture == watched) {
        if (action->isEnabled())
          action->trigger();
        else
          zr::ui::ShowWarning(u"请先关闭打开的其它窗口"_qs);
        return true;
      }
  }
  return QMainWindow::eventFilter(watched, event);
}

void TMainForm::setPanelColor(unsigned bgr) {
  QPalette p = Panel1->palette();
  p.setColor(QPalette::Window, QColor(zr::db::colorName(bgr)));
  Panel1->setPalette(p);
}

void TMainForm::applyBackground(const QString &path) {
  QPixmap pm(path);
  if (pm.isNull())
    return;
  Image1->setPixmap(pm);
  Image1->show();
  Image1->lower();
  update();
}

void TMainForm::bringForward() {
  QWidget *w = isVisible() ? this : QApplication::activeModalWidget();
  if (!w)
    return;
  if (w->isMinimized())
    w->showNormal();
  w->raise();
  w->activateWindow();
}

void TMainForm::ShowChild(QWidget *w) {
  // Centred over the client area, never lower than 90 pixels from the top.
  const QRect g = geometry();
  const int top = qMin((height() - w->height()) / 2 + 5, 90);
  const int left = qMax((zr::db::MainClientWidth - w->width()) / 2 - 1, 2);
  if (!w->isVisible())
    w->move(g.left() + left, g.top() + top);
  w->show();
  w->raise();
  w->activateWindow();
}

bool TMainForm::windowsOpen() const {
  return !ZRMain->entries().isEmpty();
}

void TMainForm::notYet(const QString &caption) {
  zr::ui::ShowWarning(u"“"_qs % caption % u"”的窗口还没有完成,暂时不能使用");
}

bool TMainForm::browseAdmission(const QString &group, const QString &program) {
  if (ZRMain->HasBrowseRight(group, program, zr::db::CurrentUserId))
    return true;
  zr::ui::ShowWarning(rightsRefusal(program));
  return false;
}

bool TMainForm::systemAdmission(const QString &program) {
  if (zr::db::CurrentUserIsSystem)
    return true;
  zr::ui::ShowWarning(rightsRefusal(program));
  return false;
}

void TMainForm::openEntry(QAction *item, const QString &formName, const std::function<bool()> &admit) {
  if (ZRMain->Busy) {
    zr::ui::ShowWarning(u"当数据备份与恢复窗口打开时,不能打开其它的窗口"_qs);
    return;
  }
  if (ZRMain->ActivateIfOpen(formName) == 1) {
    if (QWidget *w = ZRMain->newestWindow(); w && w->objectName() == formName)
      ShowChild(w);
    return;
  }
  if (!admit())
    return;
  const WindowFactory factory = m_factories.value(formName);
  if (!factory) {
    notYet(item->text());
    return;
  }
  QWidget *w = factory(this);
  w->setObjectName(formName);
  w->setWindowFlag(Qt::Window, true);
  w->setAttribute(Qt::WA_DeleteOnClose, true);
  ZRMain->RegisterWindow(
      formName, w, [item] { item->trigger(); }, item->text());
  ShowChild(w);
}

void TMainForm::closeEvent(QCloseEvent *e) {
  if (QWidget *w = ZRMain->newestWindow()) {
    Q_UNUSED(w)
    zr::ui::ShowWarning(u"请先关闭打开的全部子程序后,才能退出系统"_qs);
    e->ignore();
    return;
  }
  QMainWindow::closeEvent(e);
}

void TMainForm::showEvent(QShowEvent *e) {
  QMainWindow::showEvent(e);
  if (m_shownOnce)
    return;
  m_shownOnce = true;
  FormShow();
}

void TMainForm::FormShow() {
  setWindowTitle(zr::db::OrganisationName + kCaptionTail);
  layoutIcons();
  // The overdue reminder: the loans past their limit, offered in the loan query.
  try {
    auto &db = zr::db::namedDatabase(dbName());
    if (ZRMain->Busy || !zr::db::ReadYesNoSetting(db, u"过期未还提醒"_qs))
      return;
    if (!ZRMain->HasBrowseRight(u"档案管理"_qs, u"档案借阅记录查询管理"_qs, zr::db::CurrentUserId))
      return;
    zr::db::WorkingDate = zr::db::today();
    const int overdue = int(zr::db::QueryNumber(
        dbName(), u"SELECT COUNT(*) FROM ZR_ARCHIVE_LEND_TABLE A WHERE (A.RETURN_DATE IS NULL) AND "
                  u"(A.RETURN_LIMIT_DATE < '" %
                      zr::db::dialectDate(zr::db::WorkingDate) % u"')"));
    if (overdue <= 0)
      return;
    const QDate d = QDate::fromString(zr::db::WorkingDate, u"yyyy-MM-dd"_qs);
    if (zr::ui::Confirm(u"今天日期："_qs % chineseDate(d) % u"\r\n有 " % QString::number(overdue) %
                        u" 个借阅档案过借阅期限未归还,是否显示这些借阅档案资料") &&
        !ZRMain->Busy)
      openEntry(N24, u"QueryArchiveLendForm"_qs, [] { return true; });
  } catch (...) {
    zr::db::HandleException(this, std::current_exception());
  }
}

void TMainForm::F11Click() {
  QWidget *active = QApplication::activeWindow();
  if (active == HelpForm && HelpForm)
    active = nullptr;
  zr::db::HelpContext = helpTopicOf(active ? active->objectName() : objectName());
  if (!HelpForm)
    HelpForm = new THelpForm(this);
  HelpForm->showTopic(zr::db::HelpContext);
}

void TMainForm::N2Click() {
  zr::ui::execModal(*AboutForm);
}

void TMainForm::N5Click() {
  if (!browseAdmission(u"系统管理"_qs, u"数据备份管理"_qs))
    return;
  notYet(N5->text());
}

void TMainForm::N22Click() {
  if (!zr::db::CurrentUserIsSystem) {
    zr::ui::ShowWarning(u"只有系统管理员才能有恢复数据库的权限"_qs);
    return;
  }
  notYet(N22->text());
}

void TMainForm::N7Click() {
  if (!ZRMain->Busy && windowsOpen()) {
    zr::ui::ShowWarning(kCloseOthers);
    return;
  }
  if (!browseAdmission(u"系统管理"_qs, u"过时数据删除"_qs))
    return;
  ZRMain->Busy = true;
  notYet(N7->text());
  ZRMain->Busy = false;
}

void TMainForm::N26Click() {
  if (windowsOpen() && !ZRMain->Busy) {
    zr::ui::ShowWarning(kCloseOthers);
    return;
  }
  if (!zr::db::CurrentUserIsSystem) {
    zr::ui::ShowWarning(rightsRefusal(u"数据修复"_qs));
    return;
  }
  notYet(N26->text());
}

void TMainForm::N28Click() {
  if (!zr::db::CurrentUserIsSystem) {
    zr::ui::ShowWarning(u"只有系统管理员才能有设置修改编号方式的权限"_qs);
    return;
  }
  if (windowsOpen()) {
    zr::ui::ShowWarning(kCloseOthers);
    return;
  }
  zr::catalogue::TSetAutoIDForm f(this);
  zr::ui::execModal(f);
}

void TMainForm::N10Click() {
  TSelectImesForm f(this);
  if (zr::ui::execModal(f) != QDialog::Accepted)
    return;
  zr::db::CurrentImeName = f.choice();
  zr::ui::WriteSetting(u"ZRArchivesImes"_qs, f.choice());
}

void TMainForm::N6Click() {
  const int choice =
      zr::ctl::OperationChooser(this, u"操作选择窗口"_qs, u"设置新的窗口背景图像"_qs, u"清除窗口背景图像"_qs);
  if (choice == 2) {
    ZRMain->ClearBackgroundImage();
    Image1->clear();
    Image1->hide();
  } else if (choice == 1) {
    const QString path =
        ZRMain->ChooseBackgroundImage(u"BMP,JPG,JPEG|*.Bmp;*.bmp;*.jpg;*.JPG;*.Jpeg;*.jpeg"_qs);
    if (!path.isEmpty())
      applyBackground(path);
  }
}

void TMainForm::N11Click() {
  QColorDialog d(Panel1->palette().color(QPalette::Window), this);
  d.setOption(QColorDialog::DontUseNativeDialog);
  if (zr::ui::execModal(d) != QDialog::Accepted)
    return;
  zr::ui::ShowWarning(
      u"如果有主窗口图像，只有在\"改变主窗口图像\"菜单里清除窗口背景图像，才能看到主窗口颜色"_qs);
  const QColor c = d.currentColor();
  const unsigned bgr = unsigned(c.red()) | unsigned(c.green()) << 8 | unsigned(c.blue()) << 16;
  setPanelColor(bgr);
  zr::ui::WriteSetting(u"ZRArchivesColor"_qs, QString::number(bgr));
}

} // namespace zr::app
