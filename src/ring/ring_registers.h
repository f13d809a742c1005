// The ring master's register window as the host sees it: 16-bit words at byte offsets from the
// window address, the control commands and the status bits.
#pragma once

#include <cstdint>

namespace quvex::ring {

constexpr int kRingCount = 4;
constexpr int kSlaveCount = 64;
constexpr int kIoPortCount = 4;     // cyclic bytes per slave
constexpr int kMessageWords = 12;   // words of one outgoing message
// What the message port receives for a buffer word that the message does not fill.
constexpr std::uint16_t kUnusedMessageWord = 0xFFFF;
constexpr int kReplyWords = 16;     // words kept from the last reply
constexpr int kErrorMapWords = kSlaveCount / 16;

// Byte offsets in the window.
namespace offset {
constexpr std::uint16_t kControl = 0;        // write: command word
constexpr std::uint16_t kStatus = 0;         // read: status word
constexpr std::uint16_t kMessagePort = 6;    // FIFO: message words out, reply words in
constexpr std::uint16_t kSlaveTypes = 120;   // + 2*i: type bytes of slaves 2i (low) and 2i+1 (high)
constexpr std::uint16_t kErrorMap = 184;     // + 2*(s/16): bit s%16 per slave; write-back clears
constexpr std::uint16_t kCyclic = 256;       // + 4*s: two words of cyclic data per slave

constexpr std::uint16_t slave_types(int pair) { return static_cast<std::uint16_t>(kSlaveTypes + 2 * pair); }
constexpr std::uint16_t error_map(int word) { return static_cast<std::uint16_t>(kErrorMap + 2 * word); }
// The cyclic word holding I/O port `port` of slave `slave` (ports 0,1 in the first word, 2,3 in the second).
constexpr std::uint16_t cyclic_word(int slave, int port) {
    return static_cast<std::uint16_t>(kCyclic + 4 * slave + 2 * (port / 2));
}
}  // namespace offset

// Control commands.
namespace control {
constexpr std::uint16_t kScan = 0x1000;      // scan the ring and fill the slave-type table
constexpr std::uint16_t kRun = 0x3000;       // start cyclic operation
constexpr std::uint16_t kStop = 0x3100;
constexpr std::uint16_t kReset = 0x0100;
constexpr std::uint16_t kMessage = 0x4000;   // + slave: send the queued message words
constexpr std::uint16_t kIdentify = 0x1300;  // + slave: ask for the identification words
constexpr std::uint16_t message_to(int slave) { return static_cast<std::uint16_t>(kMessage + slave); }
constexpr std::uint16_t identify(int slave) { return static_cast<std::uint16_t>(kIdentify + slave); }
}  // namespace control

// Status bits.
namespace status {
constexpr std::uint16_t kMessageDone = 0x0001;
constexpr std::uint16_t kSlaveError = 0x0008;   // the error map names the slaves
// Error conditions the master reports without naming a slave: bit 4 is counted on its own, bits
// 5 and 6 share one count.
constexpr std::uint16_t kLoneError = 0x0010;
constexpr std::uint16_t kPairedErrors = 0x0060;
constexpr std::uint16_t kAnyError = kSlaveError | kLoneError | kPairedErrors;
constexpr std::uint16_t kCyclicBusy = 0x0100;
}  // namespace status

// Type byte of a slave in the slave-type table.
namespace type_bit {
constexpr std::uint8_t kSecondStationFlag = 0x08;  // recorded, never interpreted
constexpr std::uint8_t kPresent = 0x80;
}  // namespace type_bit

// Identification words: bit 20 of the 32-bit value picks the reported code.
constexpr std::uint32_t kIdentBit = 1u << 20;
constexpr std::uint8_t kIdentCodeClear = 0xA3;
constexpr std::uint8_t kIdentCodeSet = 0xA4;
constexpr std::uint32_t kIdentTimedOut = 0xFFFFFFFFu;

// Polling limits and waits.
constexpr int kSendStatusReads = 5000;
constexpr int kReplyStatusReads = 50000;
constexpr int kCyclicWriteAttempts = 19001;
constexpr std::uint32_t kIdentifyWaitMs = 200;
constexpr std::uint32_t kStartSettleMs = 100;
constexpr std::uint32_t kScanSettleMs = 300;
constexpr std::uint32_t kResetSettleMs = 100;
constexpr std::uint32_t kWatchdogPassMs = 1;

// Quality parameters.
constexpr std::uint16_t kQualityLimitMin = 10, kQualityLimitMax = 50;
constexpr std::uint16_t kQualityParam2Min = 40, kQualityParam2Max = 60;

}  // namespace quvex::ring
