// The address the panel listens on, from the text a user gives.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qsim::panel {

struct ListenAddress {
    std::string host;
    int port = 0;  // 0: any free port
};

// "host:port", ":port" or "port"; the loopback address when no host is named. Null for anything
// else (an empty host before ':' counts as none, a port must be 0..65535 in decimal).
std::optional<ListenAddress> parse_listen_address(std::string_view text);

}  // namespace qsim::panel
