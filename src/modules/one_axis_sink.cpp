#include "modules/one_axis_sink.h"

#include "modules/one_axis_codes.h"

namespace quvex::modules::m1 {

void ModuleSink::write(chip::OperationRegister n, std::uint32_t value) {
    last_ = link_.write(static_cast<std::uint16_t>(code::kOperationLive + n), value);
}

}  // namespace quvex::modules::m1
