// Throughput of the decode path: info replies through the dispatcher into a
// server list of 1,000 rows, the bare Source decoder, and dropped datagrams.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "query/dispatcher.h"
#include "query/records.h"
#include "query/server_list.h"
#include "serverlist/pane.h"
#include "support/split_replies.h"

namespace {

using namespace gavrix;
using Datagram = std::vector<uint8_t>;

constexpr int kListed = 1000;
constexpr uint16_t kPort = 27015;

// Datagrams are put together as text: appends to a string stay clear of
// GCC 12's false overflow warnings on small vectors.
struct Writer {
  std::string b = "\xFF\xFF\xFF\xFF";
  Writer& u8(int v) { b += static_cast<char>(v); return *this; }
  Writer& str(const std::string& s) { b.append(s).push_back('\0'); return *this; }
  Writer& raw(const std::string& s) { b += s; return *this; }
  Datagram bytes() const { return Datagram(b.begin(), b.end()); }
};

// Replies of the size real servers send: names of a few dozen bytes.
Datagram SourceReply() {
  Writer w;
  w.u8('I').u8(17).str("Example Community | Dust2 Only | 128 tick #1").str("de_dust2").str("cstrike");
  w.str("Counter-Strike: Source").u8(240).u8(0).u8(18).u8(32).u8(2).u8('d').u8('l').u8(0).u8(1);
  w.str("1.0.0.70");
  return w.bytes();
}

Datagram GoldSrcReply(const std::string& address) {
  Writer w;
  w.u8('m').str(address + ":" + std::to_string(kPort)).str("Example Community | Public 24/7 #2");
  w.str("de_inferno").str("cstrike").str("Counter-Strike");
  w.u8(12).u8(20).u8(47).u8('d').u8('w').u8(0).u8(0);
  return w.bytes();
}

Datagram OldReply() {
  Writer w;
  w.str("infostringresponse");
  w.raw("\\protocol\\46\\address\\10.9.9.9:27015\\players\\7\\proxytarget\\0\\lan\\0\\max\\16"
        "\\bots\\0\\gamedir\\cstrike\\description\\CounterStrike\\hostname\\Old school CS 1.5 server"
        "\\map\\de_aztec\\type\\d\\password\\0\\os\\w\\secure\\1\\proxy\\0");
  w.u8(0);
  return w.bytes();
}

std::string ListedAddress(int i) { return "10.0." + std::to_string(i / 250) + "." + std::to_string(i % 250 + 1); }

// Scanning, as during a run, so no Refresh button is asked for.
struct Events : OfflineEvents {
  Events() { isScanning = true; }
};

// A dispatcher whose server list already holds 1,000 Source rows on 10.0.x.y.
struct Listed {
  ServerListModel servers;
  PaneModel players, rules;
  Events events;
  ReplyDispatcher dispatcher{servers, players, rules, events};
  std::vector<std::string> addresses;

  Listed() {
    Datagram d = SourceReply();
    for (int i = 0; i < kListed; ++i) {
      addresses.push_back(ListedAddress(i));
      dispatcher.UDPDataReceived(d.data(), d.size(), addresses.back(), kPort);
    }
  }
  void receive(const Datagram& d, const std::string& address) {
    dispatcher.UDPDataReceived(d.data(), d.size(), address, kPort);
  }
};

// Listed servers chosen at random, so a duplicate sits anywhere in the list.
std::vector<int> RandomRows() {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> pick(0, kListed - 1);
  std::vector<int> rows(4096);
  for (int& r : rows) r = pick(rng);
  return rows;
}

enum Path { kNew, kDuplicate, kAsked };

void SetPathLabel(benchmark::State& state) {
  static const char* const kLabels[] = {"new server", "listed server", "new server, info query logged"};
  state.SetLabel(kLabels[state.range(0)]);
}

// A new server is appended and removed again; a listed one is dropped.
void BM_SourceInfoReply(benchmark::State& state) {
  Listed l;
  Datagram d = SourceReply();
  std::vector<int> rows = RandomRows();
  const std::string fresh = "192.168.1.20";
  size_t k = 0;
  for (auto _ : state) {
    if (state.range(0) == kDuplicate) {
      l.receive(d, l.addresses[static_cast<size_t>(rows[k++ & 4095])]);
      continue;
    }
    // As the senders do: the query is logged, then its reply is listed.
    if (state.range(0) == kAsked) l.dispatcher.queryLog().noteSent(fresh, kPort, l.dispatcher.queries().sourceInfo());
    l.receive(d, fresh);
    l.servers.remove(l.servers.size() - 1);
  }
  if (l.servers.size() != kListed) state.SkipWithError("list size changed");
  state.SetItemsProcessed(state.iterations());
  SetPathLabel(state);
}
BENCHMARK(BM_SourceInfoReply)->Arg(kNew)->Arg(kDuplicate)->Arg(kAsked);

// A Source rules reply of 400 rules split in 6 fragments, arriving out of
// order, joined and decoded into the rules pane; and the joining alone.
std::vector<Datagram> SixFragments() {
  Writer w;
  w.u8('E').u8(400 & 0xFF).u8(400 >> 8);
  for (int i = 0; i < 400; ++i) w.str("sm_rule_" + std::to_string(i)).str(std::to_string(i * 7));
  const Datagram rules = w.bytes();
  std::vector<Datagram> parts = test::SplitSource(rules, 0x157, (rules.size() + 5) / 6);
  if (parts.size() != 6) std::abort();
  std::swap(parts[1], parts[4]);
  return parts;
}

void BM_ReassembleSourceRules(benchmark::State& state) {
  Listed l;
  const std::vector<Datagram> parts = SixFragments();
  FragmentStore store;
  for (auto _ : state) {
    if (state.range(0) == 0) {
      for (const Datagram& f : parts) l.receive(f, "10.0.0.1");
    } else {
      for (const Datagram& f : parts) benchmark::DoNotOptimize(store.add("10.0.0.1", kPort, f, {}));
    }
  }
  if (state.range(0) == 0 && l.rules.size() != 400) state.SkipWithError("rules not decoded");
  state.SetItemsProcessed(state.iterations());
  state.SetLabel(state.range(0) == 0 ? "6 fragments into the rules pane" : "6 fragments joined");
}
BENCHMARK(BM_ReassembleSourceRules)->Arg(0)->Arg(1);

// A new server is appended and removed again; a listed one replaces its row.
template <Datagram (*Build)(const std::string&)>
void RunReplacing(benchmark::State& state) {
  Listed l;
  std::vector<int> rows = RandomRows();
  const std::string fresh = "192.168.1.20";
  Datagram freshReply = Build(fresh);
  std::vector<Datagram> listedReplies;
  for (const std::string& a : l.addresses) listedReplies.push_back(Build(a));
  size_t k = 0;
  for (auto _ : state) {
    if (state.range(0) == kNew) {
      l.receive(freshReply, fresh);
      l.servers.remove(l.servers.size() - 1);
    } else {
      size_t row = static_cast<size_t>(rows[k++ & 4095]);
      l.receive(listedReplies[row], l.addresses[row]);
    }
  }
  if (l.servers.size() != kListed) state.SkipWithError("list size changed");
  state.SetItemsProcessed(state.iterations());
  SetPathLabel(state);
}

void BM_GoldSrcInfoReply(benchmark::State& state) { RunReplacing<GoldSrcReply>(state); }
BENCHMARK(BM_GoldSrcInfoReply)->Arg(kNew)->Arg(kDuplicate);

Datagram OldReplyFor(const std::string&) { return OldReply(); }
void BM_OldInfostringReply(benchmark::State& state) { RunReplacing<OldReplyFor>(state); }
BENCHMARK(BM_OldInfostringReply)->Arg(kNew)->Arg(kDuplicate);

// The Source decoder alone, from a filled reply buffer to its record.
void BM_DecodeCSS(benchmark::State& state) {
  ReplyBuffer b;
  Datagram d = SourceReply();
  b.assign(d.data(), d.size());
  for (auto _ : state) {
    TCSSinfo i = DecodeCSS(b);
    benchmark::DoNotOptimize(i);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DecodeCSS);

// Datagrams of the given size whose header fails the FF FF FF test.
void BM_DroppedBadHeader(benchmark::State& state) {
  Listed l;
  Datagram d = SourceReply();
  d.resize(static_cast<size_t>(state.range(0)), 'x');
  d[2] = 0x00;
  for (auto _ : state) l.receive(d, "192.168.1.20");
  if (l.servers.size() != kListed) state.SkipWithError("list size changed");
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DroppedBadHeader)->Arg(64)->Arg(1400);

}  // namespace

BENCHMARK_MAIN();
