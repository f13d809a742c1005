// The register sink of a local axis: values go to the chosen bank and, unless the caller asks
// otherwise, into the axis's register mirror. The writes are collected and go out together, in
// the order given, when the sink is flushed or ends, in one card_lock hold.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "ports/primitives.h"
#include "chip/register_mirror.h"
#include "chip/register_sink.h"

namespace quvex::chip {

class LocalChipSink final : public RegisterSink {
public:
    enum class Mirror : std::uint8_t { kUpdate, kLeave };

    LocalChipSink(int axis_no, Bank bank, Mirror mirror = Mirror::kUpdate);
    ~LocalChipSink() { flush(); }
    LocalChipSink(const LocalChipSink&) = delete;
    LocalChipSink& operator=(const LocalChipSink&) = delete;

    // An operation register of the sink's bank.
    void write(OperationRegister n, std::uint32_t value) override;
    // Any mirrored register with the code given (a start's env2 goes out with its profile).
    void write_slot(MirrorSlot slot, std::uint16_t write_code, std::uint32_t value);
    // Writes what was collected; the sink can take more afterwards.
    void flush();

private:
    int axis_no_;
    Bank bank_;
    RegisterMirror* mirror_;  // null when the mirror stays as it is
    std::size_t pending_ = 0;
    std::array<RegisterWrite, kMirrorSlotCount> writes_{};
};

}  // namespace quvex::chip
