// gavrix-scan: the window's scan on the command line. Queries ranges,
// favourites and (when asked) the broadcast through the same scan engine,
// dispatcher and decoders, and prints what answered as TSV or JSON.
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "query/dispatcher.h"
#include "query/udp_endpoint_qt.h"
#include "scan/broadcast.h"
#include "scan/event_loop_driver_qt.h"
#include "scan/scan_engine.h"
#include "serverlist/row_print.h"
#include "settings/ini_file.h"
#include "settings/settings.h"
#include "util/local_address.h"
#include "util/text.h"

namespace gavrix {
namespace {

constexpr const char* kUsage =
    "usage: gavrix-scan [options] [TARGET ...]\n"
    "\n"
    "Queries game servers as the window's scan does and prints those that answered.\n"
    "A TARGET is HOST[:PORT] (queried like a favourite, default port 27015) or\n"
    "FROM-TO (an IPv4 range, first two octets alike, queried on the scan port).\n"
    "\n"
    "  --broadcast       also query the local networks' broadcast addresses\n"
    "  --no-broadcast    do not, even when --ini says Broadcast=1\n"
    "  --port N          the scan port (default 27015, or the ini's game port)\n"
    "  --hltv            use the HLTV port (default 27020) as the scan port\n"
    "  --old             send the old info query too\n"
    "  --delay MS        pause per target, 0 to 30 (default 0)\n"
    "  --wait MS         listen this long after the last send (default 1000); ends\n"
    "                    sooner once every queried address has answered\n"
    "  --ini FILE        take ranges, favourites, ports, Delay, ScanOld, Broadcast,\n"
    "                    BroadcastPorts and the game filter from a gavrix.ini; TARGETs\n"
    "                    and options given here win\n"
    "  --details         ask every listed server for its players and rules\n"
    "  --format tsv|json output format (default tsv)\n"
    "\n"
    "Exit status: 0 when a server answered, 1 when none did, 2 for bad usage.\n";

constexpr int kMaxWaitMs = 600000;

struct Options {
  std::vector<HostPort> favourites;
  std::vector<ScanRange> ranges;
  bool targetsGiven = false;
  std::optional<bool> broadcast;
  std::optional<uint16_t> port;
  bool hltv = false;
  std::optional<bool> old;
  std::optional<int> delay;
  int waitMs = 1000;
  std::string ini;
  bool details = false;
  bool json = false;
};

struct UsageError {
  std::string message;
};

std::optional<int> Number(std::string_view text, int min, int max) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  int v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + (c - '0');
  }
  if (v < min || v > max) return std::nullopt;
  return v;
}

// FROM-TO when both sides are IPv4 addresses, otherwise HOST[:PORT].
void AddTarget(Options& o, std::string_view arg) {
  const size_t dash = arg.find('-');
  if (dash != std::string_view::npos) {
    auto from = ParseIPv4(arg.substr(0, dash));
    auto to = ParseIPv4(arg.substr(dash + 1));
    if (from && to) {
      if ((*from)[0] != (*to)[0] || (*from)[1] != (*to)[1] || RangeTargets(arg.substr(0, dash), arg.substr(dash + 1)).count() == 0)
        throw UsageError{"not a range of addresses: " + std::string(arg)};
      o.ranges.push_back({true, std::string(arg.substr(0, dash)), std::string(arg.substr(dash + 1))});
      return;
    }
  }
  HostPort f{std::string(arg), "27015"};
  const size_t colon = arg.rfind(':');
  if (colon != std::string_view::npos) {
    if (!Number(arg.substr(colon + 1), 1, 65535)) throw UsageError{"bad port in target: " + std::string(arg)};
    f = {std::string(arg.substr(0, colon)), std::string(arg.substr(colon + 1))};
  }
  if (f.host.empty() || f.host.find_first_of(" \t/") != std::string::npos)
    throw UsageError{"bad target: " + std::string(arg)};
  o.favourites.push_back(f);
}

Options ParseArgs(const QStringList& args) {
  Options o;
  for (qsizetype i = 1; i < args.size(); ++i) {
    const std::string arg = args[i].toStdString();
    auto value = [&]() -> std::string {
      if (i + 1 >= args.size()) throw UsageError{arg + " needs a value"};
      return args[++i].toStdString();
    };
    auto number = [&](int min, int max) {
      const std::string v = value();
      auto n = Number(v, min, max);
      if (!n) throw UsageError{"bad value for " + arg + ": " + v};
      return *n;
    };
    if (arg == "--broadcast") o.broadcast = true;
    else if (arg == "--no-broadcast") o.broadcast = false;
    else if (arg == "--port") o.port = static_cast<uint16_t>(number(1, 65535));
    else if (arg == "--hltv") o.hltv = true;
    else if (arg == "--old") o.old = true;
    else if (arg == "--delay") o.delay = number(0, 30);
    else if (arg == "--wait") o.waitMs = number(0, kMaxWaitMs);
    else if (arg == "--ini") o.ini = value();
    else if (arg == "--details") o.details = true;
    else if (arg == "--format") {
      const std::string f = value();
      if (f != "tsv" && f != "json") throw UsageError{"bad value for --format: " + f};
      o.json = f == "json";
    } else if (arg.size() > 1 && arg[0] == '-') {
      throw UsageError{"unknown option: " + arg};
    } else {
      AddTarget(o, arg);
      o.targetsGiven = true;
    }
  }
  return o;
}

// Reply events of the command line: the game filter, rows completed, sends.
class Events : public ReplyEvents {
 public:
  Settings* settings = nullptr;
  bool isScanning = false;
  std::function<bool(const std::string&, uint16_t, Bytes)> sender;

  bool gameShown(GameFlag flag) override { return settings->games[static_cast<size_t>(flag)]; }
  bool scanning() override { return isScanning; }
  std::function<void(int, const std::string&, uint16_t)> ping;
  void rowCompleted(int row, const std::string& address, uint16_t port, const std::string&) override {
    ping(row, address, port);
  }
  bool send(const std::string& host, uint16_t port, Bytes datagram) override { return sender(host, port, datagram); }
  void networkError() override { std::cerr << "gavrix-scan: network error\n"; }
};

// The engine's driver: the event loop's, a stop at the first network error as
// the window's run does, the queried addresses, progress on a terminal.
class Driver final : public EventLoopDriver {
 public:
  Driver(UdpEndpoint& endpoint, const Settings& s) : EventLoopDriver(endpoint), s_(s) {}

  void networkError() override {
    std::cerr << "gavrix-scan: network error at " << endpoint_.remoteHost().toStdString() << '\n';
    stop_ = true;
  }
  bool stopRequested() override { return stop_; }
  bool scanOld() override { return s_.ScanOld; }
  int delay() override { return s_.Delay; }
  void stepDone(ScanStep, const std::string&, int sent) override {
    if (progress_) std::fprintf(stderr, "\rsent %d", sent);
  }

  bool progress_ = false;
  bool broadcastSent = false;
  std::set<std::string> queried;  // addresses that were sent an info query

 protected:
  void sent(const QHostAddress& to, uint16_t, Bytes datagram, bool) override {
    if (datagram.size() > 4 && datagram[4] == 'T') queried.insert(to.toString().toStdString());
  }

 private:
  const Settings& s_;
  bool stop_ = false;
};

struct Details {
  std::vector<PaneRow> players, rules;
};

void PrintTsv(const ServerListModel& servers, const std::vector<Details>* details) {
  std::string line;
  for (std::string_view name : kColumnNames) {
    line += name;
    line += '\t';
  }
  std::cout << line << "Ping\n";
  for (int i = 0; i < servers.size(); ++i) {
    const ServerRow& row = servers.row(i);
    std::cout << ServerColumnsTsv(row) << '\t' << (row.ping < 0 ? std::string() : std::to_string(row.ping)) << '\n';
  }
  if (!details) return;
  auto pane = [&](const char* header, std::vector<PaneRow> Details::*rows) {
    std::cout << '\n' << header << '\n';
    for (int i = 0; i < servers.size(); ++i) {
      std::string prefix;
      AppendTsvText(prefix, servers.row(i).address());
      prefix += '\t';
      AppendTsvText(prefix, servers.row(i).port());
      for (const PaneRow& r : (*details)[static_cast<size_t>(i)].*rows)
        std::cout << prefix << PaneLine("", r) << '\n';
    }
  };
  pane("Address\tPort\tNickName\tFrags", &Details::players);
  pane("Address\tPort\tRule\tValue", &Details::rules);
}

void PrintJson(const ServerListModel& servers, const std::vector<Details>* details) {
  static constexpr const char* kKeys[kColumnCount] = {"game", "name", "address", "port", "pt",
                                                      "map",  "players", "os", "a"};
  std::string out = "[";
  for (int i = 0; i < servers.size(); ++i) {
    const ServerRow& row = servers.row(i);
    out += i ? ",\n {" : "\n {";
    for (int c = 0; c < kColumnCount; ++c) {
      out += c ? ", \"" : "\"";
      out += kKeys[c];
      out += "\": ";
      AppendJsonText(out, row.text(c));
    }
    out += ", \"ping\": " + (row.ping < 0 ? std::string("null") : std::to_string(row.ping));
    if (details) {
      auto pane = [&](const char* key, const char* first, const char* second, const std::vector<PaneRow>& rows) {
        out += std::string(", \"") + key + "\": [";
        for (size_t r = 0; r < rows.size(); ++r) {
          out += r ? ", {\"" : "{\"";
          out += first;
          out += "\": ";
          AppendJsonText(out, rows[r].caption);
          out += std::string(", \"") + second + "\": ";
          AppendJsonText(out, rows[r].value);
          out += '}';
        }
        out += ']';
      };
      const Details& d = (*details)[static_cast<size_t>(i)];
      pane("player_list", "name", "frags", d.players);
      pane("rules", "name", "value", d.rules);
    }
    out += '}';
  }
  out += servers.size() ? "\n]\n" : "]\n";
  std::cout << out;
}

// Test programs keep every name and broadcast on loopback: GAVRIX_TEST_HOSTS
// ("name=a.b.c.d,...", possibly empty) is then the only name table.
void KeepToLoopbackWhenTested(UdpEndpoint& endpoint) {
  if (!qEnvironmentVariableIsSet("GAVRIX_TEST_HOSTS")) return;
  std::map<QString, QHostAddress> table;
  for (const QString& entry : qEnvironmentVariable("GAVRIX_TEST_HOSTS").split(u',', Qt::SkipEmptyParts)) {
    const qsizetype eq = entry.indexOf(u'=');
    if (eq > 0) table[entry.left(eq)] = QHostAddress(entry.mid(eq + 1));
  }
  endpoint.setResolver([table](const QString& name) -> std::optional<QHostAddress> {
    auto it = table.find(name);
    if (it == table.end()) return std::nullopt;
    return it->second;
  });
  SetLocalAddressProvider([] { return std::string("127.0.0.1"); });
  SetNetInterfaceProvider([] {
    NetInterface lo;
    lo.name = "lo";
    lo.address = "127.0.0.1";
    lo.up = lo.loopback = true;
    return std::vector<NetInterface>{lo};
  });
}

int Run(QCoreApplication& app) {
  if (app.arguments().contains(QStringLiteral("--help")) || app.arguments().contains(QStringLiteral("-h"))) {
    std::cout << kUsage;
    return 0;
  }
  Options o;
  try {
    o = ParseArgs(app.arguments());
  } catch (const UsageError& e) {
    std::cerr << "gavrix-scan: " << e.message << "\n" << kUsage;
    return 2;
  }

  Settings s;
  s.ScanOld = false;
  s.Broadcast = false;
  s.Delay = 0;
  if (!o.ini.empty()) {
    if (access(o.ini.c_str(), R_OK) != 0) {
      std::cerr << "gavrix-scan: cannot read --ini file: " << o.ini << '\n';
      return 2;
    }
    IniFile ini(o.ini);
    IniFile::Batch readOnly(ini);  // the load may write GameType back; never here
    s = LoadSettings(ini).settings;
  }
  if (o.targetsGiven) {
    s.favourites = o.favourites;
    s.ranges = o.ranges;
  }
  if (o.broadcast) s.Broadcast = *o.broadcast;
  if (o.old) s.ScanOld = *o.old;
  if (o.delay) s.Delay = *o.delay;
  const bool hltv = o.hltv || (!o.ini.empty() && s.GameType == kScanHltvPort);
  std::optional<uint16_t> scanPort = PortNumber(hltv ? s.HLTVPort : s.CSPort);
  if (o.port) scanPort = o.port;

  ScanPlan plan;
  plan.favourites = s.favourites;
  for (const ScanRange& r : s.ranges)
    if (r.checked) plan.ranges.emplace_back(r.from, r.to);
  plan.broadcast = s.Broadcast;
  plan.broadcastPorts = s.BroadcastPorts;
  plan.scanPort = scanPort;
  if (plan.favourites.empty() && plan.ranges.empty() && !plan.broadcast) {
    std::cerr << "gavrix-scan: nothing to scan: give a TARGET, --broadcast or --ini\n" << kUsage;
    return 2;
  }
  if (!scanPort && (!plan.ranges.empty() || (plan.broadcast && ParseBroadcastPorts(plan.broadcastPorts) &&
                                             ParseBroadcastPorts(plan.broadcastPorts)->empty()))) {
    std::cerr << "gavrix-scan: the scan port is empty: give --port\n";
    return 2;
  }

  UdpEndpoint endpoint(0);
  KeepToLoopbackWhenTested(endpoint);
  ServerListModel servers;
  PaneModel players, rules;
  Driver driver(endpoint, s);
  driver.progress_ = isatty(STDERR_FILENO);
  Events events;
  events.settings = &s;
  events.sender = [&](const std::string& host, uint16_t port, Bytes d) { return driver.send(host, port, d, false); };
  events.ping = [&](int row, const std::string& address, uint16_t port) {
    if (auto ms = driver.queryLog->pingMs(address, port)) servers.setPing(row, *ms);
  };
  ReplyDispatcher dispatcher(servers, players, rules, events);
  driver.queryLog = &dispatcher.queryLog();
  ScanEngine engine(driver, dispatcher.queries());

  QEventLoop loop;
  std::set<std::string> answered;
  size_t queriedAnswered = 0;  // addresses in both sets, counted as they answer
  // Details: the server being asked, and which of its replies have come.
  std::string asking;
  bool gotPlayers = false, gotRules = false;
  auto everyoneAnswered = [&] {
    return !plan.broadcast && !driver.queried.empty() && queriedAnswered == driver.queried.size();
  };
  QObject::connect(&endpoint, &UdpEndpoint::datagramReceived, &app,
                   [&](const QByteArray& bytes, const QString& address, quint16 port) {
                     try {
                       dispatcher.UDPDataReceived(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                                  static_cast<size_t>(bytes.size()), address.toStdString(), port);
                     } catch (const ConvertError& e) {
                       std::cerr << "gavrix-scan: " << e.what() << '\n';
                     }
                     if (bytes.size() < 5) return;
                     const char type = bytes[4];
                     // An info reply, listed or not: that address has answered.
                     if (asking.empty() && (type == 'I' || type == 'm' || type == 'i')) {
                       const std::string from = address.toStdString();
                       if (answered.insert(from).second && driver.queried.count(from)) ++queriedAnswered;
                       if (loop.isRunning() && everyoneAnswered()) loop.quit();
                     }
                     if (asking.empty() || address.toStdString() != asking) return;
                     if (type == 'D') gotPlayers = true;
                     if (type == 'E' || (static_cast<uint8_t>(bytes[0]) == 0xFE && bytes.size() != 1400)) gotRules = true;
                     if (gotPlayers && gotRules) loop.quit();
                   });

  events.isScanning = true;
  engine.run(plan);
  events.isScanning = false;
  if (driver.progress_) std::fputc('\n', stderr);
  // Each wait has a timer of its own, so that one left over cannot end the next.
  auto wait = [&](const std::function<bool()>& done) {
    if (done()) return;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(o.waitMs);
    loop.exec();
  };
  wait(everyoneAnswered);

  std::vector<Details> details;
  if (o.details) {
    for (int i = 0; i < servers.size(); ++i) {
      const std::string address = servers.row(i).address();
      auto port = PortNumber(servers.row(i).port());
      players.clear();
      rules.clear();
      asking = address;
      gotPlayers = gotRules = false;
      if (port && engine.sendDetails(address, *port)) wait([&] { return gotPlayers && gotRules; });
      Details d;
      for (int r = 0; r < players.size(); ++r) d.players.push_back(players.row(r));
      for (int r = 0; r < rules.size(); ++r) d.rules.push_back(rules.row(r));
      details.push_back(std::move(d));
    }
  }
  endpoint.close();
  if (o.json) PrintJson(servers, o.details ? &details : nullptr);
  else PrintTsv(servers, o.details ? &details : nullptr);
  std::cout.flush();
  return servers.empty() ? 1 : 0;
}

}  // namespace
}  // namespace gavrix

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  return gavrix::Run(app);
}
