#include "calhints.h"

#include "calibration/calcsv.h"

#include <QFile>

#include <map>
#include <stdexcept>
#include <utility>
#include <vector>

namespace CalHints {

QStringList HeldPoints(const Smsdk &sdk, int32_t cal, int shown) {
    std::map<std::pair<QByteArray, int32_t>, std::vector<uint64_t>> groups;
    for (const TCsvPoint &point : CalTransfer::ListPoints(sdk, cal))
        groups[{point.Receiver, point.Mode}].push_back(point.Frequency);
    if (groups.empty()) return {QStringLiteral("no points")};
    QStringList lines;
    for (const auto &[key, frequencies] : groups) {
        QString mode = QString::number(key.second);
        try {
            mode += QStringLiteral(" (%1)").arg(Smsdk::ModeText(key.second));
        } catch (const std::runtime_error &) {
            // A code the mode table lacks is shown as the number alone.
        }
        QStringList listed;
        for (std::size_t i = 0; i < frequencies.size() && int(i) < shown; ++i)
            listed << QString::number(frequencies[i]);
        QString line = QStringLiteral("%1, mode %2: %3 point(s): %4 Hz")
                           .arg(QString::fromLatin1(key.first), mode)
                           .arg(frequencies.size())
                           .arg(listed.join(QStringLiteral(", ")));
        if (frequencies.size() > std::size_t(shown))
            line += QStringLiteral(" and %1 more").arg(frequencies.size() - std::size_t(shown));
        lines << line;
    }
    return lines;
}

QString FilterText(const TTableFilter &filter) {
    QStringList options;
    if (filter.Receiver)
        options << QStringLiteral("--receiver ") + QString::fromLatin1(*filter.Receiver);
    if (filter.Mode) options << QStringLiteral("--mode %1").arg(*filter.Mode);
    if (filter.Frequency) options << QStringLiteral("--frequency %1").arg(*filter.Frequency);
    return options.join(QLatin1Char(' '));
}

bool LooksLikeCsv(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    if (path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive)) return true;
    QByteArray line = file.readLine(4096);
    if (line.startsWith("\xEF\xBB\xBF")) line.remove(0, 3);
    line = line.trimmed().toLower();
    line.replace('"', QByteArray());
    line.replace(' ', QByteArray());
    return line.startsWith(CalCsv::kHeader) || line.startsWith(CalCsv::kTableHeader);
}

QString CsvGivenText(const QString &path) {
    return QStringLiteral("%1 is a CSV file, not a calibration file; import it into one with "
                          "\"k740cal import FILE.cal %1\"")
        .arg(path);
}

} // namespace CalHints
