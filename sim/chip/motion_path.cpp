#include "motion_path.h"

#include <utility>

namespace qsim {

PathAxis* MotionPath::find(int axis) {
    for (PathAxis& a : axes_) {
        if (a.axis == axis) return &a;
    }
    return nullptr;
}

int line_driver(const std::vector<PathAxis>& axes) {
    int best = -1;
    std::int64_t longest = -1;
    for (const PathAxis& a : axes) {
        if (a.target > longest) {
            longest = a.target;
            best = a.axis;
        }
    }
    return best;
}

LinePath::LinePath(std::vector<PathAxis> axes) : MotionPath(std::move(axes)) {
    for (const PathAxis& a : this->axes()) length_ = a.target > length_ ? a.target : length_;
}

std::int64_t LinePath::due(const PathAxis& a, std::int64_t progress) const {
    if (length_ == 0 || progress >= length_) return a.target;
    // Targets and progress are 32-bit amounts, so the product fits 64 bits exactly.
    return a.target * progress / length_;
}

double LinePath::share(const PathAxis& a, std::int64_t) const {
    return length_ == 0 ? 0.0 : static_cast<double>(a.target) / static_cast<double>(length_);
}

}  // namespace qsim
