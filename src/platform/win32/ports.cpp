// Port I/O from user mode and the ring master's mapped window. The driver opens the card's three
// I/O ranges to the process, so the x86 in/out instructions reach the card directly.
#include <cstdint>

#include "platform/platform.h"

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

std::uint8_t port_in8(std::uint16_t port) {
    std::uint8_t value;
    __asm__ __volatile__("inb %w1, %b0" : "=a"(value) : "Nd"(port));
    return value;
}

void port_out8(std::uint16_t port, std::uint8_t value) {
    __asm__ __volatile__("outb %b0, %w1" : : "a"(value), "Nd"(port));
}

std::uint16_t port_in16(std::uint16_t port) {
    std::uint16_t value;
    __asm__ __volatile__("inw %w1, %w0" : "=a"(value) : "Nd"(port));
    return value;
}

void port_out16(std::uint16_t port, std::uint16_t value) {
    __asm__ __volatile__("outw %w0, %w1" : : "a"(value), "Nd"(port));
}

#endif

// The window is device memory: every access must reach it, exactly 16 bits wide, in order.
std::uint16_t window_read16(std::uintptr_t address) { return *reinterpret_cast<volatile std::uint16_t*>(address); }
void window_write16(std::uintptr_t address, std::uint16_t value) {
    *reinterpret_cast<volatile std::uint16_t*>(address) = value;
}

}  // namespace quvex::plat
