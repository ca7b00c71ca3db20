// Reply dispatch, the info decoders' row building, players and rules panes,
// the challenge answer and the reassembly of split rules replies.
#include "query/dispatcher.h"

#include "util/text.h"

namespace gavrix {

namespace {

constexpr size_t kRulesReplyOffset = 9;      // a rules reply lies in the buffer from here
constexpr size_t kFirstFragmentSize = 1400;  // a split fragment of this size is the first one

char OsLetter(char c) { return UpperAscii(c); }

}  // namespace

int BinaryAccessMark(uint8_t password, uint8_t players, uint8_t maxPlayers) {
  if (password == 0 && players < maxPlayers) return icon::kOpen;
  if (password == 1) return icon::kPassword;
  return icon::kFull;
}

int OldAccessMark(std::string_view password, std::string_view players, std::string_view max) {
  if (password == "0") return players != max ? icon::kOpen : icon::kFull;
  if (password == "1") return icon::kPassword;
  return -1;
}

ReplyDispatcher::ReplyDispatcher(ServerListModel& servers, PaneModel& players, PaneModel& rules,
                                 ReplyEvents& events)
    : servers_(servers), players_(players), rules_(rules), events_(events) {}

void ReplyDispatcher::UDPDataReceived(const uint8_t* data, size_t count, const std::string& address,
                                      uint16_t port) {
  // Datagrams past the buffer's 1500 bytes are cut to their first 1500.
  count = reply_.assign(data, count);
  if (reply_.at(1) != 0xFF || reply_.at(2) != 0xFF || reply_.at(3) != 0xFF) return;
  if (count <= 4) return;
  switch (reply_.at(4)) {
    case 'A':
      SendQuery(address, port);
      break;
    case 'D':
      AddPlayers(count);
      break;
    case 'E':
      rulesBuf_.write(kRulesReplyOffset, reply_.data(), count);
      rules_.clear();
      AddRules();
      break;
    case 'I':
      AddCSS(address, port);
      break;
    case 'i':
      AddOldReply(address, port);
      break;
    case 'm':
      AddHL1(address, port);
      break;
    default:
      if (reply_.at(0) != 0xFE) return;
      // Split rules reply: a 1400-byte first fragment waits for the last one.
      rules_.clear();
      if (count == kFirstFragmentSize) {
        rulesBuf_.write(0, reply_.data(), count);
        return;
      }
      if (count > kRulesReplyOffset)
        rulesBuf_.write(kFirstFragmentSize, reply_.data() + kRulesReplyOffset, count - kRulesReplyOffset);
      AddRules();
      break;
  }
}

void ReplyDispatcher::SendQuery(const std::string& address, uint16_t port) {
  queries_.setChallenge(reply_.at(5), reply_.at(6), reply_.at(7), reply_.at(8));
  if (!events_.send(address, port, queries_.sourcePlayers(9)) ||
      !events_.send(address, port, queries_.sourceRules(9)))
    events_.networkError();
}

bool ReplyDispatcher::listed(const std::string& address, uint16_t port) {
  if (!servers_.mayHaveAddress(address)) return false;
  for (int i = 0; i < servers_.size(); ++i) {
    const ServerRow& r = servers_.row(i);
    if (r.address() == address && StrToInt(r.port()) == port) return true;
  }
  return false;
}

void ReplyDispatcher::replaceOlder(const std::string& address, const uint16_t* port) {
  if (!servers_.mayHaveAddress(address)) return;
  for (int i = 0; i + 1 < servers_.size(); ++i) {
    const ServerRow& r = servers_.row(i);
    if (r.address() != address) continue;
    if (port && StrToInt(r.port()) != *port) continue;
    servers_.remove(i);
    return;
  }
}

void ReplyDispatcher::completeRow(int row, std::string name, const std::string& address, uint16_t from,
                                  std::string port,
                                  std::string protocol, std::string map, const std::string& players,
                                  const std::string& max, char os, int accessIcon) {
  servers_.appendSub(row, std::move(name));
  servers_.appendSub(row, address);
  servers_.appendSub(row, std::move(port));
  servers_.appendSub(row, std::move(protocol));
  servers_.appendSub(row, std::move(map));
  servers_.appendSub(row, players + "/" + max);
  bool windows = OsLetter(os) == 'W';
  servers_.setOsIcon(row, windows ? icon::kWindows : icon::kLinux);
  servers_.appendSub(row, windows ? "WIN" : "LIN");
  servers_.appendSub(row, std::string());
  servers_.setAccessIcon(row, accessIcon);
  events_.rowCompleted(row, address, from, players);
}

void ReplyDispatcher::AddHL1(const std::string& address, uint16_t port) {
  THL1info i = DecodeHL1(reply_);
  auto game = ClassifyGoldSrc(i.Game, i.Protocol);
  if (!game || !events_.gameShown(game->flag)) return;
  servers_.append(std::string(game->code), game->icon);
  replaceOlder(address, &port);
  int row = servers_.size() - 1;
  completeRow(row, std::move(i.Name), address, port, GetField(':', i.Addr, 2), std::to_string(i.Protocol),
              std::move(i.Map), std::to_string(i.Players), std::to_string(i.MaxPlayers), static_cast<char>(i.OS),
              BinaryAccessMark(i.Password, i.Players, i.MaxPlayers));
}

void ReplyDispatcher::AddCSS(const std::string& address, uint16_t port) {
  TCSSinfo i = DecodeCSS(reply_);
  if (listed(address, port)) return;
  auto game = ClassifySource(i.Game);
  if (!game || !events_.gameShown(game->flag)) return;
  int row = servers_.append(std::string(game->code), game->icon);
  completeRow(row, std::move(i.Name), address, port, std::to_string(port), std::to_string(i.Protocol),
              std::move(i.Map), std::to_string(i.Players), std::to_string(i.MaxPlayers), static_cast<char>(i.OS),
              BinaryAccessMark(i.Password, i.Players, i.MaxPlayers));
}

void ReplyDispatcher::AddOldReply(const std::string& address, uint16_t port) {
  // "infostringresponse": only its 'r' and last 'e' are tested.
  if (reply_.at(14) != 'r' || reply_.at(21) != 'e') return;
  OldInfo o = DecodeOldInfostring(reply_);
  AddOld(o.description, o.protocol, o.hostname, address, std::to_string(port), o.map, o.players, o.max, o.os,
         o.password, o.proxy);
}

void ReplyDispatcher::AddOld(const std::string& description, const std::string& protocol,
                             const std::string& hostname, const std::string& address, const std::string& port,
                             const std::string& map, const std::string& players, const std::string& max,
                             const std::string& os, const std::string& password, const std::string& proxy) {
  bool relay = proxy == "1";
  std::string_view code = "?";
  int rowIcon = 0;
  if (description == "Counter-Strike") code = "1.6", rowIcon = relay ? icon::kRelay : 0;
  else if (description == "CounterStrike") code = "1.5", rowIcon = relay ? icon::kRelay : 0;
  else if (description == "Condition Zero") code = "CZ", rowIcon = relay ? icon::kRelay : 1;
  else if (description == "Half-Life") code = "HL", rowIcon = relay ? icon::kRelay : 2;
  else if (description == "HLTV" || description == "Demo Playback") {
    // 46 is Counter-Strike 1.5; 47 and any other number 1.6, as for GoldSrc relays.
    code = StrToInt(protocol) == 46 ? "1.5" : "1.6";
    rowIcon = description == "HLTV" ? icon::kRelay : icon::kDemo;
  }
  servers_.append(std::string(code), rowIcon);
  replaceOlder(address, nullptr);
  int row = servers_.size() - 1;
  const auto from = static_cast<uint16_t>(TryStrToInt(port).value_or(0));
  completeRow(row, hostname, address, from, port, protocol, map, players, max, os.empty() ? '\0' : os[0],
              OldAccessMark(password, players, max));
}

void ReplyDispatcher::AddPlayers(size_t length) {
  players_.clear();
  BufferReader<ReplyBuffer> r(reply_, 7);
  while (r.pos() < length) {
    std::string name = r.str();
    size_t nul = r.pos() - 1;
    int32_t frags = r.i32le();
    if (!IsValidUtf8(name)) name.clear();
    players_.append(std::move(name), std::to_string(frags));
    r.seek(nul + 10);  // 4 frags bytes, 4 time bytes, the next index byte
  }
  players_.sort(CompareFrags);
}

void ReplyDispatcher::AddRules() {
  BufferReader<RulesBuffer> r(rulesBuf_, 14);
  // Only the low byte of the count is read; every read stays inside the buffer.
  int count = r.u8();
  if (count == 0) return;
  r.seek(16);
  for (int i = 0; i < count; ++i) {
    TRules rule;
    rule.RuleName = r.str();
    rule.RuleValue = r.str();
    rules_.append(std::move(rule.RuleName), std::move(rule.RuleValue));
  }
}

}  // namespace gavrix
