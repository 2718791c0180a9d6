#include "generator/commandset.h"

#include <QStringList>

#include <cmath>
#include <optional>

namespace {

enum class TValue { vHz, vKhz, vMhz, vDbm };

struct TPlaceholder {
    TValue Value;
    int Decimals; // -1: as short as exact
};

constexpr int kMostDecimals = 12;

// One placeholder's text between the braces: "mhz", "mhz:6".
std::optional<TPlaceholder> ParsePlaceholder(const QString &text) {
    const QString name = text.section(QLatin1Char(':'), 0, 0).trimmed().toLower();
    TPlaceholder p{TValue::vHz, -1};
    if (name == QLatin1String("hz"))
        p.Value = TValue::vHz;
    else if (name == QLatin1String("khz"))
        p.Value = TValue::vKhz;
    else if (name == QLatin1String("mhz"))
        p.Value = TValue::vMhz;
    else if (name == QLatin1String("dbm"))
        p.Value = TValue::vDbm;
    else
        return std::nullopt;
    if (text.contains(QLatin1Char(':'))) {
        bool ok = false;
        p.Decimals = text.section(QLatin1Char(':'), 1).trimmed().toInt(&ok);
        if (!ok || p.Decimals < 0 || p.Decimals > kMostDecimals) return std::nullopt;
    }
    return p;
}

// Walks a template: literal text to `literal`, each placeholder to `value`.
// The reason when the template is malformed.
template <typename Literal, typename Value>
QString Walk(const QString &line, Literal literal, Value value) {
    qsizetype i = 0;
    while (i < line.size()) {
        const QChar c = line[i];
        if (c == QLatin1Char('{') && i + 1 < line.size() && line[i + 1] == QLatin1Char('{')) {
            literal(QStringLiteral("{"));
            i += 2;
        } else if (c == QLatin1Char('}') && i + 1 < line.size() &&
                   line[i + 1] == QLatin1Char('}')) {
            literal(QStringLiteral("}"));
            i += 2;
        } else if (c == QLatin1Char('{')) {
            const qsizetype close = line.indexOf(QLatin1Char('}'), i + 1);
            if (close < 0) return QStringLiteral("a \"{\" without its \"}\"");
            const QString inner = line.mid(i + 1, close - i - 1);
            const std::optional<TPlaceholder> p = ParsePlaceholder(inner);
            if (!p)
                return QStringLiteral("unknown placeholder \"{%1}\" (use {hz}, {khz}, {mhz} or "
                                      "{dbm}, optionally with \":decimals\")")
                    .arg(inner);
            value(*p);
            i = close + 1;
        } else if (c == QLatin1Char('}')) {
            return QStringLiteral("a \"}\" without its \"{\" (write \"}}\" for a brace)");
        } else {
            literal(QString(c));
            ++i;
        }
    }
    return QString();
}

// hz / 10^scale as decimal text: exact and as short as possible when
// decimals is -1, else rounded half up to exactly that many decimals.
QByteArray Scaled(std::uint64_t hz, int scale, int decimals) {
    std::uint64_t unit = 1;
    for (int i = 0; i < scale; ++i)
        unit *= 10;
    if (decimals >= 0 && decimals < scale) {
        std::uint64_t divisor = 1;
        for (int i = 0; i < scale - decimals; ++i)
            divisor *= 10;
        const std::uint64_t q = hz / divisor + (hz % divisor >= (divisor + 1) / 2 ? 1 : 0);
        hz = q;
        unit /= divisor;
        scale = decimals;
    }
    QByteArray text = QByteArray::number(qulonglong(hz / unit));
    QByteArray fraction = scale > 0
                              ? QByteArray::number(qulonglong(hz % unit)).rightJustified(scale, '0')
                              : QByteArray();
    if (decimals < 0) {
        while (fraction.endsWith('0'))
            fraction.chop(1);
    } else {
        fraction = fraction.leftJustified(decimals, '0');
    }
    if (!fraction.isEmpty()) text += '.' + fraction;
    return text;
}

QByteArray Level(double dbm, int decimals) {
    QByteArray text = QByteArray::number(dbm, 'f', decimals < 0 ? 10 : decimals);
    if (decimals < 0 && text.contains('.')) {
        while (text.endsWith('0'))
            text.chop(1);
        if (text.endsWith('.')) text.chop(1);
    }
    // No "-0" for a level that rounds to zero.
    if (text.startsWith('-') && text.count('0') + text.count('.') + 1 == text.size())
        text.remove(0, 1);
    return text;
}

bool Uses(const QString &line, std::initializer_list<TValue> values) {
    bool found = false;
    Walk(
        line, [](const QString &) {},
        [&](const TPlaceholder &p) {
            for (TValue v : values)
                found = found || p.Value == v;
        });
    return found;
}

} // namespace

TCommandSet TCommandSet::ScpiPower() {
    return {QStringLiteral("SCPI POWer"), QStringLiteral("*IDN?"),   QStringLiteral("FREQ {hz}"),
            QStringLiteral("POW {dbm}"),  QStringLiteral("OUTP ON"), QStringLiteral("OUTP OFF"),
            QStringLiteral("SYST:ERR?"),  QStringLiteral("*OPC?")};
}

TCommandSet TCommandSet::ScpiLevel() {
    TCommandSet set = ScpiPower();
    set.Name = QStringLiteral("SCPI LEVel");
    set.Level = QStringLiteral("LEV {dbm}");
    return set;
}

std::vector<TCommandSet> TCommandSet::BuiltIn() {
    return {ScpiPower(), ScpiLevel()};
}

bool TCommandSet::IsBuiltIn() const {
    for (const TCommandSet &set : BuiltIn())
        if (set.Name == Name) return true;
    return false;
}

QString TCommandSet::Check() const {
    if (Name.trimmed().isEmpty()) return QStringLiteral("The command set has no name.");
    const struct {
        const QString *line;
        const char *what;
        bool required;
    } lines[] = {
        {&Identity, "identity query", false},
        {&Frequency, "frequency", true},
        {&Level, "level", true},
        {&OutputOn, "output on", true},
        {&OutputOff, "output off", true},
        {&ErrorQuery, "error query", false},
        {&Completion, "completion query", false},
    };
    for (const auto &l : lines) {
        const QString what = QString::fromLatin1(l.what);
        if (l.line->trimmed().isEmpty()) {
            if (l.required) return QStringLiteral("The %1 line is empty.").arg(what);
            continue;
        }
        const QString reason = CommandTemplate::CheckLine(*l.line);
        if (!reason.isEmpty()) return QStringLiteral("The %1 line: %2.").arg(what, reason);
    }
    if (!CommandTemplate::UsesFrequency(Frequency))
        return QStringLiteral("The frequency line has no {hz}, {khz} or {mhz}.");
    if (!CommandTemplate::UsesLevel(Level)) return QStringLiteral("The level line has no {dbm}.");
    return QString();
}

namespace CommandTemplate {

QString CheckLine(const QString &line) {
    for (const QChar c : line)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return QStringLiteral("a line break or control character");
        else if (c.unicode() > 0x7E)
            return QStringLiteral("\"%1\" is not an ASCII character").arg(c);
    return Walk(
        line, [](const QString &) {}, [](const TPlaceholder &) {});
}

bool UsesFrequency(const QString &line) {
    return Uses(line, {TValue::vHz, TValue::vKhz, TValue::vMhz});
}

bool UsesLevel(const QString &line) {
    return Uses(line, {TValue::vDbm});
}

QByteArray Expand(const QString &line, std::uint64_t hz, double dbm) {
    QByteArray out;
    Walk(
        line.trimmed(), [&](const QString &text) { out += text.toLatin1(); },
        [&](const TPlaceholder &p) {
            switch (p.Value) {
            case TValue::vHz:
                out += Scaled(hz, 0, p.Decimals);
                break;
            case TValue::vKhz:
                out += Scaled(hz, 3, p.Decimals);
                break;
            case TValue::vMhz:
                out += Scaled(hz, 6, p.Decimals);
                break;
            case TValue::vDbm:
                out += Level(dbm, p.Decimals);
                break;
            }
        });
    return out;
}

} // namespace CommandTemplate
