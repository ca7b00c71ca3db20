// Layout of a fuzz input: a settings word, then datagrams from several sources.
// Shared by the fuzz target and its seed generator so both read it alike.
#pragma once

#include <cstdint>

namespace gavrix::fuzz {

// Bytes 0 and 1, little-endian: bits 0-10 the game filter flags (set: shown),
// then the window's state while the datagrams arrive.
inline constexpr uint16_t kAllGamesShown = 0x07FF;
inline constexpr uint16_t kScanning = 1u << 11;
inline constexpr uint16_t kSendFails = 1u << 12;
// Auto-connect watches the first address: its join check reads the player count.
inline constexpr uint16_t kWatchFirst = 1u << 13;
// ModernServers on (off: the classic behaviour).
inline constexpr uint16_t kModern = 1u << 14;
// Before the datagrams: an info query went to every address and port of the
// tables, and one to the broadcast address on each port.
inline constexpr uint16_t kInfoSent = 1u << 15;

// Then records, each a header byte, a 16-bit little-endian length and the bytes.
// Header bits 0-1: source address, bits 2-3: source port (tables below).
inline constexpr uint8_t kPrefixHeader = 1u << 4;  // FF FF FF FF goes before the bytes
// The datagram comes from an address of its own (127.1.x.y, counting up) rather
// than from the table: storms of challenges and fragments from many servers.
inline constexpr uint8_t kFreshAddress = 1u << 5;
// The clock moves one second on after every this many datagrams.
inline constexpr int kDatagramsPerSecond = 8;
// Bits 6-7: what the user does after the datagram: 0 nothing, 1 sort by Name,
// 2 sort by Port, 3 start a new scan (the lists are emptied).
inline constexpr int kActionShift = 6;
inline constexpr const char* kAddresses[4] = {"127.0.0.1", "127.0.0.2", "127.0.0.3", "127.0.0.4"};
inline constexpr uint16_t kPorts[4] = {27015, 27016, 27020, 27005};
// The endpoint delivers at most 2048 bytes; longer lengths wrap.
inline constexpr uint32_t kMaxDatagram = 2048;

}  // namespace gavrix::fuzz
