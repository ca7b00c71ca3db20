// The floor of the command-line scan benchmark: the least a program can do for
// the same answers. Sends the Source info query to 127.0.0.1 .. 127.0.0.N on
// one port with plain sendto() and reads N replies (or gives up after a second).
// usage: sendto_floor PORT N
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const auto port = static_cast<uint16_t>(std::atoi(argv[1]));
  const int n = std::atoi(argv[2]);
  const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
  static const char kQuery[] = "\xFF\xFF\xFF\xFFTSource Engine Query";  // with its NUL: 25 bytes
  for (int i = 1; i <= n; ++i) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(0x7F000000u | static_cast<uint32_t>(i));
    ::sendto(fd, kQuery, sizeof kQuery, 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
  }
  int got = 0;
  char buf[2048];
  pollfd p{fd, POLLIN, 0};
  while (got < n && ::poll(&p, 1, 1000) > 0)
    if (::recv(fd, buf, sizeof buf, 0) > 0) ++got;
  ::close(fd);
  std::printf("%d\n", got);
  return got == n ? 0 : 1;
}
