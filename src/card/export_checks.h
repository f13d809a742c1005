// What every export shell does before it calls its subsystem: checks in the export's documented
// order, each giving the status the export returns, and one way of handing results back.
//
//   QUVEX_TRY(check_nonzero_speed(max_vel));
//   QUVEX_TRY(check_axis(axis));
//   QUVEX_TRY(check_finite(QUVEX_ERR_PULSE_RANGE, {distance}));
//   put(out, value);
//
// The checks change nothing; a shell returns the first status that is not QUVEX_OK.
#pragma once

#include <cmath>
#include <cstdint>
#include <initializer_list>

#include "card/card_table.h"
#include "quvex/quvex_base.h"

namespace quvex {

// Returns from the enclosing export with the check's status unless it is QUVEX_OK.
#define QUVEX_TRY(check)                                         \
    do {                                                         \
        const quvex_status quvex_try_status_ = (check);          \
        if (quvex_try_status_ != QUVEX_OK) return quvex_try_status_; \
    } while (0)

// The same for exports whose result is unsigned: the status leaves in its 16-bit unsigned form.
#define QUVEX_TRY_UNSIGNED(check)                                                       \
    do {                                                                                \
        const quvex_status quvex_try_status_ = (check);                                 \
        if (quvex_try_status_ != QUVEX_OK) return static_cast<std::uint16_t>(quvex_try_status_); \
    } while (0)

// Writes a result through an out-pointer the application may leave null.
template <typename T, typename V>
inline void put(T* out, V value) {
    if (out != nullptr) *out = static_cast<T>(value);
}

// An AxisNo outside 0..47 or on an absent card.
inline quvex_status check_axis(int axis_no) { 
    return axis_usable(axis_no) ? quvex_status{QUVEX_OK} : quvex_status{QUVEX_ERR_CARD_NUMBER};
}

// A card number outside 0..11 or of an absent card.
inline quvex_status check_card(int card) { 
    return card_usable(card) ? quvex_status{QUVEX_OK} : quvex_status{QUVEX_ERR_CARD_NUMBER};
}

// The exports that compare the card number with the highest card found: above max_card, or
// unusable as for check_card.
inline quvex_status check_found_card(int card) {
    return card <= card_table().max_card ? check_card(card) : quvex_status{QUVEX_ERR_CARD_NUMBER};
}

// `code` unless every value is a finite number: NaN and infinities are refused with the status
// the export gives a zero or out-of-range value of the same argument.
inline quvex_status check_finite(quvex_status code, std::initializer_list<double> values) {
    for (const double v : values) {
        if (!std::isfinite(v)) return code;
    }
    return QUVEX_OK;
}

// A maximum speed of zero, NaN or infinite.
inline quvex_status check_nonzero_speed(double max_vel) {
    return (max_vel == 0.0 || !std::isfinite(max_vel)) ? quvex_status{QUVEX_ERR_ZERO_MAX_SPEED} : quvex_status{QUVEX_OK};
}

// A condition that the export refuses with `code`.
inline quvex_status check(bool ok, quvex_status code) { return ok ? quvex_status{QUVEX_OK} : code; }

// Ring exports: a SlaveNo above 63 (KRING_ERR_SLAVE); the ring check lives with the ring table
// (ring/ring_checks.h) because it hands back the ring it found.
constexpr unsigned kMaxSlaveNo = 63;
inline quvex_status check_slave(std::uint16_t slave) { 
    return slave <= kMaxSlaveNo ? quvex_status{QUVEX_OK} : quvex_status{KRING_ERR_SLAVE};
}

// The 16-bit unsigned form of a status, for exports whose result is unsigned.
constexpr std::uint16_t unsigned_status(quvex_status code) { return static_cast<std::uint16_t>(code); }

}  // namespace quvex
