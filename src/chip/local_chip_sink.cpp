#include "chip/local_chip_sink.h"

#include "chip/primitives.h"
#include "chip/register_mirror.h"

namespace quvex::chip {

void LocalChipSink::write(OperationRegister n, std::uint32_t value) {
    const std::uint16_t code = operation_write_code(bank_, n);
    if (mirror_ == Mirror::kUpdate) {
        write_mirrored(axis_no_, operation_slot(n), code, value);
    } else {
        write_register32(axis_no_, code, value);
    }
}

}  // namespace quvex::chip
