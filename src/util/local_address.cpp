// Local host address lookup.
#include "util/local_address.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <unistd.h>

#include <cstring>

namespace gavrix {

namespace {
std::function<std::string()>& Provider() {
  static std::function<std::string()> p;
  return p;
}
}  // namespace

void SetLocalAddressProvider(std::function<std::string()> provider) { Provider() = std::move(provider); }

std::string GetLocalIP() { return Provider() ? Provider()() : SystemLocalIP(); }

std::string SystemLocalIP() {
  char name[129] = {};
  if (gethostname(name, 128) != 0) return {};
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_DGRAM;
  addrinfo* list = nullptr;
  if (getaddrinfo(name, nullptr, &hints, &list) != 0 || !list) return {};
  std::string result;
  char text[INET_ADDRSTRLEN] = {};
  auto* in = reinterpret_cast<sockaddr_in*>(list->ai_addr);
  if (inet_ntop(AF_INET, &in->sin_addr, text, sizeof text)) result = text;
  freeaddrinfo(list);
  return result;
}

}  // namespace gavrix
