// The program's pictures, drawn in code: server list icons, game pictures, tray images, program icon.
#pragma once

#include <QIcon>
#include <QImage>
#include <QList>
#include <QPixmap>

namespace gavrix {

inline constexpr int kServerIconCount = 23;  // small icons of the server list, 16 x 16
inline constexpr int kGamePictureCount = 12; // game pictures beside the buttons, 32 x 32
inline constexpr int kTrayImageCount = 2;

// The 23 server list icons (index 0 to 22), each with a 16 and a 32 pixel size.
// Built once, on first use; a QGuiApplication must exist by then.
const QList<QIcon>& ServerIcons();
// One server list icon; a null icon for an index out of range (-1: none).
QIcon ServerIcon(int index);

// Game picture 0 to 11 (32 x 32); a null pixmap for an index out of range.
QPixmap GamePicture(int picture);
// The game picture shown for a row icon: 18..22 give 7..11, any other index itself.
int GamePictureForIcon(int icon);

// Tray image 0 (normal) and 1 (the second step of the blinking while auto-connect waits).
QIcon TrayImage(int index);
// The program's own icon, in several sizes.
QIcon AppIcon();

// Renders the program's icon at size x size pixels (also for the icon files of an installation).
QImage RenderAppIcon(int size);

// Renders server list icon `index` at size x size pixels (for the caches above, and to look at them enlarged).
QImage RenderServerIcon(int index, int size);

}  // namespace gavrix
