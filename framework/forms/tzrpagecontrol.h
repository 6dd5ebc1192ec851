#pragma once
// TZRPageControl: pages that refuse to change while one of their data sources is editing, or,
// when the user changes the page, while the master dataset has no record.
#include <QtCore/QPointer>
#include <QtWidgets/QTabWidget>
#include <array>
#include <functional>

namespace zr::data {
class Dataset;
}

namespace zr::fw {

class TZRDataSource;

class TZRPageControl : public QTabWidget {
  Q_OBJECT
public:
  explicit TZRPageControl(QWidget *parent = nullptr);

  std::array<QPointer<TZRDataSource>, 7> DataSources; // DataSource1 to DataSource7
  QPointer<zr::data::Dataset> QyMaster;
  int Color = 0;
  // The window's own check, run last; false keeps the page.
  std::function<bool()> OnChanging;

  // Whether the page may change now; warns when it may not.
  bool CanChange(bool programmatic);
  // A page change made by the program: the editing rule holds, the empty master does not.
  bool setActivePage(int index);

protected:
  bool eventFilter(QObject *watched, QEvent *event) override;
  void keyPressEvent(QKeyEvent *e) override;
};

} // namespace zr::fw
