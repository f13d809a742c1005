/* The front panel of the virtual installation: an HTTP server inside the process that shows every
 * card, axis and ring station live in a browser and takes the switches a person would flip at
 * the machine (docs/panel.md lists the page and the endpoints). Included by sim.h. Plain C.
 *
 * The panel also starts by itself, with no call, when the environment variable QUVEX_PANEL holds
 * an address as the virtual installation starts. */
#ifndef QUVEX_SIM_PANEL_H
#define QUVEX_SIM_PANEL_H

#include "quvex_base.h"

QUVEX_EXTERN_C_BEGIN

/* Starts the panel on `address`: "host:port", ":port" or "port" (the loopback address 127.0.0.1
 * unless a host is named); port 0 takes a free port (see quvex_sim_panel_port). Returns 0, or -1
 * for a null or malformed address, an address that cannot be bound, a panel already running, or
 * a build without the panel. */
QUVEX_API int QUVEX_CALL quvex_sim_panel_start(const char* address);
/* Stops the panel and ends its streams; nothing when it is not running. */
QUVEX_API void QUVEX_CALL quvex_sim_panel_stop(void);
/* The port the running panel listens on, or -1 when it is not running. */
QUVEX_API int QUVEX_CALL quvex_sim_panel_port(void);

QUVEX_EXTERN_C_END

#endif
