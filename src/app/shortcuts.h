// Keyboard and clipboard comforts of the main window: F5 and Escape for Scan
// and Stop, Enter on a selected row for Play, and the selected server's address
// copied with Ctrl+C or the popup's "Copy address".
#pragma once

#include <QString>

namespace gavrix {

class TForm1;

// Gives the window's controls their keys; once, after the controls exist.
void AddShortcuts(TForm1& form);

// "address:port" of the selected row; empty when no row is selected.
QString SelectedServerAddress(const TForm1& form);

}  // namespace gavrix
