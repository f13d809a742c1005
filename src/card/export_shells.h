// Export shells as table rows. Most exports check their first argument (an axis or a card) and
// then make one call into their room, or read one value into an out-pointer; a row names the
// export, its check and its call, and lists the C types of the arguments after the first:
//
//   QUVEX_CHECKED_CALL(quvex_set_el, check_axis, axis::set_end_limit_mode, int16_t)
//   QUVEX_CHECKED_READ(quvex_get_position, check_axis, axis::position, double)
//
// The row defines the export itself (QUVEX_API, QUVEX_CALL, the C types in order), so grep for
// an export's name lands on its row. Parameter names live in the public header; here the
// arguments are a1, a2, ... in order. Exports with other checks or other orders stay written out
// and may call the shell templates below after their own checks.
#pragma once

#include <cstdint>

#include "card/export_checks.h"
#include "quvex/quvex_base.h"

namespace quvex::shell {

// Checks `first`, then hands every argument to `call`; QUVEX_OK unless the check refuses.
template <auto check_first, auto call, typename... Args>
inline quvex_status checked_call(std::int16_t first, Args... args) {
    QUVEX_TRY(check_first(first));
    call(first, args...);
    return QUVEX_OK;
}

// The same for a call that answers with the export's own status.
template <auto check_first, auto call, typename... Args>
inline quvex_status checked_forward(std::int16_t first, Args... args) {
    QUVEX_TRY(check_first(first));
    return call(first, args...);
}

// Checks `first`, then writes what `read` answers through an out-pointer that may be null.
template <auto check_first, auto read, typename T>
inline quvex_status checked_read(std::int16_t first, T* out) {
    QUVEX_TRY(check_first(first));
    put(out, read(first));
    return QUVEX_OK;
}

}  // namespace quvex::shell

// Parameters after the first (up to five), named by position: `, T1 a1, T2 a2` and `, a1, a2`.
#define QUVEX_SHELL_COUNT_(t1, t2, t3, t4, t5, n, ...) n
#define QUVEX_SHELL_COUNT(...) QUVEX_SHELL_COUNT_(__VA_ARGS__ __VA_OPT__(, ) 5, 4, 3, 2, 1, 0)
#define QUVEX_SHELL_JOIN_(a, b) a##b
#define QUVEX_SHELL_JOIN(a, b) QUVEX_SHELL_JOIN_(a, b)
#define QUVEX_SHELL_PARAMS_0()
#define QUVEX_SHELL_PARAMS_1(t1) , t1 a1
#define QUVEX_SHELL_PARAMS_2(t1, t2) , t1 a1, t2 a2
#define QUVEX_SHELL_PARAMS_3(t1, t2, t3) , t1 a1, t2 a2, t3 a3
#define QUVEX_SHELL_PARAMS_4(t1, t2, t3, t4) , t1 a1, t2 a2, t3 a3, t4 a4
#define QUVEX_SHELL_PARAMS_5(t1, t2, t3, t4, t5) , t1 a1, t2 a2, t3 a3, t4 a4, t5 a5
#define QUVEX_SHELL_ARGS_0
#define QUVEX_SHELL_ARGS_1 , a1
#define QUVEX_SHELL_ARGS_2 , a1, a2
#define QUVEX_SHELL_ARGS_3 , a1, a2, a3
#define QUVEX_SHELL_ARGS_4 , a1, a2, a3, a4
#define QUVEX_SHELL_ARGS_5 , a1, a2, a3, a4, a5
#define QUVEX_SHELL_PARAMS(...) QUVEX_SHELL_JOIN(QUVEX_SHELL_PARAMS_, QUVEX_SHELL_COUNT(__VA_ARGS__))(__VA_ARGS__)
#define QUVEX_SHELL_ARGS(...) QUVEX_SHELL_JOIN(QUVEX_SHELL_ARGS_, QUVEX_SHELL_COUNT(__VA_ARGS__))

// One export per row; `form` is one of the shell templates above.
#define QUVEX_SHELL_EXPORT_(form, name, check_first, call, ...)                                    \
    QUVEX_API quvex_status QUVEX_CALL name(std::int16_t first QUVEX_SHELL_PARAMS(__VA_ARGS__)) { \
        return ::quvex::shell::form<check_first, call>(first QUVEX_SHELL_ARGS(__VA_ARGS__));     \
    }
#define QUVEX_CHECKED_CALL(name, check_first, call, ...) \
    QUVEX_SHELL_EXPORT_(checked_call, name, check_first, call __VA_OPT__(, ) __VA_ARGS__)
#define QUVEX_CHECKED_FORWARD(name, check_first, call, ...) \
    QUVEX_SHELL_EXPORT_(checked_forward, name, check_first, call __VA_OPT__(, ) __VA_ARGS__)
#define QUVEX_CHECKED_READ(name, check_first, read, out_type) \
    QUVEX_SHELL_EXPORT_(checked_read, name, check_first, read, out_type*)
