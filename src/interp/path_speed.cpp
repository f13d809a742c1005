#include "interp/path_speed.h"

#include <cmath>

namespace quvex::interp {

PathShare path_share(const double* dist, int count) {
    PathShare share;
    double sum_of_squares = 0;
    for (int i = 0; i < count; ++i) {
        const double magnitude = std::fabs(dist[i]);
        if (magnitude > share.longest) {
            share.longest = magnitude;
            share.dominant = i;
        }
        sum_of_squares += dist[i] * dist[i];
    }
    share.length = std::sqrt(sum_of_squares);
    if (!std::isfinite(share.length)) {
        // Squares beyond the double range: measure relative to the longest axis instead.
        double relative = 0;
        for (int i = 0; i < count; ++i) relative += (dist[i] / share.longest) * (dist[i] / share.longest);
        share.length = share.longest * std::sqrt(relative);
    }
    return share;
}

double dominant_axis_speed(const PathShare& share, double path_speed) {
    if (share.length == 0) return 0;
    const double speed = std::fabs(path_speed) * share.longest / share.length;
    // A product beyond the double range: the same quotient taken in the other order.
    return std::isfinite(speed) ? speed : std::fabs(path_speed) * (share.longest / share.length);
}

}  // namespace quvex::interp
