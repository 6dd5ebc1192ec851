#pragma once
// "注册窗口": first-run setup. It records the organisation and the first system user, gives
// that user every right, asks for the numbering scheme and makes the default report templates.
#include <QtWidgets/QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zr::ui {
class TZRThread;
}

namespace zr::app {

// One default template per category: seed file, name suffix, PRINT_NAME, PRINT_TYPE.
struct ReportTemplateSeed {
  const char16_t *seed;
  const char16_t *suffix;
  const char16_t *name;
  const char16_t *type;
};
const QList<ReportTemplateSeed> &reportTemplateSeeds();

class TEnrolForm : public QDialog {
  Q_OBJECT
public:
  explicit TEnrolForm(QWidget *parent = nullptr);

  QLabel *Image2;
  QLineEdit *ZREdit1, *ZREdit4, *ZREdit5, *ZREdit2, *ZREdit3;
  QComboBox *ZRComboBox1;
  QLabel *Label10, *Label11;
  QPushButton *Button_Ok, *Button_Close;
  zr::ui::TZRThread *ZRThread;

  void Button_OkClick();
  // The default templates of the four default top-level categories.
  void createReportTemplates();

protected:
  void showEvent(QShowEvent *e) override;

private:
  bool writeRights(const QString &id);
};

} // namespace zr::app
