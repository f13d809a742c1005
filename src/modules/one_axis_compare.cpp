#include "modules/one_axis_compare.h"

#include "common/bits.h"
#include "card/export_checks.h"
#include "common/numeric.h"
#include "modules/one_axis_codes.h"
#include "modules/one_axis_signals.h"

namespace quvex::modules::m1 {
namespace {

constexpr std::int16_t kMethodRange = 6;   // method 6 compares against the soft-limit range
constexpr std::int16_t kMethodRange2 = 7;
constexpr int kLatchScaled = 3;            // the only latch that counts feedback pulses

// Fields of a comparator's mode in env4.
struct ModeFields {
    Field source, method, action;
};
constexpr ModeFields kModes[] = {
    {field(0, 2), field(2, 3), field(5, 2)},
    {field(8, 2), field(10, 3), field(13, 2)},
    {field(16, 2), field(18, 4), field(22, 2)},
};
constexpr std::uint32_t kScaleBits[] = {1u << 0, 1u << 8, 1u << 16};


std::int16_t send_env4(OneAxisLink& link) {
    return check(send_env(link, kEnv4) == 0, KRING_ERR_COMPARATOR_WRITE);
}

bool scaled(OneAxisLink& link, int comparator) {
    return (link.block().env[kEnv4] & kScaleBits[comparator - 1]) != 0;
}

}  // namespace

std::int16_t set_comparator_mode(OneAxisLink& link, std::int16_t comparator, std::int16_t source, std::int16_t method,
                                 std::int16_t action) {
    std::uint32_t& env4 = link.block().env[kEnv4];
    if (comparator == 1 || comparator == 2) {
        if (method == kMethodRange) source = 0;
        if (source > 2) return KRING_ERR_COMPARATOR_SOURCE;
        if (action > 2) return KRING_ERR_COMPARATOR_ACTION;
        const ModeFields& f = kModes[comparator - 1];
        env4 = with_field(env4, f.source, as_word(source));
        env4 = with_field(env4, f.method, as_word(method) & 7u);
        env4 = with_field(env4, f.action, as_word(action) & 3u);
    } else if (comparator == 3) {
        if (method == kMethodRange || method == kMethodRange2) return KRING_ERR_COMPARATOR_METHOD;
        const ModeFields& f = kModes[2];
        env4 = with_field(env4, f.source, as_word(source) & 3u);
        env4 = with_field(env4, f.method, as_word(method) & 15u);
        env4 = with_field(env4, f.action, as_word(action) & 3u);
    } else {
        return KRING_ERR_COMPARATOR_WRITE;
    }
    return send_env4(link);
}

std::int16_t set_comparator_data(OneAxisLink& link, std::int16_t comparator, double data) {
    if (comparator < 1 || comparator > 3) return KRING_ERR_COMPARATOR_WRITE;
    if (scaled(link, comparator)) {
        data *= link.block().move_ratio;
        if (!(data >= kMinPulses && data <= kMaxPulses)) return KRING_ERR_MOVE_RANGE;
    }
    const auto value = static_cast<std::uint32_t>(truncate_to<std::int32_t>(data));
    const auto code = static_cast<std::uint16_t>(code::kComparator1 + comparator - 1);
    return check(link.write(code, value) == 0, KRING_ERR_COMPARATOR_WRITE);
}

std::int16_t get_comparator_data(OneAxisLink& link, std::int16_t comparator, double* data) {
    if (comparator < 1 || comparator > 3) return KRING_ERR_COMPARATOR_READ_NO;
    std::uint32_t v = 0;
    if (link.read(static_cast<std::uint16_t>(code::kReadComparator1 + comparator - 1), &v) != 0) {
        return KRING_ERR_COMPARATOR_READ;
    }
    double value = static_cast<std::int32_t>(v);
    if (scaled(link, comparator)) {
        if (link.block().move_ratio == 0.0) return KRING_ERR_SPEED_ORDER;
        value /= link.block().move_ratio;
    }
    put(data, value);
    return QUVEX_OK;
}

std::int16_t set_trigger_comparator(OneAxisLink& link, std::uint16_t source, std::uint16_t method) {
    if (method == kMethodRange || method == kMethodRange2) return KRING_ERR_COMPARATOR_METHOD;
    if (source > 2) return KRING_ERR_COMPARATOR_SOURCE;
    std::uint32_t& env4 = link.block().env[kEnv4];
    env4 = with_field(env4, kModes[2].source, source);
    env4 = with_field(env4, kModes[2].method, method & 15u);
    return send_env4(link);
}

std::int16_t set_auto_trigger(OneAxisLink& link, std::uint16_t edge, std::uint16_t source, std::uint16_t data,
                              std::uint16_t flag) {
    if (edge > 2) return KRING_ERR_COMPARATOR_SOURCE;
    if (source > 3) return KRING_ERR_COMPARATOR_METHOD;
    ring::ModuleAxisBlock& b = link.block();
    b.env[kEnv3] = with_field(b.env[kEnv3], field(10, 3), edge);
    send_env(link, kEnv3);
    const std::uint32_t trigger = (flag == 0 ? 3u : 2u) + ((source + 8u) & 15u) * 4u;
    b.env[kEnv4] = with_field(b.env[kEnv4], field(16, 8), trigger);
    send_env(link, kEnv4);
    if (set_comparator_data(link, 3, data) != 0) return KRING_ERR_AUTO_TRIGGER;
    return QUVEX_OK;
}

std::int16_t get_latch_data(OneAxisLink& link, std::int16_t latch, double* data) {
    std::uint32_t v = 0;
    if (link.read(static_cast<std::uint16_t>(code::kReadLatch1 + latch - 1), &v) != 0) return KRING_ERR_LATCH_READ;
    double value = static_cast<std::int32_t>(v);
    if (latch == kLatchScaled) {
        if (link.block().move_ratio == 0.0) return KRING_ERR_SPEED_ORDER;
        value /= link.block().move_ratio;
    }
    put(data, value);
    return QUVEX_OK;
}

}  // namespace quvex::modules::m1
