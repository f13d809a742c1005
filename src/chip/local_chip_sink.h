// The register sink of a local axis: each value goes to the chosen bank through the register
// primitives and, unless the caller asks otherwise, into the axis's register mirror.
#pragma once

#include <cstdint>

#include "chip/register_sink.h"

namespace quvex::chip {

class LocalChipSink final : public RegisterSink {
public:
    enum class Mirror : std::uint8_t { kUpdate, kLeave };

    // bank: kBufferedBank (1) or any other value for the live bank.
    LocalChipSink(int axis_no, int bank, Mirror mirror = Mirror::kUpdate)
        : axis_no_(axis_no), bank_(bank), mirror_(mirror) {}

    void write(OperationRegister n, std::uint32_t value) override;

private:
    int axis_no_;
    int bank_;
    Mirror mirror_;
};

}  // namespace quvex::chip
