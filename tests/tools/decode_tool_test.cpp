// gavrix-decode run as a program: datagram files in, the window's rows out.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

fs::path ToolPath() {
#ifdef GAVRIX_DECODE_PATH
  return GAVRIX_DECODE_PATH;
#else
  // build/tests/core_tests -> build/tools/gavrix-decode/gavrix-decode
  return fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "tools" / "gavrix-decode" /
         "gavrix-decode";
#endif
}

// Reply builders: only what the decoders read, in wire order.
struct Writer {
  std::string b = "\xFF\xFF\xFF\xFF";
  Writer& u8(uint8_t v) { b += static_cast<char>(v); return *this; }
  Writer& str(const std::string& s) { b.append(s).push_back('\0'); return *this; }
  Writer& i32(int32_t v) {
    for (int k = 0; k < 4; ++k) u8(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * k)));
    return *this;
  }
};

std::string SourceInfo(const std::string& name, const std::string& map, const std::string& game,
                       uint8_t players, uint8_t max, char os, uint8_t password) {
  Writer w;
  w.u8('I').u8(17).str(name).str(map).str("cstrike").str(game).u8(240).u8(0);
  w.u8(players).u8(max).u8(0).u8('d').u8(static_cast<uint8_t>(os)).u8(password).u8(0);
  return w.b;
}

std::string GoldSrcInfo(const std::string& addr, const std::string& name, const std::string& game,
                        uint8_t players, uint8_t max, uint8_t protocol, char os, uint8_t password) {
  Writer w;
  w.u8('m').str(addr).str(name).str("de_nuke").str("cstrike").str(game);
  w.u8(players).u8(max).u8(protocol).u8('d').u8(static_cast<uint8_t>(os)).u8(password).u8(0);
  return w.b;
}

std::string OldInfo(const std::string& infostring) {
  Writer w;
  w.str("infostringresponse");
  return w.b + infostring;
}

std::string PlayersReply(std::initializer_list<std::pair<std::string, int32_t>> players) {
  Writer w;
  w.u8('D').u8(static_cast<uint8_t>(players.size()));
  for (const auto& [name, frags] : players) w.u8(0).str(name).i32(frags).i32(0);
  return w.b;
}

std::string RulesReply(std::initializer_list<std::pair<std::string, std::string>> rules) {
  Writer w;
  w.u8('E').u8(static_cast<uint8_t>(rules.size())).u8(0);
  for (const auto& [name, value] : rules) w.str(name).str(value);
  return w.b;
}

std::string HexText(const std::string& b) {
  // Mixed case and every kind of white space between the digits.
  static const char* const kSpace[] = {" ", "\n", "  ", "\t", "\r\n", ""};
  std::string out;
  const char* digits = "0123456789abcdefABCDEF";
  for (size_t i = 0; i < b.size(); ++i) {
    int upper = i % 2 ? 6 : 0;
    auto digit = [&](int v) { return v < 10 ? digits[v] : digits[v + upper]; };
    auto byte = static_cast<uint8_t>(b[i]);
    out += digit(byte >> 4);
    out += digit(byte & 15);
    out += kSpace[i % 6];
  }
  return out + "\n";
}

struct Result {
  int status = -1;
  std::string out, err;
};

class DecodeTool : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = (fs::temp_directory_path() / "gavrix-decode-test-XXXXXX").string();
    ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
    dir_ = tmpl;
    ASSERT_TRUE(fs::exists(ToolPath())) << ToolPath() << " is not built";
  }
  void TearDown() override {
    std::error_code ec;
    if (!dir_.empty()) fs::remove_all(dir_, ec);
  }

  std::string File(const std::string& name, const std::string& content) {
    fs::path p = dir_ / name;
    std::ofstream(p, std::ios::binary) << content;
    return p.string();
  }

  Result Run(std::vector<std::string> args) {
    std::string tool = ToolPath().string(), out = (dir_ / "stdout").string(), err = (dir_ / "stderr").string();
    args.insert(args.begin(), tool);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    Result r;
    pid_t pid;
    int rc = posix_spawn(&pid, tool.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
      ADD_FAILURE() << "cannot start " << tool;
      return r;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    auto slurp = [](const std::string& p) {
      std::ifstream in(p, std::ios::binary);
      return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    r.out = slurp(out);
    r.err = slurp(err);
    return r;
  }

  fs::path dir_;
};

TEST_F(DecodeTool, PrintsEveryReplyKindAsTheWindowListsIt) {
  // Source, GoldSrc and old info replies from three sources; a Source reply
  // that repeats the GoldSrc server; a challenge; players as hex text; rules.
  Result r = Run({
      File("css", SourceInfo("Source one", "de_dust2", "Counter-Strike: Source", 5, 16, 'l', 0)),
      "--from", "10.1.2.3:27016",
      File("gold", GoldSrcInfo("10.1.2.3:27020", "Gold", "Counter-Strike", 20, 20, 47, 'w', 0)),
      "--from", "10.1.2.3:27020",
      File("dup", SourceInfo("Gold again", "de_nuke", "Counter-Strike: Source", 1, 20, 'w', 0)),
      File("challenge", std::string("\xFF\xFF\xFF\xFF" "A\x01\x02\x03\x04")),
      "--from", "192.168.0.9:27015",
      File("old", OldInfo("\\hostname\\Old CS\\map\\de_dust2\\players\\5\\max\\20\\os\\w\\password\\0"
                          "\\proxy\\0\\protocol\\46\\description\\CounterStrike\\")),
      File("players.hex", HexText(PlayersReply({{"alice", 3}, {"bob", 10}, {"eve", -1}}))),
      File("rules", RulesReply({{"mp_timelimit", "30"}, {"sv_password", ""}})),
  });
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out,
            "server\tCSS\tSource one\t127.0.0.1\t27015\t17\tde_dust2\t5/16\tLIN\t\t3\t14\t8\n"
            "server\t1.6\tGold\t10.1.2.3\t27020\t47\tde_nuke\t20/20\tWIN\t\t0\t13\t9\n"
            "server\t1.5\tOld CS\t192.168.0.9\t27015\t46\tde_dust2\t5/20\tWIN\t\t0\t13\t8\n"
            "player\tbob\t10\n"
            "player\talice\t3\n"
            "player\teve\t-1\n"
            "rule\tmp_timelimit\t30\n"
            "rule\tsv_password\t\n");
}

TEST_F(DecodeTool, EscapesSeparatorsAndShowsTextsAsTheWindowDoes) {
  // Texts that are not UTF-8: classic shows them as Latin-1 and empties such a
  // player name; today's decoding shows both in the chosen code page.
  struct Case {
    std::vector<std::string> options;
    std::string cafe, player;
  } cases[] = {
      {{"--classic"}, "caf\xC3\xA9", ""},
      {{}, "caf\xC3\xA9", "\xC3\xA9t\xC3\xA9"},
      {{"--code-page", "1251"}, "caf\xD0\xB9", "\xD0\xB9t\xD0\xB9"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = c.options;
    for (std::string f : {File("css", SourceInfo("a\tb\\c\rd\ne", "caf\xE9", "Counter-Strike: Source", 0, 0, 'w', 1)),
                          File("players", PlayersReply({{"\xE9t\xE9", 7}, {"\xC3\xA9t\xC3\xA9", 2}})),
                          File("rules", RulesReply({{"tab\there", "line\nend"}}))})
      args.push_back(f);
    Result r = Run(args);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "server\tCSS\ta\\tb\\\\c\\rd\\ne\t127.0.0.1\t27015\t17\t" + c.cafe +
                         "\t0/0\tWIN\t\t3\t13\t10\n"
                         "player\t" + c.player + "\t7\n"
                         "player\t\xC3\xA9t\xC3\xA9\t2\n"
                         "rule\ttab\\there\tline\\nend\n")
        << c.options.size();
  }
}

TEST_F(DecodeTool, ShowsConversionErrorsAndHandlesTheNextDatagram) {
  Result r = Run({
      "--classic", "--from", "10.0.0.1:27015",
      // A GoldSrc row whose Port text is no number, then a second reply from the
      // same address: the duplicate test fails, leaving the new row bare.
      File("gold1", GoldSrcInfo("10.0.0.1:abc", "First", "Half-Life", 1, 8, 47, 'l', 0)),
      File("gold2", GoldSrcInfo("10.0.0.1:27015", "Second", "Half-Life", 1, 8, 47, 'l', 0)),
      // An old relay without a protocol value is not listed.
      "--from", "10.0.0.2:27015",
      File("old", OldInfo("\\hostname\\relay\\description\\HLTV\\")),
      "--from", "10.0.0.3:27015",
      File("css", SourceInfo("Third", "cs_office", "Counter-Strike: Source", 2, 10, 'l', 0)),
  });
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err,
            "'abc' is not a valid integer value.\n"
            "'' is not a valid integer value.\n");
  EXPECT_EQ(r.out,
            "server\tHL\tFirst\t10.0.0.1\tabc\t47\tde_nuke\t1/8\tLIN\t\t2\t14\t8\n"
            "server\tHL\t\t\t\t\t\t\t\t\t2\t-1\t-1\n"
            "server\tCSS\tThird\t10.0.0.3\t27015\t17\tcs_office\t2/10\tLIN\t\t3\t14\t8\n");
}

TEST_F(DecodeTool, RefusesUnusableArgumentsWithStatus2) {
  std::string good = File("good", SourceInfo("S", "m", "Counter-Strike: Source", 1, 2, 'l', 0));
  std::string oddHex = File("odd.hex", "ff ff ff ff 4");
  const std::vector<std::vector<std::string>> cases = {
      {good, (dir_ / "missing").string()},
      {dir_.string()},  // a folder is no datagram
      {oddHex},
      {"--from", "10.0.0.1", good},
      {"--from", "10.0.0.256:27015", good},
      {"--from", "10.0.0.1:65536", good},
      {good, "--from"},
      {"--bogus", good},
      {},
  };
  for (const auto& args : cases) {
    SCOPED_TRACE(::testing::PrintToString(args));
    Result r = Run(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err, "");
  }
}

TEST_F(DecodeTool, HelpDescribesTheInterface) {
  Result r = Run({"--help"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.rfind("usage: gavrix-decode [--classic]", 0), 0u) << r.out;
}

}  // namespace
