// The computing profile utilities: acceleration time bounds of a speed pair and the peak an
// S-curve move really reaches. Pure arithmetic on their arguments, in the card's units.
#pragma once

namespace quvex::motion {

struct AccelTimeBounds {
    double min_time;
    double max_time;
};
AccelTimeBounds verify_speed(double str_vel, double max_vel, double ref_vel);

struct SReach {
    double max_vel;
    double sv_acc;
    double sv_dec;
};
// max_vel must be above 0. The section-reducing loop ends by its pass counter. A loop whose
// deceleration distance never drops below the distance (a zero distance, for one) would run
// forever: it is cut after kMaxSReachPasses passes, far more than any loop that ends by itself
// takes (seven at most over 200 000 generated moves).
constexpr int kMaxSReachPasses = 1000;
SReach check_s_vel(double dist, double str_vel, double max_vel, double tacc, double tdec, double sv_acc,
                   double sv_dec);

}  // namespace quvex::motion
