// The password dialog TFormPass and the auto-connect dialog TFormAuto. Both
// live for the whole run and are only shown and hidden; the join controller
// acts on what they report.
#pragma once

#include <QDialog>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace gavrix {

class IniFile;

// The shared Trans and TransLevel, read each time a dialog is shown.
using TranslucencySource = std::function<std::pair<bool, int>()>;

class TFormPass : public QDialog {
  Q_OBJECT

 public:
  // Reads section Password of ini (FormCreate); writes it back when destroyed.
  explicit TFormPass(IniFile& ini, QWidget* parent = nullptr);
  ~TFormPass() override;

  void setTranslucencySource(TranslucencySource source) { translucency_ = std::move(source); }

  QLabel* Image = nullptr;
  QLabel* Label1 = nullptr;
  QLineEdit* MEPass = nullptr;
  QCheckBox* CBShowPass = nullptr;
  QPushButton* BitBtn1 = nullptr;  // OK
  QPushButton* BitBtn2 = nullptr;  // Cancel

  void BitBtn1Click();
  void BitBtn2Click();
  void CBShowPassClick();

 signals:
  // OK with a password in the edit; the dialog has closed.
  void confirmed(const QString& password);
  // Cancel (or Escape); the dialog has closed.
  void cancelled();

 protected:
  void showEvent(QShowEvent* event) override;
  // The close button only closes.
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  void FormDestroy();
  IniFile& ini_;
  TranslucencySource translucency_;
};

class TFormAuto : public QDialog {
  Q_OBJECT

 public:
  explicit TFormAuto(QWidget* parent = nullptr);

  void setTranslucencySource(TranslucencySource source) { translucency_ = std::move(source); }

  QLabel* Label1 = nullptr;
  QComboBox* CB = nullptr;       // join comparison "<=" or ">"
  QSpinBox* SPNeed = nullptr;    // join threshold
  QCheckBox* CBAsk = nullptr;    // "Ask me before connect"
  QCheckBox* CBPass = nullptr;   // "Password:"
  QLineEdit* EditPass = nullptr;
  QPushButton* BitBtn1 = nullptr;  // OK
  QPushButton* BitBtn2 = nullptr;  // Cancel
  QLabel* Image1 = nullptr;

  void CBPassClick();

 signals:
  void okClicked();
  void cancelClicked();
  // Closed with the window's close button.
  void closedByButton();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  TranslucencySource translucency_;
};

}  // namespace gavrix
