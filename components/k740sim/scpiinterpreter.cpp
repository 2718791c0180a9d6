#include "scpiinterpreter.h"

#include "k740sim.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace k740sim {

namespace {

std::string Upper(std::string s) {
    for (char &c : s)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string Trim(const std::string &s) {
    const auto b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1);
}

// One node of a command tree: its long form, whose capitals are the short
// form ("FREQuency": FREQ or FREQUENCY), and whether it may be left out.
struct Node {
    const char *mnemonic;
    bool optional;
};

bool Matches(const std::string &word, const char *mnemonic) {
    std::string longForm, shortForm;
    for (const char *p = mnemonic; *p; ++p) {
        longForm += char(std::toupper(static_cast<unsigned char>(*p)));
        if (std::isupper(static_cast<unsigned char>(*p))) shortForm += *p;
    }
    return word == longForm || word == shortForm;
}

bool MatchTree(const std::vector<std::string> &words, std::size_t w, const std::vector<Node> &tree,
               std::size_t n) {
    if (n == tree.size()) return w == words.size();
    if (w < words.size() && Matches(words[w], tree[n].mnemonic) &&
        MatchTree(words, w + 1, tree, n + 1))
        return true;
    return tree[n].optional && MatchTree(words, w, tree, n + 1);
}

const std::vector<Node> FrequencyTree = {{"SOURce", true}, {"FREQuency", false}, {"CW", true}};
const std::vector<Node> FrequencyFixedTree = {
    {"SOURce", true}, {"FREQuency", false}, {"FIXed", false}};
const std::vector<Node> PowerTree = {
    {"SOURce", true}, {"POWer", false}, {"LEVel", true}, {"IMMediate", true}, {"AMPLitude", true}};
const std::vector<Node> LevelTree = {
    {"SOURce", true}, {"LEVel", false}, {"IMMediate", true}, {"AMPLitude", true}};
const std::vector<Node> OutputTree = {{"OUTPut", false}, {"STATe", true}};
const std::vector<Node> ErrorTree = {{"SYSTem", false}, {"ERRor", false}, {"NEXT", true}};

// A number with an optional unit: parsed value times the unit's factor;
// false with the SCPI error of what is wrong.
struct Numeric {
    bool ok = false;
    int code = 0;
    const char *text = "";
    double value = 0;
};

Numeric ParseNumber(const std::string &parameter,
                    const std::vector<std::pair<const char *, double>> &units) {
    Numeric result;
    const char *begin = parameter.c_str();
    char *end = nullptr;
    const double v = std::strtod(begin, &end);
    if (end == begin || !std::isfinite(v)) {
        result.code = -104;
        result.text = "Data type error";
        return result;
    }
    const std::string unit = Upper(Trim(end));
    double factor = unit.empty() ? 1.0 : 0.0;
    for (const auto &[name, f] : units)
        if (unit == name) factor = f;
    if (factor == 0.0) {
        result.code = -131;
        result.text = "Invalid suffix";
        return result;
    }
    result.ok = true;
    result.value = v * factor;
    return result;
}

std::string Number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", v);
    return text;
}

} // namespace

ScpiInterpreter &Interpreter() {
    static ScpiInterpreter interpreter;
    return interpreter;
}

void ScpiInterpreter::Clear() {
    std::lock_guard lock(mutex_);
    errors_.clear();
}

void ScpiInterpreter::Error(int code, const char *text) {
    std::lock_guard lock(mutex_);
    if (errors_.size() >= kQueueSize) {
        errors_.back() = "-350,\"Queue overflow\"";
        return;
    }
    errors_.push_back(std::to_string(code) + ",\"" + text + "\"");
}

std::string ScpiInterpreter::NextError() {
    std::lock_guard lock(mutex_);
    if (errors_.empty()) return "0,\"No error\"";
    std::string e = errors_.front();
    errors_.pop_front();
    return e;
}

std::string ScpiInterpreter::Execute(const std::string &line) {
    std::string answer;
    std::size_t start = 0;
    while (start <= line.size()) {
        std::size_t end = line.find(';', start);
        if (end == std::string::npos) end = line.size();
        Command(Trim(line.substr(start, end - start)), answer);
        start = end + 1;
    }
    return answer;
}

void ScpiInterpreter::Command(std::string text, std::string &answer) {
    if (text.empty()) return;
    const auto space = text.find_first_of(" \t");
    std::string header = Upper(text.substr(0, space));
    const std::string parameter = space == std::string::npos ? "" : Trim(text.substr(space));
    const bool query = !header.empty() && header.back() == '?';
    if (query) header.pop_back();
    auto reply = [&](const std::string &value) {
        if (!answer.empty()) answer += ';';
        answer += value;
    };
    auto noParameter = [&] {
        if (parameter.empty()) return true;
        Error(-108, "Parameter not allowed");
        return false;
    };

    int32_t on = 0;
    uint64_t hz = 0;
    double dbm = 0;
    k740sim_GetGenerator(&on, &hz, &dbm);

    if (header.size() > 1 && header[0] == '*') {
        if (header == "*IDN" && query) {
            if (noParameter()) reply("K740SIM,Bench signal generator,0,1.0");
        } else if (header == "*RST" && !query) {
            if (noParameter()) k740sim_SetGenerator(0, 10'000'000, -73.0);
        } else if (header == "*CLS" && !query) {
            if (noParameter()) Clear();
        } else if (header == "*OPC" && query) {
            if (noParameter()) reply("1");
        } else if ((header == "*OPC" || header == "*WAI") && !query) {
            noParameter();
        } else {
            Error(-113, "Undefined header");
        }
        return;
    }

    std::vector<std::string> words;
    std::size_t from = header.empty() || header[0] != ':' ? 0 : 1;
    while (true) {
        const auto colon = header.find(':', from);
        words.push_back(header.substr(from, colon - from));
        if (colon == std::string::npos) break;
        from = colon + 1;
    }
    for (const std::string &w : words)
        if (w.empty()) {
            Error(-102, "Syntax error");
            return;
        }

    if (MatchTree(words, 0, FrequencyTree, 0) || MatchTree(words, 0, FrequencyFixedTree, 0)) {
        if (query) {
            if (noParameter()) reply(std::to_string(hz));
            return;
        }
        if (parameter.empty()) return Error(-109, "Missing parameter");
        const Numeric n =
            ParseNumber(parameter, {{"HZ", 1}, {"KHZ", 1e3}, {"MHZ", 1e6}, {"GHZ", 1e9}});
        if (!n.ok) return Error(n.code, n.text);
        // Rounded first: "0.009 MHz" is 9 kHz, however the product rounds.
        const double rounded = std::round(n.value);
        if (rounded < kLowestHz || rounded > kHighestHz) return Error(-222, "Data out of range");
        k740sim_SetGenerator(on, uint64_t(rounded), dbm);
    } else if (MatchTree(words, 0, PowerTree, 0) || MatchTree(words, 0, LevelTree, 0)) {
        if (query) {
            if (noParameter()) reply(Number(dbm));
            return;
        }
        if (parameter.empty()) return Error(-109, "Missing parameter");
        const Numeric n = ParseNumber(parameter, {{"DBM", 1}});
        if (!n.ok) return Error(n.code, n.text);
        if (n.value < kLowestDbm || n.value > kHighestDbm) return Error(-222, "Data out of range");
        k740sim_SetGenerator(on, hz, n.value);
    } else if (MatchTree(words, 0, OutputTree, 0)) {
        if (query) {
            if (noParameter()) reply(on ? "1" : "0");
            return;
        }
        if (parameter.empty()) return Error(-109, "Missing parameter");
        const std::string p = Upper(parameter);
        if (p == "ON" || p == "1")
            k740sim_SetGenerator(1, hz, dbm);
        else if (p == "OFF" || p == "0")
            k740sim_SetGenerator(0, hz, dbm);
        else
            Error(-224, "Illegal parameter value");
    } else if (query && MatchTree(words, 0, ErrorTree, 0)) {
        if (noParameter()) reply(NextError());
    } else {
        Error(-113, "Undefined header");
    }
}

} // namespace k740sim
