// The motion chip's port map, command codes and register codes as the library uses them.
#pragma once

#include <cstdint>

namespace quvex::chip {

// Port offsets from chip_base; each axis has an 8-byte block.
constexpr std::uint16_t kAxisBlock = 8;
constexpr std::uint16_t kCommandPort = 0;    // write: command word; read: main status
constexpr std::uint16_t kSubStatusPort = 2;  // read
constexpr std::uint16_t kDataLowPort = 4;
constexpr std::uint16_t kDataHighPort = 6;
constexpr std::uint16_t kCardControlPort = 0x20;  // card control word, mirrored in card_ctrl
constexpr std::uint16_t kCardPort26 = 0x26;       // written 0 at start-up and before a compare table

// Command word: bits 0-7 code, bits 8-11 select axes X, Y, Z, U for multi-axis starts.
namespace cmd {
constexpr std::uint16_t kSyncStart = 0x06;
constexpr std::uint16_t kSyncStop = 0x07;
constexpr std::uint16_t kOutputOn = 0x18;   // + output number
constexpr std::uint16_t kOutputOff = 0x10;  // + output number
constexpr std::uint16_t kServoOutput = 0;
constexpr std::uint16_t kAlarmResetOutput = 1;
constexpr std::uint16_t kGeneralOutput = 4;
constexpr std::uint16_t kClearErrorCounter = 0x22;
constexpr std::uint16_t kErcOn = 0x24;
constexpr std::uint16_t kErcOff = 0x25;
constexpr std::uint16_t kCancelQueuedStart = 0x26;  // drops a start waiting behind the running one
constexpr std::uint16_t kImmediateStop = 0x49;
constexpr std::uint16_t kDeceleratingStop = 0x4A;
constexpr std::uint16_t kStartAtStartSpeed = 0x50;  // run at FL throughout, no ramps
constexpr std::uint16_t kStartAtMaxSpeed = 0x51;    // run at FH throughout, no ramps
constexpr std::uint16_t kStartDecelerating = 0x52;  // start at FH, decelerate at the end
constexpr std::uint16_t kStartRamped = 0x53;        // accelerate and decelerate
constexpr std::uint16_t kLoadStatus32 = 0xF1;
constexpr std::uint16_t select_axis(unsigned axis) { return static_cast<std::uint16_t>(0x0100u << axis); }
}  // namespace cmd

// Register codes. Writes put the value in the data words, then the code on the command port;
// reads put the read code (write code + 0x40) on the command port, then read the data words.
namespace reg {
constexpr std::uint16_t kReadOffset = 0x40;
constexpr std::uint16_t read_code(std::uint16_t write_code) { return static_cast<std::uint16_t>(write_code + kReadOffset); }
constexpr std::uint16_t kOperationBuffered = 0x80;  // + n, n = 0..11
constexpr std::uint16_t kOperationLive = 0x90;      // + n
constexpr std::uint16_t kOperationRead = read_code(kOperationLive);  // + n
constexpr std::uint16_t kEnv1 = 0x9C;               // env1..env7 = 0x9C..0xA2
constexpr std::uint16_t kCommandCounter = 0xA3;
constexpr std::uint16_t kPositionCounter = 0xA4;
constexpr std::uint16_t kGeneralCounter = 0xA6;
constexpr std::uint16_t kComparator1 = 0xA7;        // comparator data 1..5 = 0xA7..0xAB
constexpr std::uint16_t kIntFactor = 0xAC;
constexpr std::uint16_t kArcStepCount = 0x8C;       // buffered bank only
// The reads of the registers above, then the registers that are only read.
constexpr std::uint16_t kReadCommandCounter = read_code(kCommandCounter);
constexpr std::uint16_t kReadPositionCounter = read_code(kPositionCounter);
constexpr std::uint16_t kReadGeneralCounter = read_code(kGeneralCounter);
constexpr std::uint16_t kReadComparator1 = read_code(kComparator1);
constexpr std::uint16_t kReadIntFactor = read_code(kIntFactor);
constexpr std::uint16_t kReadErrorCounter = 0xE5;
constexpr std::uint16_t kReadLatch0 = 0xED;         // latches 0..3 = 0xED..0xF0
constexpr std::uint16_t kReadStatus32 = 0xF1;
constexpr std::uint16_t kReadRemainingPulses = 0xF4;
constexpr std::uint16_t kReadCurrentSpeed = 0xF5;
}  // namespace reg

// Operation registers 0..11 (one bank each: buffered or live), with the chip's short names.
enum OperationRegister : unsigned {
    kMoveAmount = 0,
    kStartSpeed = 1, kMaxSpeed = 2,             // FL, FH
    kAccelRate = 3, kDecelRate = 4,             // UR, DR
    kSpeedRange = 5,                            // R
    kRampDownPoint = 6, kOperationMode = 7, kAuxAmount = 8,
    kSAccelSection = 9, kSDecelSection = 10,    // US, DS
    kCorrectionSpeed = 11,
    kOperationRegisterCount = 12,
};

// The operation registers' two banks: the live bank acts on the operation in progress, the
// buffered bank is taken over by the next start command.
enum class Bank : std::uint8_t { kLive, kBuffered };
constexpr std::uint16_t operation_write_code(Bank bank, unsigned n) {
    return static_cast<std::uint16_t>((bank == Bank::kBuffered ? reg::kOperationBuffered : reg::kOperationLive) + n);
}

}  // namespace quvex::chip
