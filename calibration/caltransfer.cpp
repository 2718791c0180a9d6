#include "calibration/caltransfer.h"

namespace CalTransfer {

namespace {
QString libraryFailure(const TCsvPoint &point, const char *call, int32_t result) {
    QString message = Smsdk::ErrorMessage(Smsdk::ResultCode(result));
    if (message.isEmpty())
        message = QStringLiteral("%1 answered %2").arg(QLatin1String(call)).arg(result);
    return PointText(point) + QStringLiteral(": ") + message;
}
} // namespace

QString PointText(const TCsvPoint &point) {
    return QStringLiteral("%1, mode %2, %3 Hz")
        .arg(QString::fromLatin1(point.Receiver))
        .arg(point.Mode)
        .arg(point.Frequency);
}

std::vector<TCsvPoint> ListPoints(const Smsdk &sdk, int32_t cal, const TTableFilter &filter) {
    std::vector<TCsvPoint> points;
    for (const char *name : Smsdk::ModelNames) {
        if (filter.Receiver && *filter.Receiver != name) continue;
        for (int32_t mode : sdk.ReadModes(cal, name).Entries) {
            if (filter.Mode && *filter.Mode != mode) continue;
            for (uint64_t frequency : sdk.ReadFrequencies(cal, name, mode).Entries) {
                if (filter.Frequency && *filter.Frequency != frequency) continue;
                points.push_back({QByteArray(name), mode, frequency});
            }
        }
    }
    return points;
}

bool HasPoint(const Smsdk &sdk, int32_t cal, const TCsvPoint &point) {
    for (uint64_t frequency :
         sdk.ReadFrequencies(cal, point.Receiver.constData(), point.Mode).Entries)
        if (frequency == point.Frequency) return true;
    return false;
}

bool ReadTable(const Smsdk &sdk, int32_t cal, const TCsvPoint &point, TDbmTable &values,
               QString &error) {
    TDbmTable read{};
    for (int raw = 0; raw < SMS_TABLE_SIZE; ++raw) {
        const int32_t result =
            sdk.GetCSValue(cal, point.Receiver.constData(), point.Mode, point.Frequency,
                           uint8_t(raw), read[std::size_t(raw)]);
        if (Smsdk::ResultCode(result) != SMS_OK) {
            error = libraryFailure(point, "GetCS", result);
            return false;
        }
    }
    values = read;
    return true;
}

bool ReadTables(const Smsdk &sdk, int32_t cal, const TTableFilter &filter,
                std::vector<TCsvTable> &tables, QString &error) {
    std::vector<TCsvTable> read;
    for (const TCsvPoint &point : ListPoints(sdk, cal, filter)) {
        TCsvTable &table = read.emplace_back();
        table.Receiver = point.Receiver;
        table.Mode = point.Mode;
        table.Frequency = point.Frequency;
        if (!ReadTable(sdk, cal, point, table.Values, error)) return false;
    }
    tables = std::move(read);
    return true;
}

bool PutTables(const Smsdk &sdk, int32_t cal, const std::vector<TCsvTable> &tables,
               QString &error) {
    for (const TCsvTable &table : tables) {
        const int32_t result = sdk.PutDBMs(cal, table.Receiver.constData(), table.Mode,
                                           table.Frequency, table.Values.data());
        if (Smsdk::ResultCode(result) != SMS_OK) {
            error =
                libraryFailure({table.Receiver, table.Mode, table.Frequency}, "PutDBMs", result);
            return false;
        }
    }
    return true;
}

bool ExportPointsCsv(const QString &path, int32_t cal, const QByteArray &receiver, int32_t mode,
                     QString &error, const Smsdk &sdk) {
    TTableFilter filter;
    filter.Receiver = receiver;
    filter.Mode = mode;
    std::vector<TCsvTable> tables;
    return ReadTables(sdk, cal, filter, tables, error) &&
           CalCsv::WriteFile(path, CalCsv::Write(tables), error);
}

} // namespace CalTransfer
