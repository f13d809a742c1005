// The four-axis module's addresses, message word forms, chip codes and mirror fields. The host
// reaches the module's own 16-bit registers by address and each axis's chip through a command
// port and a 32-bit data transfer; every message ends with a separate end-of-transfer word.
#pragma once

#include <cstdint>

#include "common/bits.h"
#include "modules/module_codes.h"

namespace quvex::modules::m4 {

constexpr int kAxisCount = 4;

// Module registers by address.
namespace reg {
constexpr std::uint16_t kIdNumber = 0;
constexpr std::uint16_t kLimitEnable = 2;  // bit `axis`
constexpr std::uint16_t kManualControl = 4;
constexpr std::uint16_t kManualStatus = 6;
// The axis I/O port: written bit 0 servo on, bit 1 alarm reset.
constexpr std::uint16_t axis_io(int axis) { return static_cast<std::uint16_t>(0x22 + 8 * axis); }
}  // namespace reg

// Message word forms.
namespace word {
constexpr std::uint16_t kWriteModule = 0x0900;  // + address, then the value
constexpr std::uint16_t kReadModule = 0x0A00;   // + address; the reply echoes it, then the value
constexpr std::uint16_t write_module(std::uint16_t address) { return static_cast<std::uint16_t>(kWriteModule + address); }
constexpr std::uint16_t read_module(std::uint16_t address) { return static_cast<std::uint16_t>(kReadModule + address); }
// The axis command port (write-module form of address 0x20 + 8·axis), then the code.
constexpr std::uint16_t axis_command(int axis) { return static_cast<std::uint16_t>(0x0920 + 8 * axis); }
// The axis data ports: write with low and high words; read with the reply carrying them.
constexpr std::uint16_t axis_data_write(int axis) { return static_cast<std::uint16_t>(0x19A4 + 8 * axis); }
constexpr std::uint16_t axis_data_read(int axis) { return static_cast<std::uint16_t>(0x1AA4 + 8 * axis); }
}  // namespace word

// The axis chip's codes beyond those both kinds share (module_codes.h); the operation registers
// go by bank (module_link.h).
namespace code {
using namespace chip_code;
constexpr std::uint16_t kImmediateStop = chip::cmd::kImmediateStop;
constexpr std::uint16_t kStartAtMaxSpeed = chip::cmd::kStartAtMaxSpeed;
constexpr std::uint16_t kStartDecelerating = chip::cmd::kStartDecelerating;
constexpr std::uint16_t kEnv2 = kEnv1 + 1;
// The axis bit of a start command that starts several axes together.
constexpr std::uint16_t axis_bit(int axis) { return chip::cmd::select_axis(static_cast<unsigned>(axis)); }
}  // namespace code

// The auxiliary amount holds 27 bits.
constexpr std::uint32_t kAuxAmountMask = 0x07FFFFFF;
constexpr std::uint32_t kCounterHighMask = 0x0FFF;
constexpr std::uint32_t kMotionDoneMask = 0x0F;

// operation_mode: the card chip's fields and kinds, and the module's own.
namespace mode {
using namespace chip_mode;
constexpr std::uint32_t kHandWheel = chip::manual::kKindHandWheel;
constexpr std::uint32_t kJog = chip::manual::kKindJog;
constexpr std::uint32_t kStep = chip::manual::kKindStep;
constexpr std::uint32_t kLine = 0x63;
// What a line clears before it sets kLine: the operation, the S-curve bit, bits 13, 14 and 26.
constexpr std::uint32_t kLineClears = 0x7Fu | (1u << 10) | (1u << 13) | (1u << 14) | (1u << 26);
}  // namespace mode

// env1..env3 fields the exports set. env1 is laid out as the card chip's.
namespace env {
constexpr Field kPulseOut = chip::env1::kPulseOutputMode;
constexpr Field kSdMode = chip::env1::kSlowDownMode;
constexpr Field kSdLatch = chip::env1::kSlowDownLatch;
constexpr Field kSdLogic = chip::env1::kSlowDownLogic;
constexpr Field kOrgLogic = field(7, 1);
constexpr Field kAlarmMode = chip::env1::kAlarmMode;
constexpr Field kAlarmLogic = chip::env1::kAlarmLogic;
constexpr Field kErcOut = field(11, 1);
constexpr Field kErcWidth = chip::env1::kErcWidth;
constexpr Field kErcLogic = chip::env1::kErcLogic;
constexpr Field kErcMode = field(16, 2);
constexpr Field kInpLogic = chip::env1::kInPositionLogic;
constexpr Field kLatchLogic = chip::env1::kLatchLogic;
constexpr Field kInitialLow = field(0, 16);    // env2
constexpr std::uint32_t kInitialEnv2 = 0x0105;
constexpr Field kManualOff = field(15, 1);
constexpr Field kInputMode = field(16, 2), kInputDir = field(19, 1);    // the encoder input
constexpr Field kPulserMode = field(20, 2), kPulserDir = field(23, 1);  // the pulser input
constexpr Field kEzCount = field(24, 4), kEzLogic = field(28, 1);
constexpr Field kHomeMode = field(29, 1);
constexpr Field kFeedback = field(1, 1);       // env3
}  // namespace env

// The I/O byte mirror's output bits.
namespace io {
constexpr Field kServoOn = field(0, 1);
constexpr Field kAlarmReset = field(1, 1);
}  // namespace io

}  // namespace quvex::modules::m4
