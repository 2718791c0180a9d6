#include "calllog.h"

namespace k7api {

void CallLog::add(const char *name, const std::string &arguments) {
    std::lock_guard guard(mutex_);
    if (lines_.size() == Capacity) lines_.pop_front();
    lines_.push_back(std::string(name) + "(" + arguments + ")\n");
}

std::string CallLog::text() const {
    std::lock_guard guard(mutex_);
    std::string out;
    for (const std::string &line : lines_)
        out += line;
    return out;
}

void CallLog::clear() {
    std::lock_guard guard(mutex_);
    lines_.clear();
}

} // namespace k7api
