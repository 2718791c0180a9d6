#include "generator/instrument.h"

#include "generator/linkaddress.h"
#include "generator/linkgenerator.h"
#include "platform/registry.h"

namespace {

const QString kLink = QStringLiteral("Generator Link");
const QString kCommands = QStringLiteral("Generator Commands");
const QString kRecent = QStringLiteral("Generator Recent Links");
const QString kSets = QStringLiteral("Generator Command Sets");
// What older versions kept.
const QString kOldAddress = QStringLiteral("Sweep Address");
const QString kOldPort = QStringLiteral("Sweep Port");
const QString kOldLevelCommand = QStringLiteral("Sweep Level Command");

struct TField {
    const char *key;
    QString TCommandSet::*line;
};
constexpr TField kFields[] = {
    {"Name", &TCommandSet::Name},
    {"Identity", &TCommandSet::Identity},
    {"Frequency", &TCommandSet::Frequency},
    {"Level", &TCommandSet::Level},
    {"Output On", &TCommandSet::OutputOn},
    {"Output Off", &TCommandSet::OutputOff},
    {"Error Query", &TCommandSet::ErrorQuery},
    {"Completion", &TCommandSet::Completion},
};

std::vector<TCommandSet> SavedSets(QSettings &key) {
    std::vector<TCommandSet> sets;
    const int n = key.beginReadArray(kSets);
    for (int i = 0; i < n; ++i) {
        key.setArrayIndex(i);
        TCommandSet set;
        for (const TField &f : kFields)
            set.*f.line = key.value(QString::fromLatin1(f.key)).toString();
        // A set edited by hand into something unusable is left out.
        if (set.Check().isEmpty() && !set.IsBuiltIn()) sets.push_back(set);
    }
    key.endArray();
    return sets;
}

void WriteSets(QSettings &key, const std::vector<TCommandSet> &sets) {
    key.remove(kSets);
    key.beginWriteArray(kSets, int(sets.size()));
    for (int i = 0; i < int(sets.size()); ++i) {
        key.setArrayIndex(i);
        for (const TField &f : kFields)
            key.setValue(QString::fromLatin1(f.key), sets[std::size_t(i)].*f.line);
    }
    key.endArray();
}

bool SameName(const QString &a, const QString &b) {
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

} // namespace

namespace Instrument {

std::vector<TCommandSet> CommandSets() {
    std::vector<TCommandSet> sets = TCommandSet::BuiltIn();
    const std::unique_ptr<QSettings> key = platform::OpenUserKey();
    for (TCommandSet &set : SavedSets(*key))
        sets.push_back(std::move(set));
    return sets;
}

std::optional<TCommandSet> FindCommandSet(const QString &name) {
    for (TCommandSet &set : CommandSets())
        if (SameName(set.Name, name)) return std::move(set);
    return std::nullopt;
}

bool SaveCommandSet(const TCommandSet &input, QString *error) {
    TCommandSet set = input;
    set.Name = set.Name.trimmed();
    QString reason = set.Check();
    for (const TCommandSet &builtIn : TCommandSet::BuiltIn())
        if (reason.isEmpty() && SameName(builtIn.Name, set.Name))
            reason = QStringLiteral("\"%1\" is a built-in command set; save the changed set "
                                    "under a name of its own.")
                         .arg(builtIn.Name);
    if (!reason.isEmpty()) {
        if (error) *error = reason;
        return false;
    }
    const std::unique_ptr<QSettings> key = platform::OpenUserKey();
    std::vector<TCommandSet> sets = SavedSets(*key);
    auto same = std::find_if(sets.begin(), sets.end(),
                             [&](const TCommandSet &s) { return SameName(s.Name, set.Name); });
    if (same != sets.end())
        *same = set;
    else
        sets.push_back(set);
    WriteSets(*key, sets);
    return true;
}

bool RemoveCommandSet(const QString &name) {
    const std::unique_ptr<QSettings> key = platform::OpenUserKey();
    std::vector<TCommandSet> sets = SavedSets(*key);
    const auto removed =
        std::erase_if(sets, [&](const TCommandSet &s) { return SameName(s.Name, name); });
    if (removed == 0) return false;
    WriteSets(*key, sets);
    return true;
}

QStringList RecentLinks() {
    const std::unique_ptr<QSettings> key = platform::OpenUserKey();
    QStringList links;
    for (const QString &link : key->value(kRecent).toStringList())
        if (!link.trimmed().isEmpty() && !links.contains(link) && links.size() < kRecentLinks)
            links << link;
    return links;
}

void RememberLink(const QString &link) {
    if (link.trimmed().isEmpty()) return;
    QStringList links = RecentLinks();
    links.removeAll(link);
    links.prepend(link);
    while (links.size() > kRecentLinks)
        links.removeLast();
    platform::OpenUserKey()->setValue(kRecent, links);
}

TInstrument Chosen() {
    const std::unique_ptr<QSettings> key = platform::OpenUserKey();
    TInstrument chosen;
    if (const std::optional<QString> link = platform::ReadString(*key, kLink)) {
        chosen.Link = *link;
    } else if (const std::optional<QString> host = platform::ReadString(*key, kOldAddress)) {
        TLinkAddress address;
        address.Host = host->trimmed();
        address.Port = int(platform::ReadInteger(*key, kOldPort).value_or(address.Port));
        chosen.Link = address.Text();
        if (platform::ReadInteger(*key, kOldLevelCommand).value_or(0) == 1)
            chosen.Commands = TCommandSet::ScpiLevel().Name;
    }
    if (const std::optional<QString> commands = platform::ReadString(*key, kCommands))
        chosen.Commands = *commands;
    return chosen;
}

void Choose(const TInstrument &instrument) {
    {
        const std::unique_ptr<QSettings> key = platform::OpenUserKey();
        key->setValue(kLink, instrument.Link);
        key->setValue(kCommands, instrument.Commands);
    }
    RememberLink(instrument.Link);
}

std::unique_ptr<TGenerator> CreateGenerator(const QString &link, const TCommandSet &commands,
                                            int timeoutMs, QString *error) {
    QString reason;
    const std::optional<TLinkAddress> address = TLinkAddress::Parse(link, &reason);
    if (address) reason = commands.Check();
    if (!reason.isEmpty()) {
        if (error) *error = reason;
        return nullptr;
    }
    return std::make_unique<TLinkGenerator>(CreateLink(*address, timeoutMs), commands);
}

std::unique_ptr<TGenerator> CreateGenerator(const QString &link, const QString &commandSet,
                                            int timeoutMs, QString *error) {
    const std::optional<TCommandSet> commands = FindCommandSet(commandSet);
    if (!commands) {
        QStringList names;
        for (const TCommandSet &set : CommandSets())
            names << QLatin1Char('"') + set.Name + QLatin1Char('"');
        if (error)
            *error = QStringLiteral("There is no command set \"%1\"; there are %2.")
                         .arg(commandSet, names.join(QStringLiteral(", ")));
        return nullptr;
    }
    return CreateGenerator(link, *commands, timeoutMs, error);
}

std::unique_ptr<TGenerator> CreateGenerator(const TInstrument &instrument, int timeoutMs,
                                            QString *error) {
    return CreateGenerator(instrument.Link, instrument.Commands, timeoutMs, error);
}

} // namespace Instrument
