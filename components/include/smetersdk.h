/* smetersdk.h -- interface of the calibration library "smetersdk.dll"

  The library keeps S-meter calibration sets in memory and reads and writes
  them as ".cal" files. A calibration set is a tree:

      receiver name -> mode code -> frequency point -> translation table

  where a translation table is 256 IEEE-754 doubles, one dBm value (-140..0)
  per RAW signal-strength value 0..255. Callers never touch the files
  themselves; the file layout is described in FORMAT.md beside the sources.

  Conventions shared by every call:

  - Every call answers a 32-bit signed result. SMS_OK (-1) is success;
    SMS_ERR_* (-2..-17) are failures. The calls that answer a handle or a byte
    count answer 0 or more on success instead. Callers that only look at the
    low 8 bits of a result, read as signed, see the same codes.
  - Texts are 8-bit, zero-terminated. A receiver name is 1 to 7 non-zero bytes
    (it travels in an 8-byte field with its terminating zero); a null, empty or
    longer name is SMS_ERR_RECEIVER_NAME. Names are compared byte for byte.
  - Frequencies are unsigned 64-bit Hz, mode codes signed 32-bit; any value of
    either is accepted.
  - The caller owns every buffer it passes; the library never keeps a pointer
    past the call and never frees caller memory.
  - Lists come back sorted: modes by ascending code, frequency points by
    ascending frequency, without duplicates.
  - A mode exists only while it holds at least one frequency point, and a
    receiver name only while it holds at least one mode.
  - No call throws, aborts or blocks on anything but file I/O. The calls may be
    made from any thread; they are serialised inside the library.

  Result codes, in the order in which each call checks its arguments: the CAL
  handle first, then the receiver name, then buffers, then lookups in the set.
*/
#ifndef SMETERSDK_H
#define SMETERSDK_H

#include <stdint.h>

#include "k740export.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Result codes. */
#define SMS_OK (-1)                  /* success */
#define SMS_ERR_DBM_RANGE (-2)       /* a dBm value outside -140..0 */
#define SMS_ERR_DBM_ARRAY (-3)       /* dBm array is null or holds NaN or infinity */
#define SMS_ERR_FREQUENCY (-4)       /* GetCS: the mode has no such frequency point */
#define SMS_ERR_WRITE (-5)           /* writing the file failed; the old file is unchanged */
#define SMS_ERR_FILE_NAME (-6)       /* file name null, empty, a folder or not a regular file */
#define SMS_ERR_RECEIVER (-7)        /* the set holds no such receiver name */
#define SMS_ERR_FILE_NOT_FOUND (-8)  /* the file does not exist */
#define SMS_ERR_LOAD (-9)            /* the file cannot be read or is not a valid ".cal" file */
#define SMS_ERR_HANDLE (-10)         /* the CAL handle does not name an open set */
#define SMS_ERR_CS_SIZE (-11)        /* calibration structure size field is not 33 */
#define SMS_ERR_CS (-12)             /* calibration structure pointer is null */
#define SMS_ERR_RECEIVER_NAME (-13)  /* receiver name null, empty or longer than 7 bytes */
#define SMS_ERR_MODE (-14)           /* the receiver holds no such mode */
#define SMS_ERR_RAW (-15)            /* RAW value outside 0..255 (cannot occur: the field is 8-bit) */
#define SMS_ERR_BUFFER (-16)         /* list buffer null with a size above 0, or size negative */
#define SMS_ERR_DELETE (-17)         /* DeleteFrequency: the mode has no such frequency point */

/* The calibration structure exchanged with GetCS: 33 bytes, packed,
   little-endian. Address it by these offsets, never through a struct cast.

     offset  width  field  direction
     0       4      size   in   int32, must be SMS_CS_SIZE (33)
     4       1      RAW    in   uint8, index into the translation table
     5       8      dBm    out  IEEE-754 double, the table value for RAW
     13      20     rest   -    neither read nor written by the library
*/
#define SMS_CS_SIZE 33
#define SMS_CS_OFFSET_SIZE 0
#define SMS_CS_OFFSET_RAW 4
#define SMS_CS_OFFSET_DBM 5

/* Number of values of a translation table, and its dBm range. */
#define SMS_TABLE_SIZE 256
#define SMS_DBM_MIN (-140.0)
#define SMS_DBM_MAX 0.0

/* Mode codes. The codes 0..7 are the demodulator's (QMV_MODE_* in
   k740demod.h); the library keeps any code. -1 holds the tables of the
   default mode, which every mode but wide FM (3) shares. */
#define SMS_MODE_DEFAULT (-1)

/* Longest receiver name in bytes, without its terminating zero. */
#define SMS_RECEIVER_NAME_MAX 7

/* LoadCALFile -- opens a calibration set.

   fileName  path of a ".cal" file, or NULL for a new, empty set.

   Answers a CAL handle (0 or more) naming the new set. A handle stays valid
   until Unload; a closed handle is not handed out again until 2^31 sets have
   been opened. The whole
   file is validated before anything is accepted: on failure no set is made.

   LoadCALFile(NULL) always succeeds.

   SMS_ERR_FILE_NAME       fileName is empty, names a folder or something
                           that is not a regular file
   SMS_ERR_FILE_NOT_FOUND  no file by that name (or a folder on its path is
                           missing)
   SMS_ERR_LOAD            the file cannot be read (or memory runs out), is
                           larger than 1 GiB, or
                           is not a valid ".cal" file (bad magic, unknown major
                           version, sizes inconsistent with the file size, CRC
                           mismatch, invalid or unsorted names, duplicate modes
                           or points, values not finite or outside -140..0)
*/
K740_EXPORT int32_t LoadCALFile(const char *fileName);

/* Unload -- closes a set and frees its memory. The handle is invalid after.

   SMS_OK          closed
   SMS_ERR_HANDLE  cal is not an open set
*/
K740_EXPORT int32_t Unload(int32_t cal);

/* GetCS -- reads one value of a translation table.

   cs points to a 33-byte calibration structure whose size field the caller
   set to 33 and whose RAW field names the value wanted. On SMS_OK its dBm
   field holds the table value; on failure the structure is not changed.

   SMS_OK, SMS_ERR_HANDLE, SMS_ERR_RECEIVER_NAME,
   SMS_ERR_CS              cs is NULL
   SMS_ERR_CS_SIZE         the size field is not 33
   SMS_ERR_RECEIVER        the set lacks the receiver name
   SMS_ERR_MODE            the receiver lacks the mode
   SMS_ERR_FREQUENCY       the mode lacks the frequency point
*/
K740_EXPORT int32_t GetCS(int32_t cal, const char *receiver, int32_t mode, uint64_t frequency,
                          void *cs);

/* PutDBMs -- stores a whole translation table.

   dbm points to 256 doubles, index = RAW value; the library only reads them.
   On SMS_OK the point holds exactly these values: it is created, with its
   mode and receiver name, when absent, and its table replaced when present.
   On failure the set is unchanged.

   SMS_OK, SMS_ERR_HANDLE, SMS_ERR_RECEIVER_NAME,
   SMS_ERR_DBM_ARRAY       dbm is NULL or a value is NaN or infinite
   SMS_ERR_DBM_RANGE       a value lies outside -140..0
   SMS_ERR_WRITE           no memory for a new point
*/
K740_EXPORT int32_t PutDBMs(int32_t cal, const char *receiver, int32_t mode, uint64_t frequency,
                            const double *dbm);

/* SaveCALFile -- writes the whole set to a file.

   The set is written to a new file in the target's folder, flushed to disk
   and then renamed over the target, so the target holds either its old bytes
   or the complete new ones. A symbolic link is followed and its target
   replaced. An existing target keeps its permission bits.

   SMS_OK, SMS_ERR_HANDLE,
   SMS_ERR_FILE_NAME  fileName is NULL, empty, ends in '/', names a folder or
                      an existing file that is not a regular file
   SMS_ERR_WRITE      anything failed (folder missing, no permission, disk
                      full, file size limit); the old file is left byte for
                      byte as it was and no temporary file remains
*/
K740_EXPORT int32_t SaveCALFile(int32_t cal, const char *fileName);

/* GetModes -- lists the mode codes a receiver holds, in ascending order.

   buffer      receives int32 mode codes; may be NULL when bufferSize is 0
   bufferSize  size of buffer in bytes

   Answers the byte count of the whole list (4 bytes per mode), whatever the
   buffer size. The buffer is filled with as many whole entries as fit; bytes
   beyond them are not touched. Call with NULL and 0 to learn the size.

   SMS_ERR_HANDLE, SMS_ERR_RECEIVER_NAME,
   SMS_ERR_BUFFER    buffer is NULL and bufferSize above 0, or bufferSize
                     is negative
   SMS_ERR_RECEIVER  the set lacks the receiver name
*/
K740_EXPORT int32_t GetModes(int32_t cal, const char *receiver, int32_t *buffer,
                             int32_t bufferSize);

/* GetFrequencies -- lists a mode's frequency points, in ascending order.

   Like GetModes with uint64 entries: answers the byte count of the whole list
   (8 bytes per point) and fills as many whole entries as fit.

   SMS_ERR_HANDLE, SMS_ERR_RECEIVER_NAME, SMS_ERR_BUFFER, SMS_ERR_RECEIVER,
   SMS_ERR_MODE      the receiver lacks the mode
*/
K740_EXPORT int32_t GetFrequencies(int32_t cal, const char *receiver, int32_t mode,
                                   uint64_t *buffer, int32_t bufferSize);

/* DeleteFrequency -- removes a frequency point and its table. A mode left
   without points, and a receiver left without modes, disappear with it.

   SMS_OK, SMS_ERR_HANDLE, SMS_ERR_RECEIVER_NAME, SMS_ERR_RECEIVER,
   SMS_ERR_MODE,
   SMS_ERR_DELETE    the mode lacks the frequency point
*/
K740_EXPORT int32_t DeleteFrequency(int32_t cal, const char *receiver, int32_t mode,
                                    uint64_t frequency);

/* Pointer types for binding the library at run time. */
typedef int32_t (*SmsLoadCALFileFn)(const char *fileName);
typedef int32_t (*SmsUnloadFn)(int32_t cal);
typedef int32_t (*SmsGetCSFn)(int32_t cal, const char *receiver, int32_t mode, uint64_t frequency,
                              void *cs);
typedef int32_t (*SmsPutDBMsFn)(int32_t cal, const char *receiver, int32_t mode,
                                uint64_t frequency, const double *dbm);
typedef int32_t (*SmsSaveCALFileFn)(int32_t cal, const char *fileName);
typedef int32_t (*SmsGetModesFn)(int32_t cal, const char *receiver, int32_t *buffer,
                                 int32_t bufferSize);
typedef int32_t (*SmsGetFrequenciesFn)(int32_t cal, const char *receiver, int32_t mode,
                                       uint64_t *buffer, int32_t bufferSize);
typedef int32_t (*SmsDeleteFrequencyFn)(int32_t cal, const char *receiver, int32_t mode,
                                        uint64_t frequency);

#ifdef __cplusplus
}
#endif

#endif /* SMETERSDK_H */
