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
    // "Description|PATTERN" pairs: each description is shown as it is and its
    // pattern matches whatever the letter case of the file name. The names
    // game clients and their launcher have on Linux, and every file, are
    // offered after them: a Windows file name alone would match no client here.
    QStringList filters;
    const QStringList parts = filter.split(u'|');
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
      const QString& description = parts[i];
      const QString pattern = QString(parts[i + 1]).replace(u';', u' ');
      if (pattern.isEmpty()) continue;
      filters << (description.contains(u'(') ? description : description + QStringLiteral(" (") + pattern + u')');
    }
    if (!filters.isEmpty()) {
      filters << QStringLiteral("Game clients on Linux (hl_linux hl.sh hl2_linux hl2.sh steam)")
              << QStringLiteral("All files (*)");
    }
    QFileDialog dialog(parent);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (!filters.isEmpty()) {
      dialog.setNameFilters(filters);
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
