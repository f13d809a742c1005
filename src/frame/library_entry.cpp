#include "frame/library_entry.h"

#include "frame/library_context.h"
#include "common/platform.h"

namespace quvex::frame {

bool library_attach() {
    plat::lock_init(card_lock());
    if (plat::shared_process_count_add(1) > 1) {
        plat::message_box("DLL already in use!!", "quvex");
        return false;
    }
    return true;
}

void library_detach() {
    release_context_at_unload();
    plat::lock_destroy(card_lock());
    plat::shared_process_count_add(-1);
}

}  // namespace quvex::frame
