// Paths of interpolated moves. One chip of the group drives the move: it runs its speed profile
// over the path's length, and the path places every axis of the move (the driving one too) for
// the progress made. A line (here) and an arc or helix (arc_path.h) are the kinds of path.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace qsim {

// One axis of a path: where it goes and how far it has got. On a line `target` and `done` are
// the axis's pulses and `direction` never changes; on an arc they count the arc's steps and
// `direction` is the way the axis moved last (it turns around the circle). `at` is the axis's
// signed position relative to the start of the move, which is what its counters follow.
struct PathAxis {
    int axis;
    std::int64_t target;  // pulses (or steps) to make, magnitude
    int direction;        // +1 or -1
    std::int64_t done = 0;
    std::int64_t at = 0;
};

class MotionPath {
public:
    explicit MotionPath(std::vector<PathAxis> axes) : axes_(std::move(axes)) {}
    virtual ~MotionPath() = default;

    // Progress units the driving profile runs over (the driving axis's pulses).
    virtual std::int64_t length() const = 0;
    // Pulses the axis has made (magnitude) once the profile has made `progress`.
    virtual std::int64_t due(const PathAxis& a, std::int64_t progress) const = 0;
    // Speed of the axis as a share of the profile's speed at `progress`.
    virtual double share(const PathAxis& a, std::int64_t progress) const = 0;
    // Signed position of the axis relative to the start once the profile has made `progress`.
    // A path whose axes never turn is its pulses in the axis's direction.
    virtual std::int64_t position(const PathAxis& a, std::int64_t progress) const {
        return a.direction * due(a, progress);
    }

    std::vector<PathAxis>& axes() { return axes_; }
    const std::vector<PathAxis>& axes() const { return axes_; }
    PathAxis* find(int axis);

private:
    std::vector<PathAxis> axes_;
};

// A straight line: the longest axis (the first of equal ones) is the length; every other axis is
// at floor(|its amount| * progress / length), so each point is within one pulse of the line and
// all axes arrive together.
class LinePath final : public MotionPath {
public:
    explicit LinePath(std::vector<PathAxis> axes);
    std::int64_t length() const override { return length_; }
    std::int64_t due(const PathAxis& a, std::int64_t progress) const override;
    double share(const PathAxis& a, std::int64_t progress) const override;

private:
    std::int64_t length_ = 0;
};

// The axis of `axes` that drives a line: the largest target, the first of equal ones.
int line_driver(const std::vector<PathAxis>& axes);

}  // namespace qsim
