// Pause and resume of the virtual clock from the panel: pausing a real-time clock sets it to
// manual and keeps its scale, resuming sets it back to real time at that scale.
#pragma once

namespace qsim::panel {

struct PanelClockState {
    bool paused = false;
    double scale = 1.0;  // the real-time scale a resume restores
};

PanelClockState panel_clock_state();
// Each returns 0, or an HTTP status with the reason in `why`.
int pause_clock(const char** why);
int resume_clock(const char** why);
int step_clock(double seconds, const char** why);
int scale_clock(double scale, const char** why);

}  // namespace qsim::panel
