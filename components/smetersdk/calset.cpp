#include "calset.h"

#include <cstring>

namespace smetersdk {

bool MakeReceiverName(const char *text, ReceiverName &name) {
    if (!text) return false;
    const size_t length = strnlen(text, kNameField);
    if (length == 0 || length >= static_cast<size_t>(kNameField)) return false;
    name.fill(0);
    std::memcpy(name.data(), text, length);
    return true;
}

bool IsCanonicalName(const ReceiverName &name) {
    size_t length = 0;
    while (length < name.size() && name[length] != 0)
        ++length;
    if (length == 0 || length >= name.size()) return false;
    for (size_t i = length; i < name.size(); ++i) {
        if (name[i] != 0) return false;
    }
    return true;
}

} // namespace smetersdk
