// Parsing of the panel's listen address.
#include "panel_address.h"

#include <charconv>

namespace qsim::panel {

std::optional<ListenAddress> parse_listen_address(std::string_view text) {
    const std::size_t colon = text.rfind(':');
    std::string_view host = colon == std::string_view::npos ? std::string_view{} : text.substr(0, colon);
    const std::string_view port_text = colon == std::string_view::npos ? text : text.substr(colon + 1);
    if (port_text.empty() || port_text.size() > 5) return std::nullopt;
    int port = -1;
    const auto [end, ec] = std::from_chars(port_text.data(), port_text.data() + port_text.size(), port);
    if (ec != std::errc() || end != port_text.data() + port_text.size() || port < 0 || port > 65535) return std::nullopt;
    for (const char c : host) {
        const bool ok = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '.' ||
                        c == '-' || c == ':' || c == '[' || c == ']';
        if (!ok) return std::nullopt;
    }
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
    return ListenAddress{host.empty() ? std::string("127.0.0.1") : std::string(host), port};
}

}  // namespace qsim::panel
