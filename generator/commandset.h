// The commands a generator understands, as a template of one line per
// operation. The two SCPI sets are templates like the operator's own, so
// every instrument is driven by one code path.
//
// A line is sent as written, with its placeholders replaced:
//
//     {hz}  {khz}  {mhz}   the frequency in Hz, kHz or MHz
//     {dbm}                the level in dBm
//     {mhz:6}              the same with exactly 6 decimals (0 to 12)
//     {{  }}               a literal brace
//
// Without decimals a value is written as short as it is exact: 7100000 Hz is
// "7100000", "7100" kHz and "7.1" MHz; -73.5 dBm is "-73.5". Names are not
// case-sensitive.
//
// Frequency, level, output on and output off are required. The identity
// query (its answer names the instrument when it connects), the error query
// (its answer begins with a number, 0 for no error: "0,\"No error\"") and the
// completion query (answered with 1 once a setting is done) may be empty.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

struct TCommandSet {
    QString Name;
    QString Identity;
    QString Frequency;
    QString Level;
    QString OutputOn;
    QString OutputOff;
    QString ErrorQuery;
    QString Completion;

    bool operator==(const TCommandSet &) const = default;

    // "SCPI POWer" (the default) and "SCPI LEVel": the standard tree and the
    // one of generators that set their level with LEVel.
    static TCommandSet ScpiPower();
    static TCommandSet ScpiLevel();
    static std::vector<TCommandSet> BuiltIn();
    bool IsBuiltIn() const;

    // Empty when the set can be used, else what is wrong with it (a required
    // line missing, an unknown placeholder, a line break or control
    // character, a frequency line without a frequency or a level line
    // without the level).
    QString Check() const;
};

namespace CommandTemplate {

// The line with its placeholders replaced; the template must pass Check().
QByteArray Expand(const QString &line, std::uint64_t hz, double dbm);

// Empty when the line is a valid template, else the reason.
QString CheckLine(const QString &line);

// Whether the line uses a frequency placeholder ({hz}, {khz}, {mhz}), or {dbm}.
bool UsesFrequency(const QString &line);
bool UsesLevel(const QString &line);

} // namespace CommandTemplate
