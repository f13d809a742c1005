// A station whose behaviour is a set of C callbacks (sim_ring.h): how users and tests bring a
// station of their own without compiling against the installation's insides.
#pragma once

#include "quvex/sim_ring.h"
#include "station.h"

// What a callback gets as its link: valid while the callback runs.
struct quvex_sim_station_link {
    qsim::StationLink* link;
};

namespace qsim {

class CallbackStation final : public RingStation {
public:
    explicit CallbackStation(const quvex_sim_station& ops) : ops_(ops) {}
    std::uint8_t type_byte() const override { return ops_.type; }
    std::uint32_t identification() const override { return ops_.ident; }
    std::optional<StationWords> on_message(StationLink& link, const StationWords& words) override;
    void on_cyclic_write(StationLink& link, int word, std::uint16_t value) override;
    std::uint16_t read_cyclic(StationLink& link, int word) override;
    // Runs the timer callback with `tag` at `at`.
    void schedule_timer(StationLink& link, std::int64_t at, int tag);

private:
    quvex_sim_station ops_;
};

}  // namespace qsim
