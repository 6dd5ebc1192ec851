#pragma once
// The date picker every date input opens: a month grid with month and year steps and the
// chosen date shown above it as YYYY-MM-DD.
#include <QtCore/QDate>
#include <QtWidgets/QDialog>

class QCalendarWidget;
class QLabel;
class QPushButton;

namespace zr::ui {

class TDateForm : public QDialog {
  Q_OBJECT
public:
  explicit TDateForm(QWidget *parent = nullptr);
  QDate date() const;
  void setDate(const QDate &d);

  QLabel *TitleLabel;
  QPushButton *PrevMonthBtn, *NextMonthBtn, *SpeedButton1, *SpeedButton2;
  QCalendarWidget *Calendar;
  QPushButton *button_ok, *button_close;

protected:
  void keyPressEvent(QKeyEvent *e) override;
  void showEvent(QShowEvent *e) override;

private:
  void showTitle();
};

// Opens the picker on `current` (a time of day after the date is ignored; an invalid date
// leaves the calendar where it was) or, when current is empty, on `fallback`. The chosen date
// as YYYY-MM-DD, or empty when cancelled.
QString PickDate(const QString &current, const QString &fallback);

// "2024-03-05" (or with "/") as a date; invalid when it is not one.
QDate parseDate(const QString &text);

} // namespace zr::ui
