// Program start and end: the windows in their creation order and the message loop.
#pragma once

namespace gavrix {
int RunApplication(int argc, char** argv);
}
