#include "ports/local_chip_sink.h"

#include "chip/register_mirror.h"
#include "card/card_table.h"

namespace quvex::chip {

LocalChipSink::LocalChipSink(int axis_no, Bank bank, Mirror mirror)
    : axis_no_(axis_no), bank_(bank), mirror_(mirror == Mirror::kUpdate ? &axis_record(axis_no).mirror : nullptr) {}

void LocalChipSink::write(OperationRegister n, std::uint32_t value) {
    write_slot(operation_slot(n), operation_write_code(bank_, n), value);
}

void LocalChipSink::write_slot(MirrorSlot slot, std::uint16_t write_code, std::uint32_t value) {
    if (pending_ == writes_.size()) flush();
    if (mirror_ != nullptr) (*mirror_)[slot] = value;
    writes_[pending_++] = RegisterWrite{write_code, value};
}

void LocalChipSink::flush() {
    if (pending_ == 0) return;
    write_axis_registers(axis_no_, writes_.data(), pending_);
    pending_ = 0;
}

}  // namespace quvex::chip
