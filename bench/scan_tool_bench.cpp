// gavrix-scan over 250 fake servers on 127.0.0.1 .. 127.0.0.250, every one
// answering: the whole process from start to exit, against the floor of a
// minimal program that sends the 250 queries with sendto() and reads the 250
// replies. Goals: under 15 ms, and at most 3 times the floor.
// usage: scan_tool_bench [ROUNDS]
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/fake_server.h"
#include "support/replies.h"

extern char** environ;

namespace {

constexpr int kServers = 250;

struct Run {
  double ms = 0;
  int code = -1;
  std::string out;
};

// Starts the program with its output in a file; the time is from the spawn to its exit.
Run Spawn(const std::vector<std::string>& args) {
  char outPath[] = "/tmp/gavrix-bench-XXXXXX";
  const int out = mkstemp(outPath);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out, STDOUT_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  // Names from an empty table only, and the network kept on loopback.
  std::vector<char*> env;
  for (char** e = environ; *e; ++e) env.push_back(*e);
  static char kTestHosts[] = "GAVRIX_TEST_HOSTS=";
  env.push_back(kTestHosts);
  env.push_back(nullptr);
  Run r;
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), env.data()) == 0) {
    int status = 0;
    waitpid(pid, &status, 0);
    r.ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  posix_spawn_file_actions_destroy(&actions);
  lseek(out, 0, SEEK_SET);
  char buf[4096];
  ssize_t n;
  while ((n = read(out, buf, sizeof buf)) > 0) r.out.append(buf, static_cast<size_t>(n));
  close(out);
  unlink(outPath);
  return r;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  gavrix::test::FakeServers fakes;
  uint16_t port = 0;
  for (int i = 1; i <= kServers; ++i) {
    gavrix::test::SourceInfo info;
    info.name = "bench " + std::to_string(i);
    const int s = fakes.add("127.0.0." + std::to_string(i), port, gavrix::test::AnswerInfo(gavrix::test::Build(info)));
    port = fakes.port(s);
  }
  fakes.start();
  const std::string p = std::to_string(port);

  std::vector<double> scan, floor, startup;
  int listed = 0;
  for (int i = 0; i < rounds; ++i) {
    Run f = Spawn({SENDTO_FLOOR_PATH, p, std::to_string(kServers)});
    Run s = Spawn({GAVRIX_SCAN_PATH, "--port", p, "--wait", "500", "127.0.0.1-127.0.0." + std::to_string(kServers)});
    // The same program doing nothing: what loading Qt and starting costs on this machine.
    startup.push_back(Spawn({GAVRIX_SCAN_PATH, "--help"}).ms);
    if (f.code != 0 || s.code != 0) {
      std::fprintf(stderr, "round %d: floor exit %d, gavrix-scan exit %d\n", i, f.code, s.code);
      continue;
    }
    listed = static_cast<int>(std::count(s.out.begin(), s.out.end(), '\n')) - 1;  // minus the header
    floor.push_back(f.ms);
    scan.push_back(s.ms);
  }
  if (scan.empty()) return 1;
  const double ms = Median(scan), fl = Median(floor);
  std::printf("gavrix-scan, %d fake servers on loopback, whole process: median %.2f ms (best %.2f), %d listed\n",
              kServers, ms, *std::min_element(scan.begin(), scan.end()), listed);
  std::printf("sendto floor, whole process: median %.2f ms (best %.2f)\n", fl,
              *std::min_element(floor.begin(), floor.end()));
  std::printf("gavrix-scan --help (start and exit only): median %.2f ms (best %.2f)\n", Median(startup),
              *std::min_element(startup.begin(), startup.end()));
  std::printf("ratio %.2f (goal <= 3), goal under 15 ms: %s\n", ms / fl, ms < 15 ? "met" : "missed");
  return 0;
}
