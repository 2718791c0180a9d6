#include "dialogs/tablecsv.h"

#include "calibration/caltransfer.h"
#include "platform/filedialog.h"
#include "platform/messagebox.h"

#include <QDir>
#include <QFileInfo>

namespace TableCsv {

namespace {

QString askFile(QWidget *owner, platform::FileDialogRequest::Kind kind, const QString &title,
                const QString &proposed) {
    return platform::AskFileName(owner, kind, title, QStringLiteral("CSV Files (*.csv)"),
                                 QStringLiteral("csv"), proposed);
}

bool shown(QWidget *owner, const QString &error) {
    platform::ShowError(owner, error);
    return false;
}

} // namespace

QString ExportTableText() {
    return QStringLiteral("Export table as CSV\u2026");
}
QString ImportTableText() {
    return QStringLiteral("Import table from CSV\u2026");
}
QString ExportPointsText() {
    return QStringLiteral("Export all points as CSV\u2026");
}

bool ImportTable(QWidget *owner, const TCsvPoint &point, TDbmTable &table) {
    const QString path = askFile(owner, platform::FileDialogRequest::Open,
                                 QStringLiteral("Import Table from CSV"), QString());
    if (path.isEmpty()) return false;
    QString error;
    if (!CalCsv::ImportTableCsv(path, point.Receiver, point.Mode, point.Frequency, table, error))
        return shown(owner, error);
    return true;
}

bool ExportTable(QWidget *owner, const TCsvPoint &point, const TDbmTable &table) {
    const QString proposed = QStringLiteral("%1 %2 %3 Hz.csv")
                                 .arg(QString::fromLatin1(point.Receiver))
                                 .arg(point.Mode)
                                 .arg(point.Frequency);
    const QString path = askFile(owner, platform::FileDialogRequest::Save,
                                 QStringLiteral("Export Table as CSV"), proposed);
    if (path.isEmpty()) return false;
    QString error;
    if (!CalCsv::ExportTableCsv(path, table, error)) return shown(owner, error);
    return true;
}

bool ExportPoints(QWidget *owner, int32_t cal, const QByteArray &receiver, int32_t mode,
                  const QString &calFileName) {
    const QFileInfo calFile(calFileName.isEmpty() ? QStringLiteral("New.cal") : calFileName);
    const QString name = calFile.completeBaseName() + QStringLiteral(".csv");
    const QString proposed =
        calFileName.contains(QLatin1Char('/')) ? calFile.dir().filePath(name) : name;
    const QString path = askFile(owner, platform::FileDialogRequest::Save,
                                 QStringLiteral("Export All Points as CSV"), proposed);
    if (path.isEmpty()) return false;
    QString error;
    if (!CalTransfer::ExportPointsCsv(path, cal, receiver, mode, error)) return shown(owner, error);
    return true;
}

} // namespace TableCsv
