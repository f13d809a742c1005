// Paths of interpolated moves. One chip of the group drives the move: it runs its speed profile
// over the path's length, and the path places every axis of the move (the driving one too) for
// the progress made. A line is the first kind of path; an arc or a helix places its axes by the
// angle the progress stands for and plugs in the same way.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace qsim {

// One axis of a path: where it goes (magnitude and direction) and how far it has got.
struct PathAxis {
    int axis;
    std::int64_t target;  // pulses to output, magnitude
    int direction;        // +1 or -1
    std::int64_t done = 0;
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
