// libFuzzer target for the ".cal" loader: any input must be refused or
// accepted without a crash, a hang or unbounded memory, and an accepted file
// written by the current version must come back byte for byte.
#include "calformat.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    smetersdk::CalSet set;
    if (!smetersdk::ParseCalFile(data, size, set)) return 0;

    std::vector<unsigned char> written;
    smetersdk::WriteCalFile(set, [&](const unsigned char *p, size_t n) {
        written.insert(written.end(), p, p + n);
        return true;
    });
    smetersdk::CalSet again;
    if (!smetersdk::ParseCalFile(written.data(), written.size(), again)) std::abort();

    // A file with the 1.0 layout has exactly one form (the fuzzer build does
    // not check the CRC, so the trailer is left out of the comparison).
    static const uint8_t layout10[] = {1, 0, 0, 0, 32, 0, 0, 0, 12, 0,
                                       0, 0, 8, 0, 0,  0, 8, 8, 0,  0};
    if (std::memcmp(data + 8, layout10, sizeof layout10) == 0 &&
        (written.size() != size || std::memcmp(written.data(), data, size - 4) != 0))
        std::abort();
    return 0;
}
