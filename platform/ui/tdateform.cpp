#include "platform/ui/tdateform.h"

#include "platform/ui/modal.h"

#include <QtGui/QKeyEvent>
#include <QtWidgets/QCalendarWidget>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QVBoxLayout>

namespace zr::ui {

TDateForm::TDateForm(QWidget *parent) : QDialog(parent) {
  setObjectName(QStringLiteral("DateForm"));
  setWindowTitle(QStringLiteral("日期选择窗口"));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
  auto *layout = new QVBoxLayout(this);
  auto *top = new QHBoxLayout;
  auto button = [this](const char16_t *name, const char16_t *text, const char16_t *tip) {
    auto *b = new QPushButton(QString::fromUtf16(text), this);
    b->setObjectName(QString::fromUtf16(name));
    b->setToolTip(QString::fromUtf16(tip));
    b->setAutoDefault(false);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
  };
  SpeedButton1 = button(u"SpeedButton1", u"<<", u"上一年");
  PrevMonthBtn = button(u"PrevMonthBtn", u"<", u"上一月");
  TitleLabel = new QLabel(this);
  TitleLabel->setObjectName(QStringLiteral("TitleLabel"));
  TitleLabel->setAlignment(Qt::AlignCenter);
  NextMonthBtn = button(u"NextMonthBtn", u">", u"下一月");
  SpeedButton2 = button(u"SpeedButton2", u">>", u"下一年");
  top->addWidget(SpeedButton1);
  top->addWidget(PrevMonthBtn);
  top->addWidget(TitleLabel, 1);
  top->addWidget(NextMonthBtn);
  top->addWidget(SpeedButton2);
  layout->addLayout(top);
  Calendar = new QCalendarWidget(this);
  Calendar->setObjectName(QStringLiteral("Calendar"));
  Calendar->setFirstDayOfWeek(Qt::Sunday);
  Calendar->setNavigationBarVisible(false);
  Calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
  Calendar->setStyleSheet(QStringLiteral("QCalendarWidget QAbstractItemView { background: white; }"));
  layout->addWidget(Calendar);
  auto *buttons = new QHBoxLayout;
  button_ok = new QPushButton(QStringLiteral("确定[F3]"), this);
  button_ok->setObjectName(QStringLiteral("button_ok"));
  button_ok->setDefault(true);
  button_close = new QPushButton(QStringLiteral("关闭[F4]"), this);
  button_close->setObjectName(QStringLiteral("button_close"));
  buttons->addStretch();
  buttons->addWidget(button_ok);
  buttons->addWidget(button_close);
  layout->addLayout(buttons);

  connect(button_ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(button_close, &QPushButton::clicked, this, &QDialog::reject);
  connect(Calendar, &QCalendarWidget::activated, this, [this] { button_ok->click(); });
  connect(Calendar, &QCalendarWidget::selectionChanged, this, &TDateForm::showTitle);
  connect(PrevMonthBtn, &QPushButton::clicked, this, [this] { setDate(date().addMonths(-1)); });
  connect(NextMonthBtn, &QPushButton::clicked, this, [this] { setDate(date().addMonths(1)); });
  // addYears turns 29 February into 28 February in a common year.
  connect(SpeedButton1, &QPushButton::clicked, this, [this] { setDate(date().addYears(-1)); });
  connect(SpeedButton2, &QPushButton::clicked, this, [this] { setDate(date().addYears(1)); });
  showTitle();
}

QDate TDateForm::date() const {
  return Calendar->selectedDate();
}

void TDateForm::setDate(const QDate &d) {
  if (!d.isValid())
    return;
  Calendar->setSelectedDate(d);
  Calendar->setCurrentPage(d.year(), d.month());
  showTitle();
}

void TDateForm::showTitle() {
  TitleLabel->setText(date().toString(QStringLiteral("yyyy-MM-dd")));
}

void TDateForm::showEvent(QShowEvent *e) {
  showTitle();
  QDialog::showEvent(e);
}

void TDateForm::keyPressEvent(QKeyEvent *e) {
  if (e->key() == Qt::Key_F3)
    button_ok->click();
  else if (e->key() == Qt::Key_F4)
    button_close->click();
  else
    QDialog::keyPressEvent(e);
}

QDate parseDate(const QString &text) {
  const QString t = text.trimmed();
  for (const QString &f : {QStringLiteral("yyyy-M-d"), QStringLiteral("yyyy/M/d")}) {
    const QDate d = QDate::fromString(t, f);
    if (d.isValid())
      return d;
  }
  return {};
}

QString PickDate(const QString &current, const QString &fallback) {
  QString text = current;
  const qsizetype colon = text.indexOf(u':');
  if (colon >= 0)
    text = text.left(qMax<qsizetype>(0, colon - 2)).trimmed(); // "2010-01-02 12:30" -> the date
  TDateForm form;
  if (!text.isEmpty())
    form.setDate(parseDate(text));
  else
    form.setDate(parseDate(fallback));
  form.raise();
  form.activateWindow();
  if (execModal(form) != QDialog::Accepted)
    return {};
  return form.date().toString(QStringLiteral("yyyy-MM-dd"));
}

} // namespace zr::ui
