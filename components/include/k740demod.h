/* k740demod.h -- interface of the software demodulator module "K740Demod.qmv"

  The module demodulates a ZX-K740 receiver in software. It is a shared
  library that the host program loads at run time by path, never links. It
  runs inside the host's process and on the host's GUI thread: it uses the
  host's Qt application object and creates its window as a Qt widget, whose
  handle (a WId) it hands back for embedding.

  Life of a module, as a host drives it:

    qmvPluginInit(QMV_INTERFACE_VERSION, hostName)   once after each load
    qmvPluginStart(hostWindow, record, callback, &startValue)
                                                     once per opened receiver
    qmvPluginNotify(hostWindow, message, v1, v2, v3) any number of times
    qmvPluginNotify(hostWindow, QMV_NOTIFY_STOP, 0, 0, 0)
                                                     ends the started session
    qmvPluginDone()                                  once before the unload

  A new qmvPluginStart may follow a stop (or a start that returned no window)
  and begins a fresh session. Every entry point must be called on the thread
  that runs the host's windows; the module calls the host callback only on
  that thread, and never after QMV_NOTIFY_STOP.

  All values that may carry an address or a window handle are intptr_t; all
  other integers have the widths given. No exception leaves the module.
*/
#ifndef K740DEMOD_H
#define K740DEMOD_H

#include <stdint.h>

#include "k740export.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The file name the host looks for. */
#define QMV_MODULE_FILE_NAME "K740Demod.qmv"

/* The only interface version this module speaks. */
#define QMV_INTERFACE_VERSION 256

/* ------------------------------------------------------------------------ */
/* The host callback.

  window   the module's window handle, exactly as qmvPluginStart returned it
           (0 while qmvPluginStart is still running). A host answers 0 and
           does nothing for any other value.
  message  one of the QMV_HOST_* codes below.
  value1..value3  as given for each message.

  Returns the host's answer; 0 unless a message says otherwise.
*/
typedef intptr_t (*QmvHostCallback)(intptr_t window, int32_t message, intptr_t value1,
                                    intptr_t value2, intptr_t value3);

/* Messages from the module to the host (the callback). */
#define QMV_HOST_MODE 0x900       /* value1: demodulation mode now in use */
#define QMV_HOST_WIDTH 0x902      /* value1: passband width, Hz */
#define QMV_HOST_OFFSET 0xF00     /* value1: passband offset, Hz (signed) */
#define QMV_HOST_SPECTRUM 0x110B  /* value1: span S, Hz; value2: byte count N;
                                     value3: address of N/4 32-bit floats, the
                                     power of equal bins covering 0..S, where
                                     S/2 is the tuned frequency. The data is
                                     valid only during the call. */
#define QMV_HOST_QUERY 0x4002     /* value1: query code (QMV_QUERY_*);
                                     value2: length; value3: address */
#define QMV_HOST_NEW_RECORD 0x4006 /* value2: size; value3: address of a new
                                      radio description record. The host takes
                                      a copy, rebases its address fields and
                                      answers with QMV_NOTIFY_RECORD_COPIED. */
#define QMV_HOST_CAPABILITIES 0x4200 /* answered 0x80000000 */

/* Query codes of QMV_HOST_QUERY. */
#define QMV_QUERY_HOST_PRESENT 0x100 /* answered 1 */
#define QMV_QUERY_RECORDING 0x301    /* answered 0: the host does not record */
#define QMV_QUERY_RECORD 0x4005      /* answered with the address of the host's
                                        radio description record */

/* Messages from the host to the module (qmvPluginNotify). */
#define QMV_NOTIFY_ACTIVATE 0x100   /* value1: 1. Sent right after the start and
                                       after the window has been embedded: the
                                       module shows its window if it has been
                                       given a parent, starts its spectra and
                                       reports width and offset. 0 pauses. */
#define QMV_NOTIFY_OPTIONS 0xD05    /* value1: option bits (the host sends 15) */
#define QMV_NOTIFY_MODE 0x900       /* value1: mode to use (0..7; others are
                                       kept out). The module answers with
                                       QMV_HOST_MODE when the mode differs from
                                       the one it last reported. */
#define QMV_NOTIFY_FREQUENCY 0x800  /* value1: frequency word: bit 31 clear,
                                       Hz; bit 31 set, low 31 bits x 10 Hz */
#define QMV_NOTIFY_WIDTH 0xD00      /* value1: passband width, Hz */
#define QMV_NOTIFY_OFFSET 0xD03     /* value1: passband offset, Hz */
#define QMV_NOTIFY_RECORD_COPIED 0x4005 /* value2: size; value3: the address
                                           the module sent with
                                           QMV_HOST_NEW_RECORD */
#define QMV_NOTIFY_STOP 0x4000      /* ends the session; the module destroys
                                       its window and calls the host no more */

/* Demodulation mode codes (QMV_HOST_MODE, QMV_NOTIFY_MODE). The calibration
  library files its tables under the same codes (smetersdk.h). */
#define QMV_MODE_CW 0
#define QMV_MODE_AM 1
#define QMV_MODE_FM_NARROW 2
#define QMV_MODE_FM_WIDE 3 /* wide FM: the host reads the receiver's own level */
#define QMV_MODE_LSB 4     /* passband below the offset */
#define QMV_MODE_USB 5     /* passband above the offset */
#define QMV_MODE_FM_MIDDLE 6
#define QMV_MODE_FM_6 7
#define QMV_MODE_COUNT 8

/* ------------------------------------------------------------------------ */
/* The radio description record: 720 bytes, little-endian, built by the host
  for the receiver being opened and owned by the host. Offsets of the fields
  the module reads: */
#define QMV_RECORD_SIZE 720
#define QMV_REC_SIZE 0          /* uint32: 720 */
#define QMV_REC_MAKER 12        /* 32 bytes text, zero-filled */
#define QMV_REC_DEVICE_TYPE 44  /* 32 bytes text, zero-filled */
#define QMV_REC_SERIAL 76       /* 16 bytes text, zero-filled; empty: demo */
#define QMV_REC_MODEL 92        /* 64 bytes text, zero-filled */
#define QMV_REC_RANGE_COUNT 220 /* uint32: number of frequency ranges */
#define QMV_REC_RANGES 224      /* address field: table of ranges, 12 bytes
                                   each: lowest kHz, highest kHz, 1 */
#define QMV_REC_MODE_COUNT 228  /* uint32: number of mode entries */
#define QMV_REC_MODE_SIZE 232   /* uint32: size of one mode entry (28) */
#define QMV_REC_MODES 236       /* address field: table of mode entries, each
                                   seven uint32, the first the mode code */

/* An address field holds the low 32 bits of an absolute address. Given the
  record's own address, this recovers a pointer to `length` bytes that the
  field names inside the record, or NULL when they do not lie inside it. */
static inline const uint8_t *qmvRecordField(const void *record, uint32_t recordSize,
                                            uint32_t field, uint32_t length) {
    const uint32_t base = (uint32_t)(uintptr_t)record;
    const uint32_t offset = field - base; /* modulo 2^32 */
    if (offset > recordSize || length > recordSize - offset)
        return 0;
    return (const uint8_t *)record + offset;
}

/* ------------------------------------------------------------------------ */
/* Entry points. */

/* Initialises the module after a load.

  interfaceVersion  must be QMV_INTERFACE_VERSION.
  hostName          the host's name, zero-terminated, or NULL; the module
                    copies it and shows it in its window.

  Returns the module's version (nonzero) on success, 0 on failure (wrong
  interface version). May be called again after qmvPluginDone.
*/
K740_EXPORT int32_t qmvPluginInit(int32_t interfaceVersion, const char *hostName);

/* Starts a session for one opened receiver.

  hostWindow   the host's main window handle; the module does not use it.
  radioRecord  the host's radio description record (QMV_RECORD_SIZE bytes).
               The module reads the serial text and frequency range to find
               its receiver; it keeps no pointer into it after returning.
               NULL: no receiver.
  callback     the host callback; may be NULL (the module then stays silent).
  startValue   may be NULL; otherwise the module stores 1 into it when it
               returns a window, and leaves it alone otherwise.

  Returns the module window's handle (a WId), or 0 when there is none (no
  QApplication in the process). The window is a top-level widget of 476 x 199
  pixels, not shown; the host re-parents it and the module shows it at
  QMV_NOTIFY_ACTIVATE. The module passes exactly this value as the window of
  every callback, even after the re-parenting gave the widget another native
  handle. The module ends the session by destroying the window; a host that
  destroys it first ends only the display; messages go on until the stop.
  A session still running is ended first, silently.

  The module finds its simulated receiver (libk740sim.so) by the record's
  serial text; for a serial the simulation does not know it shows its window
  but sends no spectra. Spectra come 20 times a second: span 24,000 Hz, 480
  bins, tuned frequency in bin 240.
*/
K740_EXPORT intptr_t qmvPluginStart(intptr_t hostWindow, void *radioRecord,
                                    QmvHostCallback callback, int32_t *startValue);

/* Tells the module about tuning and settings; see QMV_NOTIFY_*. Unknown
  messages are ignored, and so is everything outside a started session. */
K740_EXPORT void qmvPluginNotify(intptr_t hostWindow, int32_t message, intptr_t value1,
                                 intptr_t value2, intptr_t value3);

/* Ends the module before it is unloaded: ends a running session without
  calling the host and frees everything. Optional for hosts. */
K740_EXPORT void qmvPluginDone(void);

/* Pointer types of the entry points, for hosts that look them up. */
typedef int32_t (*QmvPluginInitFn)(int32_t interfaceVersion, const char *hostName);
typedef intptr_t (*QmvPluginStartFn)(intptr_t hostWindow, void *radioRecord,
                                     QmvHostCallback callback, int32_t *startValue);
typedef void (*QmvPluginNotifyFn)(intptr_t hostWindow, int32_t message, intptr_t value1,
                                  intptr_t value2, intptr_t value3);
typedef void (*QmvPluginDoneFn)(void);

#ifdef __cplusplus
}
#endif

#endif /* K740DEMOD_H */
