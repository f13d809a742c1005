/* The card configuration file: a saved signal configuration applied to every axis of every card. */
#ifndef QUVEX_CONFIG_H
#define QUVEX_CONFIG_H

#include "quvex_base.h"

QUVEX_EXTERN_C_BEGIN

/* Reads the 48 axis records of the file at `path` and applies those of the present cards.
 * 0, or 39 when the file cannot be opened. */
QUVEX_API quvex_status QUVEX_CALL quvex_config_from_file(const char* path);

QUVEX_EXTERN_C_END

#endif
