#include "callback_station.h"

#include "ring_master_model.h"

namespace qsim {

std::optional<StationWords> CallbackStation::on_message(StationLink& link, const StationWords& words) {
    if (ops_.message == nullptr) return StationWords{};
    quvex_sim_station_link c{&link};
    StationWords reply(ringhw::kFifoWords, 0);
    const int n = ops_.message(ops_.context, &c, words.data(), static_cast<int>(words.size()), reply.data(),
                               static_cast<int>(reply.size()));
    if (n < 0) return std::nullopt;
    reply.resize(std::min(static_cast<std::size_t>(n), reply.size()));
    return reply;
}

void CallbackStation::on_cyclic_write(StationLink& link, int word, std::uint16_t value) {
    if (ops_.cyclic_write == nullptr) return;
    quvex_sim_station_link c{&link};
    ops_.cyclic_write(ops_.context, &c, word, value);
}

std::uint16_t CallbackStation::read_cyclic(StationLink& link, int word) {
    const std::uint16_t stored = link.cyclic(word);
    if (ops_.cyclic_read == nullptr) return stored;
    quvex_sim_station_link c{&link};
    return ops_.cyclic_read(ops_.context, &c, word, stored);
}

void CallbackStation::schedule_timer(StationLink& link, std::int64_t at, int tag) {
    // The timer only runs while this station is plugged, so `this` is alive when it fires.
    link.schedule(at, [this, tag](StationLink& later) {
        if (ops_.timer == nullptr) return;
        quvex_sim_station_link c{&later};
        ops_.timer(ops_.context, &c, tag);
    });
}

}  // namespace qsim
