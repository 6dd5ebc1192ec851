#include "framework/forms/tzrchild.h"

#include "controls/find/findforms.h"
#include "controls/tzrndbgrid.h"
#include "controls/zredits.h"
#include "db/queries.h"
#include "db/sqltext.h"
#include "framework/forms/tzrsetform.h"
#include "framework/messages.h"
#include "framework/zrdatasource.h"
#include "framework/zrquery.h"
#include "platform/dataset/dataset.h"

#include <QtCore/QRegularExpression>
#include <QtGui/QFontDatabase>
#include <QtGui/QKeyEvent>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QAbstractItemView>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QTextEdit>

namespace zr::fw {

namespace {

const char *const kChildProperty = "zrChild";

QString yes() {
  return QStringLiteral("是");
}

int tagOf(const QObject *o) {
  return o->property("Tag").toInt();
}

void setBase(QWidget *w, int bgr) {
  QPalette p = w->palette();
  p.setColor(QPalette::Base, fromTColor(bgr));
  w->setPalette(p);
}

zr::controls::FocusColorHelper *focusHelperOf(QWidget *w) {
  using namespace zr::controls;
  if (auto *e = qobject_cast<TZREdit *>(w))
    return &e->focus;
  if (auto *e = qobject_cast<TZRMEdit *>(w))
    return &e->focus;
  if (auto *e = qobject_cast<TZRComboBox *>(w))
    return &e->focus;
  if (auto *e = qobject_cast<TZRListBox *>(w))
    return &e->focus;
  if (auto *e = qobject_cast<TZRDBLookupComboBox *>(w))
    return &e->focus;
  return nullptr;
}

} // namespace

EChildTwice::EChildTwice() : std::logic_error("TZRChild控件只能有一个") {}

TZRChild::TZRChild(QWidget *window) : QObject(window), m_window(window) {
  if (of(window))
    throw EChildTwice();
  window->setProperty(kChildProperty, QVariant::fromValue(static_cast<QObject *>(this)));
  CloseRefusal = QStringLiteral("必须先保存或取消新增的数据或修改后的数据");
  // Key preview: every key of the window's controls passes here first.
  // The application filter also sees the window's own close and show events.
  qApp->installEventFilter(this);
}

TZRChild::~TZRChild() {
  if (m_window)
    m_window->setProperty(kChildProperty, QVariant());
}

TZRChild *TZRChild::of(const QWidget *window) {
  return window ? qobject_cast<TZRChild *>(window->property(kChildProperty).value<QObject *>()) : nullptr;
}

QString TZRChild::rightColumn(int index) {
  static const char16_t *const columns[] = {u"ADD_RIGHT",     u"EDIT_RIGHT",  u"DElETE_RIGHT",
                                            u"BROWSE_RIGHT",  u"PRINT_RIGHT", u"VERIFY_RIGHT",
                                            u"CURRENCY_RIGHT"};
  if (index < 0 || index > 6)
    return {};
  return QString::fromUtf16(columns[index]);
}

TRights TZRChild::ReadRights(const QString &group, const QString &program, const QString &userId) {
  TRights r;
  const QString db = DataBaseName;
  try {
    const QString groupId = zr::db::QueryValue(
        db, u"SELECT COMPOSE_ID FROM  SYS_COMPOSE_TABLE WHERE COMPOSE_NAME =" % zr::db::quote(group));
    const auto g = zr::db::number(groupId);
    if (!g) {
      warn(group + u"程序组找不到");
      return r;
    }
    const QString programId =
        zr::db::QueryValue(db, u"SELECT PROGRAM_ID FROM  SYS_PROGRAM_TABLE WHERE PROGRAM_NAME =" %
                                   zr::db::quote(program) % u" and COMPOSE_ID =" % *g);
    const auto p = zr::db::number(programId);
    if (!p) {
      warn(program + u"程序找不到");
      return r;
    }
    auto c = zr::db::OpenQuery(db, u"SELECT * FROM  SYS_RIGHT_TABLE WHERE COMPOSE_ID =" % *g %
                                       u" and PROGRAM_ID =" % *p % u" and USE_ID =" % zr::db::quote(userId));
    if (c->eof())
      return r;
    auto granted = [&](const char16_t *column) {
      return c->value(QString::fromUtf16(column)).toString().trimmed() == yes();
    };
    r.Add = granted(u"ADD_RIGHT");
    r.Edit = granted(u"EDIT_RIGHT");
    r.Delete = granted(u"DELETE_RIGHT");
    r.Browse = granted(u"BROWSE_RIGHT");
    r.Print = granted(u"PRINT_RIGHT");
    r.Verify = granted(u"VERIFY_RIGHT");
    r.Currency = granted(u"CURRENCY_RIGHT");
    r.Exists = true;
  } catch (...) {
    reportError();
    return TRights{};
  }
  return r;
}

QString TZRChild::ReadRight(const QString &userId, int groupId, int programId, int index) {
  const QString column = rightColumn(index);
  if (column.isEmpty())
    return QStringLiteral("否");
  try {
    const QString v = zr::db::QueryValue(
        DataBaseName, u"SELECT " % column % u" FROM SYS_RIGHT_TABLE WHERE USE_ID = " % zr::db::quote(userId) %
                          u" AND COMPOSE_ID = " % QString::number(groupId) % u" AND PROGRAM_ID = " %
                          QString::number(programId));
    return v.isEmpty() ? QStringLiteral("否") : v;
  } catch (...) {
    reportError();
    return QStringLiteral("否");
  }
}

bool TZRChild::WriteRight(const QString &userId, int groupId, const QString &value, int index,
                          int programId) {
  if (DataBaseName.isEmpty()) {
    warn(QStringLiteral("DataBaseName必须有一个值"));
    return false;
  }
  const QString column = rightColumn(index);
  if (column.isEmpty())
    return false;
  const QString where = u"USE_ID = " % zr::db::quote(userId) % u" AND COMPOSE_ID = " %
                        QString::number(groupId) % u" AND PROGRAM_ID = " % QString::number(programId);
  try {
    auto c = zr::db::OpenQuery(DataBaseName, u"SELECT * FROM SYS_RIGHT_TABLE WHERE " % where);
    const bool exists = !c->eof();
    c.reset();
    zr::sql::Database &db = zr::db::namedDatabase(DataBaseName);
    if (exists)
      db.exec(u"UPDATE SYS_RIGHT_TABLE SET " % column % u" = " % zr::db::quote(value) % u" WHERE " % where %
              u' ');
    else
      db.exec(u" INSERT INTO SYS_RIGHT_TABLE(USE_ID,COMPOSE_ID,PROGRAM_ID, " % column % u") VALUES(" %
              zr::db::quote(userId) % u", " % QString::number(groupId) % u',' % QString::number(programId) %
              u',' % zr::db::quote(value) % u')');
    return true;
  } catch (...) {
    reportError();
    return false;
  }
}

QString TZRChild::chineseFamily(bool traditional) {
  const QStringList families = QFontDatabase::families();
  const QStringList wanted = traditional ? QStringList{u"新細明體"_qs, u"PMingLiU"_qs, u"Noto Sans CJK TC"_qs,
                                                       u"Noto Serif CJK TC"_qs}
                                         : QStringList{u"宋体"_qs, u"SimSun"_qs, u"Noto Sans CJK SC"_qs,
                                                       u"Noto Serif CJK SC"_qs, u"WenQuanYi Zen Hei"_qs};
  for (const QString &f : wanted)
    if (families.contains(f, Qt::CaseInsensitive))
      return f;
  const auto system = traditional ? QFontDatabase::TraditionalChinese : QFontDatabase::SimplifiedChinese;
  const QStringList cjk = QFontDatabase::families(system);
  return cjk.isEmpty() ? QApplication::font().family() : cjk.first();
}

void TZRChild::ApplyLook(QWidget *window) {
  using namespace zr::controls;
  const bool gb = Language == u"GB";
  QFont labelFont(chineseFamily(!gb), gb ? 9 : 10);
  for (QObject *o : window->findChildren<QObject *>()) {
    if (auto *q = qobject_cast<TZRQuery *>(o)) {
      q->SqlType = SqlType;
      continue;
    }
    if (auto *f = qobject_cast<zr::ctl::TFindFormDialog *>(o)) {
      f->SqlType = SqlType;
      continue;
    }
    if (auto *ds = qobject_cast<zr::data::Dataset *>(o)) {
      if (!ds->database() && !DataBaseName.isEmpty())
        ds->setDatabase(zr::sql::Database::named(DataBaseName));
      continue;
    }
    auto *w = qobject_cast<QWidget *>(o);
    if (!w)
      continue;
    const int tag = tagOf(w);
    if (auto *grid = qobject_cast<TZRNDBGrid *>(w)) {
      setBase(grid, Color);
      grid->setCursor(Qt::PointingHandCursor);
      if (tag != 100)
        grid->ColorOnFocus = fromTColor(ColorOnFocus);
      continue;
    }
    if (auto *label = qobject_cast<QLabel *>(w)) {
      if (tag == 0 || tag == 10) {
        QFont f = labelFont;
        if (tag == 10)
          f.setPointSizeF(label->font().pointSizeF());
        label->setFont(f);
      }
      continue;
    }
    if (FocusColorHelper *h = focusHelperOf(w)) {
      if (tag == 3) {
        setBase(w, LabelColor);
      } else if (tag == 100) {
        setBase(w, EditColor);
        h->ColorOnFocus = fromTColor(ColorOnFocus);
      } else {
        setBase(w, Color);
      }
    }
  }
}

void TZRChild::ShowChild(int mode) {
  QWidget *w = m_window;
  if (!w)
    return;
  if (tagOf(w) == 10) {
    w->move(-4, -4);
  } else if (QWidget *main = w->parentWidget() ? w->parentWidget()->window() : nullptr) {
    // Centred over the main window's client area, never lower than 90 nor off its left edge. Client
    // sizes on both sides: a window's frame is not known before it is first shown.
    const int top = std::min((main->height() - w->height()) / 2 + 5, 90);
    const int left = std::max((main->width() - w->width()) / 2 - 1, 2);
    w->move(main->geometry().topLeft() + QPoint(left, top));
  }
  if (!w->isVisible()) {
    if (mode != 1 && !NotTopShow)
      w->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    w->show();
  }
}

QList<zr::data::Dataset *> TZRChild::editableDataSets() const {
  QList<zr::data::Dataset *> out;
  if (m_window)
    for (zr::data::Dataset *ds : m_window->findChildren<zr::data::Dataset *>())
      if (tagOf(ds) == 0)
        out << ds;
  for (const auto &ds : WatchedDataSets)
    if (ds && !out.contains(ds.data()))
      out << ds.data();
  return out;
}

bool TZRChild::mayClose() {
  for (zr::data::Dataset *ds : editableDataSets())
    if (ds->isEditing()) {
      warn(CloseRefusal);
      return false;
    }
  return true;
}

void TZRChild::closing() {
  if (!m_window)
    return;
  for (auto *grid : m_window->findChildren<zr::controls::TZRNDBGrid *>())
    grid->SaveLayout();
  if (CloseDataSets)
    for (zr::data::Dataset *ds : m_window->findChildren<zr::data::Dataset *>())
      ds->close();
  emit TZRCloseFormMessage(m_window);
}

QAbstractButton *TZRChild::buttonForKey(int key) const {
  const QString name = key == Qt::Key_F3 ? u"F3"_qs : u'F' + QString::number(key - Qt::Key_F1 + 1);
  // "增加F5", "新增[F5]": the key's name, not followed by another digit (F1 is not F12).
  const QRegularExpression re(u"(^|[^A-Za-z])"_qs % name % u"($|[^0-9])"_qs);
  for (QAbstractButton *b : m_window->findChildren<QAbstractButton *>())
    if (re.match(b->text()).hasMatch() && b->isEnabled() && b->isVisible())
      return b;
  return nullptr;
}

void TZRChild::moveFocus(QWidget *from, bool forward) {
  QWidget *w = from;
  for (int guard = 0; guard < 10000; ++guard) {
    w = forward ? w->nextInFocusChain() : w->previousInFocusChain();
    if (!w || w == from)
      return;
    if (w->window() == m_window && (w->focusPolicy() & Qt::TabFocus) && w->isVisible() && w->isEnabled() &&
        !w->focusProxy()) {
      w->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
      return;
    }
  }
}

bool TZRChild::handleKey(QWidget *receiver, QKeyEvent *e) {
  const int key = e->key();
  if (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
    return false;
  if (key == Qt::Key_F3 || (key >= Qt::Key_F5 && key <= Qt::Key_F12)) {
    if (QAbstractButton *b = buttonForKey(key)) {
      b->click();
      return true;
    }
    return false;
  }
  if (!EnterMove)
    return false;
  const bool memo = qobject_cast<QTextEdit *>(receiver) || qobject_cast<QPlainTextEdit *>(receiver);
  const bool grid = qobject_cast<QAbstractItemView *>(receiver) != nullptr;
  if ((key == Qt::Key_Return || key == Qt::Key_Enter) && (Options & moEnter)) {
    if (memo)
      return false;
    if (auto *ce = qobject_cast<zr::controls::TZRDBComboEdit *>(receiver); ce && ce->OnSelect) {
      bool handled = false;
      ce->OnSelect(ce, handled);
      if (handled)
        return true;
    }
    moveFocus(receiver, true);
    return EditNoBeep;
  }
  if ((key == Qt::Key_Down || key == Qt::Key_Up) && (Options & moArrows) && !memo && !grid) {
    moveFocus(receiver, key == Qt::Key_Down);
    return true;
  }
  return false;
}

bool TZRChild::eventFilter(QObject *watched, QEvent *event) {
  if (!m_window)
    return false;
  if (watched == m_window) {
    switch (event->type()) {
    case QEvent::Close:
      if (!mayClose()) {
        event->ignore();
        return true;
      }
      // Dialogs run their close from done(), which sees to the rest.
      if (!m_window->inherits("QDialog"))
        closing();
      return false;
    case QEvent::Show:
      // Controls a derived window made after the framework's own get the look at first show.
      if (!m_lookApplied) {
        m_lookApplied = true;
        ApplyLook(m_window);
        if (auto *set = m_window->findChild<TZRSetForm *>(QString(), Qt::FindDirectChildrenOnly))
          set->setImeNames(set->imeName());
      }
      emit TZRShowFormMessage(m_window);
      return false;
    case QEvent::WindowStateChange:
      if (m_window->isMinimized())
        emit TZRHideFormMessage(m_window);
      return false;
    default: return false;
    }
  }
  if (event->type() != QEvent::KeyPress)
    return false;
  auto *w = qobject_cast<QWidget *>(watched);
  // Only the first delivery, to the focused control: the same key passed on to its parents is
  // not handled twice.
  if (!w || w->window() != m_window || (QApplication::focusWidget() && w != QApplication::focusWidget()))
    return false;
  return handleKey(w, static_cast<QKeyEvent *>(event));
}

} // namespace zr::fw
