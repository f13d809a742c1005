#include "modules/one_axis_signals.h"

#include "chip/registers.h"
#include "common/bits.h"
#include "card/export_checks.h"
#include "modules/module_axis_block.h"
#include "modules/module_link.h"
#include "modules/one_axis_codes.h"
#include "quvex/quvex_base.h"

namespace quvex::modules::m1 {
namespace {

std::uint32_t& env_of(OneAxisLink& link, Env env) { return link.block().env[static_cast<std::size_t>(env)]; }


// Replaces fields of one mirror and sends it.
std::int16_t update_env(OneAxisLink& link, Env env, std::initializer_list<std::pair<Field, std::uint32_t>> fields) {
    std::uint32_t& word = env_of(link, env);
    for (const auto& [f, value] : fields) word = with_field(word, f, value);
    return send_env(link, env);
}

constexpr std::uint32_t kEnv2InputReady = 0x0000000F;  // env2 bits 0..3 after a reset
constexpr std::uint32_t kEnv3AfterReset = 1u << 12;
constexpr std::uint32_t kEnv3HomeFixed = 0x7u << 20;    // env3 bits 20..22 of every home set-up
constexpr std::uint32_t kIntFactorMask = 0x1FFF;

}  // namespace

std::int16_t send_env(OneAxisLink& link, Env env) {
    return link.write(static_cast<std::uint16_t>(code::kEnv1 + env), env_of(link, env));
}

std::int16_t initialize(OneAxisLink& link) {
    link.command(code::kReset);
    ring::ModuleAxisBlock& b = link.block();
    reset_axis_block(b);
    b.env = {};
    b.env_extra = {};
    b.env[kEnv2] |= kEnv2InputReady;
    send_env(link, kEnv2);
    b.env[kEnv3] |= kEnv3AfterReset;
    send_env(link, kEnv3);
    return QUVEX_OK;
}

std::int16_t set_pulse_output(OneAxisLink& link, std::uint32_t mode) {
    return update_env(link, kEnv1, {{field(0, 3), mode & 7u}});
}

std::int16_t set_pulse_input(OneAxisLink& link, std::int32_t mode, std::int32_t dir) {
    return update_env(link, kEnv2, {{field(9, 2), as_word(mode) & 3u}, {field(11, 1), as_word(dir) & 1u}});
}

std::int16_t set_feedback_source(OneAxisLink& link, std::uint16_t src) {
    if (src == 1) link.block().move_ratio = 1.0;
    return update_env(link, kEnv3, {{field(8, 2), src & 3u}});
}

std::int16_t set_alarm(OneAxisLink& link, std::int32_t logic, std::int32_t mode) {
    return update_env(link, kEnv1, {{field(9, 1), as_word(logic) & 1u}, {field(8, 1), as_word(mode) & 1u}});
}

std::int16_t set_in_position(OneAxisLink& link, std::int32_t enable, std::int32_t logic) {
    const std::int16_t r = update_env(link, kEnv1, {{field(22, 1), as_word(logic) & 1u}});
    // The enable bit waits for the next operation-mode write.
    ring::ModuleAxisBlock& b = link.block();
    b.operation_mode = with_field(b.operation_mode, mode::kInpEnable, as_word(enable) & 1u);
    return r;
}

std::int16_t set_slow_down(OneAxisLink& link, std::int32_t enable, std::int32_t logic, std::int32_t latch,
                           std::int32_t mode) {
    update_env(link, kEnv1,
               {{field(6, 1), as_word(logic) & 1u}, {field(5, 1), as_word(latch) & 1u},
                {field(4, 1), as_word(mode) & 1u}});
    ring::ModuleAxisBlock& b = link.block();
    b.operation_mode = with_field(b.operation_mode, mode::kSdEnable, as_word(enable) & 1u);
    return write_operation(link, Bank::kLive, chip::kOperationMode, b.operation_mode);
}

std::int16_t set_erc(OneAxisLink& link, std::int32_t logic, std::int32_t width, std::int32_t mode) {
    return update_env(link, kEnv1,
                      {{field(12, 3), as_word(width) & 7u},
                       {field(15, 1), as_word(logic) & 1u},
                       {field(16, 2), as_word(mode) & 3u}});
}

std::int16_t set_erc_output(OneAxisLink& link, std::int16_t on) {
    if (on == 1) link.command(code::kErcOn);
    if (on == 0) link.command(code::kErcOff);
    return QUVEX_OK;
}

std::int16_t set_pcs(OneAxisLink& link, std::uint16_t logic) {
    return update_env(link, kEnv1, {{field(24, 1), logic > 0 ? 1u : 0u}});
}

std::int16_t set_clear(OneAxisLink& link, std::uint32_t mode) {
    return update_env(link, kEnv1, {{field(20, 2), mode & 3u}});
}

std::int16_t set_clear_mask(OneAxisLink& link, std::int32_t mask) {
    return update_env(link, kEnv3, {{field(16, 3), as_word(mask) & 7u}});
}

std::int16_t set_latch_logic(OneAxisLink& link, std::uint32_t logic) {
    return check(update_env(link, kEnv1, {{field(23, 1), logic & 1u}}) == 0, KRING_ERR_LATCH_LOGIC);
}

std::int16_t set_home_config(OneAxisLink& link, const HomeConfig& c) {
    bool failed = update_env(link, kEnv1, {{field(7, 1), as_word(c.org_logic) & 1u},
                                           {field(11, 1), as_word(c.erc_out) & 1u}}) != 0;
    failed |= update_env(link, kEnv2, {{field(12, 1), as_word(c.ez_logic) & 1u}}) != 0;
    std::uint32_t& env3 = env_of(link, kEnv3);
    env3 = with_field(env3, field(0, 4), as_word(c.home_mode) & 15u);
    env3 = with_field(env3, field(4, 4), as_word(c.ez_count) & 15u);
    env3 |= kEnv3HomeFixed;
    failed |= send_env(link, kEnv3) != 0;
    return check(!failed, KRING_ERR_HOME_CONFIG);
}

std::int16_t add_int_factors(OneAxisLink& link, std::int32_t factor) {
    ring::ModuleAxisBlock& b = link.block();
    b.int_factor |= as_word(factor) & kIntFactorMask;
    return link.write(code::kIntFactor, b.int_factor);
}

std::int16_t set_output_bit(OneAxisLink& link, std::uint8_t bit, bool on) {
    ring::ModuleAxisBlock& b = link.block();
    b.dio_byte = static_cast<std::uint8_t>(on ? (b.dio_byte | bit) : (b.dio_byte & ~bit));
    link.cyclic_out(port::kOutputs, b.dio_byte);
    return QUVEX_OK;
}

}  // namespace quvex::modules::m1
