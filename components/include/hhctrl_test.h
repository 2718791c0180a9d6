/* hhctrl_test.h -- test-only exports of the help viewer stand-in

  Test-only exports of the stand-in: no real component has them and the
  program never looks them up. Tests load the stand-in by path and bind
  these names themselves; they are declared apart from the component's
  interface header so that its interface stays what the program relies on.
*/
#ifndef HHCTRL_TEST_H
#define HHCTRL_TEST_H

#include <stdint.h>

#include "k740export.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Every HtmlHelpA call is recorded as one line, "HtmlHelpA <command>"
   followed by " <file>" when file is not NULL. HhctrlTestCallLog copies the log into
   buffer (at most bufferSize bytes, zero-terminated when there is room) and
   answers its full length in bytes; HhctrlTestClearCallLog empties it. The
   log keeps the first 1 MiB. The log outlives an unload, since the
   component stays mapped once loaded (Qt keeps its classes registered). */
K740_EXPORT int32_t HhctrlTestCallLog(char *buffer, int32_t bufferSize);
K740_EXPORT void HhctrlTestClearCallLog(void);

/* Pointer types for binding them at run time. */
typedef int32_t (*HhctrlTestCallLogFn)(char *buffer, int32_t bufferSize);
typedef void (*HhctrlTestClearCallLogFn)(void);

#ifdef __cplusplus
}
#endif

#endif /* HHCTRL_TEST_H */
