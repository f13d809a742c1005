// What every module kind offers for one of its axes, and the register sink built on it. A
// one-axis module's link is its only axis; a four-axis module hands out one per axis. The shared
// sequences (profiles, starts, the speed-range pin) are written once against this shape.
#pragma once

#include <concepts>
#include <cstdint>

#include "chip/register_sink.h"
#include "chip/registers.h"
#include "ring/slave_record.h"

namespace quvex::modules {

// One axis of a module: its mirror block, its chip's register writes and commands (0 or the
// failure code) and its register reads (the value into *value when the module answered).
template <typename L>
concept AxisLink = requires(L& l, std::uint16_t code, std::uint32_t value, std::uint32_t* out) {
    { l.block() } -> std::same_as<ring::ModuleAxisBlock&>;
    { l.write(code, value) } -> std::same_as<std::int16_t>;
    { l.command(code) } -> std::same_as<std::int16_t>;
    l.read(code, out);
};

// A module's chip has the card chip's two operation-register banks and codes.
using chip::Bank;
enum class OnFailure : std::uint8_t { kKeepGoing, kStop };

// One axis as a register sink. With kKeepGoing every write goes out and result() is the latest
// write's; with kStop the writes after a failure are dropped and result() is the failure's.
template <AxisLink L>
class ModuleSink final : public chip::RegisterSink {
public:
    explicit ModuleSink(L& link, Bank bank = Bank::kLive, OnFailure on_failure = OnFailure::kKeepGoing)
        : link_(link), bank_(bank), on_failure_(on_failure) {}
    void write(chip::OperationRegister n, std::uint32_t value) override {
        if (on_failure_ == OnFailure::kStop && last_ != 0) return;
        last_ = link_.write(chip::operation_write_code(bank_, n), value);
    }
    std::int16_t result() const { return last_; }

private:
    L& link_;
    Bank bank_;
    OnFailure on_failure_;
    std::int16_t last_ = 0;
};

// One operation register through the sink: the write's result.
template <AxisLink L>
std::int16_t write_operation(L link, Bank bank, chip::OperationRegister n, std::uint32_t value) {
    ModuleSink<L> sink(link, bank);
    sink.write(n, value);
    return sink.result();
}

}  // namespace quvex::modules
