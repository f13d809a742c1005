// The four-axis module's addresses, message word forms, chip codes and mirror fields. The host
// reaches the module's own 16-bit registers by address and each axis's chip through a command
// port and a 32-bit data transfer; every message ends with a separate end-of-transfer word.
#pragma once

#include <cstdint>

#include "common/bits.h"
#include "modules/module_operation_mode.h"

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

// The axis chip's codes: commands, live registers (0x90 + n), buffered registers (0x80 + n),
// environment registers, counters and reads.
namespace code {
constexpr std::uint16_t kReset = 0x04;
constexpr std::uint16_t kResetCommand = 0x20;
constexpr std::uint16_t kResetPosition = 0x21;
constexpr std::uint16_t kErcOn = 0x24;
constexpr std::uint16_t kErcOff = 0x25;
constexpr std::uint16_t kImmediateStop = 0x49;
constexpr std::uint16_t kDeceleratingStop = 0x4A;
constexpr std::uint16_t kStartAtMaxSpeed = 0x51;    // run at FH throughout, no ramps
constexpr std::uint16_t kStartDecelerating = 0x52;  // start at FH, decelerate at the end
constexpr std::uint16_t kStartRamped = 0x53;        // accelerate and decelerate
constexpr std::uint16_t kOperationBuffered = 0x80;  // + operation register number
constexpr std::uint16_t kOperationLive = 0x90;      // + operation register number
constexpr std::uint16_t kAuxAmount = 0x88;
constexpr std::uint16_t kEnv1 = 0x9C;
constexpr std::uint16_t kEnv2 = 0x9D;
constexpr std::uint16_t kEnv3 = 0x9E;
constexpr std::uint16_t kCommandCounter = 0xA3;
constexpr std::uint16_t kPositionCounter = 0xA4;
constexpr std::uint16_t kReadCommand = 0xE3;
constexpr std::uint16_t kReadPosition = 0xE4;
constexpr std::uint16_t kReadLatch1 = 0xED;  // latches 1..3 = 0xED..0xEF
constexpr std::uint16_t kReadStatus = 0xF1;
constexpr std::uint16_t kReadCurrentSpeed = 0xF5;
// The axis bit of a start command that starts several axes together.
constexpr std::uint16_t axis_bit(int axis) { return static_cast<std::uint16_t>(0x100u << axis); }
}  // namespace code

// Distances and positions fit the 28-bit amount register; the auxiliary amount holds 27 bits.
constexpr std::int32_t kMinPulses = -134217728;
constexpr std::int32_t kMaxPulses = 134217727;
constexpr std::int32_t kMaxCounter = 134217728;  // the counter setters accept one more
constexpr std::uint32_t kAmountMask = 0x0FFFFFFF;
constexpr std::uint32_t kAuxAmountMask = 0x07FFFFFF;
constexpr std::uint32_t kCounterHighMask = 0x0FFF;
constexpr std::uint32_t kMotionDoneMask = 0x0F;

// operation_mode: the card chip's fields and kinds, and the module's own.
namespace mode {
using namespace chip_mode;
constexpr std::uint32_t kHandWheel = 0x01;
constexpr std::uint32_t kJog = 0x02;
constexpr std::uint32_t kStep = 0x56;
constexpr std::uint32_t kLine = 0x63;
// What a line clears before it sets kLine: the operation, the S-curve bit, bits 13, 14 and 26.
constexpr std::uint32_t kLineClears = 0x7Fu | (1u << 10) | (1u << 13) | (1u << 14) | (1u << 26);
}  // namespace mode

// env1..env3 fields the exports set.
namespace env {
constexpr Field kPulseOut = field(0, 3);       // env1
constexpr Field kSdMode = field(4, 1);
constexpr Field kSdLatch = field(5, 1);
constexpr Field kSdLogic = field(6, 1);
constexpr Field kOrgLogic = field(7, 1);
constexpr Field kAlarmMode = field(8, 1);
constexpr Field kAlarmLogic = field(9, 1);
constexpr Field kErcOut = field(11, 1);
constexpr Field kErcWidth = field(12, 3);
constexpr Field kErcLogic = field(15, 1);
constexpr Field kErcMode = field(16, 2);
constexpr Field kInpLogic = field(22, 1);
constexpr Field kLatchLogic = field(23, 1);
constexpr Field kInitialLow = field(0, 16);    // env2
constexpr std::uint32_t kInitialEnv2 = 0x0105;
constexpr Field kManualOff = field(15, 1);
constexpr Field kInputMode = field(16, 2);
constexpr Field kInputDir = field(19, 1);
constexpr Field kPulserMode = field(20, 2);
constexpr Field kPulserDir = field(23, 1);
constexpr Field kEzCount = field(24, 4);
constexpr Field kEzLogic = field(28, 1);
constexpr Field kHomeMode = field(29, 1);
constexpr Field kFeedback = field(1, 1);       // env3
}  // namespace env

// The I/O byte mirror's output bits.
namespace io {
constexpr Field kServoOn = field(0, 1);
constexpr Field kAlarmReset = field(1, 1);
}  // namespace io

}  // namespace quvex::modules::m4
