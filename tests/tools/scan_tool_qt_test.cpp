// gavrix-scan run as a program against fake servers on loopback: ranges,
// favourites by name, --ini, --details, both formats, usage errors, and
// nothing sent beyond the targets.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include "settings/temp_folder.h"
#include "support/fake_server.h"
#include "support/replies.h"

using namespace gavrix::test;

namespace {

struct Result {
  int code = -1;
  QString out, err;
};

// Runs gavrix-scan with every name from hosts only and the network kept on loopback.
Result RunScan(const QStringList& args, const QString& hosts = {}) {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("GAVRIX_TEST_HOSTS"), hosts);
  p.setProcessEnvironment(env);
  p.start(QStringLiteral(GAVRIX_SCAN_PATH), args);
  if (!p.waitForFinished(20000)) return {};
  return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
          QString::fromUtf8(p.readAllStandardError())};
}

SourceInfo Named(const std::string& name, const std::string& game = "Counter-Strike: Source") {
  SourceInfo s;
  s.name = name;
  s.game = game;
  return s;
}

// Answers the info query, and the players and rules queries at once.
FakeServers::Responder Full(const std::string& name) {
  return [name](const Received& r) -> std::vector<Datagram> {
    if (r.bytes.size() < 5) return {};
    if (r.bytes[4] == 'T') return {Build(Named(name))};
    if (r.bytes[4] == 'U') return {PlayersReply({{"alpha", 3}, {"beta\t\"b\"", 7}})};
    if (r.bytes[4] == 'V') return {RulesReply(1, {{"sv_gravity", "800"}})};
    return {};
  };
}

QStringList Lines(const QString& out) { return out.split(u'\n', Qt::SkipEmptyParts); }

// A server line without its Ping, which must be a number of milliseconds.
QString WithoutPing(const QString& line) {
  const qsizetype tab = line.lastIndexOf(u'\t');
  bool number = false;
  const int ping = line.mid(tab + 1).toInt(&number);
  EXPECT_TRUE(number && ping >= 0 && ping < 2000) << line.toStdString();
  return line.left(tab + 1);
}

const QString kHeader = QStringLiteral("Game\tName\tAddress\tPort\tPT\tMap\tPlayers\tOS\tA\tPing");

TEST(ScanTool, RangesAndFavouritesByNameAsTsvAndNothingBeyondTheTargets) {
  FakeServers fakes;
  const int first = fakes.add("127.6.1.1", 0, AnswerInfo(Build(Named("one"))));
  const uint16_t port = fakes.port(first);
  fakes.add("127.6.1.2", port, AnswerInfo(Build(Named("two"))));
  const int outside = fakes.add("127.6.1.3", port, AnswerInfo(Build(Named("outside"))));
  const int fav = fakes.add("127.6.2.1", 0, AnswerInfo(Build(Named("fav\tname"))));
  const int bcast = fakes.add("127.0.255.255", port);
  fakes.start();
  const QString p = QString::number(port);
  Result r = RunScan({QStringLiteral("--port"), p, QStringLiteral("127.6.1.1-127.6.1.2"),
                      QStringLiteral("fav.test:") + QString::number(fakes.port(fav))},
                     QStringLiteral("fav.test=127.6.2.1"));
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  QStringList lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 4) << r.out.toStdString();
  EXPECT_EQ(lines[0], kHeader);
  lines.removeFirst();
  lines.sort();
  EXPECT_EQ(WithoutPing(lines[0]), QStringLiteral("CSS\tfav\\tname\t127.6.2.1\t") + QString::number(fakes.port(fav)) +
                                       QStringLiteral("\t17\tde_dust2\t5/16\tLIN\t\t"));
  EXPECT_TRUE(lines[1].startsWith(QStringLiteral("CSS\tone\t127.6.1.1\t") + p));
  EXPECT_TRUE(lines[2].startsWith(QStringLiteral("CSS\ttwo\t127.6.1.2\t") + p));
  // Only the Source info query (no --old), and nothing to the others.
  EXPECT_EQ(fakes.receivedBy(first).size(), 1u);
  EXPECT_EQ(fakes.receivedBy(fav).size(), 1u);
  EXPECT_TRUE(fakes.receivedBy(outside).empty());
  EXPECT_TRUE(fakes.receivedBy(bcast).empty());

  // --broadcast: the loopback host's fallback address on the scan port, with --old.
  fakes.clearReceived();
  r = RunScan({QStringLiteral("--broadcast"), QStringLiteral("--old"), QStringLiteral("--wait"), QStringLiteral("300"),
               QStringLiteral("--port"), p});
  EXPECT_EQ(r.code, 1);  // the broadcast's fake does not answer
  EXPECT_EQ(Lines(r.out), QStringList{kHeader});
  EXPECT_EQ(fakes.receivedBy(bcast).size(), 2u);
  EXPECT_EQ(fakes.count(), 2u);
}

TEST(ScanTool, IniFileGivesTargetsPortsOldQueryAndGameFilter) {
  FakeServers fakes;
  const int css = fakes.add("127.6.3.1", 0, AnswerInfo(Build(Named("css"))));
  const uint16_t port = fakes.port(css);
  const int tf2 = fakes.add("127.6.3.2", port, AnswerInfo(Build(Named("tf2", "Team Fortress"))));
  const int fav = fakes.add("127.6.4.1", 0, AnswerInfo(Build(Named("fav"))));
  fakes.start();
  TempFolder dir;
  const std::string ini = dir.file("gavrix.ini");
  WriteFile(ini, "[Settings]\nCSPort=" + std::to_string(port) +
                     "\nScanOld=1\nBroadcast=0\nGameType=0\n[Games]\nTF2=0\n[Ranges]\nRanges=2\n"
                     "RangeFrom0=127.6.3.1\nRangeTo0=127.6.3.2\nRangeFrom1=127.6.3.9\nRangeTo1=127.6.3.9\nChecked=10\n"
                     "[Favorites]\n127.6.4.1 0=" + std::to_string(fakes.port(fav)) + "\n");
  const std::string before = ReadFile(ini);
  Result r = RunScan({QStringLiteral("--ini"), QString::fromStdString(ini), QStringLiteral("--format"),
                      QStringLiteral("json")});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  QJsonParseError error;
  const QJsonDocument doc = QJsonDocument::fromJson(r.out.toUtf8(), &error);
  ASSERT_EQ(error.error, QJsonParseError::NoError) << r.out.toStdString();
  QStringList names;
  for (const QJsonValue& v : doc.array()) names << v.toObject().value(QStringLiteral("name")).toString();
  names.sort();
  EXPECT_EQ(names, (QStringList{QStringLiteral("css"), QStringLiteral("fav")}));  // TF2 hidden by the filter
  EXPECT_EQ(fakes.receivedBy(css).size(), 2u);  // ScanOld from the file
  EXPECT_EQ(fakes.receivedBy(tf2).size(), 2u);
  EXPECT_EQ(fakes.receivedBy(fav).size(), 2u);
  EXPECT_EQ(fakes.count(), 6u);  // the unchecked row is not scanned
  EXPECT_EQ(ReadFile(ini), before);  // the file is only read

  // A target on the command line replaces the file's lists.
  fakes.clearReceived();
  r = RunScan({QStringLiteral("--ini"), QString::fromStdString(ini), QStringLiteral("127.6.3.1-127.6.3.1")});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(fakes.count(), 2u);
}

TEST(ScanTool, DetailsInJsonAndTsv) {
  FakeServers fakes;
  const int a = fakes.add("127.6.5.1", 0, Full("a"));
  fakes.add("127.6.5.2", fakes.port(a), Full("b"));
  fakes.start();
  const QString p = QString::number(fakes.port(a));
  Result r = RunScan({QStringLiteral("--details"), QStringLiteral("--format"), QStringLiteral("json"),
                      QStringLiteral("--port"), p, QStringLiteral("127.6.5.1-127.6.5.2")});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  const QJsonArray servers = QJsonDocument::fromJson(r.out.toUtf8()).array();
  ASSERT_EQ(servers.size(), 2) << r.out.toStdString();
  for (const QJsonValue& v : servers) {
    const QJsonObject s = v.toObject();
    EXPECT_EQ(s.value(QStringLiteral("players")).toString(), QStringLiteral("5/16"));
    EXPECT_TRUE(s.value(QStringLiteral("ping")).isDouble());
    const QJsonArray players = s.value(QStringLiteral("player_list")).toArray();
    ASSERT_EQ(players.size(), 2);
    // Frags descending, as the pane orders them.
    EXPECT_EQ(players[0].toObject().value(QStringLiteral("name")).toString(), QStringLiteral("beta\t\"b\""));
    EXPECT_EQ(players[0].toObject().value(QStringLiteral("frags")).toString(), QStringLiteral("7"));
    const QJsonArray rules = s.value(QStringLiteral("rules")).toArray();
    ASSERT_EQ(rules.size(), 1);
    EXPECT_EQ(rules[0].toObject().value(QStringLiteral("value")).toString(), QStringLiteral("800"));
  }

  r = RunScan({QStringLiteral("--details"), QStringLiteral("--port"), p, QStringLiteral("127.6.5.1-127.6.5.1")});
  ASSERT_EQ(r.code, 0);
  QStringList lines = r.out.split(u'\n');
  ASSERT_GE(lines.size(), 2);
  lines[1] = WithoutPing(lines[1]);
  EXPECT_EQ(lines,
            (QStringList{kHeader, QStringLiteral("CSS\ta\t127.6.5.1\t") + p + QStringLiteral("\t17\tde_dust2\t5/16\tLIN\t\t"),
                         QString(), QStringLiteral("Address\tPort\tNickName\tFrags"),
                         QStringLiteral("127.6.5.1\t") + p + QStringLiteral("\tbeta\\t\"b\"\t7"),
                         QStringLiteral("127.6.5.1\t") + p + QStringLiteral("\talpha\t3"), QString(),
                         QStringLiteral("Address\tPort\tRule\tValue"),
                         QStringLiteral("127.6.5.1\t") + p + QStringLiteral("\tsv_gravity\t800"), QString()}));
}

TEST(ScanTool, UsageErrorsNameTheBadArgument) {
  TempFolder dir;
  struct Case {
    QStringList args;
    const char* named;
  } cases[] = {
      {{QStringLiteral("--bogus")}, "--bogus"},
      {{QStringLiteral("--port")}, "--port"},
      {{QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("127.6.6.1")}, "--port: 0"},
      {{QStringLiteral("--port"), QStringLiteral("65536"), QStringLiteral("127.6.6.1")}, "65536"},
      {{QStringLiteral("--delay"), QStringLiteral("31"), QStringLiteral("127.6.6.1")}, "--delay: 31"},
      {{QStringLiteral("--wait"), QStringLiteral("-1"), QStringLiteral("127.6.6.1")}, "--wait: -1"},
      {{QStringLiteral("--format"), QStringLiteral("xml"), QStringLiteral("127.6.6.1")}, "--format: xml"},
      {{QStringLiteral("127.6.6.1:99999")}, "127.6.6.1:99999"},
      {{QStringLiteral("127.6.6.1:")}, "127.6.6.1:"},
      {{QStringLiteral("127.6.6.9-127.6.6.1")}, "127.6.6.9-127.6.6.1"},
      {{QStringLiteral("127.6.6.1-127.7.6.1")}, "127.6.6.1-127.7.6.1"},
      {{QStringLiteral("--ini"), QString::fromStdString(dir.file("missing.ini"))}, "missing.ini"},
      {{}, "nothing to scan"},
  };
  for (const Case& c : cases) {
    Result r = RunScan(c.args);
    EXPECT_EQ(r.code, 2) << c.named;
    EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.named))) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty()) << c.named;
  }
  Result help = RunScan({QStringLiteral("--help")});
  EXPECT_EQ(help.code, 0);
  EXPECT_TRUE(help.out.startsWith(QStringLiteral("usage: gavrix-scan")));
}

TEST(ScanTool, AnUnknownNameIsANetworkErrorAndNothingAnsweredExitsOne) {
  FakeServers fakes;
  const int silent = fakes.add("127.6.7.1", 0);
  fakes.start();
  Result r = RunScan({QStringLiteral("--wait"), QStringLiteral("100"), QStringLiteral("nowhere.test"),
                      QStringLiteral("127.6.7.1:") + QString::number(fakes.port(silent))});
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(r.err.contains(QStringLiteral("network error at nowhere.test"))) << r.err.toStdString();
  // As in the window's run, the network error ends the run: the next target is not sent.
  EXPECT_EQ(fakes.count(), 0u);
}

}  // namespace
