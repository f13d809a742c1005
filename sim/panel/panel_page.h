// The front panel's page: HTML, style and script in one text built into the binary, so the panel
// needs no network and no files at run time.
#pragma once

#include <string_view>

namespace qsim::panel {

std::string_view page_html();

}  // namespace qsim::panel
