// Reading and writing ".cal" files on disk. Both answer a library result
// code (smetersdk.h).
#pragma once

#include "calset.h"

#include <cstdint>

namespace smetersdk {

// Reads and validates a whole file; `set` changes only on SMS_OK.
int32_t LoadFile(const char *path, CalSet &set);

// Writes `set` to a new file beside the target, flushes it to disk and
// renames it over the target; on failure the target is untouched and the
// new file removed.
int32_t SaveFile(const char *path, const CalSet &set);

// Tests: the step at which SaveFile fails (SMS_TEST_FAIL_*, 0: none).
void FailSaveAt(int32_t step);

} // namespace smetersdk
