// Fake game servers over plain sockets and poll().
#include "fake_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace gavrix::test {

FakeServers::~FakeServers() {
  stop();
  for (auto& s : servers_)
    if (s.fd >= 0) ::close(s.fd);
}

int FakeServers::add(const std::string& address, uint16_t port, Responder responder) {
  if (address.rfind("127.", 0) != 0) throw std::runtime_error("fake servers bind loopback addresses only");
  int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
  if (fd < 0) throw std::runtime_error("socket");
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  ::inet_pton(AF_INET, address.c_str(), &a.sin_addr);
  int one = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  // Kernel receive times order datagrams across sockets by their true arrival.
  ::setsockopt(fd, SOL_SOCKET, SO_TIMESTAMPNS, &one, sizeof one);
  int big = 1 << 20;
  ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &big, sizeof big);
  if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
    ::close(fd);
    throw std::runtime_error("bind " + address + ":" + std::to_string(port) + ": " + std::strerror(errno));
  }
  socklen_t len = sizeof a;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
  ::fcntl(fd, F_SETFL, O_NONBLOCK);
  servers_.push_back({fd, address, ntohs(a.sin_port), std::move(responder)});
  return static_cast<int>(servers_.size()) - 1;
}

uint16_t FakeServers::port(int server) const { return servers_.at(static_cast<size_t>(server)).port; }
std::string FakeServers::address(int server) const { return servers_.at(static_cast<size_t>(server)).address; }

void FakeServers::setResponder(int server, Responder responder) {
  std::lock_guard lock(mu_);
  servers_.at(static_cast<size_t>(server)).responder = std::move(responder);
}

void FakeServers::start() {
  if (running_) return;
  if (::pipe(wakeFd_) != 0) throw std::runtime_error("pipe");
  running_ = true;
  thread_ = std::thread([this] { run(); });
}

void FakeServers::stop() {
  if (!running_) return;
  char c = 0;
  (void)!::write(wakeFd_[1], &c, 1);
  thread_.join();
  running_ = false;
  ::close(wakeFd_[0]);
  ::close(wakeFd_[1]);
}

void FakeServers::run() {
  std::vector<pollfd> fds;
  for (auto& s : servers_) fds.push_back({s.fd, POLLIN, 0});
  fds.push_back({wakeFd_[0], POLLIN, 0});
  uint8_t buf[4096];
  for (;;) {
    if (::poll(fds.data(), fds.size(), -1) < 0) continue;
    if (fds.back().revents) return;
    for (size_t i = 0; i + 1 < fds.size(); ++i) {
      if (!(fds[i].revents & POLLIN)) continue;
      for (;;) {
        sockaddr_in from{};
        socklen_t len = sizeof from;
        iovec iov{buf, sizeof buf};
        alignas(cmsghdr) char control[128];
        msghdr msg{};
        msg.msg_name = &from;
        msg.msg_namelen = len;
        msg.msg_iov = &iov;
        msg.msg_iovlen = 1;
        msg.msg_control = control;
        msg.msg_controllen = sizeof control;
        ssize_t n = ::recvmsg(fds[i].fd, &msg, 0);
        if (n < 0) break;
        int64_t stamp = 0;
        for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c; c = CMSG_NXTHDR(&msg, c)) {
          if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_TIMESTAMPNS) {
            timespec ts;
            std::memcpy(&ts, CMSG_DATA(c), sizeof ts);
            stamp = int64_t{ts.tv_sec} * 1000000000 + ts.tv_nsec;
          }
        }
        Received r;
        r.server = static_cast<int>(i);
        char text[INET_ADDRSTRLEN] = {};
        ::inet_ntop(AF_INET, &from.sin_addr, text, sizeof text);
        r.fromAddress = text;
        r.fromPort = ntohs(from.sin_port);
        r.bytes.assign(buf, buf + n);
        r.at = std::chrono::steady_clock::now();
        r.kernelStamp = stamp;
        Responder responder;
        {
          std::lock_guard lock(mu_);
          auto at = std::upper_bound(received_.begin(), received_.end(), stamp,
                                     [](int64_t t, const Received& x) { return t < x.kernelStamp; });
          received_.insert(at, r);
          responder = servers_[i].responder;
        }
        if (!responder) continue;
        for (const Datagram& answer : responder(r))
          ::sendto(fds[i].fd, answer.data(), answer.size(), 0, reinterpret_cast<sockaddr*>(&from), len);
      }
    }
  }
}

std::vector<Received> FakeServers::received() const {
  std::lock_guard lock(mu_);
  return received_;
}

std::vector<Received> FakeServers::receivedBy(int server) const {
  std::lock_guard lock(mu_);
  std::vector<Received> out;
  for (const auto& r : received_)
    if (r.server == server) out.push_back(r);
  return out;
}

size_t FakeServers::count() const {
  std::lock_guard lock(mu_);
  return received_.size();
}

void FakeServers::clearReceived() {
  std::lock_guard lock(mu_);
  received_.clear();
}

void FakeServers::sendFrom(int server, const std::string& toAddress, uint16_t toPort, const Datagram& d) {
  if (toAddress.rfind("127.", 0) != 0) throw std::runtime_error("fakes send to loopback only");
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(toPort);
  ::inet_pton(AF_INET, toAddress.c_str(), &to.sin_addr);
  ::sendto(servers_.at(static_cast<size_t>(server)).fd, d.data(), d.size(), 0, reinterpret_cast<sockaddr*>(&to),
           sizeof to);
}

FakeServers::Responder AnswerInfo(Datagram reply) {
  return [reply](const Received& r) -> std::vector<Datagram> {
    if (r.bytes.size() >= 5 && r.bytes[4] == 'T') return {reply};
    return {};
  };
}

}  // namespace gavrix::test
