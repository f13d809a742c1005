#include "card/driver.h"

#include <cstdio>

namespace quvex::driver {
namespace {

// Addresses are 32-bit reply words on the 32-bit reference build. A 64-bit build takes the
// high half from a reply word the driver otherwise leaves unused (1 for the compare area,
// 9 for the ring window); a 32-bit driver leaves them 0.
std::uintptr_t address_from(std::uint32_t low, std::uint32_t high) {
    if constexpr (sizeof(std::uintptr_t) > 4) {
        return static_cast<std::uintptr_t>((static_cast<std::uint64_t>(high) << 32) | low);
    } else {
        (void)high;
        return static_cast<std::uintptr_t>(low);
    }
}

}  // namespace

std::string device_name(int device_number) {
    char name[32];
    std::snprintf(name, sizeof name, "\\\\.\\QUVEXSYSW%d", device_number);
    return name;
}

std::string event_name(int device_number, int k) {
    char name[32];
    std::snprintf(name, sizeof name, "PCIQUVEXW%dE%d", device_number, k);
    return name;
}

plat::Handle open_device(int device_number) { return plat::device_open(device_name(device_number).c_str()); }

bool query_first(plat::Handle device, FirstResources* out) {
    std::uint32_t words[plat::kRequestWords] = {};
    if (!plat::device_request(device, kResourceQuery1, words)) return false;
    out->compare_area = address_from(words[0], words[1]);
    out->bridge_base = static_cast<std::uint16_t>(words[2] & 0xFFFFu);
    out->chip_base = static_cast<std::uint16_t>(words[3] & 0xFFFFu);
    out->board_base = static_cast<std::uint16_t>(words[4] & 0xFFFFu);
    return true;
}

bool query_second(plat::Handle device, SecondResources* out) {
    std::uint32_t words[plat::kRequestWords] = {};
    if (!plat::device_request(device, kResourceQuery2, words)) return false;
    out->ring_window = address_from(words[7], words[9]);
    out->unread_word = words[6];
    out->irq = static_cast<std::uint16_t>(words[8] & 0xFFFFu);
    return true;
}

bool query_axis_status(plat::Handle device, std::uint32_t code, int axis, std::uint32_t* word1, std::uint32_t* word2) {
    std::uint32_t words[plat::kRequestWords] = {};
    words[1] = static_cast<std::uint32_t>(axis);
    const bool ok = plat::device_request(device, code, words);
    *word1 = words[1];
    *word2 = words[2];
    return ok;
}

plat::Handle open_card_event(int device_number, int k) { return plat::event_open(event_name(device_number, k).c_str()); }

}  // namespace quvex::driver
