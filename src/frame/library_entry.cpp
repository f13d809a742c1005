#include "frame/library_entry.h"

#include "frame/card_table.h"
#include "platform/platform.h"

namespace quvex {

namespace {
plat::Lock g_card_lock;
}

plat::Lock& card_lock() { return g_card_lock; }

namespace frame {

bool library_attach() {
    plat::lock_init(g_card_lock);
    if (plat::shared_process_count_add(1) > 1) {
        plat::message_box("DLL already in use!!", "quvex");
        return false;
    }
    return true;
}

void library_detach() {
    plat::lock_destroy(g_card_lock);
    plat::shared_process_count_add(-1);
}

}  // namespace frame
}  // namespace quvex
