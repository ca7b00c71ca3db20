// Every modal box, the open-file dialog and the beep go through this seam, so
// a test can see each box and answer it in advance. Nothing else calls
// QMessageBox or QFileDialog.
#pragma once

#include <QString>
#include <exception>

class QWidget;

namespace gavrix {

enum class BoxIcon { None, Error, Warning, Information };

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // A box with one OK button.
  virtual void message(QWidget* parent, const QString& title, const QString& text, BoxIcon icon) = 0;
  // Yes/No question titled "Confirm"; only an explicit No declines.
  virtual bool confirm(QWidget* parent, const QString& text) = 0;
  // Full path of the chosen file, or empty when cancelled.
  virtual QString openFile(QWidget* parent, const QString& filter) = 0;
  virtual void beep() = 0;
};

// The boxes in use: the real ones unless a test installed others.
MessageBoxes& Boxes();
// Installs boxes (nullptr restores the real ones); the caller keeps ownership.
void SetBoxes(MessageBoxes* boxes);

inline const QString kAppTitle = QStringLiteral("Gavrix_v1.99 beta");

// The standard error box of unexpected errors: the message with a full stop
// added, titled with the program's title, an error icon and OK. While one is
// open, further errors are not stacked on top of it.
void ShowError(QWidget* parent, const std::exception& e);

// Runs a handler's body; an exception that escapes it ends the handler and is
// shown in the standard error box.
template <class F>
void Guarded(QWidget* parent, F&& body) {
  try {
    body();
  } catch (const std::exception& e) {
    ShowError(parent, e);
  }
}

}  // namespace gavrix
