// The C parameters of a path's speed profile, for export rows of the card's and the four-axis
// module's paths, and the brace list they make (str_vel, max_vel, Tacc, Tdec[, SVacc, SVdec]).
//
//   C: max_vel alone (constant speed)   T: str_vel, max_vel, Tacc, Tdec   S: T's four, SVacc, SVdec
#pragma once

#define QUVEX_PATH_PROFILE_PARAMS_C double max_vel
#define QUVEX_PATH_PROFILE_PARAMS_T double str_vel, double max_vel, double Tacc, double Tdec
#define QUVEX_PATH_PROFILE_PARAMS_S QUVEX_PATH_PROFILE_PARAMS_T, double SVacc, double SVdec
#define QUVEX_PATH_PROFILE_C {0, max_vel, 0, 0}
#define QUVEX_PATH_PROFILE_T {str_vel, max_vel, Tacc, Tdec}
#define QUVEX_PATH_PROFILE_S {str_vel, max_vel, Tacc, Tdec, SVacc, SVdec}
