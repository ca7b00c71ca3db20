// Fake game servers on loopback addresses: each records every datagram it
// receives and answers with whatever its responder returns. They run on a
// thread of their own, so the program's event loop stays the program's.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "replies.h"

namespace gavrix::test {

struct Received {
  int server = 0;             // index of the fake that received it
  std::string fromAddress;    // sender (the program's endpoint)
  uint16_t fromPort = 0;
  Datagram bytes;
  std::chrono::steady_clock::time_point at;
  int64_t kernelStamp = 0;   // arrival time; received() is in this order
};

class FakeServers {
 public:
  // Answers to one received datagram (none to stay silent).
  using Responder = std::function<std::vector<Datagram>(const Received&)>;

  FakeServers() = default;
  ~FakeServers();
  FakeServers(const FakeServers&) = delete;
  FakeServers& operator=(const FakeServers&) = delete;

  // Binds a fake to address:port (127.x.y.z only; port 0 picks one); returns its index.
  int add(const std::string& address, uint16_t port, Responder responder = nullptr);
  uint16_t port(int server) const;
  std::string address(int server) const;
  void setResponder(int server, Responder responder);
  // Starts the thread; add() after start() is not allowed.
  void start();
  void stop();

  std::vector<Received> received() const;
  std::vector<Received> receivedBy(int server) const;
  size_t count() const;
  void clearReceived();

  // Sends a datagram from a fake to the given loopback address:port.
  void sendFrom(int server, const std::string& toAddress, uint16_t toPort, const Datagram& d);

 private:
  struct Server {
    int fd = -1;
    std::string address;
    uint16_t port = 0;
    Responder responder;
  };
  void run();

  std::vector<Server> servers_;
  mutable std::mutex mu_;
  std::vector<Received> received_;
  std::thread thread_;
  int wakeFd_[2] = {-1, -1};
  bool running_ = false;
};

// Answers a Source info query with the given reply.
FakeServers::Responder AnswerInfo(Datagram reply);

}  // namespace gavrix::test
