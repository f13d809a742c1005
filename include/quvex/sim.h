/* Control of the virtual installation: the driver, the cards, their chips and the ring, all
 * modelled from the hardware's side. Tests, tools and applications configure it here before
 * quvex_initial, drive its inputs and clock, and read its trace. Plain C.
 *
 * Devices are named by their driver device number (0..11), as the driver names them; with gaps
 * in the device numbers this differs from the library's card number.
 * Axes are 0..3 (X, Y, Z, U) within a device. */
#ifndef QUVEX_SIM_H
#define QUVEX_SIM_H

#include <stddef.h>
#include <stdint.h>

#include "quvex_base.h"

QUVEX_EXTERN_C_BEGIN

/* ---- installation ------------------------------------------------------------------------
 * A reset installation has no devices, a manual clock at time 0, tracing off and an empty trace. */
QUVEX_API void QUVEX_CALL quvex_sim_reset(void);
/* Installs a card behind driver device `device` (0..11). Returns 0, or -1 for a bad number. */
QUVEX_API int QUVEX_CALL quvex_sim_add_card(int device);
/* Removes the device; the library sees no device of that number from then on. */
QUVEX_API int QUVEX_CALL quvex_sim_remove_card(int device);

/* Driver faults of one device (a mask). */
#define QUVEX_SIM_FAIL_OPEN   0x1u  /* the device cannot be opened */
#define QUVEX_SIM_FAIL_QUERY1 0x2u  /* the first resource query fails */
#define QUVEX_SIM_FAIL_QUERY2 0x4u  /* the second resource query fails */
#define QUVEX_SIM_NO_COMPARE_EVENT 0x8u  /* the driver creates no compare event E4 for the card */
QUVEX_API int QUVEX_CALL quvex_sim_set_driver_faults(int device, unsigned faults);

/* What the driver reports for a device (its fixed port bases, interrupt line and areas). */
typedef struct quvex_sim_card_info {
    uint16_t bridge_base;
    uint16_t chip_base;
    uint16_t board_base;
    uint16_t irq;
    uintptr_t compare_area;  /* address of the compare area in this process */
    uintptr_t ring_window;   /* address of the ring master's register window */
    int open;                /* 1 while a handle on the device is open */
} quvex_sim_card_info;
QUVEX_API int QUVEX_CALL quvex_sim_card_info_get(int device, quvex_sim_card_info* out);

/* ---- board and bridge --------------------------------------------------------------------- */
/* The word the card status port (board + 0x1E) reads; the library reports its low three bits. */
QUVEX_API int QUVEX_CALL quvex_sim_set_card_status(int device, uint16_t status);
/* The last word written to the LED port (board + 0x1E), or -1 when never written. */
QUVEX_API int QUVEX_CALL quvex_sim_card_led(int device);
/* The last word written to a board port (offset 0..0x1E), or -1 when never written. */
QUVEX_API int QUVEX_CALL quvex_sim_board_port(int device, unsigned offset);
/* The bridge control word (bridge + 0x50) as the card holds it now, and the number of
 * bit-30 pulses (0x40 then 0x00 on bridge + 0x53) seen so far. */
QUVEX_API uint16_t QUVEX_CALL quvex_sim_bridge_control(int device);
QUVEX_API int QUVEX_CALL quvex_sim_bridge_bit30_pulses(int device);
/* The last byte written to the bridge interrupt port (bridge + 0x4C), or -1. */
QUVEX_API int QUVEX_CALL quvex_sim_bridge_interrupt(int device);
/* The last words written to the card-level chip ports 0x20 and 0x26, or -1. */
QUVEX_API int QUVEX_CALL quvex_sim_card_port(int device, unsigned offset);

/* ---- motion chips --------------------------------------------------------------------------
 * Register codes are the chip's own: a write code (0x80..0xAC) names a writable register, a read
 * code (0xD0..0xF5) a readable one. Reading a register through this call has no side effects.
 * Operation registers: 0x80+n is the buffered bank, 0x90+n the live bank (the one the chip runs
 * and that read code 0xD0+n returns). */
QUVEX_API int QUVEX_CALL quvex_sim_chip_register(int device, int axis, unsigned code, uint32_t* value);
/* Outputs of an axis as the chip drives them: bit k = output k (0 servo-on, 1 alarm reset,
 * 4 general output), bit 8 = deviation-clear (ERC) output. */
QUVEX_API int QUVEX_CALL quvex_sim_chip_outputs(int device, int axis, uint32_t* outputs);

/* ---- clock ------------------------------------------------------------------------------------
 * Manual mode (the default): time moves only when a test calls quvex_sim_advance or when a
 * library call sleeps or waits with a time-out on the application's thread; background threads
 * of the library run until they block before time moves on. Real-time mode: a ticker moves time
 * with the wall clock times `scale`. */
QUVEX_API void QUVEX_CALL quvex_sim_clock_manual(void);
QUVEX_API void QUVEX_CALL quvex_sim_clock_realtime(double scale);
QUVEX_API double QUVEX_CALL quvex_sim_now(void);  /* seconds of virtual time */
QUVEX_API void QUVEX_CALL quvex_sim_advance(double seconds);
/* Local time the installation reports at virtual time 0 (seconds since 1970, UTC, taken as the
 * local time); by default the wall clock at reset. */
QUVEX_API void QUVEX_CALL quvex_sim_set_epoch(int64_t seconds_since_1970);

/* ---- operating-system side ---------------------------------------------------------------------
 * Events named `name` ignore SetEvent from the library while deaf is 1 (a broken driver whose
 * event nobody listens to): a worker waiting on it is never woken. */
QUVEX_API int QUVEX_CALL quvex_sim_event_deaf(const char* name, int deaf);
/* 1 when a named event exists and is signalled, 0 when it exists and is not, -1 when absent. */
QUVEX_API int QUVEX_CALL quvex_sim_event_state(const char* name);
/* How many times a named event has been set (by the driver or by SetEvent) since it was
 * created; a set while it is already signalled counts too. -1 when absent. */
QUVEX_API int64_t QUVEX_CALL quvex_sim_event_sets(const char* name);
/* Message boxes shown by the library, oldest first. Returns the count; copies text and caption
 * of box `index` when the buffers are given. */
QUVEX_API int QUVEX_CALL quvex_sim_message_boxes(int index, char* text, size_t text_size, char* caption,
                                                 size_t caption_size);
/* Threads the library has created that have not ended yet. */
QUVEX_API int QUVEX_CALL quvex_sim_live_threads(void);
/* The next `count` thread creations of the library fail (the host refuses them). */
QUVEX_API void QUVEX_CALL quvex_sim_fail_thread_creations(int count);
/* Threads the library has ended from outside (TerminateThread). */
QUVEX_API int QUVEX_CALL quvex_sim_terminated_threads(void);
/* Suspend count of the thread a library handle names: SuspendThread calls not yet undone by
 * ResumeThread. -1 when the handle names no thread (never given, or closed). Handle values are
 * reused after CloseHandle, latest freed first, as on Windows. */
QUVEX_API int QUVEX_CALL quvex_sim_thread_suspend_count(uintptr_t thread);

/* ---- trace --------------------------------------------------------------------------------------
 * Every port access, window access and driver request while tracing is on, with its virtual
 * time, and the same decoded into readable events:
 *   "d0.X reg 9C <- 048002C7"   register write (device 0, axis X, write code, value)
 *   "d0.Y read E4 -> 00000010"  register read (read code, value loaded into the data words)
 *   "d0.Z cmd 0018"             command word
 *   "d0.U status -> 0000"       main status port read; "substatus" for the sub-status port
 *   "d0 card 20 <- 0000"        card-level chip port write
 *   "d0 bridge 53 <- 40"        bridge byte write ("->" for reads; four digits for words)
 *   "d0 board 1E -> 0007"       board port read or write
 *   "d0 request 223400 ok"      driver request ("failed" when refused)
 *   "port 1234 <- 0001"         access to a port no card decodes */
QUVEX_API void QUVEX_CALL quvex_sim_trace_enable(int on);
QUVEX_API void QUVEX_CALL quvex_sim_trace_clear(void);
QUVEX_API size_t QUVEX_CALL quvex_sim_trace_count(void);
/* Copies decoded event `index` as text; returns its length, or -1 past the end. */
QUVEX_API int QUVEX_CALL quvex_sim_trace_text(size_t index, char* out, size_t out_size);
/* Virtual time of decoded event `index`, in seconds. */
QUVEX_API double QUVEX_CALL quvex_sim_trace_time(size_t index);
/* Raw accesses: kind is one of the QUVEX_SIM_ACCESS_* values. */
#define QUVEX_SIM_ACCESS_IN8 1
#define QUVEX_SIM_ACCESS_OUT8 2
#define QUVEX_SIM_ACCESS_IN16 3
#define QUVEX_SIM_ACCESS_OUT16 4
#define QUVEX_SIM_ACCESS_WINDOW_READ 5
#define QUVEX_SIM_ACCESS_WINDOW_WRITE 6
#define QUVEX_SIM_ACCESS_REQUEST 7
typedef struct quvex_sim_access {
    double time;
    int kind;
    uint32_t address;  /* port, window offset or request code */
    uint32_t value;
    int device;        /* -1 when no device decodes it */
} quvex_sim_access;
QUVEX_API size_t QUVEX_CALL quvex_sim_access_count(void);
QUVEX_API int QUVEX_CALL quvex_sim_access_get(size_t index, quvex_sim_access* out);
/* Writes the decoded trace as text lines "time_s event" to a file. Returns 0 or -1. */
QUVEX_API int QUVEX_CALL quvex_sim_trace_dump(const char* path);

/* Decoded events as records: what happened (kind), where (device, axis, ring station), the code
 * and the value, as the text above shows them. The text of a record is its rendering; tests and
 * tools can match on the fields instead. */
#define QUVEX_SIM_EV_CHIP_STATUS 1           /* "d0.U status -> 0000": value = the word */
#define QUVEX_SIM_EV_CHIP_SUBSTATUS 2        /* "d0.U substatus -> 0000" */
#define QUVEX_SIM_EV_CHIP_REG_WRITE 3        /* "d0.X reg 9C <- 048002C7": code = write code, value = data */
#define QUVEX_SIM_EV_CHIP_REG_READ 4         /* "d0.Y read E4 -> 00000010": code = read code, value = data */
#define QUVEX_SIM_EV_CHIP_COMMAND 5          /* "d0.Z cmd 0018": code = the command word */
#define QUVEX_SIM_EV_CARD_PORT_WRITE 6       /* "d0 card 20 <- 0000": code = offset, value = word */
#define QUVEX_SIM_EV_BOARD_READ 7            /* "d0 board 1E -> 0007": code = offset, value = word */
#define QUVEX_SIM_EV_BOARD_WRITE 8           /* "d0 board 08 <- 0001" */
#define QUVEX_SIM_EV_BRIDGE_READ16 9         /* "d0 bridge 50 -> 4083": code = offset */
#define QUVEX_SIM_EV_BRIDGE_WRITE16 10       /* "d0 bridge 50 <- 4883" */
#define QUVEX_SIM_EV_BRIDGE_READ8 11         /* "d0 bridge 4C -> 00" */
#define QUVEX_SIM_EV_BRIDGE_WRITE8 12        /* "d0 bridge 53 <- 40" */
#define QUVEX_SIM_EV_CARD_BYTE_WRITE 13      /* "d0 byte C001 <- 12": code = port */
#define QUVEX_SIM_EV_REQUEST 14              /* "d0 request 223400 ok": code = request, value 1 ok, 0 failed */
#define QUVEX_SIM_EV_PORT_READ8 15           /* "port 1234 -> FF": device -1, code = port */
#define QUVEX_SIM_EV_PORT_WRITE8 16          /* "port 1234 <- 01" */
#define QUVEX_SIM_EV_PORT_READ16 17          /* "port 1234 -> FFFF" */
#define QUVEX_SIM_EV_PORT_WRITE16 18         /* "port 1234 <- 0001" */
#define QUVEX_SIM_EV_RING_SCAN 19            /* "d0 ring scan" */
#define QUVEX_SIM_EV_RING_RUN 20             /* "d0 ring run" */
#define QUVEX_SIM_EV_RING_STOP 21            /* "d0 ring stop" */
#define QUVEX_SIM_EV_RING_RESET 22           /* "d0 ring reset" */
#define QUVEX_SIM_EV_RING_CONTROL 23         /* "d0 ring control 2000": code = the control word */
#define QUVEX_SIM_EV_RING_ERROR_MAP_WRITE 24 /* "d0 ring error map 0 <- 0020": code = word 0..3, value */
#define QUVEX_SIM_EV_RING_CYCLIC_WRITE 25    /* "d0 ring slave 3 cyclic 1 <- AB00": code = word 0..1, value */
#define QUVEX_SIM_EV_RING_MESSAGE 26         /* "d0 ring slave 3 msg 0053 -> 0000": message words, reply words */
#define QUVEX_SIM_EV_RING_IDENT 27           /* "d0 ring slave 3 ident -> 00100000": value = identification */
#define QUVEX_SIM_EV_RING_REPLY 28           /* "d0 ring slave 3 reply -> 0000 1234": a later answer */
/* Flags of a record. */
#define QUVEX_SIM_EVF_NO_ANSWER 0x1 /* message or identification left unanswered: "(no answer)" */
#define QUVEX_SIM_EVF_STUCK 0x2     /* cyclic write into a stuck word: "(stuck)" */
typedef struct quvex_sim_event {
    double time;      /* seconds of virtual time */
    int kind;         /* QUVEX_SIM_EV_* */
    int device;       /* driver device number, -1 when no device decodes it */
    int axis;         /* chip axis 0..3, -1 when the event is not an axis's */
    int station;      /* ring station 0..63, -1 when the event is not a station's */
    uint32_t code;
    uint32_t value;
    unsigned flags;   /* QUVEX_SIM_EVF_* */
    int word_count;   /* message words (QUVEX_SIM_EV_RING_MESSAGE) */
    int reply_count;  /* reply words (QUVEX_SIM_EV_RING_MESSAGE, QUVEX_SIM_EV_RING_REPLY) */
} quvex_sim_event;
/* Copies decoded event `index` (the same index as quvex_sim_trace_text); 0, or -1 past the end
 * or for a null `out`. */
QUVEX_API int QUVEX_CALL quvex_sim_trace_get(size_t index, quvex_sim_event* out);
/* Message words (reply 0) or reply words (reply 1) of event `index`: copies up to `max` of them
 * into `words` when given and returns their count; -1 past the end. */
QUVEX_API int QUVEX_CALL quvex_sim_trace_words(size_t index, int reply, uint16_t* words, int max);

/* The trace for other tools. Both return 0, or -1 for a null path or a file that cannot be written.
 * CSV: a header line, then one row per decoded event: time_s, kind, device, axis, station, code,
 * value (hex), flags, words, reply (hex words separated by spaces), text.
 * VCD (a waveform, time unit 1 ns): per axis the command position and speed from the motion
 * samples (quvex_sim_sample_motion), the operation state and the input signals as the status reads
 * showed them, the stop reason at the end of the last motion, the register writes and commands;
 * per ring the master's mode and, per station, its messages, replies and cyclic writes. */
QUVEX_API int QUVEX_CALL quvex_sim_trace_write_csv(const char* path);
QUVEX_API int QUVEX_CALL quvex_sim_trace_write_vcd(const char* path);

QUVEX_EXTERN_C_END

#include "sim_axis.h"
#include "sim_ring.h"
#include "sim_motion.h"
#include "sim_plot.h"
#include "sim_home.h"
#include "sim_manual.h"
#include "sim_ring_m1.h"
#include "sim_compare.h"
#include "sim_ring_m4.h"
#include "sim_drive.h"
#include "sim_panel.h"

#endif
