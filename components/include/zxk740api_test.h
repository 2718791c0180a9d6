/* zxk740api_test.h -- test-only exports of the receiver API stand-in

  Test-only exports of the stand-in: no real component has them and the
  program never looks them up. Tests load the stand-in by path and bind
  these names themselves; they are declared apart from the component's
  interface header so that its interface stays what the program relies on.
*/
#ifndef ZXK740API_TEST_H
#define ZXK740API_TEST_H

#include <stdint.h>

#include "k740export.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The call log records every call of the fourteen functions of zxk740api.h, in order,
   one line each, "Name(arguments)\n": the handle first, then the integer
   arguments in decimal (frequency words too); K7Open shows its serial in
   quotes or NULL; K7GetRadioList2 shows its buffer size. For example
       K7Open(NULL)
       K7GetEEP(1)
       SetPower(1,1)
       SetFrequency(1,7100000)
   Only the latest 10000 calls are kept. */

/* Copies the log, zero-terminated and cut to size - 1 characters, into
   buffer (if not NULL and size > 0); answers the length of the whole log. */
K740_EXPORT int32_t k7test_CallLog(char *buffer, int32_t size);

/* Empties the call log. */
K740_EXPORT void k7test_ResetCallLog(void);

/* Makes K7GetRadioList2 answer `count` while still writing only what fits
   (to try callers against a faulty library); enable 0 restores it. */
K740_EXPORT void k7test_ForceListCount(int32_t enable, int32_t count);

/* Makes K7GetRadioList2 report this record size (records are still written
   with 196 bytes); 0 restores it. */
K740_EXPORT void k7test_ForceRecordSize(uint32_t size);

/* Closes every handle, empties the call log, drops a forced list count and
   record size, and resets the simulated radio (k740sim_Reset: the
   configuration is read again). */
K740_EXPORT void k7test_Reset(void);

#ifdef __cplusplus
}
#endif

#endif /* ZXK740API_TEST_H */
