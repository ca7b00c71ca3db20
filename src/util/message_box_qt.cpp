// Real message boxes, open-file dialog and beep; the error box helper.
#include "util/message_box_qt.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace gavrix {

namespace {

class RealBoxes : public MessageBoxes {
 public:
  void message(QWidget* parent, const QString& title, const QString& text, BoxIcon icon) override {
    QMessageBox::Icon i = QMessageBox::NoIcon;
    if (icon == BoxIcon::Error) i = QMessageBox::Critical;
    if (icon == BoxIcon::Warning) i = QMessageBox::Warning;
    if (icon == BoxIcon::Information) i = QMessageBox::Information;
    QMessageBox box(i, title, text, QMessageBox::Ok, parent);
    box.exec();
  }
  bool confirm(QWidget* parent, const QString& text) override {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), text, QMessageBox::Yes | QMessageBox::No,
                    parent);
    return box.exec() != QMessageBox::No;
  }
  QString openFile(QWidget* parent, const QString& filter) override {
    // "Description|PATTERN": the description is shown as it is and the
    // pattern matches whatever the letter case of the file name.
    QString description = filter.section(u'|', 0, 0);
    QString pattern = filter.section(u'|', 1);
    QFileDialog dialog(parent);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (!pattern.isEmpty()) {
      dialog.setNameFilter(description.contains(u'(') ? description : description + QStringLiteral(" (") + pattern + u')');
      dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
  }
  void beep() override { QApplication::beep(); }
};

MessageBoxes* installed = nullptr;
bool errorBoxOpen = false;

}  // namespace

MessageBoxes& Boxes() {
  static RealBoxes real;
  return installed ? *installed : real;
}

void SetBoxes(MessageBoxes* boxes) { installed = boxes; }

void ShowError(QWidget* parent, const std::exception& e) {
  if (errorBoxOpen) return;
  QString text = QString::fromUtf8(e.what());
  if (!text.endsWith(u'.')) text += u'.';
  errorBoxOpen = true;
  Boxes().message(parent, kAppTitle, text, BoxIcon::Error);
  errorBoxOpen = false;
}

}  // namespace gavrix
