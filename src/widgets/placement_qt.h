// Where the program's windows open.
#pragma once

class QWidget;

namespace gavrix {

// Places a window in the middle of the primary screen's free area, at its
// current size.
void CentreOnScreen(QWidget* window);

}  // namespace gavrix
