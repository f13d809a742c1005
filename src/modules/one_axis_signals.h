// Signal set-up of a one-axis module: environment mirrors env1..env4 changed field by field and
// sent whole, the interrupt factors, the module reset and the cyclic output byte. Each returns
// the result of its last message.
#pragma once

#include <cstdint>

#include "modules/one_axis_link.h"

namespace quvex::modules::m1 {

enum Env : int { kEnv1 = 0, kEnv2 = 1, kEnv3 = 2, kEnv4 = 3 };

// Sends the mirror of env1..env4.
std::int16_t send_env(OneAxisLink& link, Env env);

std::int16_t initialize(OneAxisLink& link);
std::int16_t set_pulse_output(OneAxisLink& link, std::uint32_t mode);
std::int16_t set_pulse_input(OneAxisLink& link, std::int32_t mode, std::int32_t dir);
std::int16_t set_feedback_source(OneAxisLink& link, std::uint16_t src);
std::int16_t set_alarm(OneAxisLink& link, std::int32_t logic, std::int32_t mode);
std::int16_t set_in_position(OneAxisLink& link, std::int32_t enable, std::int32_t logic);
std::int16_t set_slow_down(OneAxisLink& link, std::int32_t enable, std::int32_t logic, std::int32_t latch,
                           std::int32_t mode);
std::int16_t set_erc(OneAxisLink& link, std::int32_t logic, std::int32_t width, std::int32_t mode);
std::int16_t set_erc_output(OneAxisLink& link, std::int16_t on);
std::int16_t set_pcs(OneAxisLink& link, std::uint16_t logic);
std::int16_t set_clear(OneAxisLink& link, std::uint32_t mode);
std::int16_t set_clear_mask(OneAxisLink& link, std::int32_t mask);
// KRING_ERR_LATCH_LOGIC when the write fails.
std::int16_t set_latch_logic(OneAxisLink& link, std::uint32_t logic);
struct HomeConfig {
    std::int32_t home_mode, org_logic, ez_logic, ez_count, erc_out;
};
// KRING_ERR_HOME_CONFIG when a write fails.
std::int16_t set_home_config(OneAxisLink& link, const HomeConfig& c);
std::int16_t add_int_factors(OneAxisLink& link, std::int32_t factor);

// Output byte (cyclic port 3): one bit of dio_byte set or cleared, then the byte sent.
std::int16_t set_output_bit(OneAxisLink& link, std::uint8_t bit, bool on);

}  // namespace quvex::modules::m1
