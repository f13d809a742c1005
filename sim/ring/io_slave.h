// An I/O station: four cyclic bytes shared between the host and the outside (the station's
// terminals). It takes messages without replying to them.
#pragma once

#include "ring_slave.h"

namespace qsim {

class IoSlave final : public RingSlave {
public:
    IoSlave(std::uint8_t type, std::uint32_t ident) : type_(type), ident_(ident) {}
    std::uint8_t type_byte() const override { return type_; }
    std::uint32_t identification() const override { return ident_; }
    std::vector<std::uint16_t> on_message(SlaveLink&, const std::vector<std::uint16_t>&) override { return {}; }

private:
    std::uint8_t type_;
    std::uint32_t ident_;
};

}  // namespace qsim
