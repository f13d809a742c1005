// quvex-sim's exit codes, the one list its --help prints and its page documents.
#pragma once

namespace quvex_runner {

constexpr int kExitHeld = 0;       // every expectation held
constexpr int kExitFailed = 1;     // an expectation failed, or the run checked none
constexpr int kExitCannotRun = 2;  // options, file, JSON, keys, exports, arguments or outputs wrong

constexpr const char* kExitCodesHelp =
    "Exit codes:\n"
    "  0  every expectation held\n"
    "  1  an expectation failed, or the scenario checked none (unless it says \"checks_nothing\": true)\n"
    "  2  the scenario cannot run: a wrong option, a missing file, bad JSON, an unknown key or export,\n"
    "     a time in the past, wrong arguments, or an output file that cannot be written\n";

}  // namespace quvex_runner
