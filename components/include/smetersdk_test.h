/* smetersdk_test.h -- test-only exports of the calibration library stand-in

  Test-only exports of the stand-in: no real component has them and the
  program never looks them up. Tests load the stand-in by path and bind
  these names themselves; they are declared apart from the component's
  interface header so that its interface stays what the program relies on.
*/
#ifndef SMETERSDK_TEST_H
#define SMETERSDK_TEST_H

#include <stdint.h>

#include "k740export.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Records the names of the eight calls of smetersdk.h while recording is on (off at load). Turning
   it on clears the log. SmsdkTestCallLog copies the log -- one name per line, in call order -- into
   buffer (at most bufferSize bytes, zero-terminated when there is room) and answers the log's full
   length in bytes. The log keeps the first 1 MiB of names. */
K740_EXPORT void SmsdkTestRecordCalls(int32_t on);
K740_EXPORT int32_t SmsdkTestCallLog(char *buffer, int32_t bufferSize);

/* Makes every later SaveCALFile fail at one step, as a full
   or failing disk would: SMS_TEST_FAIL_FSYNC (flushing the new file) or
   SMS_TEST_FAIL_RENAME (putting it in place of the target); 0 ends it. */
#define SMS_TEST_FAIL_FSYNC 1
#define SMS_TEST_FAIL_RENAME 2
K740_EXPORT void SmsdkTestFailSave(int32_t step);

/* Pointer types for binding them at run time. */
typedef void (*SmsTestRecordCallsFn)(int32_t on);
typedef int32_t (*SmsTestCallLogFn)(char *buffer, int32_t bufferSize);
typedef void (*SmsTestFailSaveFn)(int32_t step);

#ifdef __cplusplus
}
#endif

#endif /* SMETERSDK_TEST_H */
