// A destination for the operation registers of one axis: the local chip now, a remote module's
// chip over the ring later. Writers hand over the register number and its value; the sink knows
// the bank, the codes and the transport.
#pragma once

#include <cstdint>

#include "chip/registers.h"

namespace quvex::chip {

class RegisterSink {
public:
    virtual void write(OperationRegister n, std::uint32_t value) = 0;

protected:
    ~RegisterSink() = default;
};

}  // namespace quvex::chip
