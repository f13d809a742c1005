// The ring master's register window of one card, as the driver maps it into the process.
// Accesses arrive as 16-bit reads and writes at offsets from the window base.
#pragma once

#include <cstdint>
#include <memory>

namespace qsim {

class Card;

class RingWindow {
public:
    virtual ~RingWindow() = default;
    // Address the driver reports for the window.
    virtual std::uintptr_t base() const = 0;
    virtual std::size_t size() const = 0;
    virtual std::uint16_t read16(std::uint32_t offset) = 0;
    virtual void write16(std::uint32_t offset, std::uint16_t value) = 0;
};

std::unique_ptr<RingWindow> make_ring_window(Card& card);

}  // namespace qsim
