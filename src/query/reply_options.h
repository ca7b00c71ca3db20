// What the reply dispatcher is told by the settings, read at every datagram.
#pragma once

namespace gavrix {

struct ReplyOptions {
  // Today's servers: info challenges, split replies of any size and shape,
  // classification by app id. Off, the dispatcher behaves as it always did,
  // byte for byte on the wire and row for row in the lists.
  bool modernServers = true;
};

}  // namespace gavrix
