// Path speed scaling of a line: the chip paces a line by its longest axis (the dominant one),
// so the speeds asked along the path are scaled by that axis's share of the path length.
#pragma once

namespace quvex::interp {

struct PathShare {
    int dominant = 0;      // position in the group of the axis with the largest |distance|
    double longest = 0;    // that |distance|
    double length = 0;     // Euclidean length of the path
};

// Ties go to the axis that comes first in the group.
PathShare path_share(const double* dist, int count);

// A path speed turned into the dominant axis's speed: |speed| x longest / length, 0 for a
// path of length 0.
double dominant_axis_speed(const PathShare& share, double path_speed);

}  // namespace quvex::interp
