/* Runs one move on the virtual installation through the installed headers and library; exits
 * non-zero, saying why, when anything differs from what the move should give. */
#include <stdio.h>

#include <quvex/quvex.h>
#include <quvex/sim.h>

static int fail(const char* what, double got) {
    fprintf(stderr, "consumer: %s (%g)\n", what, got);
    return 1;
}

int main(void) {
    int16_t cards = 0;
    double pos = 0;
    quvex_sim_reset();
    if (quvex_sim_add_card(0) != 0) return fail("no virtual card", 0);
    if (quvex_initial(&cards) != QUVEX_OK || cards != 1) return fail("quvex_initial", cards);
    if (quvex_start_tr_move(0, 1500, 100, 10000, 0.05, 0.05) != QUVEX_OK) return fail("move refused", 0);
    quvex_sim_advance(1.0);
    if (quvex_motion_done(0) != 0) return fail("axis still moving", quvex_motion_done(0));
    if (quvex_get_position(0, &pos) != QUVEX_OK || pos != 1500) return fail("position", pos);
    quvex_close();
    printf("consumer: moved to %g\n", pos);
    return 0;
}
