#include "sim_fixture.h"

namespace quvex::test {

void install_cards(std::initializer_list<int> devices) {
    reset_installation();
    for (int d : devices) quvex_sim_add_card(d);
}

std::vector<std::string> trace_lines() {
    std::vector<std::string> lines;
    const std::size_t n = quvex_sim_trace_count();
    for (std::size_t i = 0; i < n; ++i) {
        char text[1024];  // a message of 64 words and its reply fit
        quvex_sim_trace_text(i, text, sizeof text);
        lines.emplace_back(text);
    }
    return lines;
}

std::vector<std::string> trace_lines_starting(const std::string& prefix) {
    std::vector<std::string> out;
    for (const std::string& line : trace_lines()) {
        if (line.rfind(prefix, 0) == 0) out.push_back(line);
    }
    return out;
}

void CardTest::SetUp() {
    reset_installation();
    for (int d = 0; d < cards_; ++d) quvex_sim_add_card(d);
    int16_t count = 0;
    ASSERT_EQ(quvex_initial(&count), 0);
    ASSERT_EQ(count, cards_);
}

void CardTest::TearDown() {
    quvex_sim_trace_enable(0);
    quvex_close();
}

void CardTest::start_trace() {
    quvex_sim_trace_clear();
    quvex_sim_trace_enable(1);
}

}  // namespace quvex::test
