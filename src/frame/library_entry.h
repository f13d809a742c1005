// Process attach and detach of the library. The platform's entry point (DllMain on Windows, a
// load-time constructor elsewhere) calls these.
#pragma once

namespace quvex::frame {

// Builds the library context, initialises card_lock and counts this process in the shared count.
// False when another process already has the library: the message box has been shown and the
// load must fail.
bool library_attach();
// Ends the ring watchdogs, deletes card_lock and gives the process count back.
void library_detach();

}  // namespace quvex::frame
