// The demo: a virtual installation with two cards, driven as an application would drive real ones.
#include <cstdio>

#include "quvex/quvex.h"
#include "quvex/sim.h"
#include "sections.h"

namespace {

void print_card_table(int16_t count) {
    std::printf("%-5s %-10s %-4s %-7s\n", "card", "chip base", "irq", "status");
    for (int16_t card = 0; card < count; ++card) {
        uint16_t base = 0, irq = 0, status = 0;
        quvex_get_base_addr(card, &base);
        quvex_get_irq_channel(card, &irq);
        quvex_get_card_status(card, &status);
        std::printf("%-5d 0x%04X     %-4u 0x%X\n", card, base, irq, status);
    }
}

}  // namespace

int main() {
    quvex_sim_reset();
    quvex_sim_add_card(0);
    quvex_sim_add_card(1);
    quvex_sim_set_card_status(1, 0x5);
    quvex_sim_clock_realtime(1.0);

    int16_t count = 0;
    const quvex_status rc = quvex_initial(&count);
    std::printf("quvex_initial -> %d, %d card(s) found\n", rc, count);
    if (rc != QUVEX_OK) return 1;
    print_card_table(count);

    quvex_set_card_led(0, 1);
    std::printf("LED of card 0 switched on (board port reads back %d)\n", quvex_sim_card_led(0));

    demo_axis_io();
    demo_motion();
    demo_lines();
    demo_home();
    demo_arcs();
    demo_ring();
    demo_manual();
    demo_module();
    demo_module4();

    std::printf("quvex_close -> %d\n", quvex_close());
    return 0;
}
