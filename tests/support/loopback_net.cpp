#include "support/loopback_net.h"

#include "util/local_address.h"

namespace gavrix::test {

std::vector<NetInterface> LoopbackInterfaces() {
  NetInterface lo;
  lo.name = "lo";
  lo.address = "127.0.0.1";
  lo.up = true;
  lo.loopback = true;
  return {lo};
}

void KeepNetworkOnLoopback() {
  SetLocalAddressProvider([] { return std::string("127.0.0.1"); });
  SetNetInterfaceProvider(LoopbackInterfaces);
}

}  // namespace gavrix::test
