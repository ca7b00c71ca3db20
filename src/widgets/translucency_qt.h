// Window translucency: each window keeps its own on/off state and level, and
// shows the level only while translucency is on.
#pragma once

class QWidget;

namespace gavrix {

// Switches translucency of a top-level window on or off. Off draws it opaque;
// on draws it at its level.
void SetTranslucent(QWidget* window, bool on);
// Sets the level of a window, 0 (invisible) to 255 (opaque); values outside
// are clamped. It shows at once while the window is translucent, otherwise at
// the next switch on.
void SetTranslucencyLevel(QWidget* window, int level);
bool IsTranslucent(const QWidget* window);
// 255 until a level is set.
int TranslucencyLevel(const QWidget* window);

// What a window does with the shared Trans and TransLevel each time it is
// shown. The main window and the settings dialog only switch translucency on
// (SwitchOnOnly); the other dialogs take the on/off state as it is (Follow).
enum class ShowRule { SwitchOnOnly, Follow };
void ApplyTranslucencyOnShow(QWidget* window, bool trans, int level, ShowRule rule);

}  // namespace gavrix
