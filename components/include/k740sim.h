/* k740sim.h -- the simulated ZX-K740 radio shared by the stand-in components

   The receiver API stand-in (ZXK740API.dll) and the demodulator module stand-in
   (K740Demod.qmv) both link the shared library libk740sim.so, so one process
   holds exactly one simulated radio: the frequency the API tunes is the one the
   module's spectra are centred on, the generator the module's window sets is
   the signal the API's readings see.

   The model
   ---------
   Receivers: the demo receiver (index 0, empty serial text) always exists.
   Further receivers come from the configuration file named by the environment
   variable K740SIM_CONFIG (format in components/k740sim/README.md); it is read
   at the first call into the library and again by k740sim_Reset().

   Signal generator: one bench generator feeding every receiver's antenna
   input: on/off, frequency in Hz, level in dBm.

   Front end: a gain error e(f) in dB that varies smoothly with frequency, a few
   dB either way, different per receiver (its seed). A signal of level L dBm
   at frequency f is seen as L + e(f) dBm.

   Noise: a thermal noise density in dBm/Hz per receiver, referred to the input.

   Passband: mode, width W and offset O as the demodulator sets them. The
   passband window for tuned frequency F is [F - W, F] + O in mode 4 (LSB),
   [F, F + W] + O in mode 5 (USB), [F - W/2, F + W/2] + O otherwise, the same
   window the program takes from a spectrum. Before the first call the passband
   is mode 1, W = 3000 Hz, O = 0.

   AGC: its reading a (what K7GetInternalRSSI reports in bits 16..31) is the
   largest reading whose gain keeps the passband power at or below the level
   that a -90 dBm signal has at full gain; so it rests at the top of its range
   for weak signals and falls as the signal rises. It stays within
   [max(0, 2 Lo - K), min(990, H + 30)], where the spectra stay well above the
   program's floor of 1e-11. SetAGC 0 holds it at the top (full gain). The gain
   in dB that belongs to a reading is, exactly, the one that the program
   derives from the receiver's EEPROM level constants:
       a >= H:      g = R
       K <= a < H:  g = R - 50 + 50 (a - K) / (H - K)
       a < K:       g = R - 50 + trunc((1 - (a - Lo) / (K - Lo)) (T + 380))
       gain = floor(g + 0.5) / 10 dB
   (H, K, Lo, T, R: AGC high, knee and low points, low-segment gain term,
   reference gain in tenths of dB; constants that fail the program's checks
   are replaced by the defaults 855, 757, 537, -850, 700 as the program does.)
   The demo receiver's AGC reading is always 800, as the program assumes.

   Spectra: k740sim_Spectrum() fills n bins of linear power (32-bit floats)
   spanning S Hz centred on the tuned frequency: bin i covers
   F - S/2 + i S/n .. F - S/2 + (i + 1) S/n. The power of a bin is in mW at the
   output of the receiver's gain, so 10 log10(bin) - gain(a) is the input level
   in dBm, front-end error included. The generator's power lies wholly in the
   bin that holds its frequency (its neighbours get a weak skirt); the noise of
   each bin is drawn afresh from the receiver's random stream. Therefore
       10 log10(peak bin of the window) - gain(a) = generator level + e(f)
   whenever the generator is in the window and well above the noise.

   RAW reading: 0..255, grows monotonically but not linearly with the passband
   power, with a frequency-dependent detector error of its own.

   Reproducibility: every random value comes from per-receiver streams derived
   from one global seed (k740sim_SetSeed, K740SIM_SEED in the environment, or
   the "seed" line of the configuration file; 1 by default). The same seed and
   the same calls give the same spectra and readings.

   Conventions
   -----------
   A receiver is named by its index, 0 .. k740sim_ReceiverCount() - 1. Every
   function that takes an index answers 0 (or does nothing) for an index that
   is not valid. Frequencies are unsigned 64-bit Hz. All functions may be called
   from any thread; calls are serialised inside the library.
*/
#ifndef K740SIM_H
#define K740SIM_H

#include <stdint.h>

#include "k740export.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Texts of the receiver API's description record: at most 8 characters. */
#define K740SIM_TEXT_SIZE 9

/* A receiver's fixed properties. */
typedef struct k740sim_info {
    char serial[K740SIM_TEXT_SIZE];     /* zero-terminated, empty for the demo receiver */
    char deviceType[K740SIM_TEXT_SIZE]; /* zero-terminated, "USB" in it: a USB receiver */
    uint64_t lowestHz;                  /* tuning range, inclusive */
    uint64_t highestHz;
    uint32_t stepHz;  /* tuning step, >= 1 */
    uint16_t agcHigh; /* EEPROM level constants as stored (bytes 240..253) */
    uint16_t agcKnee;
    uint16_t agcLow;
    int16_t lowGainTerm;
    uint16_t referenceGain; /* tenths of dB */
    uint32_t seed;          /* seed of the front end's error curve */
    double noiseDensity;    /* dBm/Hz at the input */
} k740sim_info;

/* Re-reads the configuration file and returns every receiver, the generator
   and the seed to their initial state. */
K740_EXPORT void k740sim_Reset(void);

/* Restarts every random stream from this seed. */
K740_EXPORT void k740sim_SetSeed(uint64_t seed);

/* Number of receivers, demo receiver included (always >= 1). */
K740_EXPORT int32_t k740sim_ReceiverCount(void);

/* Index of the receiver with this serial text; NULL or "" gives the demo
   receiver (0). -1 when no receiver has that serial. */
K740_EXPORT int32_t k740sim_FindReceiver(const char *serial);

/* Copies a receiver's properties; 1 on success, 0 for an invalid index. */
K740_EXPORT int32_t k740sim_GetInfo(int32_t rx, k740sim_info *info);

/* The 256-byte EEPROM image: serial text at 0, device type text at 16, level
   constants at 240..253 (little-endian), other bytes 0. 1 on success. */
K740_EXPORT int32_t k740sim_GetEeprom(int32_t rx, uint8_t *eeprom);

/* Tunes a receiver: the frequency is clamped to its range and rounded to its
   tuning step (above 2,147,483,647 Hz also to 10 Hz). Answers the frequency
   taken, which k740sim_TunedFrequency() answers from then on. Receivers start
   at their lowest frequency. */
K740_EXPORT uint64_t k740sim_Tune(int32_t rx, uint64_t hz);
K740_EXPORT uint64_t k740sim_TunedFrequency(int32_t rx);

/* Front-end settings as the receiver API passes them on; the simulation keeps
   them and reports them back. SetAGC 0 turns the AGC off (full gain); any
   other value is automatic. The others do not change the signal. */
enum {
    K740SIM_POWER = 0,
    K740SIM_AGC = 1,
    K740SIM_RFAMP = 2,
    K740SIM_FILTER = 3,
    K740SIM_ATTEN = 4
};
K740_EXPORT void k740sim_SetControl(int32_t rx, int32_t control, int32_t value);
K740_EXPORT int32_t k740sim_Control(int32_t rx, int32_t control);

/* The demodulator's passband (see above). */
K740_EXPORT void k740sim_SetPassband(int32_t rx, int32_t mode, int32_t widthHz, int32_t offsetHz);
K740_EXPORT void k740sim_GetPassband(int32_t rx, int32_t *mode, int32_t *widthHz,
                                     int32_t *offsetHz);

/* The signal generator. Off at start, 10 MHz, -73 dBm. */
K740_EXPORT void k740sim_SetGenerator(int32_t on, uint64_t hz, double dbm);
K740_EXPORT void k740sim_GetGenerator(int32_t *on, uint64_t *hz, double *dbm);

/* Counts the generator's changes (a setting that changes nothing does not
   count), so that a view can follow changes made elsewhere. */
K740_EXPORT uint32_t k740sim_GeneratorChanges(void);

/* The generator's remote control: SCPI text over raw TCP, as a laboratory
   generator offers it (command set in components/k740sim/README.md).

   k740sim_ScpiOpen() counts one more user of the server; the first starts it
   listening on 127.0.0.1 only, at port 5025 or the next free one of the 100
   from 5025 on. It answers the port, or 0 when none could be bound.
   k740sim_ScpiClose() counts one user less; the last closes the port and
   every connection. k740sim_ScpiPort() answers the port, 0 while closed.
   The server runs on a thread of its own; it changes the generator with
   k740sim_SetGenerator. */
K740_EXPORT int32_t k740sim_ScpiOpen(void);
K740_EXPORT void k740sim_ScpiClose(void);
K740_EXPORT int32_t k740sim_ScpiPort(void);

/* Executes one SCPI line as the server would (test aid): the answer, without
   its line end, is copied zero-terminated into `answer` (at most size - 1
   bytes). Answers the answer's full length, or -1 for a NULL line. */
K740_EXPORT int32_t k740sim_ScpiExecute(const char *line, char *answer, int32_t size);

/* Noise density at the input, dBm/Hz. */
K740_EXPORT double k740sim_NoiseDensity(int32_t rx);
K740_EXPORT void k740sim_SetNoiseDensity(int32_t rx, double dbmPerHz);

/* The front end's gain error at a frequency, dB. */
K740_EXPORT double k740sim_FrontEndError(int32_t rx, uint64_t hz);

/* Power in the passband window at the input, front-end error included, mean
   noise included (no random part), dBm. What the AGC and the RAW reading see. */
K740_EXPORT double k740sim_PassbandPower(int32_t rx);

/* The AGC reading for the present state (0 for an invalid index). */
K740_EXPORT int32_t k740sim_AgcReading(int32_t rx);

/* Fixes the AGC reading at a value (test aid; the demo receiver included);
   a negative value returns to automatic. Readings below the AGC's own range
   can push weak spectra under the program's floor of 1e-11. */
K740_EXPORT void k740sim_ForceAgcReading(int32_t rx, int32_t reading);

/* The receiver's gain in dB that belongs to an AGC reading (formula above),
   and the gain at the present reading. */
K740_EXPORT double k740sim_GainForReading(int32_t rx, int32_t reading);
K740_EXPORT double k740sim_Gain(int32_t rx);

/* The receiver's own RAW signal strength reading, 0..255. */
K740_EXPORT int32_t k740sim_RawSignalStrength(int32_t rx);

/* Fills `bins` 32-bit floats of linear power spanning spanHz around the tuned
   frequency (layout above) into the caller's buffer. The module sends them as
   they are with message 0x110B (span S = spanHz, byte count 4 x bins). Answers
   the number of bins written: 0 for an invalid index, a span of 0, a bin count
   outside 1 .. 1048576 or a NULL buffer. Every call draws fresh noise. */
K740_EXPORT int32_t k740sim_Spectrum(int32_t rx, uint32_t spanHz, int32_t bins, float *power);

#ifdef __cplusplus
}
#endif

#endif /* K740SIM_H */
