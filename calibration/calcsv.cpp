#include "calibration/calcsv.h"

#include "calibration/signalscale.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <map>
#include <string>
#include <string_view>
#include <tuple>

namespace {

enum Column { cReceiver, cMode, cFrequency, cRaw, cDbm, kColumnCount };
constexpr std::string_view kColumnNames[kColumnCount] = {"receiver", "mode", "frequency_hz", "raw",
                                                         "dbm"};

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// A field of a line: where it starts (for the column of a message) and its
// text without blanks and quotes.
struct Field {
    qsizetype offset = 0;
    std::string_view text;
    std::string unescaped; // a quoted field with doubled quotes
    bool escaped = false;
    std::string_view value() const { return escaped ? std::string_view(unescaped) : text; }
};

// The field's text as a message quotes it, shortened so that a line of
// rubbish does not make a message of a page.
QString quoted(std::string_view text) {
    constexpr std::size_t kLongest = 32;
    QString shown = QString::fromUtf8(text.data(), qsizetype(std::min(text.size(), kLongest)));
    if (text.size() > kLongest) shown += QChar(0x2026);
    return QLatin1Char('"') + shown + QLatin1Char('"');
}

template <typename T> bool parseWhole(std::string_view text, T &value) {
    if (text.empty()) return false;
    const char *end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return result.ec == std::errc() && result.ptr == end;
}

bool onlyDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

int modelIndex(std::string_view name) {
    for (int i = 0; i < Smsdk::kModelCount; ++i)
        if (name == Smsdk::ModelNames[i]) return i;
    return -1;
}

bool knownMode(int32_t mode) {
    return Smsdk::FindModeText(mode).has_value();
}

// One pass over a CSV file: lines, fields, and the refusal with its place.
class Reader {
public:
    Reader(const QByteArray &data, const QString &fileName)
        : data_(data.constData(), std::size_t(data.size())), fileName_(fileName) {
        if (data_.substr(0, kByteOrderMark.size()) == kByteOrderMark) pos_ = kByteOrderMark.size();
    }

    int lineNumber() const { return lineNumber_; }
    std::string_view line() const { return line_; }

    bool nextLine() {
        if (pos_ >= data_.size()) return false;
        const std::size_t newline = data_.find('\n', pos_);
        const std::size_t end = newline == std::string_view::npos ? data_.size() : newline;
        line_ = data_.substr(pos_, end - pos_);
        if (!line_.empty() && line_.back() == '\r') line_.remove_suffix(1);
        pos_ = newline == std::string_view::npos ? data_.size() : newline + 1;
        ++lineNumber_;
        return true;
    }

    bool blankLine() const { return trimmed(line_).empty(); }

    // Splits the current line into fields; false (with the refusal) for a
    // quoted field that is not closed or has text after its closing quote.
    bool split(std::vector<Field> &fields) {
        fields.clear();
        const std::size_t n = line_.size();
        std::size_t i = 0;
        for (;;) {
            while (i < n && isBlank(line_[i]))
                ++i;
            Field &field = fields.emplace_back();
            field.offset = qsizetype(i);
            if (i < n && line_[i] == '"') {
                std::size_t start = ++i;
                for (;;) {
                    const std::size_t quote = line_.find('"', i);
                    if (quote == std::string_view::npos)
                        return fail(field.offset,
                                    QStringLiteral("quoted field has no closing quote"));
                    if (quote + 1 < n && line_[quote + 1] == '"') {
                        field.unescaped.append(line_.substr(start, quote + 1 - start));
                        field.escaped = true;
                        i = start = quote + 2;
                        continue;
                    }
                    field.text = line_.substr(start, quote - start);
                    i = quote + 1;
                    break;
                }
                if (field.escaped) {
                    field.unescaped.append(field.text);
                    field.unescaped = std::string(trimmed(field.unescaped));
                }
                field.text = trimmed(field.text);
                while (i < n && isBlank(line_[i]))
                    ++i;
                if (i < n && line_[i] != ',')
                    return fail(qsizetype(i), QStringLiteral("text after the closing quote"));
            } else {
                const std::size_t comma = std::min(line_.find(',', i), n);
                field.text = trimmed(line_.substr(i, comma - i));
                i = comma;
            }
            if (i >= n) return true;
            ++i; // the comma; a comma at the end of the line starts an empty field
        }
    }

    bool fail(qsizetype offset, const QString &message) {
        // Columns count characters, not bytes.
        int column = 1;
        for (qsizetype k = 0; k < offset && std::size_t(k) < line_.size(); ++k)
            if ((static_cast<unsigned char>(line_[std::size_t(k)]) & 0xC0) != 0x80) ++column;
        error = QStringLiteral("%1:%2:%3: %4")
                    .arg(fileName_)
                    .arg(std::max(lineNumber_, 1))
                    .arg(column)
                    .arg(message);
        return false;
    }
    bool failAtEnd(const QString &message) { return fail(qsizetype(line_.size()), message); }

    QString error;

private:
    std::string_view data_;
    QString fileName_;
    std::size_t pos_ = 0;
    std::string_view line_;
    int lineNumber_ = 0;
};

// One data line, its fields checked and turned into values.
struct Entry {
    int model = -1;
    int32_t mode = 0;
    uint64_t frequency = 0;
    int raw = 0;
    double dbm = 0.0;
};

bool readValue(Reader &reader, Column column, const Field &field, Entry &entry) {
    const std::string_view text = field.value();
    switch (column) {
    case cReceiver:
        entry.model = modelIndex(text);
        if (entry.model < 0)
            return reader.fail(field.offset,
                               QStringLiteral("unknown receiver name %1").arg(quoted(text)));
        return true;
    case cMode:
        if (!parseWhole(text, entry.mode))
            return reader.fail(
                field.offset,
                QStringLiteral("mode code %1 is not a whole number").arg(quoted(text)));
        if (!knownMode(entry.mode))
            return reader.fail(field.offset,
                               QStringLiteral("unknown mode code %1").arg(entry.mode));
        return true;
    case cFrequency: {
        // Spreadsheets may write a whole number with zero decimals.
        std::string_view digits = text;
        const std::size_t point = digits.find('.');
        if (point != std::string_view::npos &&
            digits.find_first_not_of('0', point + 1) == std::string_view::npos)
            digits = digits.substr(0, point);
        if (!onlyDigits(digits))
            return reader.fail(
                field.offset,
                QStringLiteral("frequency %1 is not a whole number of hertz").arg(quoted(text)));
        if (!parseWhole(digits, entry.frequency))
            return reader.fail(field.offset,
                               QStringLiteral("frequency %1 is out of range").arg(quoted(text)));
        return true;
    }
    case cRaw: {
        uint64_t raw = 0;
        if (!onlyDigits(text))
            return reader.fail(
                field.offset,
                QStringLiteral("RAW value %1 is not a whole number").arg(quoted(text)));
        if (!parseWhole(text, raw) || raw > uint64_t(SignalScale::kRawMax))
            return reader.fail(field.offset,
                               QStringLiteral("RAW value %1 is outside 0..255").arg(quoted(text)));
        entry.raw = int(raw);
        return true;
    }
    case cDbm:
        if (!parseWhole(text, entry.dbm) || !std::isfinite(entry.dbm))
            return reader.fail(field.offset,
                               QStringLiteral("dBm value %1 is not a number").arg(quoted(text)));
        if (!SignalScale::IsValidDbm(entry.dbm))
            return reader.fail(field.offset,
                               QStringLiteral("dBm value %1 is outside -140..0").arg(quoted(text)));
        return true;
    case kColumnCount:
        break;
    }
    return false;
}

// The header: the columns it names, in order. The whole format needs all
// five; a table of one point needs raw and dbm, after any of the others.
bool readHeader(Reader &reader, bool wholeFormat, std::vector<Column> &columns) {
    const QString wanted =
        wholeFormat ? QStringLiteral("expected \"%1\"").arg(QLatin1String(CalCsv::kHeader))
                    : QStringLiteral("expected \"%1\", optionally after receiver, mode and "
                                     "frequency_hz")
                          .arg(QLatin1String(CalCsv::kTableHeader));
    const QString expected = QStringLiteral("wrong header: ") + wanted;
    if (!reader.nextLine()) return reader.failAtEnd(QStringLiteral("no header line; ") + wanted);
    std::vector<Field> fields;
    if (!reader.split(fields)) return false;
    columns.clear();
    int next = wholeFormat ? 0 : -1;
    for (const Field &field : fields) {
        int found = -1;
        for (int c = 0; c < kColumnCount; ++c)
            if (field.value() == kColumnNames[c]) found = c;
        const bool inOrder = wholeFormat ? found == next : found > next;
        if (!inOrder) return reader.fail(field.offset, expected);
        columns.push_back(Column(found));
        next = found + (wholeFormat ? 1 : 0);
    }
    const bool complete = wholeFormat ? columns.size() == std::size_t(kColumnCount)
                                      : columns.size() >= 2 && columns.back() == cDbm &&
                                            columns[columns.size() - 2] == cRaw;
    if (!complete) return reader.failAtEnd(expected);
    return true;
}

// Reads the data lines of either form into one entry per line.
template <typename Accept>
bool readEntries(Reader &reader, const std::vector<Column> &columns, Accept accept) {
    std::vector<Field> fields;
    while (reader.nextLine()) {
        if (reader.blankLine()) continue;
        if (!reader.split(fields)) return false;
        if (fields.size() < columns.size())
            return reader.failAtEnd(
                QStringLiteral("missing field \"%1\"")
                    .arg(QLatin1String(kColumnNames[columns[fields.size()]].data())));
        if (fields.size() > columns.size())
            return reader.fail(fields[columns.size()].offset, QStringLiteral("extra field"));
        Entry entry;
        for (std::size_t i = 0; i < columns.size(); ++i)
            if (!readValue(reader, columns[i], fields[i], entry)) return false;
        const Field *rawField = nullptr;
        for (std::size_t i = 0; i < columns.size(); ++i)
            if (columns[i] == cRaw) rawField = &fields[i];
        if (!accept(entry, fields, *rawField)) return false;
    }
    return true;
}

QString pointText(const QByteArray &receiver, int32_t mode, uint64_t frequency) {
    return QStringLiteral("%1, mode %2, %3 Hz")
        .arg(QString::fromLatin1(receiver))
        .arg(mode)
        .arg(frequency);
}

} // namespace

namespace CalCsv {

QByteArray DbmText(double dbm) {
    // Fixed notation is long only for values very near 0; any double fits.
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, dbm, std::chars_format::fixed);
    return QByteArray(buffer, result.ptr - buffer);
}

QByteArray Write(const std::vector<TCsvTable> &tables) {
    QByteArray out;
    out.reserve(qsizetype(sizeof kHeader) + qsizetype(tables.size()) * SMS_TABLE_SIZE * 32);
    out.append(kHeader).append('\n');
    char number[400];
    for (const TCsvTable &table : tables) {
        QByteArray prefix = table.Receiver;
        if (prefix.contains(',') || prefix.contains('"') || prefix.startsWith(' ') ||
            prefix.endsWith(' '))
            prefix = '"' + QByteArray(prefix).replace("\"", "\"\"") + '"';
        prefix.append(',').append(QByteArray::number(table.Mode)).append(',');
        prefix.append(QByteArray::number(qulonglong(table.Frequency))).append(',');
        for (int raw = 0; raw < SMS_TABLE_SIZE; ++raw) {
            const double value = table.Values[std::size_t(raw)];
            if (SignalScale::IsNotSet(value)) continue;
            out.append(prefix);
            char *end = std::to_chars(number, number + sizeof number, raw).ptr;
            *end++ = ',';
            end = std::to_chars(end, number + sizeof number, value, std::chars_format::fixed).ptr;
            *end++ = '\n';
            out.append(number, end - number);
        }
    }
    return out;
}

QByteArray WriteTable(const TDbmTable &values) {
    QByteArray out;
    out.append(kTableHeader).append('\n');
    for (int raw = 0; raw < SMS_TABLE_SIZE; ++raw) {
        const double value = values[std::size_t(raw)];
        if (SignalScale::IsNotSet(value)) continue;
        out.append(QByteArray::number(raw)).append(',').append(DbmText(value)).append('\n');
    }
    return out;
}

bool Parse(const QByteArray &data, const QString &fileName, std::vector<TCsvTable> &tables,
           QString &error) {
    Reader reader(data, fileName);
    std::vector<Column> columns;
    if (!readHeader(reader, true, columns)) {
        error = reader.error;
        return false;
    }
    using Key = std::tuple<int, int32_t, uint64_t>;
    std::map<Key, std::size_t> index;
    std::vector<TCsvTable> read;
    std::vector<std::array<int, SMS_TABLE_SIZE>> lines; // where each entry was given
    Key lastKey{-1, 0, 0};
    std::size_t last = 0;
    const bool ok = readEntries(
        reader, columns,
        [&](const Entry &entry, const std::vector<Field> &, const Field &rawField) {
            const Key key{entry.model, entry.mode, entry.frequency};
            if (read.empty() || key != lastKey) {
                auto found = index.find(key);
                if (found == index.end()) {
                    if (read.size() >= std::size_t(kMaxPoints))
                        return reader.fail(0,
                                           QStringLiteral("more than %1 points").arg(kMaxPoints));
                    found = index.emplace(key, read.size()).first;
                    TCsvTable &table = read.emplace_back();
                    table.Receiver = QByteArray(Smsdk::ModelNames[entry.model]);
                    table.Mode = entry.mode;
                    table.Frequency = entry.frequency;
                    lines.emplace_back().fill(0);
                }
                lastKey = key;
                last = found->second;
            }
            int &line = lines[last][std::size_t(entry.raw)];
            if (line)
                return reader.fail(
                    rawField.offset,
                    QStringLiteral("duplicate entry: RAW %1 of %2 is also on line %3")
                        .arg(entry.raw)
                        .arg(pointText(read[last].Receiver, entry.mode, entry.frequency))
                        .arg(line));
            line = reader.lineNumber();
            read[last].Values[std::size_t(entry.raw)] = entry.dbm;
            return true;
        });
    if (!ok) {
        error = reader.error;
        return false;
    }
    tables = std::move(read);
    return true;
}

bool ParseTable(const QByteArray &data, const QString &fileName, const TCsvPoint &point,
                TDbmTable &values, QString &error) {
    Reader reader(data, fileName);
    std::vector<Column> columns;
    if (!readHeader(reader, false, columns)) {
        error = reader.error;
        return false;
    }
    TDbmTable read{};
    std::array<int, SMS_TABLE_SIZE> lines{};
    const bool ok = readEntries(
        reader, columns,
        [&](const Entry &entry, const std::vector<Field> &fields, const Field &rawField) {
            for (std::size_t i = 0; i < columns.size(); ++i) {
                const qsizetype at = fields[i].offset;
                if (columns[i] == cReceiver && point.Receiver != Smsdk::ModelNames[entry.model])
                    return reader.fail(at,
                                       QStringLiteral("receiver \"%1\" is not the edited point's "
                                                      "receiver \"%2\"")
                                           .arg(QLatin1String(Smsdk::ModelNames[entry.model]),
                                                QString::fromLatin1(point.Receiver)));
                if (columns[i] == cMode && entry.mode != point.Mode)
                    return reader.fail(at,
                                       QStringLiteral("mode %1 is not the edited point's mode %2")
                                           .arg(entry.mode)
                                           .arg(point.Mode));
                if (columns[i] == cFrequency && entry.frequency != point.Frequency)
                    return reader.fail(at,
                                       QStringLiteral("frequency %1 Hz is not the edited point's "
                                                      "frequency %2 Hz")
                                           .arg(entry.frequency)
                                           .arg(point.Frequency));
            }
            int &line = lines[std::size_t(entry.raw)];
            if (line)
                return reader.fail(rawField.offset,
                                   QStringLiteral("duplicate entry: RAW %1 is also on "
                                                  "line %2")
                                       .arg(entry.raw)
                                       .arg(line));
            line = reader.lineNumber();
            read[std::size_t(entry.raw)] = entry.dbm;
            return true;
        });
    if (!ok) {
        error = reader.error;
        return false;
    }
    values = read;
    return true;
}

bool ReadFileBytes(const QString &path, QByteArray &bytes, QString &error) {
    QFile file(path);
    const QFileInfo info(path);
    if (!info.exists()) {
        error = QStringLiteral("%1: no such file").arg(path);
        return false;
    }
    if (info.isDir()) {
        error = QStringLiteral("%1: is a folder").arg(path);
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("%1: cannot open: %2").arg(path, file.errorString());
        return false;
    }
    if (file.size() > kMaxFileSize) {
        error = QStringLiteral("%1: larger than 1 GiB").arg(path);
        return false;
    }
    QByteArray read = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        error = QStringLiteral("%1: cannot read: %2").arg(path, file.errorString());
        return false;
    }
    bytes = std::move(read);
    return true;
}

bool ReadFile(const QString &path, std::vector<TCsvTable> &tables, QString &error) {
    QByteArray bytes;
    return ReadFileBytes(path, bytes, error) && Parse(bytes, path, tables, error);
}

bool WriteFile(const QString &path, const QByteArray &bytes, QString &error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        error = QStringLiteral("%1: cannot write: %2").arg(path, file.errorString());
        return false;
    }
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        error = QStringLiteral("%1: cannot write: %2").arg(path, file.errorString());
        file.cancelWriting();
        return false;
    }
    return true;
}

bool ImportTableCsv(const QString &path, const QByteArray &receiver, int32_t mode,
                    uint64_t frequency, TDbmTable &table, QString &error) {
    QByteArray bytes;
    return ReadFileBytes(path, bytes, error) &&
           ParseTable(bytes, path, TCsvPoint{receiver, mode, frequency}, table, error);
}

bool ExportTableCsv(const QString &path, const TDbmTable &table, QString &error) {
    return WriteFile(path, WriteTable(table), error);
}

} // namespace CalCsv
