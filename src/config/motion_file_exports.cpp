// The ring motion file export: the setting key first (KRING_ERR_MOTION_FILE_KEY when it is missing, before
// anything
// else), then the module's signal set-up and the speed-range pin. The set-up calls' own results
// are not reported; a ring or slave they cannot reach only means that nothing is sent.
#include "card/export_checks.h"
#include "config/ring_motion_file.h"
#include "modules/module_checks.h"
#include "modules/module_motion.h"
#include "quvex/quvex.h"

using namespace quvex;
using namespace quvex::modules::m1;

extern "C" {

QUVEX_API quvex_status QUVEX_CALL kring_m1_load_motion_file(uint16_t ring, uint16_t slave, const char* file) {
    const std::optional<config::SettingDigits> settings = config::read_module_settings(ring, slave, file);
    QUVEX_TRY(check(settings.has_value(), KRING_ERR_MOTION_FILE_KEY));
    const bool pin = config::pinned_range_requested(slave, file);
    modules::with_module<OnRing>(ring, slave, [&](OneAxisLink& l) -> quvex_status {
        config::apply_module_settings(l, *settings);
        if (pin) modules::pin_speed_range(l, config::kPinnedRangeSpeed);
        return QUVEX_OK;
    });
    return QUVEX_OK;
}

}  // extern "C"
