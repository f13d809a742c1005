#include "path_start.h"

#include <vector>

#include "arc_path.h"
#include "chip.h"
#include "chip_codes.h"
#include "operation_kinds.h"

namespace qsim {
namespace {

using namespace chipcode;

constexpr unsigned kAuxAmount = 8;  // the arc's centre, relative to the start point

KindMotion kind_of(Chip& c) { return decode_kind(c.live[kOperationMode]).motion; }

bool arc_kind(KindMotion k) { return k == KindMotion::arc || k == KindMotion::helix; }

std::int64_t signed_register(const Chip& c, unsigned n) { return static_cast<std::int32_t>(c.live[n]); }

PathAxis member(Chip& c) { return {c.axis(), c.motion.target, c.motion.direction}; }

// The two circle axes: the first two selected axes whose own kind is an arc kind (lowest index
// first, the lead of the pair), else the first two selected axes.
std::vector<int> circle_axes(ChipGroup& group, const std::vector<int>& selected) {
    std::vector<int> circle;
    for (const int a : selected) {
        if (circle.size() < 2 && arc_kind(kind_of(group.chip(a)))) circle.push_back(a);
    }
    if (circle.size() < 2) circle = {selected[0], selected[1]};
    return circle;
}

PathStart make_arc(ChipGroup& group, int receiver, const std::vector<int>& selected) {
    const std::vector<int> circle = circle_axes(group, selected);
    Chip& first = group.chip(circle[0]);
    Chip& second = group.chip(circle[1]);
    const ArcGeometry shape{circle[0],
                       circle[1],
                       signed_register(first, kAuxAmount),
                       signed_register(second, kAuxAmount),
                       signed_register(first, kMoveAmount),
                       signed_register(second, kMoveAmount),
                       (group.chip(receiver).live[kOperationMode] & 1u) != 0};  // 0x65 and 0x67 turn left
    std::vector<PathAxis> beside;
    for (const int a : selected) {
        if (a != circle[0] && a != circle[1]) beside.push_back(member(group.chip(a)));
    }
    return {circle[0], std::make_unique<ArcPath>(shape, std::move(beside)), true};
}

}  // namespace

PathStart make_path(ChipGroup& group, int receiver, unsigned axes) {
    std::vector<int> selected;
    for (int a = 0; a < group.size(); ++a) {
        if ((axes & (1u << a)) != 0) selected.push_back(a);
    }
    const KindMotion kind = kind_of(group.chip(receiver));
    if (selected.size() < 2) return {};
    if (arc_kind(kind)) return make_arc(group, receiver, selected);
    if (kind != KindMotion::line) return {};
    std::vector<PathAxis> members;
    for (const int a : selected) members.push_back(member(group.chip(a)));
    const int driver = line_driver(members);
    return {driver, std::make_unique<LinePath>(std::move(members))};
}

}  // namespace qsim
