// What the library knows of one ring station: its type byte from discovery, its error mark from
// the watchdog, and the per-axis mirrors of a motion module.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

namespace quvex::ring {

// Stored manual-operation parameters of one module axis (hand wheel, jog, step).
struct ModuleManualProfile {
    double start_speed = 0;
    double max_speed = 0;
    double accel_time = 0;
    double decel_time = 0;
};

// Per-axis mirrors of a module's registers and its motion parameters. A one-axis module uses
// block 0, a four-axis module one block per axis.
struct ModuleAxisBlock {
    double target_pos = 0;
    double prev_target_pos = 0;
    double last_decel_time = 0;
    std::int16_t speed_range_fixed = 0;
    double move_ratio = 0;
    std::uint8_t dio_byte = 0;
    std::array<std::uint32_t, 4> env{};        // env1..env4
    std::array<std::uint32_t, 2> env_extra{};  // cleared by the module's initial, not otherwise used
    std::uint32_t move_amount = 0;
    std::uint32_t start_speed_reg = 0;
    std::uint32_t max_speed_reg = 0;           // 0: no speed profile loaded yet
    std::uint32_t accel_rate = 0;
    std::uint32_t decel_rate = 0;
    std::uint32_t speed_range = 0;
    std::uint32_t ramp_down_point = 0;
    std::uint32_t operation_mode = 0;
    std::uint32_t s_accel_section = 0;
    std::uint32_t s_decel_section = 0;
    std::uint32_t int_factor = 0;
    std::uint32_t aux_amount = 0;              // four-axis lines: the buffered auxiliary amount (0x88)
    // Four-axis modules: the last manual-operation settings.
    ModuleManualProfile mpg;
    ModuleManualProfile jog;
    std::int16_t jog_percent = 0;
    ModuleManualProfile step;
    std::int16_t step_percent = 0;
    double step_dist = 0;
};

struct SlaveRecord {
    std::uint8_t type = 0;      // raw type byte from the slave-type table
    std::uint8_t address = 0;   // the slave's own number
    std::uint8_t second_station_flag = 0;  // bit 3 of the type byte
    std::uint8_t present = 0;   // bit 7 of the type byte
    // Set by the watchdog thread, cleared by the application when it hands the slave out.
    std::atomic<std::uint8_t> error{0};
    std::int16_t mof_mode = 0;
    std::int16_t mof_axis = 0;
    std::array<ModuleAxisBlock, 4> axes{};
};

}  // namespace quvex::ring
