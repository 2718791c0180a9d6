/* zxk740api.h -- interface of the receiver API library ZXK740API.dll

   The library lists, opens, configures, tunes and reads ZX-K740 receivers. The
   program loads it by file name at run time and looks the functions up by
   name; it never links it. This header gives the calling conventions for both
   sides: the stand-in that this project ships (a simulated radio, see
   k740sim.h) and the bindings.

   All integers have exactly the widths given. All calls are synchronous; the
   caller calls from one thread at a time.

   Receiver handle
   ---------------
   K7Open answers a handle greater than 0 for an opened receiver and 0 (or a
   negative value) on failure. A call with a handle that is not open does
   nothing and answers 0. A receiver is open at most once at a time; a second
   K7Open of it answers 0 until it is closed.

   Frequency word (uint32_t, SetFrequency and GetFrequency)
   --------------
     bit 31 clear: bits 0..30 are the frequency in Hz;
     bit 31 set:   bits 0..30 are the frequency in units of 10 Hz.
   Decoding: (word & 0x7FFFFFFF) * 10 Hz when bit 31 is set, else word Hz.
   Callers encode a frequency F <= 2,147,000,000 Hz as F and a larger one as
   (F / 10) | 0x80000000. GetFrequency answers the Hz form for every frequency
   up to 2,147,483,647 Hz and the 10 Hz form above. k7_EncodeFrequency,
   k7_TunedFrequencyWord and k7_DecodeFrequency below do exactly this; a
   frequency beyond what 31 bits of 10 Hz hold gets the highest word rather
   than one that wraps to a low frequency.

   Receiver description record (K7_DESCRIPTION_SIZE = 196 bytes, packed,
   little-endian, multi-byte fields unaligned)
   ---------------------------
     offset  size  field
          0     4  record size, 196 (uint32)
          4     9  serial text, zero-terminated; empty for the demo receiver
         13     9  device type text, zero-terminated; contains "USB" for a USB
                   receiver
         22     4  lowest frequency, Hz (uint32)
         26     4  highest frequency, Hz (uint32)
         30     4  tuning step, Hz (uint32; this stand-in's own field)
         34   162  reserved, 0

   EEPROM image (K7_EEPROM_SIZE = 256 bytes, little-endian)
   ------------
     offset  field
          0  serial text (9 bytes), 16: device type text (9 bytes)
        240  AGC high point (uint16)
        242  AGC knee point (uint16)
        244  AGC low point (uint16)
        246  low-segment gain term (int16)
        252  reference gain, tenths of dB (uint16)
     all other bytes 0.

   Settings values: SetAGC 0 turns the AGC off, every other value (2 is what
   the program uses) makes it automatic. The RF amplifier, filter and
   attenuator settings are kept but do not change the simulated signal.
*/
#ifndef ZXK740API_H
#define ZXK740API_H

#include <stdint.h>

#include "k740export.h"

#ifdef __cplusplus
extern "C" {
#endif

#define K7_DESCRIPTION_SIZE 196
#define K7_EEPROM_SIZE 256
#define K7_LIST_BUFFER_SIZE 12544 /* what the program passes: room for 64 records */
#define K7_LIST_MAX_RECORDS (K7_LIST_BUFFER_SIZE / K7_DESCRIPTION_SIZE)
#define K7_FREQUENCY_10HZ 0x80000000u
#define K7_LARGEST_HZ_WORD 2147000000u /* callers send frequencies above in 10 Hz */

/* Offsets of the description record's fields (see above). */
#define K7_DESC_SERIAL 4
#define K7_DESC_DEVICE_TYPE 13
#define K7_DESC_TEXT_SIZE 9
#define K7_DESC_LOWEST 22
#define K7_DESC_HIGHEST 26
#define K7_DESC_STEP 30

/* Offsets of the EEPROM image's fields (see above). */
#define K7_EEP_SERIAL 0
#define K7_EEP_DEVICE_TYPE 16
#define K7_EEP_AGC_HIGH 240
#define K7_EEP_AGC_KNEE 242
#define K7_EEP_AGC_LOW 244
#define K7_EEP_LOW_GAIN_TERM 246
#define K7_EEP_REFERENCE_GAIN 252

/* The word in 10 Hz units of a frequency, saturated at the highest word. */
static inline uint32_t k7_TenHzWord(uint64_t hz) {
    const uint64_t tens = hz / 10;
    return (uint32_t)(tens > 0x7FFFFFFFu ? 0x7FFFFFFFu : tens) | K7_FREQUENCY_10HZ;
}

/* The word a caller sends for a frequency in Hz (SetFrequency). */
static inline uint32_t k7_EncodeFrequency(uint64_t hz) {
    return hz <= K7_LARGEST_HZ_WORD ? (uint32_t)hz : k7_TenHzWord(hz);
}

/* The word the library answers for a tuned frequency (GetFrequency). */
static inline uint32_t k7_TunedFrequencyWord(uint64_t hz) {
    return hz <= 0x7FFFFFFFu ? (uint32_t)hz : k7_TenHzWord(hz);
}

/* The frequency in Hz of a word. */
static inline uint64_t k7_DecodeFrequency(uint32_t word) {
    if (word & K7_FREQUENCY_10HZ) return (uint64_t)(word & 0x7FFFFFFFu) * 10;
    return word;
}

/* Lists the receivers: writes as many description records as fit into
   bufferSize bytes, back to back (record i at byte 196 x i), stores the record
   size 196 into *recordSize (if not NULL) and answers the number of records
   written. With a NULL buffer nothing is written and the answer is the number
   of receivers there are. The demo receiver is always listed first. */
K740_EXPORT int32_t K7GetRadioList2(void *buffer, int32_t bufferSize, uint32_t *recordSize);

/* Opens the receiver with this serial text; NULL (or "") opens the demo
   receiver. Answers its handle, or 0 for an unknown serial or a receiver that
   is open already. */
K740_EXPORT int32_t K7Open(const char *serial);

/* Copies the 256-byte EEPROM image into `eeprom`. Nonzero on success. */
K740_EXPORT int32_t K7GetEEP(int32_t handle, uint8_t *eeprom);

/* Fills the 196-byte description record at `record`, whose size field the
   caller has set to 196. Answers 1, or 0 (record untouched) for a bad handle
   or size field. */
K740_EXPORT int32_t K7GetInfo(int32_t handle, void *record);

/* Front-end settings: power 1 on / 0 off, AGC, RF amplifier, filter,
   attenuator. Answer 1, or 0 for a bad handle. */
K740_EXPORT int32_t SetPower(int32_t handle, int32_t on);
K740_EXPORT int32_t SetAGC(int32_t handle, int32_t agc);
#if !defined(K7API_NO_SETRFAMP)
K740_EXPORT int32_t SetRFAmp(int32_t handle, int32_t amp);
#endif
K740_EXPORT int32_t SetFilterVal(int32_t handle, int32_t filter);
K740_EXPORT int32_t SetAtten(int32_t handle, int32_t atten);

/* Tunes the receiver to the frequency of the word, clamped to its range and
   rounded to its tuning step. Answers 1, or 0 for a bad handle. */
K740_EXPORT int32_t SetFrequency(int32_t handle, uint32_t word);

/* The word of the frequency actually tuned (0 for a bad handle). */
K740_EXPORT uint32_t GetFrequency(int32_t handle);

/* The receiver's own signal strength, 0..255: rises monotonically, though not
   linearly, with the power in the passband. */
K740_EXPORT int32_t GetRawSignalStrength(int32_t handle);

/* Bits 16..31: the AGC reading (0..990); bits 0..15: 0. */
K740_EXPORT uint32_t K7GetInternalRSSI(int32_t handle);

/* Closes the receiver; the handle is no longer open. Answers 1, or 0. */
K740_EXPORT int32_t CloseRadioDevice(int32_t handle);

/* Pointer types of the fourteen functions, for callers that look them up. */
typedef int32_t (*K7GetRadioList2Fn)(void *buffer, int32_t bufferSize, uint32_t *recordSize);
typedef int32_t (*K7OpenFn)(const char *serial);
typedef int32_t (*K7GetEEPFn)(int32_t handle, uint8_t *eeprom);
typedef int32_t (*K7GetInfoFn)(int32_t handle, void *record);
typedef int32_t (*K7SetPowerFn)(int32_t handle, int32_t on);
typedef int32_t (*K7SetAGCFn)(int32_t handle, int32_t agc);
typedef int32_t (*K7SetRFAmpFn)(int32_t handle, int32_t amp);
typedef int32_t (*K7SetFilterValFn)(int32_t handle, int32_t filter);
typedef int32_t (*K7SetAttenFn)(int32_t handle, int32_t atten);
typedef int32_t (*K7SetFrequencyFn)(int32_t handle, uint32_t word);
typedef uint32_t (*K7GetFrequencyFn)(int32_t handle);
typedef int32_t (*K7GetRawSignalStrengthFn)(int32_t handle);
typedef uint32_t (*K7GetInternalRSSIFn)(int32_t handle);
typedef int32_t (*K7CloseRadioDeviceFn)(int32_t handle);

#ifdef __cplusplus
}
#endif

#endif /* ZXK740API_H */
