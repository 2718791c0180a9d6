// The generator that the automatic calibration drives, without windows: a
// link text (generator/linkaddress.h) and the name of a command set
// (generator/commandset.h), kept in the user's settings together with the
// operator's own command sets and the links used last.
//
// Any program reaches a generator the same way:
//
//     QString error;
//     std::unique_ptr<TGenerator> generator = Instrument::CreateGenerator(
//         QStringLiteral("GPIB0::19::INSTR via 127.0.0.1:1234"),
//         QStringLiteral("SCPI POWer"), TLink::kDefaultTimeoutMs, &error);
//     if (!generator) ... error says why (an address that does not parse, an
//                         unknown or faulty command set)
//     generator->Connect(); ...  on a worker thread: every call blocks
//
// Settings (user key): "Generator Link" and "Generator Commands" hold the
// choice, "Generator Recent Links" the last links used (newest first), and
// the array "Generator Command Sets" the operator's sets. A user key of an
// older version, which kept "Sweep Address", "Sweep Port" and "Sweep Level
// Command", gives the same socket and SCPI set as its choice.
#pragma once

#include "generator/commandset.h"
#include "generator/generator.h"
#include "generator/links.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

struct TInstrument {
    QString Link = QStringLiteral("TCPIP0::127.0.0.1::5025::SOCKET");
    QString Commands = TCommandSet::ScpiPower().Name;
    bool operator==(const TInstrument &) const = default;
};

namespace Instrument {

inline constexpr int kRecentLinks = 8;

// The built-in sets, then the operator's in the order saved.
std::vector<TCommandSet> CommandSets();
std::optional<TCommandSet> FindCommandSet(const QString &name);
// Saves (or replaces) one of the operator's sets; false with the reason for
// a set that fails Check() or bears a built-in set's name.
bool SaveCommandSet(const TCommandSet &set, QString *error = nullptr);
// Removes one of the operator's sets; false for a built-in or unknown one.
bool RemoveCommandSet(const QString &name);

QStringList RecentLinks();
// Puts a link first in the recent links (once; at most kRecentLinks kept).
void RememberLink(const QString &link);

// The chosen instrument, and choosing one (which remembers its link).
TInstrument Chosen();
void Choose(const TInstrument &instrument);

// A generator, not yet connected; nullptr with the reason in `error`.
std::unique_ptr<TGenerator> CreateGenerator(const QString &link, const TCommandSet &commands,
                                            int timeoutMs = TLink::kDefaultTimeoutMs,
                                            QString *error = nullptr);
// The same with a command set by name (built-in or saved).
std::unique_ptr<TGenerator> CreateGenerator(const QString &link, const QString &commandSet,
                                            int timeoutMs = TLink::kDefaultTimeoutMs,
                                            QString *error = nullptr);
std::unique_ptr<TGenerator> CreateGenerator(const TInstrument &instrument,
                                            int timeoutMs = TLink::kDefaultTimeoutMs,
                                            QString *error = nullptr);

} // namespace Instrument
