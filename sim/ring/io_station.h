// An I/O station: four cyclic bytes shared between the host and the outside (the station's
// terminals). It takes messages and answers them with an empty reply.
#pragma once

#include "station.h"

namespace qsim {

class IoStation final : public RingStation {
public:
    IoStation(std::uint8_t type, std::uint32_t ident) : type_(type), ident_(ident) {}
    std::uint8_t type_byte() const override { return type_; }
    std::uint32_t identification() const override { return ident_; }
    std::optional<StationWords> on_message(StationLink&, const StationWords&) override { return StationWords{}; }

private:
    std::uint8_t type_;
    std::uint32_t ident_;
};

}  // namespace qsim
