// Exports of manual operation: the documented checks in their order, the input policy's card
// and axis checks, then one call into the manual room. Exports that only check their axis or
// card are rows (types of the arguments after the first, in order).
#include "card/export_shells.h"
#include "card/card_table.h"
#include "interp/line_group.h"
#include "manual/manual_board.h"
#include "manual/manual_sources.h"
#include "manual/mof.h"
#include "manual/pulser_moves.h"
#include "quvex/quvex.h"

using namespace quvex;
using namespace quvex::manual;

namespace {

constexpr int kPair = 2;

// Jog and step speeds: a zero speed percentage is refused before the axis.
template <auto set_velocity>
quvex_status percent_velocity(int16_t axis, const ProfileArgs& p, int16_t percent) {
    QUVEX_TRY(check(percent != 0, QUVEX_ERR_SPEED_PERCENT));
    return shell::checked_call<check_axis, set_velocity>(axis, p, percent);
}

quvex_status wheel_velocity(int16_t axis, const ProfileArgs& p) {
    return shell::checked_call<check_axis, set_hand_wheel_velocity>(axis, p);
}

// The mof setters: the axis must exist before its card's mode can be read.
quvex_status check_owner(int16_t axis, std::int16_t first, std::int16_t last) {
    QUVEX_TRY(check_axis(axis));
    return check_mof_owner(card_of(axis), first, last);
}

// Pulser lines and arcs: the pair, the speed, the coordinates, then the card.
quvex_status check_pair_move(int16_t card, const int16_t* pair, double speed, std::initializer_list<double> coords) {
    QUVEX_TRY(check(interp::valid_line_axes(pair, kPair), QUVEX_ERR_AXIS_GROUP));
    QUVEX_TRY(check_nonzero_speed(speed));
    QUVEX_TRY(check_finite(QUVEX_ERR_PULSE_RANGE, coords));
    return check_card(card);
}

}  // namespace

extern "C" {

// Jog, step and hand wheel.
QUVEX_CHECKED_CALL(quvex_enable_jog, check_card, enable_jog, int16_t)
QUVEX_CHECKED_CALL(quvex_enable_step, check_axis, enable_step, int16_t, double)

QUVEX_API quvex_status QUVEX_CALL quvex_set_jog_velocity(int16_t axis, double str_vel, double max_vel, double Tacc,
                                                         double Tdec, int16_t jog_param) {
    return percent_velocity<set_jog_velocity>(axis, {str_vel, max_vel, Tacc, Tdec}, jog_param);
}

QUVEX_API quvex_status QUVEX_CALL quvex_set_step_velocity(int16_t axis, double str_vel, double max_vel, double Tacc,
                                                          double Tdec, int16_t step_param) {
    return percent_velocity<set_step_velocity>(axis, {str_vel, max_vel, Tacc, Tdec}, step_param);
}

QUVEX_API quvex_status QUVEX_CALL quvex_set_mpg_config(int16_t card, int16_t enable, int16_t mode, int16_t mpg_axis) {
    QUVEX_TRY(check_found_card(card));
    QUVEX_TRY(check(enable == 0 || enable == 1, QUVEX_ERR_MPG_ENABLE));
    QUVEX_TRY(check(mode == 0 || mode == 1, QUVEX_ERR_MPG_MODE));
    QUVEX_TRY(check(mpg_axis >= 0 && mpg_axis < kAxesPerCard, QUVEX_ERR_MPG_AXIS));
    configure_hand_wheel(card, enable, mode, mpg_axis);
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_set_mpg_velocity(int16_t axis, double str_vel, double max_vel, double Tacc,
                                                         double Tdec) {
    return wheel_velocity(axis, {str_vel, max_vel, Tacc, Tdec});
}

QUVEX_CHECKED_READ(quvex_get_mpg_status, check_found_card, read_status, uint16_t)

QUVEX_API quvex_status QUVEX_CALL quvex_manual_mpg(int16_t card, int16_t mpg_axis) {
    QUVEX_TRY(check_card(card));
    QUVEX_TRY(check(card_record(card).mof_mode >= kMofWheelOneAxis, QUVEX_ERR_MOF_MODE_OWNER));
    select_hand_wheel_axis(card, mpg_axis);
    return QUVEX_OK;
}

// Pulser input.
QUVEX_CHECKED_CALL(quvex_set_pulser_ratio, check_axis, set_pulser_ratio, int16_t, int16_t)
QUVEX_CHECKED_CALL(quvex_set_pulser_iptmode, check_axis, set_pulser_input_mode, int16_t, int16_t)

// The manual-operation (mof) mode of a card: a mode outside the table is refused before the card.
QUVEX_API quvex_status QUVEX_CALL quvex_set_mof_mode(int16_t card, int16_t mode) {
    QUVEX_TRY(check_mof_mode(mode));
    return shell::checked_call<check_card, store_mof_mode>(card, mode);
}

QUVEX_CHECKED_CALL(quvex_disable_mof, check_card, disable_manual)

QUVEX_API quvex_status QUVEX_CALL quvex_set_mof_config(int16_t card, int16_t mode) {
    QUVEX_TRY(check_mof_mode(mode));
    return shell::checked_call<check_card, switch_mof>(card, mode);
}

QUVEX_API quvex_status QUVEX_CALL quvex_enable_mof(int16_t card) {
    QUVEX_TRY(check_card(card));
    const std::int16_t mode = card_record(card).mof_mode;
    QUVEX_TRY(check_mof_mode(mode));
    switch_mof(card, mode);
    return QUVEX_OK;
}

QUVEX_CHECKED_READ(quvex_get_mof_status, check_found_card, read_status, uint16_t)

// The mof setters of the speeds and the step distance: only for the mode that owns them.
QUVEX_API quvex_status QUVEX_CALL quvex_set_mof_mpg_velocity(int16_t axis, double str_vel, double max_vel,
                                                             double Tacc, double Tdec) {
    QUVEX_TRY(check_owner(axis, kMofWheelAllAxes, kMofWheelOneAxis));
    return wheel_velocity(axis, {str_vel, max_vel, Tacc, Tdec});
}

QUVEX_API quvex_status QUVEX_CALL quvex_set_mof_jog_velocity(int16_t axis, double str_vel, double max_vel,
                                                             double Tacc, double Tdec, int16_t jog_param) {
    QUVEX_TRY(check_owner(axis, kMofJog, kMofJog));
    return percent_velocity<set_jog_velocity>(axis, {str_vel, max_vel, Tacc, Tdec}, jog_param);
}

QUVEX_API quvex_status QUVEX_CALL quvex_set_mof_step_velocity(int16_t axis, double str_vel, double max_vel,
                                                              double Tacc, double Tdec, int16_t step_param) {
    QUVEX_TRY(check_owner(axis, kMofStep, kMofStep));
    return percent_velocity<set_step_velocity>(axis, {str_vel, max_vel, Tacc, Tdec}, step_param);
}

QUVEX_API quvex_status QUVEX_CALL quvex_set_mof_step_distance(int16_t axis, double step_distance) {
    QUVEX_TRY(check_owner(axis, kMofStep, kMofStep));
    set_step_distance(axis, step_distance);
    return QUVEX_OK;
}

// Pulser moves.
QUVEX_CHECKED_CALL(quvex_pulser_vmove, check_axis, pulser_speed_move, double)
QUVEX_CHECKED_CALL(quvex_pulser_pmove, check_axis, pulser_positioning, double, double)

QUVEX_API quvex_status QUVEX_CALL quvex_pulser_home_move(int16_t axis, int16_t dir, double speed) {
    QUVEX_TRY(check(valid_home_direction(dir), QUVEX_ERR_PULSER_HOME_DIR));
    return shell::checked_call<check_axis, pulser_home_search>(axis, dir, speed);
}

QUVEX_API quvex_status QUVEX_CALL quvex_pulser_r_line2(int16_t card, const int16_t* axis_array, double dist_x,
                                                       double dist_y, double speed) {
    QUVEX_TRY(check_pair_move(card, axis_array, speed, {dist_x, dist_y}));
    pulser_line(card, axis_array, dist_x, dist_y, speed);
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL quvex_pulser_r_arc2(int16_t card, const int16_t* axis_array, double cx, double cy,
                                                      double ex, double ey, int16_t dir, double speed) {
    QUVEX_TRY(check_pair_move(card, axis_array, speed, {cx, cy, ex, ey}));
    pulser_arc(card, axis_array, cx, cy, ex, ey, dir, speed);
    return QUVEX_OK;
}

}  // extern "C"
