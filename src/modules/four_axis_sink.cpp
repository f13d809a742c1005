#include "modules/four_axis_sink.h"

namespace quvex::modules::m4 {

void AxisSink::write(chip::OperationRegister n, std::uint32_t value) {
    if (on_failure_ == OnFailure::kStop && last_ != 0) return;
    last_ = link_.write_axis(axis_, static_cast<std::uint16_t>(static_cast<std::uint16_t>(bank_) + n), value);
}

}  // namespace quvex::modules::m4
