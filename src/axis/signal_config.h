// Signal configuration of a local axis: each operation changes its fields of env1/env2/env3 or
// the operation mode word by read-modify-write of the register mirror and writes the whole
// register (or, for the outputs, writes one command). Values are masked to their fields.
#pragma once

#include <cstdint>

namespace quvex::axis {

void set_pulse_output_mode(int axis_no, std::int16_t mode);
void set_encoder_input(int axis_no, std::int16_t mode, std::int16_t logic);
void set_feedback_source(int axis_no, std::int16_t source);
void set_alarm(int axis_no, std::int16_t logic, std::int16_t mode);
void set_in_position(int axis_no, std::int16_t enable, std::int16_t logic);
void set_end_limit_mode(int axis_no, std::int16_t mode);
void set_slow_down(int axis_no, std::int16_t enable, std::int16_t logic, std::int16_t latch, std::int16_t mode);
void set_erc(int axis_no, std::int16_t logic, std::int16_t width);
void set_auto_erc(int axis_no, std::int16_t on_off);
void set_home_config(int axis_no, std::int16_t mode, std::int16_t flag1, std::int16_t flag2, std::int16_t count,
                     std::int16_t erc);
void set_latch_logic(int axis_no, std::int16_t logic);

// One-shot outputs of the chip.
void set_servo(int axis_no, bool on);
void set_alarm_reset(int axis_no, bool on);
void set_general_output(int axis_no, bool on);
// 1 on, 0 off, anything else writes nothing.
void set_erc_output(int axis_no, std::int16_t on_off);

}  // namespace quvex::axis
