/* Calling convention, export macros and the status codes shared by every quvex export. Plain C. */
#ifndef QUVEX_BASE_H
#define QUVEX_BASE_H

#include <stdint.h>

#if defined(_WIN32)
#  define QUVEX_CALL __stdcall
#  if defined(QUVEX_BUILDING_LIBRARY) || defined(QUVEX_STATIC)
     /* Exports are named by the generated .def file, so the functions need no dllexport;
      * programs linking the static library (QUVEX_STATIC) call them directly. */
#    define QUVEX_API
#  else
#    define QUVEX_API __declspec(dllimport)
#  endif
#else
#  define QUVEX_CALL
#  define QUVEX_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
#  define QUVEX_EXTERN_C_BEGIN extern "C" {
#  define QUVEX_EXTERN_C_END }
#else
#  define QUVEX_EXTERN_C_BEGIN
#  define QUVEX_EXTERN_C_END
#endif

/* Every export returns a 16-bit signed status: 0 for success, positive codes from the
 * local-card exports (quvex_*), negative codes from the ring exports (kring_*). */
typedef int16_t quvex_status;

enum quvex_local_status {
    QUVEX_OK = 0,
    QUVEX_ERR_ZERO_MAX_SPEED = 11,        /* maximum speed of 0 */
    QUVEX_ERR_ZERO_MOVE_RATIO = 12,       /* move ratio of 0 */
    QUVEX_ERR_PULSE_RANGE = 13,           /* value outside -134217728..134217727 pulses */
    QUVEX_ERR_AXIS_NOT_MOVING = 14,       /* stop of an axis that is not moving */
    QUVEX_ERR_AXIS_GROUP = 15,            /* invalid axis group */
    QUVEX_ERR_SPEED_CHANGE_ROOM = 16,     /* too little room for a speed change */
    QUVEX_ERR_COMPARATOR_CONDITION = 17,  /* condition not allowed for this comparator */
    QUVEX_ERR_COMPARATOR_NUMBER = 18,     /* comparator outside 1..5 (internal) */
    QUVEX_ERR_COMPARE_ARGUMENT = 19,      /* comparator number or trigger axis out of range */
    QUVEX_ERR_TABLE_COUNT = 20,           /* compare table count outside 0..1024 */
    QUVEX_ERR_SERIES_INTERVAL = 21,       /* series interval of the wrong sign or zero */
    QUVEX_ERR_TABLE_NOT_READY = 22,       /* table compare without a ready table */
    QUVEX_ERR_SERIES_NOT_READY = 23,      /* series compare without a ready series */
    QUVEX_ERR_NO_CARD = 24,               /* no card found */
    QUVEX_ERR_LATCH_NUMBER = 25,          /* latch outside 0..3 */
    QUVEX_ERR_CHANNEL = 27,               /* channel above 3 */
    QUVEX_ERR_END_POINT_TOO_LATE = 28,    /* end-point change too late */
    QUVEX_ERR_SPEED_CHANGE_SAME = 29,     /* speed change to the current or start speed */
    QUVEX_ERR_CARD_NUMBER = 30,           /* card number out of range or card absent */
    QUVEX_ERR_CALLBACK_THREAD = 31,       /* callback thread not created */
    QUVEX_ERR_AUTO_COMPARE_MODE = 33,     /* auto-compare mode out of range */
    QUVEX_ERR_PULSER_HOME_DIR = 35,       /* pulser home direction out of range */
    QUVEX_ERR_INT_ENABLED = 36,           /* interrupts already enabled */
    QUVEX_ERR_INT_NOT_ENABLED = 37,       /* interrupts not enabled */
    QUVEX_ERR_CONFIG_FILE = 39,           /* configuration file cannot be opened */
    QUVEX_ERR_CARD_THREAD = 41,           /* card thread not created at start-up */
    QUVEX_ERR_MPG_ENABLE = 45,            /* hand-wheel enable out of range */
    QUVEX_ERR_MPG_MODE = 46,              /* hand-wheel mode out of range */
    QUVEX_ERR_MPG_AXIS = 47,              /* hand-wheel axis out of range */
    QUVEX_ERR_SPEED_PERCENT = 48,         /* jog or step speed percentage of 0 */
    QUVEX_ERR_MOF_MODE = 50,              /* manual-operation mode of 5 or more */
    QUVEX_ERR_MOF_MODE_OWNER = 51,        /* setter called in a manual-operation mode that does not own it */
    QUVEX_ERR_COLLINEAR_POINTS = 53,      /* three collinear or coinciding points */
    QUVEX_ERR_ARC_CENTRE = 54             /* arc centre out of range */
};

enum quvex_ring_status {
    KRING_ERR_FAILED = -1,                /* watchdog not started; cyclic write not verified */
    KRING_ERR_SLOT_ATTACHED = -3,         /* ring slot already attached */
    KRING_ERR_NOT_OPEN = -4,              /* ring slot not open (0xFFFC unsigned) */
    KRING_ERR_SLAVE = -5,                 /* slave above 63; no slave in error */
    KRING_ERR_PORT = -6,                  /* I/O port above 3 (0xFFFA unsigned) */
    KRING_ERR_COUNTER_RANGE = -8,         /* counter value out of range */
    KRING_ERR_SPEED_ORDER = -9,           /* max speed not above start speed; move ratio 0 */
    KRING_ERR_ID_TIMEOUT = -11,           /* identification time-out */
    KRING_ERR_MESSAGE_LENGTH = -12,       /* more than 12 message words */
    KRING_ERR_NO_PROFILE = -14,           /* move before any speed profile */
    KRING_ERR_MOVE_RANGE = -15,           /* move distance or target out of range */
    KRING_ERR_ZERO_MAX_SPEED = -16,       /* maximum speed of 0 */
    KRING_ERR_SPEED_CHANGE_SAME = -17,    /* speed change to the current or start speed */
    KRING_ERR_SPEED_CHANGE_ROOM = -18,    /* speed change needs more pulses than remain */
    KRING_ERR_IO_CHANNEL = -19,           /* digital I/O channel not 0 or 1 */
    KRING_ERR_COMPARATOR_READ_NO = -20,   /* comparator number out of range (read) */
    KRING_ERR_COMPARATOR_WRITE = -21,     /* comparator number out of range or write failed */
    KRING_ERR_COMPARATOR_SOURCE = -22,
    KRING_ERR_COMPARATOR_ACTION = -23,
    KRING_ERR_COMPARATOR_METHOD = -24,
    KRING_ERR_COMPARATOR_READ = -25,      /* comparator read failed */
    KRING_ERR_SOFT_LIMIT = -26,           /* soft-limit value out of range */
    KRING_ERR_AUTO_TRIGGER = -27,         /* auto-trigger data write failed */
    KRING_ERR_LATCH_LOGIC = -30,          /* latch logic write failed */
    KRING_ERR_LATCH_NUMBER = -31,         /* latch number out of range */
    KRING_ERR_LATCH_READ = -32,           /* latch read failed */
    KRING_ERR_HOME_CONFIG = -35,          /* home configuration write failed */
    KRING_ERR_MESSAGE = -37,              /* a message of a send or query failed */
    KRING_ERR_NOT_ECHOED = -46,           /* module register read not echoed */
    KRING_ERR_AXIS_WRITE = -49,           /* axis register write failed */
    KRING_ERR_AXIS = -50,                 /* axis outside 0..3 */
    KRING_ERR_MOF_MODE_OWNER = -51,       /* manual-operation setter in the wrong mode */
    KRING_ERR_MOF_AXIS = -52,             /* manual-operation axis outside 0..3 */
    KRING_ERR_MOF_TYPE = -53,             /* manual-operation type out of range */
    KRING_ERR_MOF_FLAG = -54,             /* enable or all-axes flag out of range */
    KRING_ERR_MOF_MODE = -55,             /* manual-operation mode outside 0..5 */
    KRING_ERR_M4_ZERO_MAX_SPEED = -56,    /* four-axis line with maximum speed 0 */
    KRING_ERR_M4_AXES = -57,              /* four-axis line axes invalid */
    KRING_ERR_MOTION_FILE_KEY = -60       /* ring motion file key absent */
};

#endif
