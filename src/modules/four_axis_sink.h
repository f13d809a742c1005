// One axis of a four-axis module as a register sink: operation register n goes out as code
// base + n (0x90 live, 0x80 buffered) with the axis register write. The single-axis profile sends
// every register and reports the last write; a line's buffered load stops at the first failure.
#pragma once

#include <cstdint>

#include "chip/register_sink.h"
#include "modules/four_axis_link.h"

namespace quvex::modules::m4 {

enum class Bank : std::uint16_t { kLive = 0x90, kBuffered = 0x80 };
enum class OnFailure : std::uint8_t { kKeepGoing, kStop };

class AxisSink final : public chip::RegisterSink {
public:
    AxisSink(Link& link, int axis, Bank bank, OnFailure on_failure = OnFailure::kKeepGoing)
        : link_(link), axis_(axis), bank_(bank), on_failure_(on_failure) {}
    void write(chip::OperationRegister n, std::uint32_t value) override;
    // The result of the latest write sent; with kStop, that of the failed write once one failed.
    std::int16_t result() const { return last_; }

private:
    Link& link_;
    int axis_;
    Bank bank_;
    OnFailure on_failure_;
    std::int16_t last_ = 0;
};

}  // namespace quvex::modules::m4
