#include "arc_path.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace qsim {
namespace {

std::uint64_t isqrt(std::uint64_t v) {
    auto m = static_cast<std::uint64_t>(std::sqrt(static_cast<double>(v)));
    while (m > 0 && m * m > v) --m;
    while ((m + 1) * (m + 1) <= v) ++m;
    return m;
}

std::uint64_t square(std::int64_t v) {
    const auto m = static_cast<std::uint64_t>(v < 0 ? -v : v);
    return m * m;
}

std::int64_t magnitude(std::int64_t v) { return v < 0 ? -v : v; }

// floor(amount * part / whole) toward zero, for 0 <= part <= whole; exact while the product fits
// 64 bits (every amount of a 32-bit register over an arc of up to 2^32 steps).
std::int64_t share_of(std::int64_t amount, std::int64_t part, std::int64_t whole) {
    if (whole == 0 || part >= whole) return amount;
    if (magnitude(amount) < (std::int64_t{1} << 31) && part < (std::int64_t{1} << 32)) return amount * part / whole;
    return static_cast<std::int64_t>(static_cast<long double>(amount) * part / whole);
}

// Rotates a point by a quarter turn counter-clockwise.
CircleSteps::Point turn_left(CircleSteps::Point p) { return {-p.y, p.x}; }

}  // namespace

// ---- the lattice walk of a circle ----

CircleSteps::CircleSteps(std::uint64_t squared_radius) : squared_(std::max<std::uint64_t>(squared_radius, 1)) {
    // The first octant's points lie below the diagonal while round(sqrt(S - y^2)) > y, that is
    // while S > 2y^2 + y.
    const auto below = [this](std::int64_t y) {
        const auto u = static_cast<std::uint64_t>(y);
        return squared_ > 2 * u * u + u;
    };
    std::int64_t a = static_cast<std::int64_t>(isqrt(squared_ / 2));
    while (a > 0 && !below(a)) --a;
    while (below(a + 1)) ++a;
    last_low_ = a;
    // Meeting the second octant from (a + 2, a) would jump two pulses: step through (a + 1, a + 1),
    // as also when that point lies exactly on the circle.
    const auto diag = static_cast<std::uint64_t>(a + 1);
    diagonal_ = nearest_root(a) == a + 2 || 2 * diag * diag == squared_;
    quarter_ = 2 * a + 1 + (diagonal_ ? 1 : 0);
}

std::int64_t CircleSteps::nearest_root(std::int64_t t) const {
    const std::uint64_t t2 = square(t);
    if (t2 >= squared_) return 0;
    const std::uint64_t v = squared_ - t2;
    const std::uint64_t m = isqrt(v);
    // m + 1/2 squared is m^2 + m + 1/4: v lies nearer m + 1 once v - m^2 exceeds m.
    return static_cast<std::int64_t>(v - m * m > m ? m + 1 : m);
}

CircleSteps::Point CircleSteps::point(std::int64_t k) const {
    const std::int64_t quarter = k / quarter_;
    const std::int64_t r = k % quarter_;
    Point p{};
    if (r <= last_low_) {
        p = {nearest_root(r), r};  // first octant: y is the major axis
    } else if (diagonal_ && r == last_low_ + 1) {
        p = {r, r};
    } else {
        const std::int64_t x = last_low_ - (r - last_low_ - 1 - (diagonal_ ? 1 : 0));
        p = {x, nearest_root(x)};  // second octant: x is the major axis
    }
    for (std::int64_t q = 0; q < quarter; ++q) p = turn_left(p);
    return p;
}

std::int64_t CircleSteps::index_of(std::int64_t x, std::int64_t y) const {
    // Turn the point into the first quarter (x > 0, y >= 0), counting the quarter turns.
    std::int64_t quarter = 0;
    while (!(x > 0 && y >= 0) && quarter < 4) {
        const std::int64_t t = x;
        x = y;
        y = -t;
        ++quarter;
    }
    std::int64_t r = 0;
    if (y < x) {
        r = std::min(y, last_low_);
    } else if (y == x) {
        r = diagonal_ ? last_low_ + 1 : last_low_;
    } else {
        r = last_low_ + 1 + (diagonal_ ? 1 : 0) + (last_low_ - std::min(x, last_low_));
    }
    return (quarter % 4) * quarter_ + r;
}

// ---- the arc ----

ArcPath::ArcPath(const ArcGeometry& arc, std::vector<PathAxis> beside)
    : MotionPath({}),
      arc_(arc),
      on_circle_((arc.centre_x != 0 || arc.centre_y != 0) && (arc.end_x != arc.centre_x || arc.end_y != arc.centre_y)),
      circle_(on_circle_ ? square(arc.centre_x) + square(arc.centre_y) : 1) {
    const Point start{-arc.centre_x, -arc.centre_y};
    end_ = {arc.end_x - arc.centre_x, arc.end_y - arc.centre_y};
    closing_from_ = start;
    if (on_circle_) {
        start_index_ = circle_.index_of(start.x, start.y);
        const std::int64_t end_index = circle_.index_of(end_.x, end_.y);
        const std::int64_t period = circle_.period();
        const std::int64_t ahead = arc.counter_clockwise ? end_index - start_index_ : start_index_ - end_index;
        arc_steps_ = ((ahead % period) + period) % period;
        if (arc_steps_ == 0) arc_steps_ = period;  // back where it started: a full circle
        closing_from_ = circle_.point(end_index);
    }
    closing_steps_ = std::max(magnitude(end_.x - closing_from_.x), magnitude(end_.y - closing_from_.y));

    std::vector<PathAxis>& all = axes();
    all.push_back({arc.first, length(), +1});
    all.push_back({arc.second, length(), +1});
    // The way each circle axis sets off, so that an end limit ahead of it stops the arc at its
    // start: along the tangent, or for the axis the tangent leaves still, towards the centre.
    if (on_circle_) {
        const std::int64_t tx = arc.counter_clockwise ? -start.y : start.y;
        const std::int64_t ty = arc.counter_clockwise ? start.x : -start.x;
        all[0].direction = tx != 0 ? (tx < 0 ? -1 : 1) : (start.x > 0 ? -1 : 1);
        all[1].direction = ty != 0 ? (ty < 0 ? -1 : 1) : (start.y > 0 ? -1 : 1);
    } else {
        all[0].direction = end_.x < closing_from_.x ? -1 : 1;
        all[1].direction = end_.y < closing_from_.y ? -1 : 1;
    }
    for (PathAxis& a : beside) all.push_back(a);
}

ArcPath::Point ArcPath::point(std::int64_t progress) const {
    if (on_circle_ && progress <= arc_steps_) {
        const std::int64_t period = circle_.period();
        const std::int64_t turn = progress % period;
        const std::int64_t k = arc_.counter_clockwise ? start_index_ + turn : start_index_ - turn;
        return circle_.point(((k % period) + period) % period);
    }
    const std::int64_t run = std::min(progress - arc_steps_, closing_steps_);
    return {closing_from_.x + share_of(end_.x - closing_from_.x, run, closing_steps_),
            closing_from_.y + share_of(end_.y - closing_from_.y, run, closing_steps_)};
}

std::int64_t ArcPath::due(const PathAxis& a, std::int64_t progress) const {
    progress = std::clamp<std::int64_t>(progress, 0, length());
    if (a.axis == arc_.first || a.axis == arc_.second) return progress;
    return share_of(a.target, progress, length());
}

std::int64_t ArcPath::position(const PathAxis& a, std::int64_t progress) const {
    progress = std::clamp<std::int64_t>(progress, 0, length());
    if (a.axis == arc_.first) return point(progress).x + arc_.centre_x;
    if (a.axis == arc_.second) return point(progress).y + arc_.centre_y;
    return a.direction * share_of(a.target, progress, length());
}

double ArcPath::share(const PathAxis& a, std::int64_t progress) const {
    const std::int64_t total = length();
    if (total == 0) return 0.0;
    const bool first = a.axis == arc_.first;
    if (!first && a.axis != arc_.second) return static_cast<double>(a.target) / static_cast<double>(total);
    if (!on_circle_ || progress >= arc_steps_) {
        if (closing_steps_ == 0) return 0.0;
        const std::int64_t d = first ? end_.x - closing_from_.x : end_.y - closing_from_.y;
        return static_cast<double>(magnitude(d)) / static_cast<double>(closing_steps_);
    }
    // The major axis of the octant makes a pulse every step; the other moves by the circle's slope.
    const Point p = point(progress);
    const double own = static_cast<double>(magnitude(first ? p.x : p.y));
    const double other = static_cast<double>(magnitude(first ? p.y : p.x));
    return own <= other ? 1.0 : other / own;
}

}  // namespace qsim
