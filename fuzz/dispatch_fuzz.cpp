// libFuzzer target: sequences of arbitrary datagrams from a few sources through
// the reply dispatcher and every decoder into the server list and panes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "input_format.h"
#include "query/dispatcher.h"
#include "query/records.h"
#include "query/server_list.h"
#include "serverlist/pane.h"
#include "util/text.h"

namespace {

using namespace gavrix;

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

// The window's side, driven by the input's settings word.
class FuzzEvents : public ReplyEvents {
 public:
  explicit FuzzEvents(uint16_t settings) : settings_(settings) {}
  bool gameShown(GameFlag flag) override { return settings_ >> static_cast<int>(flag) & 1; }
  bool scanning() override { return settings_ & fuzz::kScanning; }
  void rowCompleted(int, const std::string& address, uint16_t, const std::string& playersText) override {
    // An active auto-connect reads the watched server's count as a number.
    if ((settings_ & fuzz::kWatchFirst) && address == fuzz::kAddresses[0]) (void)StrToInt(playersText);
  }
  bool send(const std::string&, uint16_t, Bytes datagram) override {
    // Only the 9-byte challenge answers are sent by the dispatcher.
    if (datagram.size() != 9 || datagram[0] != 0xFF || datagram[4] < 'U' || datagram[4] > 'V')
      Fail("unexpected datagram sent");
    return !(settings_ & fuzz::kSendFails);
  }
  void networkError() override {}

 private:
  uint16_t settings_;
};

// What the view does with every text it shows; the result must be UTF-8.
void Show(const std::string& text, size_t maxLength) {
  if (text.size() > maxLength) Fail("text longer than any datagram can give");
  if (!IsValidUtf8(DisplayUtf8(text))) Fail("shown text is not UTF-8");
}

void CheckModels(const ServerListModel& servers, const PaneModel& players, const PaneModel& rules,
                 int datagramsSinceClear) {
  // Each datagram adds at most one row; a players reply holds at most one
  // player per 10 bytes; the rule count is one byte.
  if (servers.size() > datagramsSinceClear) Fail("server list grew by more than one row per datagram");
  if (players.size() > static_cast<int>(kReplyBufferSize / 10)) Fail("players pane too long");
  if (rules.size() > 255) Fail("rules pane too long");
  for (int i = 0; i < servers.size(); ++i) {
    const ServerRow& r = servers.row(i);
    if (r.subCount > 8) Fail("row has too many sub-items");
    for (int c = 0; c < kColumnCount; ++c) Show(r.text(c), 2 * kReplyBufferSize + 1);
  }
  for (const PaneModel* pane : {&players, &rules})
    for (int i = 0; i < pane->size(); ++i) {
      Show(pane->row(i).caption, kRulesBufferSize);
      Show(pane->row(i).value, kRulesBufferSize);
    }
}

// Every decoder over whatever the reply buffer holds, whatever its type byte.
void DecodeAll(const ReplyBuffer& b) {
  THL1info h = DecodeHL1(b);
  (void)GetField(':', h.Addr, 2);
  (void)ClassifyGoldSrc(h.Game, h.Protocol);
  TCSSinfo s = DecodeCSS(b);
  (void)ClassifySource(s.Game);
  OldInfo o = DecodeOldInfostring(b);
  (void)TryStrToInt(o.protocol);
  (void)OldAccessMark(o.password, o.players, o.max);
}

constexpr int kClearEvery = 64;  // datagrams between two emptyings of the lists

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  uint16_t settings = static_cast<uint16_t>(data[0] | data[1] << 8);
  size_t pos = 2;

  ServerListModel servers;
  PaneModel players, rules;
  FuzzEvents events(settings);
  ReplyDispatcher dispatcher(servers, players, rules, events);
  int sinceClear = 0;

  while (pos + 3 <= size) {
    uint8_t header = data[pos];
    size_t length = (data[pos + 1] | data[pos + 2] << 8) % (fuzz::kMaxDatagram + 1);
    pos += 3;
    if (length > size - pos) length = size - pos;
    // A datagram of its own exact size, so a read past its end is caught.
    std::vector<uint8_t> datagram;
    if (header & fuzz::kPrefixHeader) datagram.assign(4, 0xFF);
    datagram.insert(datagram.end(), data + pos, data + pos + length);
    pos += length;
    if (datagram.size() > fuzz::kMaxDatagram) datagram.resize(fuzz::kMaxDatagram);
    std::string address = fuzz::kAddresses[header & 3];
    uint16_t port = fuzz::kPorts[header >> 2 & 3];

    if (sinceClear == kClearEvery) {
      servers.clear();
      players.clear();
      sinceClear = 0;
    }
    try {
      dispatcher.UDPDataReceived(datagram.empty() ? nullptr : datagram.data(), datagram.size(), address, port);
    } catch (const ConvertError&) {
      // The window shows it in its error box and goes on with the next datagram.
    }
    ++sinceClear;
    DecodeAll(dispatcher.reply());
    CheckModels(servers, players, rules, sinceClear);

    switch (header >> fuzz::kActionShift) {
      case 1: servers.sortByColumn(kColName); break;
      case 2: servers.sortByColumn(kColPort); break;
      case 3:
        servers.clear();
        players.clear();
        rules.clear();
        sinceClear = 0;
        break;
      default: break;
    }
  }
  return 0;
}
