// The card's kernel driver as the library sees it: device names, the four request codes, the
// reply words it relies on and the names of the per-card events.
#pragma once

#include <cstdint>
#include <string>

#include "common/platform.h"

namespace quvex::driver {

constexpr std::uint32_t kResourceQuery1 = 0x223400;
constexpr std::uint32_t kResourceQuery2 = 0x223404;
constexpr std::uint32_t kInterruptStatus = 0x223408;
constexpr std::uint32_t kErrorStatus = 0x22340C;

struct FirstResources {
    std::uintptr_t compare_area;
    std::uint16_t bridge_base;
    std::uint16_t chip_base;
    std::uint16_t board_base;
};

struct SecondResources {
    std::uintptr_t ring_window;
    std::uint32_t unread_word;  // reply word 6: the driver fills it, the library keeps it unread
    std::uint16_t irq;
};

// "\\.\QUVEXSYSW<d>"
std::string device_name(int device_number);
// "PCIQUVEXW<d>E<k>", k = 0..4
std::string event_name(int device_number, int k);

plat::Handle open_device(int device_number);
bool query_first(plat::Handle device, FirstResources* out);
bool query_second(plat::Handle device, SecondResources* out);
// Status requests for axis 0..3 of the card; reply words 1 and 2.
bool query_axis_status(plat::Handle device, std::uint32_t code, int axis, std::uint32_t* word1, std::uint32_t* word2);
plat::Handle open_card_event(int device_number, int k);

}  // namespace quvex::driver
