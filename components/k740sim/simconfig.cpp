#include "simconfig.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace k740sim {

namespace {

std::string trim(const std::string &s) {
    const char *ws = " \t\r\n";
    const auto first = s.find_first_not_of(ws);
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(ws) - first + 1);
}

bool parseInteger(const std::string &text, long long min, long long max, long long *value) {
    if (text.empty()) return false;
    errno = 0;
    char *end = nullptr;
    const long long v = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < min || v > max) return false;
    *value = v;
    return true;
}

bool parseNumber(const std::string &text, double *value) {
    if (text.empty()) return false;
    char *end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (*end != '\0' || !(v > -1e6 && v < 1e6)) return false;
    *value = v;
    return true;
}

bool setText(char *field, const std::string &text) {
    if (text.size() >= K740SIM_TEXT_SIZE) return false;
    for (unsigned char c : text)
        if (c < 0x20 || c > 0x7E) return false;
    std::memset(field, 0, K740SIM_TEXT_SIZE);
    std::memcpy(field, text.data(), text.size());
    return true;
}

// FNV-1a, so that a receiver without a seed line still gets its own curve.
std::uint32_t hashText(const char *text) {
    std::uint32_t h = 2166136261u;
    for (; *text; ++text)
        h = (h ^ std::uint8_t(*text)) * 16777619u;
    return h;
}

k740sim_info defaultReceiver() {
    k740sim_info info = DemoReceiver();
    info.seed = 0;
    return info;
}

class Parser {
public:
    explicit Parser(std::string origin) : origin_(std::move(origin)) {}

    SimConfig parse(const std::string &text) {
        config_.receivers.push_back(DemoReceiver());
        std::istringstream in(text);
        std::string line;
        while (std::getline(in, line)) {
            ++lineNo_;
            const auto hash = line.find('#');
            if (hash != std::string::npos) line.erase(hash);
            line = trim(line);
            if (line.empty()) continue;
            if (line.front() == '[') {
                finishReceiver();
                if (line == "[receiver]") {
                    open_ = true;
                    valid_ = true;
                    seeded_ = false;
                    current_ = defaultReceiver();
                } else {
                    warn("unknown section " + line);
                }
                continue;
            }
            const auto eq = line.find('=');
            if (eq == std::string::npos) {
                warn("expected key = value");
                continue;
            }
            const std::string key = trim(line.substr(0, eq));
            const std::string value = trim(line.substr(eq + 1));
            if (open_)
                receiverKey(key, value);
            else
                globalKey(key, value);
        }
        finishReceiver();
        return config_;
    }

private:
    void warn(const std::string &what) {
        std::fprintf(stderr, "k740sim: %s:%d: %s\n", origin_.c_str(), lineNo_, what.c_str());
    }
    void fault(const std::string &what) {
        warn(what + "; receiver left out");
        valid_ = false;
    }

    void globalKey(const std::string &key, const std::string &value) {
        long long v;
        if (key == "seed" && parseInteger(value, 0, 0x7FFFFFFFFFFFFFFFll, &v))
            config_.seed = std::uint64_t(v);
        else
            warn("unknown or invalid setting " + key);
    }

    void receiverKey(const std::string &key, const std::string &value) {
        long long v;
        if (key == "serial") {
            if (value.empty() || !setText(current_.serial, value))
                fault("serial text must have 1 to 8 printable characters");
        } else if (key == "type") {
            if (!setText(current_.deviceType, value))
                fault("device type text must have at most 8 printable characters");
        } else if (key == "low" || key == "high") {
            if (!parseInteger(value, 0, 0xFFFFFFFFll, &v))
                fault(key + " must be a frequency in Hz up to 4294967295");
            else
                (key == "low" ? current_.lowestHz : current_.highestHz) = std::uint64_t(v);
        } else if (key == "step") {
            if (!parseInteger(value, 1, 1000000, &v))
                fault("step must be 1 to 1000000 Hz");
            else
                current_.stepHz = std::uint32_t(v);
        } else if (key == "eeprom") {
            std::istringstream fields(value);
            std::string f[5], extra;
            long long n[5];
            bool ok = bool(fields >> f[0] >> f[1] >> f[2] >> f[3] >> f[4]) && !(fields >> extra);
            for (int i = 0; ok && i < 5; ++i)
                ok = i == 3 ? parseInteger(f[i], -32768, 32767, &n[i])
                            : parseInteger(f[i], 0, 65535, &n[i]);
            if (!ok) {
                fault("eeprom needs five integers: high knee low term reference");
            } else {
                current_.agcHigh = std::uint16_t(n[0]);
                current_.agcKnee = std::uint16_t(n[1]);
                current_.agcLow = std::uint16_t(n[2]);
                current_.lowGainTerm = std::int16_t(n[3]);
                current_.referenceGain = std::uint16_t(n[4]);
            }
        } else if (key == "seed") {
            if (!parseInteger(value, 0, 0xFFFFFFFFll, &v))
                fault("seed must be 0 to 4294967295");
            else {
                current_.seed = std::uint32_t(v);
                seeded_ = true;
            }
        } else if (key == "noise") {
            double d;
            if (!parseNumber(value, &d))
                fault("noise must be a density in dBm/Hz");
            else
                current_.noiseDensity = d;
        } else {
            warn("unknown setting " + key);
        }
    }

    void finishReceiver() {
        if (!open_) return;
        open_ = false;
        if (valid_ && current_.serial[0] == '\0') fault("receiver without serial text");
        if (valid_ && current_.lowestHz > current_.highestHz) fault("low is above high");
        for (const k740sim_info &other : config_.receivers)
            if (valid_ && std::strcmp(other.serial, current_.serial) == 0)
                fault(std::string("serial text ") + current_.serial + " is listed twice");
        if (!valid_) return;
        if (!seeded_) current_.seed = hashText(current_.serial);
        config_.receivers.push_back(current_);
    }

    std::string origin_;
    int lineNo_ = 0;
    SimConfig config_;
    k740sim_info current_{};
    bool open_ = false, valid_ = false, seeded_ = false;
};

} // namespace

k740sim_info DemoReceiver() {
    k740sim_info info{};
    setText(info.deviceType, "K740 USB");
    info.lowestHz = 9'000;
    info.highestHz = 3'500'000'000;
    info.stepHz = 1;
    info.agcHigh = 855;
    info.agcKnee = 757;
    info.agcLow = 537;
    info.lowGainTerm = -850;
    info.referenceGain = 700;
    info.seed = 0x740;
    info.noiseDensity = -164.0;
    return info;
}

SimConfig ParseSimConfig(const std::string &text, const std::string &origin) {
    return Parser(origin).parse(text);
}

SimConfig LoadSimConfig() {
    SimConfig config;
    const char *path = std::getenv("K740SIM_CONFIG");
    if (path && *path) {
        std::ifstream file(path, std::ios::binary);
        if (file) {
            std::ostringstream text;
            text << file.rdbuf();
            config = ParseSimConfig(text.str(), path);
        } else {
            std::fprintf(stderr, "k740sim: cannot read %s; demo receiver only\n", path);
        }
    }
    if (config.receivers.empty()) config.receivers.push_back(DemoReceiver());
    long long seed;
    const char *seedText = std::getenv("K740SIM_SEED");
    if (seedText && parseInteger(seedText, 0, 0x7FFFFFFFFFFFFFFFll, &seed))
        config.seed = std::uint64_t(seed);
    return config;
}

} // namespace k740sim
