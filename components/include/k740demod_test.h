/* k740demod_test.h -- test-only exports of the demodulator module stand-in

  Test-only exports of the stand-in: no real component has them and the
  program never looks them up. Tests load the stand-in by path and bind
  these names themselves; they are declared apart from the component's
  interface header so that its interface stays what the program relies on.
*/
#ifndef K740DEMOD_TEST_H
#define K740DEMOD_TEST_H

#include <stdint.h>

#include "k740export.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The entry-point calls received since the library was first
  loaded, one per line ("qmvPluginInit 256", "qmvPluginStart",
  "qmvPluginNotify 0x800 7100000" with message and value 1, "qmvPluginDone").
  The module stays mapped after an unload, so the record survives it. Copies at most size - 1
  characters and a terminating zero into buffer (if size > 0) and returns the
  full length. */
K740_EXPORT int32_t k740demodTestCalls(char *buffer, int32_t size);

/* Forgets the recorded calls. */
K740_EXPORT void k740demodTestClearCalls(void);

#ifdef __cplusplus
}
#endif

#endif /* K740DEMOD_TEST_H */
