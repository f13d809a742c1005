// The front panel's HTTP server thread.
#pragma once

namespace qsim::panel {

// Starts the panel when QUVEX_PANEL names an address; called once as the machine is created.
void start_from_environment();

}  // namespace qsim::panel
