// Port I/O from user mode and the ring master's mapped window. The driver opens the card's three
// I/O ranges to the process, so the x86 in/out instructions reach the card directly.
#include <cstdint>

#include "common/platform.h"

#if defined(_MSC_VER)
#include <intrin.h>
#endif

namespace quvex::plat {

#if defined(_MSC_VER)

std::uint8_t port_in8(std::uint16_t port) { return __inbyte(port); }
void port_out8(std::uint16_t port, std::uint8_t value) { __outbyte(port, value); }
std::uint16_t port_in16(std::uint16_t port) { return __inword(port); }
void port_out16(std::uint16_t port, std::uint16_t value) { __outword(port, value); }

#else

namespace {

// One in/out instruction of the value's width: %z0 gives the size suffix (b for 8 bits, w for 16).
template <typename Value>
Value port_in(std::uint16_t port) {
    Value value;
    __asm__ __volatile__("in%z0 %w1, %0" : "=a"(value) : "Nd"(port));
    return value;
}

template <typename Value>
void port_out(std::uint16_t port, Value value) {
    __asm__ __volatile__("out%z0 %0, %w1" : : "a"(value), "Nd"(port));
}

}  // namespace

std::uint8_t port_in8(std::uint16_t port) { return port_in<std::uint8_t>(port); }
void port_out8(std::uint16_t port, std::uint8_t value) { port_out(port, value); }
std::uint16_t port_in16(std::uint16_t port) { return port_in<std::uint16_t>(port); }
void port_out16(std::uint16_t port, std::uint16_t value) { port_out(port, value); }

#endif

// The window is device memory: every access must reach it, exactly 16 bits wide, in order.
std::uint16_t window_read16(std::uintptr_t address) { return *reinterpret_cast<volatile std::uint16_t*>(address); }
void window_write16(std::uintptr_t address, std::uint16_t value) {
    *reinterpret_cast<volatile std::uint16_t*>(address) = value;
}

}  // namespace quvex::plat
