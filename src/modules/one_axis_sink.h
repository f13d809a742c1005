// The one-axis module as a register sink: each operation-register write of a move plan becomes
// one message with the live code 0x90 + n. The result of the latest message is kept, as the
// exports report the result of their last write.
#pragma once

#include <cstdint>

#include "chip/register_sink.h"
#include "modules/one_axis_link.h"

namespace quvex::modules::m1 {

class ModuleSink final : public chip::RegisterSink {
public:
    explicit ModuleSink(Link& link) : link_(link) {}
    void write(chip::OperationRegister n, std::uint32_t value) override;
    std::int16_t last_result() const { return last_; }

private:
    Link& link_;
    std::int16_t last_ = 0;
};

}  // namespace quvex::modules::m1
