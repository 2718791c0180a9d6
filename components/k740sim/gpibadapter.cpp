#include "gpibadapter.h"

#include "scpiinterpreter.h"

#include <cctype>
#include <cstdlib>
#include <type_traits>

namespace k740sim {

namespace {

std::string Trim(const std::string &s) {
    const auto b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

// A whole number within low..high.
bool Whole(const std::string &text, int low, int high, int &value) {
    if (text.empty()) return false;
    char *end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (*end != 0 || v < low || v > high) return false;
    value = int(v);
    return true;
}

} // namespace

void GpibAdapter::Line(const std::string &line, std::string &out) {
    if (line.size() >= 2 && line[0] == '+' && line[1] == '+') {
        const std::string rest = Trim(line.substr(2));
        const auto space = rest.find_first_of(" \t");
        std::string name = rest.substr(0, space);
        for (char &c : name)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        Command(name, space == std::string::npos ? "" : Trim(rest.substr(space)), out);
        return;
    }
    // Data for the instrument; only the bench generator listens.
    if (!controller_ || address_ != kGeneratorAddress) return;
    std::string text = line;
    if (!text.empty() && text.back() == '\r') text.pop_back();
    const std::string answer = Interpreter().Execute(text);
    if (answer.empty()) return;
    unread_ = answer;
    hasUnread_ = true;
    if (autoRead_) Command("read", "eoi", out);
}

void GpibAdapter::Command(const std::string &name, const std::string &argument, std::string &out) {
    // A setting without argument answers its value.
    auto setting = [&](auto &value, int low, int high) {
        int v = 0;
        if (argument.empty())
            out += std::to_string(int(value)) + "\n";
        else if (Whole(argument, low, high, v))
            value = static_cast<std::remove_reference_t<decltype(value)>>(v);
    };
    if (name == "ver") {
        out += version_ + "\n";
    } else if (name == "mode") {
        setting(controller_, 0, 1);
    } else if (name == "addr") {
        // "++addr 19" or "++addr 19 96" (with a secondary address, ignored).
        const std::string primary = argument.substr(0, argument.find_first_of(" \t"));
        if (argument.empty())
            out += std::to_string(address_) + "\n";
        else
            Whole(primary, 0, 30, address_);
    } else if (name == "auto") {
        setting(autoRead_, 0, 1);
    } else if (name == "eoi") {
        setting(eoi_, 0, 1);
    } else if (name == "eos") {
        setting(eos_, 0, 3);
    } else if (name == "read_tmo_ms") {
        setting(readTimeoutMs_, 1, 3000);
    } else if (name == "read") {
        // Until EOI (the generator ends every answer with it) or a character:
        // either way the whole answer line.
        if (!controller_ || address_ != kGeneratorAddress) return;
        if (hasUnread_) out += unread_ + "\n";
        unread_.clear();
        hasUnread_ = false;
    } else if (name == "clr") {
        // Selected device clear: the instrument forgets its unread answer.
        if (address_ == kGeneratorAddress) {
            unread_.clear();
            hasUnread_ = false;
        }
    } else if (name == "ifc" || name == "loc" || name == "llo" || name == "rst" ||
               name == "savecfg" || name == "trg") {
        // Accepted; nothing to do on this bench.
    } else {
        out += "Unrecognized command\n";
    }
}

} // namespace k740sim
