// The password and auto-connect dialogs: controls, masking, presets kept
// between showings, and the password section of the settings file.
#include "launch/join_dialogs_qt.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QSpinBox>

#include "settings/settings.h"
#include "widgets/translucency_qt.h"
#include "util/message_box_qt.h"
#include "widgets/placement_qt.h"

namespace gavrix {

namespace {

QLabel* Picture(QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setPixmap(QApplication::windowIcon().pixmap(32, 32));
  label->setFixedSize(32, 32);
  return label;
}

QPushButton* Button(QWidget* parent, const char* name, const char* caption) {
  auto* b = new QPushButton(QString::fromLatin1(caption), parent);
  b->setObjectName(QString::fromLatin1(name));
  return b;
}

// Fixed-size dialog with the close button only.
void FixDialog(QDialog* d) {
  d->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                    Qt::MSWindowsFixedSizeDialogHint);
  d->adjustSize();
  d->setFixedSize(d->sizeHint());
}

void ApplyShown(QWidget* w, const TranslucencySource& source) {
  if (!source) return;
  auto [on, level] = source();
  ApplyTranslucencyOnShow(w, on, level, ShowRule::Follow);
}

}  // namespace

// ---- Password ----

TFormPass::TFormPass(IniFile& ini, QWidget* parent) : QDialog(parent), ini_(ini) {
  setObjectName(QStringLiteral("FormPass"));
  setWindowTitle(QStringLiteral("Password"));
  Image = Picture(this);
  Label1 = new QLabel(QStringLiteral("Enter password:"), this);
  MEPass = new QLineEdit(this);
  MEPass->setObjectName(QStringLiteral("MEPass"));
  // Masked characters show as '*'.
  MEPass->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
  MEPass->setMinimumWidth(180);
  CBShowPass = new QCheckBox(QStringLiteral("Show password"), this);
  CBShowPass->setObjectName(QStringLiteral("CBShowPass"));
  BitBtn1 = Button(this, "BitBtn1", "OK");
  BitBtn2 = Button(this, "BitBtn2", "Cancel");
  BitBtn1->setDefault(true);

  auto* grid = new QGridLayout(this);
  grid->addWidget(Image, 0, 0, 2, 1, Qt::AlignTop);
  grid->addWidget(Label1, 0, 1);
  grid->addWidget(MEPass, 1, 1);
  grid->addWidget(CBShowPass, 2, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(BitBtn1);
  buttons->addWidget(BitBtn2);
  grid->addLayout(buttons, 3, 0, 1, 2);
  FixDialog(this);

  connect(BitBtn1, &QPushButton::clicked, this, [this] { Guarded(this, [this] { BitBtn1Click(); }); });
  connect(BitBtn2, &QPushButton::clicked, this, [this] { Guarded(this, [this] { BitBtn2Click(); }); });
  connect(CBShowPass, &QCheckBox::toggled, this, [this] { CBShowPassClick(); });

  // FormCreate: the saved state, after the settings load.
  Settings saved;
  ReadPassword(ini_, saved);
  CBShowPass->setChecked(saved.ShowPass);
  CBShowPassClick();
  CentreOnScreen(this);
  MEPass->setText(QString::fromStdString(saved.LastPass));
}

TFormPass::~TFormPass() { FormDestroy(); }

void TFormPass::FormDestroy() {
  Settings s;
  s.LastPass = MEPass->text().toStdString();
  s.ShowPass = CBShowPass->isChecked();
  Guarded(parentWidget(), [&] { WritePassword(ini_, s); });
}

void TFormPass::CBShowPassClick() {
  MEPass->setEchoMode(CBShowPass->isChecked() ? QLineEdit::Normal : QLineEdit::Password);
}

void TFormPass::BitBtn1Click() {
  if (MEPass->text().isEmpty()) {
    MEPass->setFocus();
    return;
  }
  hide();
  emit confirmed(MEPass->text());
}

void TFormPass::BitBtn2Click() {
  hide();
  emit cancelled();
}

void TFormPass::reject() { BitBtn2Click(); }

void TFormPass::closeEvent(QCloseEvent* event) { QWidget::closeEvent(event); }

void TFormPass::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;
  ApplyShown(this, translucency_);
  MEPass->setFocus();
  MEPass->selectAll();
}

// ---- Auto connect ----

TFormAuto::TFormAuto(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FormAuto"));
  setWindowTitle(QStringLiteral("Auto connect to "));
  Label1 = new QLabel(QStringLiteral("Connect then players:"), this);
  CB = new QComboBox(this);
  CB->setObjectName(QStringLiteral("CB"));
  CB->addItems({QStringLiteral("<="), QStringLiteral(">")});
  CB->setCurrentIndex(0);
  SPNeed = new QSpinBox(this);
  SPNeed->setObjectName(QStringLiteral("SPNeed"));
  SPNeed->setRange(0, 64);
  SPNeed->setValue(9);
  CBAsk = new QCheckBox(QStringLiteral("Ask me before connect"), this);
  CBAsk->setObjectName(QStringLiteral("CBAsk"));
  CBPass = new QCheckBox(QStringLiteral("Password:"), this);
  CBPass->setObjectName(QStringLiteral("CBPass"));
  EditPass = new QLineEdit(this);
  EditPass->setObjectName(QStringLiteral("EditPass"));
  EditPass->setEnabled(false);
  BitBtn1 = Button(this, "BitBtn1", "OK");
  BitBtn2 = Button(this, "BitBtn2", "Cancel");
  BitBtn1->setDefault(true);
  Image1 = Picture(this);

  auto* grid = new QGridLayout(this);
  grid->addWidget(Image1, 0, 0, 2, 1, Qt::AlignTop);
  grid->addWidget(Label1, 0, 1, 1, 2);
  grid->addWidget(CB, 1, 1);
  grid->addWidget(SPNeed, 1, 2);
  grid->addWidget(CBAsk, 2, 1, 1, 2);
  grid->addWidget(CBPass, 3, 1);
  grid->addWidget(EditPass, 3, 2);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(BitBtn1);
  buttons->addWidget(BitBtn2);
  grid->addLayout(buttons, 4, 0, 1, 3);
  FixDialog(this);
  CentreOnScreen(this);

  connect(BitBtn1, &QPushButton::clicked, this, [this] { emit okClicked(); });
  connect(BitBtn2, &QPushButton::clicked, this, [this] { emit cancelClicked(); });
  connect(CBPass, &QCheckBox::toggled, this, [this] { CBPassClick(); });
}

void TFormAuto::CBPassClick() { EditPass->setEnabled(CBPass->isChecked()); }

void TFormAuto::reject() { emit cancelClicked(); }

void TFormAuto::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  if (event->isAccepted()) emit closedByButton();
}

void TFormAuto::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) ApplyShown(this, translucency_);
}

}  // namespace gavrix
