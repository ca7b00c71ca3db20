// Query datagram layouts.
#include "query/datagrams.h"

#include <cstring>

namespace gavrix {

namespace {

// FF FF FF FF, then text with its NUL.
template <size_t N>
void Fill(std::array<uint8_t, N>& buf, const char* text) {
  buf.fill(0);
  std::memset(buf.data(), 0xFF, 4);
  std::memcpy(buf.data() + 4, text, std::strlen(text));
}

}  // namespace

QueryBuffers::QueryBuffers() {
  Fill(sourceInfo_, "TSource Engine Query");
  Fill(oldInfo_, "infostring");
  // The challenge slot (bytes 5-8) first holds "Sour".
  Fill(sourceRules_, "VSource Engine Query");
  Fill(sourcePlayers_, "USource Engine Query");
  Fill(oldPlayers_, "players");
  Fill(oldRules_, "rules");
}

void QueryBuffers::setChallenge(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3) {
  for (auto* buf : {&sourceRules_, &sourcePlayers_}) {
    (*buf)[5] = b0;
    (*buf)[6] = b1;
    (*buf)[7] = b2;
    (*buf)[8] = b3;
  }
}

}  // namespace gavrix
