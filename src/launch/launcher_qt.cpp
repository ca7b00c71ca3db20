// Joining games: the launcher (Play) and auto-connect with its join check.
// Both are entry points that the list, the popup and the decoders call.
#include "app/main_window.h"

namespace gavrix {

void TForm1::SBPlayClick() {}

void TForm1::SBAutoClick() {}

void TForm1::JoinCheck(const std::string& /*address*/, const std::string& /*playersText*/) {
  if (!autoConnect) return;
}

}  // namespace gavrix
