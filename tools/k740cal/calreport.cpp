#include "calreport.h"

#include "calibration/signalscale.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <limits>
#include <map>
#include <set>
#include <tuple>

namespace CalReport {

namespace {

QString modeText(int32_t mode) {
    return Smsdk::FindModeText(mode).value_or(QStringLiteral("Unknown mode"));
}

QString dbmText(double value) {
    return SignalScale::IsNotSet(value) ? QStringLiteral("not set")
                                        : QString::fromLatin1(CalCsv::DbmText(value));
}

// JSON numbers are doubles to most readers: frequencies above 2^53 would
// lose digits, so those are written as decimal text.
QJsonValue frequencyValue(uint64_t frequency) {
    constexpr uint64_t kExact = uint64_t(1) << 53;
    if (frequency <= kExact) return QJsonValue(qint64(frequency));
    return QJsonValue(QString::number(qulonglong(frequency)));
}

using Key = std::tuple<int, int32_t, uint64_t>;
Key keyOf(const TCsvPoint &point) {
    int model = 0;
    while (model < Smsdk::kModelCount && point.Receiver != Smsdk::ModelNames[model])
        ++model;
    return {model, point.Mode, point.Frequency};
}

} // namespace

bool Summarise(const Smsdk &sdk, int32_t cal, std::vector<TPointSummary> &points, QString &error) {
    std::vector<TPointSummary> read;
    for (const TCsvPoint &point : CalTransfer::ListPoints(sdk, cal)) {
        TDbmTable table;
        if (!CalTransfer::ReadTable(sdk, cal, point, table, error)) return false;
        TPointSummary &summary = read.emplace_back();
        summary.Point = point;
        double low = std::numeric_limits<double>::infinity();
        double high = -low;
        for (double value : table) {
            if (SignalScale::IsNotSet(value)) continue;
            ++summary.SetCount;
            low = std::min(low, value);
            high = std::max(high, value);
        }
        if (summary.SetCount) {
            summary.DbmMin = low;
            summary.DbmMax = high;
        }
    }
    points = std::move(read);
    return true;
}

QString CountsText(const std::vector<TPointSummary> &points) {
    std::set<QByteArray> receivers;
    std::set<std::pair<QByteArray, int32_t>> modes;
    for (const TPointSummary &summary : points) {
        receivers.insert(summary.Point.Receiver);
        modes.insert({summary.Point.Receiver, summary.Point.Mode});
    }
    return QStringLiteral("%1 receiver(s), %2 mode(s), %3 point(s)")
        .arg(receivers.size())
        .arg(modes.size())
        .arg(points.size());
}

QString InfoText(const QString &fileName, const std::vector<TPointSummary> &points) {
    QString text = QStringLiteral("%1: %2\n").arg(fileName, CountsText(points));
    if (points.empty()) return text;
    const auto row = [](const QString &receiver, const QString &mode, const QString &modeName,
                        const QString &frequency, const QString &set, const QString &range) {
        return QStringLiteral("%1  %2  %3  %4  %5  %6")
                   .arg(receiver, -8)
                   .arg(mode, 4)
                   .arg(modeName, -29)
                   .arg(frequency, 14)
                   .arg(set, 3)
                   .arg(range)
                   .trimmed() +
               QLatin1Char('\n');
    };
    text += QLatin1Char('\n');
    text +=
        row(QStringLiteral("Receiver"), QStringLiteral("Mode"), QStringLiteral("Mode text"),
            QStringLiteral("Frequency (Hz)"), QStringLiteral("Set"), QStringLiteral("dBm range"));
    for (const TPointSummary &summary : points) {
        const QString range = summary.SetCount ? QStringLiteral("%1 .. %2")
                                                     .arg(summary.DbmMin, 0, 'f', 1)
                                                     .arg(summary.DbmMax, 0, 'f', 1)
                                               : QStringLiteral("-");
        text +=
            row(QString::fromLatin1(summary.Point.Receiver), QString::number(summary.Point.Mode),
                modeText(summary.Point.Mode), QString::number(summary.Point.Frequency),
                QString::number(summary.SetCount), range);
    }
    return text;
}

QByteArray InfoJson(const QString &fileName, const std::vector<TPointSummary> &points) {
    QJsonArray receivers;
    int modeCount = 0;
    for (std::size_t i = 0; i < points.size();) {
        const QByteArray receiver = points[i].Point.Receiver;
        QJsonArray modes;
        while (i < points.size() && points[i].Point.Receiver == receiver) {
            const int32_t mode = points[i].Point.Mode;
            QJsonArray list;
            for (; i < points.size() && points[i].Point.Receiver == receiver &&
                   points[i].Point.Mode == mode;
                 ++i) {
                const TPointSummary &summary = points[i];
                QJsonObject point{{"frequency_hz", frequencyValue(summary.Point.Frequency)},
                                  {"set", summary.SetCount}};
                point.insert("dbm_min", summary.SetCount ? QJsonValue(summary.DbmMin)
                                                         : QJsonValue(QJsonValue::Null));
                point.insert("dbm_max", summary.SetCount ? QJsonValue(summary.DbmMax)
                                                         : QJsonValue(QJsonValue::Null));
                list.append(point);
            }
            modes.append(QJsonObject{{"code", mode}, {"text", modeText(mode)}, {"points", list}});
            ++modeCount;
        }
        receivers.append(QJsonObject{{"name", QString::fromLatin1(receiver)}, {"modes", modes}});
    }
    const QJsonObject root{{"file", fileName},
                           {"receiver_count", receivers.size()},
                           {"mode_count", modeCount},
                           {"point_count", qint64(points.size())},
                           {"receivers", receivers}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

bool Diff(const Smsdk &sdk, int32_t calA, const QString &nameA, int32_t calB, const QString &nameB,
          QStringList &lines, QString &error) {
    // Both lists come in model-table, mode and frequency order: merge them.
    std::map<Key, std::pair<const TCsvPoint *, const TCsvPoint *>> merged;
    const std::vector<TCsvPoint> pointsA = CalTransfer::ListPoints(sdk, calA);
    const std::vector<TCsvPoint> pointsB = CalTransfer::ListPoints(sdk, calB);
    for (const TCsvPoint &point : pointsA)
        merged[keyOf(point)].first = &point;
    for (const TCsvPoint &point : pointsB)
        merged[keyOf(point)].second = &point;

    QStringList found;
    for (const auto &[key, pair] : merged) {
        const auto [a, b] = pair;
        TDbmTable tableA{}, tableB{};
        if (a && !CalTransfer::ReadTable(sdk, calA, *a, tableA, error)) return false;
        if (b && !CalTransfer::ReadTable(sdk, calB, *b, tableB, error)) return false;
        if (!a || !b) {
            const TDbmTable &table = a ? tableA : tableB;
            const auto set = std::count_if(table.begin(), table.end(),
                                           [](double v) { return !SignalScale::IsNotSet(v); });
            found << QStringLiteral("only in %1: %2 (%3 entries set)")
                         .arg(a ? nameA : nameB, CalTransfer::PointText(a ? *a : *b))
                         .arg(set);
            continue;
        }
        for (int raw = 0; raw < SMS_TABLE_SIZE; ++raw) {
            const double va = tableA[std::size_t(raw)], vb = tableB[std::size_t(raw)];
            if (va == vb) continue;
            found << QStringLiteral("differs: %1, RAW %2: %3 in %4, %5 in %6")
                         .arg(CalTransfer::PointText(*a))
                         .arg(raw)
                         .arg(dbmText(va), nameA, dbmText(vb), nameB);
        }
    }
    lines = found;
    return true;
}

} // namespace CalReport
