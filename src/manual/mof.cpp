#include "manual/mof.h"

#include "card/export_checks.h"
#include "card/card_table.h"
#include "manual/manual_sources.h"

namespace quvex::manual {
namespace {

constexpr std::int16_t kFirstInvalidMode = 5;


// Re-applies each axis's stored hand-wheel profile and pulser ratio.
void reapply_hand_wheel(int card) {
    for (int a = first_axis(card); a < first_axis(card) + kAxesPerCard; ++a) {
        const auto axis = static_cast<std::int16_t>(a);
        const AxisRecord& rec = axis_record(axis);
        set_hand_wheel_velocity(axis, profile_args(rec.mpg));
        set_pulser_ratio(axis, rec.ratio_p, rec.ratio_m);
    }
}

void enable_wheel(int card, std::int16_t mode, std::int16_t wheel_axis) {
    // An axis stored by quvex_manual_mpg outside 0..3 is refused here as the export refuses it.
    if (wheel_axis >= 0 && wheel_axis < kAxesPerCard) configure_hand_wheel(card, 1, mode, wheel_axis);
}

}  // namespace

quvex_status check_mof_mode(std::int16_t mode) { return check(mode < kFirstInvalidMode, QUVEX_ERR_MOF_MODE); }

quvex_status check_mof_owner(int card, std::int16_t first, std::int16_t last) {
    const std::int16_t mode = card_record(card).mof_mode;
    return check(mode >= first && mode <= last, QUVEX_ERR_MOF_MODE_OWNER);
}

void store_mof_mode(int card, std::int16_t mode) {
    if (mode >= kMofWheelAllAxes && mode <= kMofStep) card_record(card).mof_mode = mode;
}

void disable_manual(int card) {
    configure_hand_wheel(card, 0, 0, 0);
    for (int a = first_axis(card); a < first_axis(card) + kAxesPerCard; ++a) {
        const auto axis = static_cast<std::int16_t>(a);
        enable_step(axis, 0, axis_record(axis).step_distance);
    }
    enable_jog(card, 0);
}

void switch_mof(int card, std::int16_t mode) {
    disable_manual(card);
    CardRecord& rec = card_record(card);
    switch (mode) {
        case kMofWheelAllAxes:
            rec.mof_mode = kMofWheelAllAxes;
            enable_wheel(card, 0, 0);
            reapply_hand_wheel(card);
            return;
        case kMofWheelOneAxis:
            rec.mof_mode = kMofWheelOneAxis;
            enable_wheel(card, 1, rec.mpg_option);
            reapply_hand_wheel(card);
            return;
        case kMofJog:
            rec.mof_mode = kMofJog;
            enable_jog(card, 1);
            for (int a = first_axis(card); a < first_axis(card) + kAxesPerCard; ++a) {
                const auto axis = static_cast<std::int16_t>(a);
                const AxisRecord& ax = axis_record(axis);
                set_jog_velocity(axis, profile_args(ax.jog), ax.jog_param);
            }
            return;
        case kMofStep:
            rec.mof_mode = kMofStep;
            for (int a = first_axis(card); a < first_axis(card) + kAxesPerCard; ++a) {
                const auto axis = static_cast<std::int16_t>(a);
                const AxisRecord& ax = axis_record(axis);
                enable_step(axis, 1, ax.step_distance);
                set_step_velocity(axis, profile_args(ax.step), ax.step_param);
            }
            return;
        default: return;  // 4 or negative: everything stays disabled
    }
}

}  // namespace quvex::manual
