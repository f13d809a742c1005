// The card configuration file export: every record of a present card is applied; records of
// absent cards, and records a short file does not hold completely, are not.
#include <optional>

#include "config/card_config_file.h"
#include "card/card_table.h"
#include "quvex/quvex.h"

using namespace quvex;

extern "C" {

QUVEX_API quvex_status QUVEX_CALL quvex_config_from_file(const char* path) {
    const std::optional<config::CardConfig> file = config::read_card_config_file(path);
    if (!file) return QUVEX_ERR_CONFIG_FILE;
    for (int card = 0; card < kMaxCards && card_record(card).present == 1; ++card) {
        for (int a = 0; a < kAxesPerCard; ++a) {
            const int axis_no = card * kAxesPerCard + a;
            if (static_cast<std::size_t>(axis_no) < file->complete) {
                config::apply_axis_record(axis_no, file->records[static_cast<std::size_t>(axis_no)]);
            }
        }
    }
    return QUVEX_OK;
}

}  // extern "C"
