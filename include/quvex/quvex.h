/* The quvex card library: every exported function, its calling convention and its status codes.
 * Plain C, usable from C and C++. Each family of exports has its own header below. */
#ifndef QUVEX_H
#define QUVEX_H

#include "quvex_base.h"
#include "quvex_frame.h"
#include "quvex_events.h"
#include "quvex_config.h"
#include "quvex_ring.h"
#include "quvex_axis.h"
#include "quvex_interp.h"
#include "quvex_arc.h"
#include "quvex_group.h"
#include "quvex_motion.h"
#include "quvex_home.h"
#include "quvex_change.h"
#include "quvex_manual.h"
#include "quvex_compare.h"
#include "kring_m1.h"
#include "kring_m4.h"

#endif
