// gavrix-decode: feeds datagram files through the reply dispatcher and prints
// the server list and the two panes as the window would show them.
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "query/dispatcher.h"
#include "query/server_list.h"
#include "serverlist/pane.h"
#include "serverlist/row_print.h"
#include "util/text.h"

namespace {

using gavrix::Bytes;
using gavrix::GameFlag;

constexpr const char* kUsage =
    "usage: gavrix-decode [--from ADDR:PORT] FILE [[--from ADDR:PORT] FILE ...]\n"
    "\n"
    "Feeds each FILE, one reply datagram, through the reply decoders in the order\n"
    "given, as if it had come from the last --from before it (default\n"
    "127.0.0.1:27015), then prints what the window would show, one TAB-separated\n"
    "line per row:\n"
    "  server  Game Name Address Port PT Map Players OS A  row-icon os-icon access-icon\n"
    "  player  NickName Frags\n"
    "  rule    Rule Value\n"
    "An icon of -1 means none. A FILE holding only hex digits and white space is\n"
    "read as hex text, any other FILE as raw bytes. Backslash, TAB, CR and LF in a\n"
    "text are written as \\\\, \\t, \\r and \\n. Errors the window would show in its\n"
    "error box go to stderr. Nothing is ever sent.\n"
    "\n"
    "Exit status: 0, or 2 for a bad argument or a file that cannot be read.\n";

struct Source {
  std::string address;
  uint16_t port;
};

struct Datagram {
  Source from;
  std::vector<uint8_t> bytes;
};

// "a.b.c.d:port" with four decimal octets and a decimal port.
std::optional<Source> ParseSource(std::string_view text) {
  size_t colon = text.rfind(':');
  if (colon == std::string_view::npos) return std::nullopt;
  std::string_view addr = text.substr(0, colon), port = text.substr(colon + 1);
  auto number = [](std::string_view s, unsigned max) -> std::optional<unsigned> {
    if (s.empty() || s.size() > 5) return std::nullopt;
    unsigned v = 0;
    for (char c : s) {
      if (c < '0' || c > '9') return std::nullopt;
      v = v * 10 + static_cast<unsigned>(c - '0');
    }
    if (v > max) return std::nullopt;
    return v;
  };
  int octets = 0;
  for (size_t start = 0;;) {
    size_t dot = addr.find('.', start);
    std::string_view part = addr.substr(start, dot == std::string_view::npos ? std::string_view::npos : dot - start);
    if (part.size() > 3 || !number(part, 255)) return std::nullopt;
    ++octets;
    if (dot == std::string_view::npos) break;
    start = dot + 1;
  }
  auto p = number(port, 65535);
  if (octets != 4 || !p) return std::nullopt;
  return Source{std::string(addr), static_cast<uint16_t>(*p)};
}

int HexValue(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsHexText(const std::string& content) {
  for (unsigned char c : content)
    if (HexValue(c) < 0 && !std::isspace(c)) return false;
  return true;
}

// Reads one datagram file; false with a message in error when it cannot be used.
bool ReadDatagram(const std::string& path, std::vector<uint8_t>& out, std::string& error) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    error = "cannot read " + path + ": " + std::strerror(errno);
    return false;
  }
  std::string content;
  char chunk[4096];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) content.append(chunk, n);
  bool failed = std::ferror(f);
  int code = errno;
  std::fclose(f);
  if (failed) {
    error = "cannot read " + path + ": " + std::strerror(code);
    return false;
  }
  if (!IsHexText(content)) {
    out.assign(content.begin(), content.end());
    return true;
  }
  out.clear();
  int high = -1;
  for (unsigned char c : content) {
    int v = HexValue(c);
    if (v < 0) continue;
    if (high < 0) {
      high = v;
    } else {
      out.push_back(static_cast<uint8_t>(high << 4 | v));
      high = -1;
    }
  }
  if (high >= 0) {
    error = path + ": odd number of hex digits";
    return false;
  }
  return true;
}

void PrintModels(const gavrix::ServerListModel& servers, const gavrix::PaneModel& players,
                 const gavrix::PaneModel& rules) {
  for (int i = 0; i < servers.size(); ++i) std::cout << gavrix::ServerLine(servers.row(i)) << '\n';
  for (int i = 0; i < players.size(); ++i) std::cout << gavrix::PaneLine("player", players.row(i)) << '\n';
  for (int i = 0; i < rules.size(); ++i) std::cout << gavrix::PaneLine("rule", rules.row(i)) << '\n';
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<Datagram> datagrams;
  Source from{"127.0.0.1", 27015};
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::cout << kUsage;
      return 0;
    }
    if (arg == "--from") {
      if (i + 1 >= argc) {
        std::cerr << "gavrix-decode: --from needs ADDR:PORT\n";
        return 2;
      }
      auto s = ParseSource(argv[++i]);
      if (!s) {
        std::cerr << "gavrix-decode: not an IPv4 ADDR:PORT: " << argv[i] << '\n';
        return 2;
      }
      from = *s;
      continue;
    }
    if (arg.size() > 1 && arg[0] == '-') {
      std::cerr << "gavrix-decode: unknown option " << arg << "\n" << kUsage;
      return 2;
    }
    Datagram d{from, {}};
    std::string error;
    if (!ReadDatagram(std::string(arg), d.bytes, error)) {
      std::cerr << "gavrix-decode: " << error << '\n';
      return 2;
    }
    datagrams.push_back(std::move(d));
  }
  if (datagrams.empty()) {
    std::cerr << kUsage;
    return 2;
  }

  gavrix::ServerListModel servers;
  gavrix::PaneModel players, rules;
  gavrix::OfflineEvents events;
  gavrix::ReplyDispatcher dispatcher(servers, players, rules, events);
  for (const Datagram& d : datagrams) {
    try {
      dispatcher.UDPDataReceived(d.bytes.data(), d.bytes.size(), d.from.address, d.from.port);
    } catch (const gavrix::ConvertError& e) {
      // What the window's error box would show; the next datagram goes on.
      std::cerr << e.what() << ".\n";
    }
  }
  PrintModels(servers, players, rules);
  return 0;
}
