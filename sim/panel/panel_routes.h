// The front panel's requests, apart from the HTTP transport: a method, a target (path with an
// optional query string) and a body in, a status and a body out. The server thread and the fuzz
// target both call it; the event stream is the server's own.
#pragma once

#include <string>
#include <string_view>

namespace qsim::panel {

struct Reply {
    int status = 200;
    std::string content_type = "application/json";
    std::string body;
};

Reply handle_request(std::string_view method, std::string_view target, std::string_view body);

// The query parameter `key` of a target ("a=1&b=2" after the '?'), or an empty view.
std::string_view query_value(std::string_view target, std::string_view key);

// Stream updates per second, and its bounds.
constexpr double kDefaultStreamRate = 10.0;
constexpr double kMaxStreamRate = 50.0;

}  // namespace qsim::panel
