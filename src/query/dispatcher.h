// The reply dispatcher: routes every arriving datagram by its type byte to the
// decoders, which fill the server list and the two panes, and answers challenges.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "query/catalogue.h"
#include "query/datagrams.h"
#include "query/records.h"
#include "query/reply_buffer.h"
#include "query/server_list.h"
#include "serverlist/pane.h"

namespace gavrix {

// What the decoders need from, and report to, the window that owns them.
class ReplyEvents {
 public:
  virtual ~ReplyEvents() = default;
  // The "Show only" flag of a game, read when each reply is decoded.
  virtual bool gameShown(GameFlag flag) = 0;
  // The scan run's scanning flag.
  virtual bool scanning() = 0;
  // Last step of every listed info reply: `row` of the server list was
  // completed for the reply from address:port; playersText is the player count
  // as the reply gave it (decimal for the binary replies).
  virtual void rowCompleted(int row, const std::string& address, uint16_t port, const std::string& playersText) = 0;
  // Sends a datagram to host:port; false when the send failed.
  virtual bool send(const std::string& host, uint16_t port, Bytes datagram) = 0;
  virtual void networkError() = 0;
};

// The window's side of the decoders minus everything that would reach out:
// every game is shown and nothing is sent. For tools and benchmarks.
class OfflineEvents : public ReplyEvents {
 public:
  bool isScanning = false;
  bool gameShown(GameFlag) override { return true; }
  bool scanning() override { return isScanning; }
  void rowCompleted(int, const std::string&, uint16_t, const std::string&) override {}
  bool send(const std::string&, uint16_t, Bytes) override { return true; }
  void networkError() override {}
};

class ReplyDispatcher {
 public:
  ReplyDispatcher(ServerListModel& servers, PaneModel& players, PaneModel& rules, ReplyEvents& events);

  // Handles one datagram. Conversion errors escape as ConvertError for the
  // caller's standard error box; nothing else does.
  void UDPDataReceived(const uint8_t* data, size_t count, const std::string& address, uint16_t port);

  // The decoders, run on the reply buffer's current contents.
  void AddHL1(const std::string& address, uint16_t port);
  void AddCSS(const std::string& address, uint16_t port);
  void AddOldReply(const std::string& address, uint16_t port);
  void AddOld(const std::string& description, const std::string& protocol, const std::string& hostname,
              const std::string& address, const std::string& port, const std::string& map,
              const std::string& players, const std::string& max, const std::string& os,
              const std::string& password, const std::string& proxy);
  void AddPlayers(size_t length);
  void AddRules();
  void SendQuery(const std::string& address, uint16_t port);

  QueryBuffers& queries() { return queries_; }
  const ReplyBuffer& reply() const { return reply_; }
  const RulesBuffer& rulesBuffer() const { return rulesBuf_; }

 private:
  // Row completion: sub-items, OS icon, access mark; then the window hears of
  // it (refresh, join check). `from` is the reply's source port.
  void completeRow(int row, std::string name, const std::string& address, uint16_t from, std::string port,
                   std::string protocol, std::string map, const std::string& players, const std::string& max,
                   char os, int accessIcon);
  // First earlier row (before the last) of the address, and of the port when given.
  void replaceOlder(const std::string& address, const uint16_t* port);
  bool listed(const std::string& address, uint16_t port);

  ServerListModel& servers_;
  PaneModel& players_;
  PaneModel& rules_;
  ReplyEvents& events_;
  QueryBuffers queries_;
  ReplyBuffer reply_;
  RulesBuffer rulesBuf_;
};

// Access mark of the binary info replies (GoldSrc and Source).
int BinaryAccessMark(uint8_t password, uint8_t players, uint8_t maxPlayers);
// Access mark of the old infostring reply; -1 for none.
int OldAccessMark(std::string_view password, std::string_view players, std::string_view max);

}  // namespace gavrix
