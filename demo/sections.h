// The demo's sections, one file each, run in this order by demo_main.cpp on card 0 (and 1) of
// the virtual installation after quvex_initial.
#pragma once

void demo_axis_io();   // axis I/O following virtual inputs
void demo_motion();    // T-curve and S-curve moves with plots
void demo_lines();     // two- and four-axis lines
void demo_home();      // home return and in-flight speed and end-point changes, plotted
void demo_arcs();      // a circle, a three-point arc, a helix and a continuous path
void demo_ring();      // the serial ring and an I/O slave
void demo_manual();    // a hand-wheel session and a jog, with plots
void demo_module();    // a one-axis motion module on the ring
void demo_module4();   // a four-axis motion module on the ring: lines of two and four axes
