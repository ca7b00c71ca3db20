// Keys of the main window and the address copy.
#include "app/shortcuts.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeySequence>
#include <QShortcut>
#include <QToolButton>

#include "app/main_window.h"
#include "util/message_box_qt.h"

namespace gavrix {

QString SelectedServerAddress(const TForm1& form) {
  const int row = form.selectedRow();
  if (row < 0) return {};
  const ServerRow& r = form.servers.row(row);
  return QString::fromStdString(r.address() + ':' + r.port());
}

void AddShortcuts(TForm1& form) {
  MainWindowUi& ui = form.ui;
  // A button's key works only while the button is enabled.
  ui.SBScanAll->setShortcut(QKeySequence(Qt::Key_F5));
  ui.SBStop->setShortcut(QKeySequence(Qt::Key_Escape));

  // One action: the popup's item shows the key, the list answers it.
  ui.PMSCopy->setShortcut(QKeySequence::Copy);
  ui.PMSCopy->setShortcutContext(Qt::WidgetShortcut);
  ui.PMSCopy->setShortcutVisibleInContextMenu(true);
  ui.LW->addAction(ui.PMSCopy);
  QObject::connect(ui.PMSCopy, &QAction::triggered, &form, [&form] {
    const QString address = SelectedServerAddress(form);
    if (!address.isEmpty()) QGuiApplication::clipboard()->setText(address);
  });

  // Enter on a selected row plays it, as the Play button would while it is enabled.
  for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
    auto* enter = new QShortcut(QKeySequence(key), ui.LW);
    enter->setContext(Qt::WidgetShortcut);
    QObject::connect(enter, &QShortcut::activated, &form, [&form] {
      if (form.selectedRow() >= 0 && form.ui.SBPlay->isEnabled()) Guarded(&form, [&form] { form.SBPlayClick(); });
    });
  }
}

}  // namespace gavrix
