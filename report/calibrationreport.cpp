#include "report/calibrationreport.h"

#include "calibration/caltransfer.h"
#include "calibration/frequencytext.h"
#include "calibration/signalscale.h"
#include "graph/graphpainter.h"
#include "report/errorplot.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QLocale>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

namespace CalibrationReport {

namespace {

constexpr int kDpi = 300;
constexpr double kPageWidthMm = 210;
constexpr double kPageHeightMm = 297;
constexpr double kMarginMm = 16;
constexpr double kFooterMm = 8;
// The results table: level columns per block, and rows.
constexpr int kLevelsPerBlock = 10;
constexpr double kRowMm = 4.6;
// The size the graph is laid out at before it is scaled onto the page, in
// the graph's own pixels: the proportions of the page's graph area.
constexpr int kGraphWidth = 720;
constexpr double kGraphHeightMm = 105;
constexpr double kPlotHeightMm = 78;

const QColor kPass(0, 110, 0);
const QColor kFail(200, 0, 0);
const QColor kQuiet(110, 110, 110);
const QColor kRule(150, 150, 150);
const QColor kShade(236, 236, 236);

double Mm(double mm) {
    return mm * kDpi / 25.4;
}

QFont Font(double points, bool bold = false, const char *family = "Arial") {
    QFont font(QString::fromLatin1(family));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QString ProgramText() {
    return QStringLiteral("S-Meter Calibrator for ZX-K740 %1")
        .arg(QStringLiteral(K740_VERSION_STRING));
}

QString ModeText(std::int32_t mode) {
    try {
        return QStringLiteral("%1 (%2)").arg(Smsdk::ModeText(mode)).arg(mode);
    } catch (const std::runtime_error &) {
        return QStringLiteral("mode %1").arg(mode);
    }
}

QString DbText(double value) {
    if (std::abs(value) < 0.05) value = 0;
    return QLocale::c().toString(value, 'f', 1);
}

// One line of the results table: a block's header or one point's errors in
// that block.
struct ResultRow {
    int Block = 0;
    int Point = -1; // -1: the header of the block
};

// The pages' common frame: where the content goes, and the footer.
class Pages {
public:
    Pages(QPdfWriter &writer, QPainter &painter, int count, QString fileName)
        : writer_(writer), painter_(painter), count_(count), fileName_(std::move(fileName)) {
        const double width = Mm(kPageWidthMm), height = Mm(kPageHeightMm);
        content_ = QRectF(Mm(kMarginMm), Mm(kMarginMm), width - 2 * Mm(kMarginMm),
                          height - 2 * Mm(kMarginMm) - Mm(kFooterMm));
    }

    const QRectF &Content() const { return content_; }
    int Number() const { return number_; }

    // Ends the page being drawn (its footer) and starts the next.
    void Next() {
        Footer();
        writer_.newPage();
        ++number_;
    }
    void Finish() { Footer(); }

private:
    void Footer() {
        const QFont font = Font(7);
        painter_.setFont(font);
        painter_.setPen(kQuiet);
        const double y = content_.bottom() + Mm(kFooterMm) - Mm(3);
        painter_.drawLine(QPointF(content_.left(), y - Mm(3.2)),
                          QPointF(content_.right(), y - Mm(3.2)));
        const QFontMetricsF fm(font, &writer_);
        QString left = ProgramText();
        if (!fileName_.isEmpty())
            left += QStringLiteral(" \u2014 calibration report of ") + fileName_;
        const QString right = QStringLiteral("Page %1 of %2").arg(number_).arg(count_);
        left = fm.elidedText(left, Qt::ElideMiddle,
                             content_.width() - fm.horizontalAdvance(right) - Mm(6));
        painter_.drawText(QPointF(content_.left(), y), left);
        painter_.drawText(QPointF(content_.right() - fm.horizontalAdvance(right), y), right);
    }

    QPdfWriter &writer_;
    QPainter &painter_;
    int count_;
    QString fileName_;
    QRectF content_;
    int number_ = 1;
};

// Text drawn with its top at y, wrapped to `width`; answers its height.
double Paragraph(QPainter &p, QPaintDevice *device, double x, double y, double width,
                 const QString &text, const QFont &font, const QColor &color) {
    p.setFont(font);
    p.setPen(color);
    const QFontMetricsF fm(font, device);
    const QRectF box =
        fm.boundingRect(QRectF(x, y, width, 1e6), Qt::TextWrapAnywhere | Qt::AlignLeft, text);
    p.drawText(QRectF(x, y, width, box.height() + 1), Qt::TextWrapAnywhere | Qt::AlignLeft, text);
    return std::max(box.height(), fm.height());
}

// The graph of one point, drawn by the graph's code onto `target`.
void PaintCurve(QPainter &p, const QRectF &target, const TCsvTable &table) {
    const int height = int(std::lround(kGraphWidth * target.height() / target.width()));
    TGraphLook look;
    look.Color = clWhite;
    look.AxisColor = clBlack;
    look.GridColor = RGBColor(170, 170, 170);
    look.LabelColor = clBlack;
    look.FontColor = Qt::black;
    look.Font = QFont(QStringLiteral("Arial"));
    look.Font.setPixelSize(11);
    TDBMSets sets;
    auto set = std::make_unique<TDBMSet>();
    set->SetColor(RGBColor(0, 110, 0));
    set->SetName(FrequencyText(table.Frequency));
    for (int raw = 0; raw < SignalScale::kRawCount; ++raw)
        set->SetDBM(raw, table.Values[std::size_t(raw)]);
    sets.push_back(std::move(set));
    p.save();
    p.translate(target.topLeft());
    p.scale(target.width() / kGraphWidth, target.height() / height);
    p.setClipRect(QRect(0, 0, kGraphWidth, height));
    GraphPainter::DrawGraph(p, QSize(kGraphWidth, height), look, sets);
    p.restore();
}

// The 256 values in 16 rows of 16, with RAW headers.
void PaintValues(QPainter &p, const QRectF &area, const TCsvTable &table) {
    const QFont font = Font(6.5);
    const QFont bold = Font(6.5, true);
    const double rowHeight = Mm(4.2);
    const double headerWidth = Mm(11);
    const double cellWidth = (area.width() - headerWidth) / 16;
    const auto cell = [&](int col, int row) {
        return QRectF(area.left() + headerWidth + col * cellWidth, area.top() + row * rowHeight,
                      cellWidth, rowHeight);
    };
    p.setFont(bold);
    p.setPen(Qt::black);
    p.drawText(QRectF(area.left(), area.top(), headerWidth, rowHeight),
               Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("RAW"));
    for (int col = 0; col < 16; ++col)
        p.drawText(cell(col, 0).adjusted(0, 0, -Mm(1), 0), Qt::AlignRight | Qt::AlignVCenter,
                   QStringLiteral("+%1").arg(col));
    for (int row = 0; row < 16; ++row) {
        const QRectF line(area.left(), area.top() + (row + 1) * rowHeight, area.width(), rowHeight);
        if (row % 2 == 0) p.fillRect(line, kShade);
        p.setFont(bold);
        p.setPen(Qt::black);
        p.drawText(QRectF(line.left(), line.top(), headerWidth, rowHeight),
                   Qt::AlignLeft | Qt::AlignVCenter, QString::number(row * 16));
        p.setFont(font);
        for (int col = 0; col < 16; ++col) {
            const double value = table.Values[std::size_t(row * 16 + col)];
            const bool notSet = SignalScale::IsNotSet(value);
            p.setPen(notSet ? kQuiet : Qt::black);
            p.drawText(cell(col, row + 1).adjusted(0, 0, -Mm(1), 0),
                       Qt::AlignRight | Qt::AlignVCenter,
                       notSet ? QStringLiteral("not set") : SignalScale::DbmText(value));
        }
    }
    p.setPen(QPen(kRule, 0));
    p.drawLine(QPointF(area.left(), area.top() + rowHeight),
               QPointF(area.right(), area.top() + rowHeight));
}

// Facts of the first page as label and value.
using Facts = std::vector<std::pair<QString, QString>>;

Facts FirstPageFacts(const TReportFacts &facts, const std::vector<TCsvTable> &tables) {
    Facts lines;
    QString file = facts.FileName.isEmpty() ? QStringLiteral("(not saved)") : facts.FileName;
    lines.emplace_back(QStringLiteral("File"), file);
    QString sha;
    qint64 size = 0;
    if (!facts.FileName.isEmpty() && FileChecksum(facts.FileName, sha, size)) {
        lines.emplace_back(QStringLiteral("Size"), QStringLiteral("%1 bytes").arg(size));
        lines.emplace_back(QStringLiteral("SHA-256"), sha);
        if (facts.Unsaved)
            lines.emplace_back(QString(),
                               QStringLiteral("The set holds changes that are not saved; size and "
                                              "checksum are those of the file on disk."));
    } else if (!facts.FileName.isEmpty()) {
        lines.emplace_back(QStringLiteral("Size"), QStringLiteral("the file cannot be read"));
    }
    QStringList receivers;
    std::set<std::int32_t> seen;
    QStringList modes;
    for (const TCsvTable &table : tables) {
        const QString receiver = QString::fromLatin1(table.Receiver);
        if (!receivers.contains(receiver)) receivers << receiver;
        if (seen.insert(table.Mode).second) modes << ModeText(table.Mode);
    }
    lines.emplace_back(QStringLiteral("Receiver"), receivers.isEmpty()
                                                       ? QStringLiteral("none")
                                                       : receivers.join(QStringLiteral(", ")));
    if (!facts.Receiver.isEmpty())
        lines.emplace_back(QStringLiteral("Measured with"), facts.Receiver);
    lines.emplace_back(QStringLiteral("Modes"),
                       modes.isEmpty() ? QStringLiteral("none") : modes.join(QStringLiteral(", ")));
    lines.emplace_back(QStringLiteral("Points"), QString::number(tables.size()));
    const QDateTime date = facts.Date.isValid() ? facts.Date : QDateTime::currentDateTime();
    lines.emplace_back(QStringLiteral("Date"), date.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    if (!facts.GeneratorIdentity.isEmpty())
        lines.emplace_back(QStringLiteral("Generator"), facts.GeneratorIdentity);
    if (!facts.GeneratorLink.isEmpty())
        lines.emplace_back(QStringLiteral("Link"), facts.GeneratorLink);
    if (facts.Loss) lines.emplace_back(QStringLiteral("Loss"), DbText(*facts.Loss) + " dB");
    if (!facts.Sweep.isEmpty()) lines.emplace_back(QStringLiteral("Sweep"), facts.Sweep);
    return lines;
}

class ReportWriter {
public:
    ReportWriter(QPdfWriter &writer, const std::vector<TCsvTable> &tables,
                 const TReportFacts &facts, const TVerification *verification)
        : writer_(writer), tables_(tables), facts_(facts), verification_(verification) {}

    // The pages: the first, those the results table goes on to, one per point.
    int PageCount() {
        const int firstRows = FirstPageRows();
        const int rest = std::max(0, int(Rows().size()) - firstRows);
        const int perPage = int(ContentHeight() / Mm(kRowMm));
        return 1 + (rest + perPage - 1) / perPage + int(tables_.size());
    }

    void Paint(QPainter &p) {
        Pages pages(writer_, p, PageCount(), QFileInfo(facts_.FileName).fileName());
        const QRectF area = pages.Content();
        double y = FirstPage(p, area);
        const std::vector<ResultRow> rows = Rows();
        std::size_t next = 0;
        while (next < rows.size()) {
            const double bottom = area.bottom();
            while (next < rows.size() && y + Mm(kRowMm) <= bottom + 0.5) {
                // A block's header never ends a page.
                if (rows[next].Point < 0 && y + 2 * Mm(kRowMm) > bottom + 0.5) break;
                ResultLine(p, area, y, rows[next++]);
                y += Mm(kRowMm);
            }
            if (next < rows.size()) {
                pages.Next();
                y = area.top();
            }
        }
        for (std::size_t i = 0; i < tables_.size(); ++i) {
            pages.Next();
            PointPage(p, area, int(i));
        }
        pages.Finish();
    }

private:
    double ContentHeight() const { return Mm(kPageHeightMm) - 2 * Mm(kMarginMm) - Mm(kFooterMm); }

    std::vector<ResultRow> Rows() const {
        std::vector<ResultRow> rows;
        if (!verification_) return rows;
        const int levels = int(verification_->Levels.size());
        const int blocks = std::max(1, (levels + kLevelsPerBlock - 1) / kLevelsPerBlock);
        for (int b = 0; b < blocks; ++b) {
            rows.push_back({b, -1});
            for (std::size_t i = 0; i < verification_->Points.size(); ++i)
                rows.push_back({b, int(i)});
        }
        return rows;
    }

    // How far the first page's text and plot reach, and the rows after them.
    double FirstPageTop(QPainter *p, const QRectF &area) {
        QPaintDevice *device = &writer_;
        double y = area.top();
        const auto paragraph = [&](double x, double width, const QString &text, const QFont &font,
                                   const QColor &color) {
            if (p) return Paragraph(*p, device, x, y, width, text, font, color);
            const QFontMetricsF fm(font, device);
            return std::max(
                fm.height(),
                fm.boundingRect(QRectF(0, 0, width, 1e6), Qt::TextWrapAnywhere, text).height());
        };
        y += paragraph(area.left(), area.width(), QStringLiteral("Calibration report"),
                       Font(18, true), Qt::black);
        y += paragraph(area.left(), area.width(), ProgramText(), Font(9), kQuiet) + Mm(5);
        const double labelWidth = Mm(30);
        for (const auto &[label, value] : FirstPageFacts(facts_, tables_)) {
            paragraph(area.left(), labelWidth, label, Font(9.5, true), Qt::black);
            const bool mono = label == QLatin1String("SHA-256");
            y += paragraph(area.left() + labelWidth, area.width() - labelWidth, value,
                           mono ? Font(8.5, false, "Courier New") : Font(9.5), Qt::black) +
                 Mm(1);
        }
        if (!verification_) return y;
        y += Mm(5);
        const TVerification &v = *verification_;
        y += paragraph(area.left(), area.width(), QStringLiteral("Verification"), Font(12, true),
                       Qt::black) +
             Mm(1);
        const QColor verdictColor = v.Passed() ? kPass : kFail;
        y += paragraph(area.left(), area.width(), v.VerdictText(), Font(12, true), verdictColor);
        QString summary = QStringLiteral("%1 point(s), %2 level(s) each (%3 dBm at the generator, "
                                         "loss %4 dB); %5 reading(s), %6 outside the tolerance "
                                         "or without calibration")
                              .arg(v.Points.size())
                              .arg(v.Levels.size())
                              .arg(Verification::LevelsText(v.Levels), DbText(v.Loss))
                              .arg(v.ReadingCount())
                              .arg(v.FailureCount());
        if (const std::optional<double> worst = v.WorstError())
            summary += QStringLiteral("; worst error %1 dB")
                           .arg(Verification::ErrorText({0, 0, 0, *worst}));
        summary += QLatin1Char('.');
        if (!v.Identity.isEmpty() && facts_.GeneratorIdentity.isEmpty())
            summary += QStringLiteral(" Generator: ") + v.Identity + QLatin1Char('.');
        y += paragraph(area.left(), area.width(), summary, Font(9.5), Qt::black) + Mm(3);
        const QRectF plot(area.left(), y, area.width(), Mm(kPlotHeightMm));
        if (p) PaintErrorPlot(*p, plot);
        return plot.bottom() + Mm(4);
    }

    int FirstPageRows() {
        if (!verification_) return 0;
        const QRectF area(Mm(kMarginMm), Mm(kMarginMm), Mm(kPageWidthMm) - 2 * Mm(kMarginMm),
                          ContentHeight());
        const double top = FirstPageTop(nullptr, area);
        const std::vector<ResultRow> rows = Rows();
        int fit = int(std::floor((area.bottom() + 0.5 - top) / Mm(kRowMm)));
        fit = std::clamp(fit, 0, int(rows.size()));
        // A header alone at the bottom goes to the next page with its rows.
        if (fit > 0 && rows[std::size_t(fit - 1)].Point < 0) --fit;
        return fit;
    }

    double FirstPage(QPainter &p, const QRectF &area) { return FirstPageTop(&p, area); }

    void PaintErrorPlot(QPainter &p, const QRectF &target) {
        // Laid out in the plot's own pixels, scaled onto the page as vectors.
        const int width = 760;
        const int height = int(std::lround(width * target.height() / target.width()));
        TErrorPlotLook look = TErrorPlotLook::Print();
        p.save();
        p.translate(target.topLeft());
        p.scale(target.width() / width, target.height() / height);
        ErrorPlot::Paint(p, QRect(0, 0, width, height), *verification_, look);
        p.restore();
    }

    void ResultLine(QPainter &p, const QRectF &area, double y, const ResultRow &row) {
        const TVerification &v = *verification_;
        const int first = row.Block * kLevelsPerBlock;
        const int count = std::min(kLevelsPerBlock, int(v.Levels.size()) - first);
        const double pointWidth = Mm(24);
        const double endWidth = Mm(18);
        const double cellWidth = (area.width() - pointWidth - 2 * endWidth) / kLevelsPerBlock;
        const double h = Mm(kRowMm);
        const auto cell = [&](double x, double w) {
            return QRectF(x, y, w, h).adjusted(0, 0, -Mm(1), 0);
        };
        const double endX = area.left() + pointWidth + count * cellWidth;
        if (row.Point < 0) {
            p.setFont(Font(7, true));
            p.setPen(Qt::black);
            p.drawText(cell(area.left(), pointWidth), Qt::AlignLeft | Qt::AlignVCenter,
                       QStringLiteral("Point \\ dBm"));
            for (int i = 0; i < count; ++i)
                p.drawText(cell(area.left() + pointWidth + i * cellWidth, cellWidth),
                           Qt::AlignRight | Qt::AlignVCenter,
                           DbText(v.Levels[std::size_t(first + i)] - v.Loss));
            p.drawText(cell(endX, endWidth), Qt::AlignRight | Qt::AlignVCenter,
                       QStringLiteral("Worst"));
            p.drawText(cell(endX + endWidth, endWidth), Qt::AlignRight | Qt::AlignVCenter,
                       QStringLiteral("Result"));
            p.setPen(QPen(kRule, 0));
            p.drawLine(QPointF(area.left(), y + h), QPointF(endX + 2 * endWidth, y + h));
            return;
        }
        const TVerifyPoint &point = v.Points[std::size_t(row.Point)];
        if (row.Point % 2 == 1)
            p.fillRect(QRectF(area.left(), y, endX + 2 * endWidth - area.left(), h), kShade);
        p.setFont(Font(7));
        p.setPen(Qt::black);
        p.drawText(cell(area.left(), pointWidth), Qt::AlignLeft | Qt::AlignVCenter,
                   FrequencyText(point.Hz));
        bool pass = true;
        std::optional<double> worst;
        bool uncalibrated = false;
        for (const TVerifyReading &reading : point.Readings) {
            pass = pass && v.Passes(reading);
            if (!reading.Shown)
                uncalibrated = true;
            else if (!worst || std::abs(reading.Error()) > std::abs(*worst))
                worst = reading.Error();
        }
        for (int i = 0; i < count; ++i) {
            const std::size_t index = std::size_t(first + i);
            if (index >= point.Readings.size()) continue;
            const TVerifyReading &reading = point.Readings[index];
            p.setPen(v.Passes(reading) ? kPass : kFail);
            p.drawText(cell(area.left() + pointWidth + i * cellWidth, cellWidth),
                       Qt::AlignRight | Qt::AlignVCenter,
                       reading.Shown ? Verification::ErrorText(reading)
                                     : QStringLiteral("no cal."));
        }
        pass = pass && point.Readings.size() == v.Levels.size();
        p.setPen(pass ? kPass : kFail);
        p.drawText(cell(endX, endWidth), Qt::AlignRight | Qt::AlignVCenter,
                   uncalibrated || !worst ? QStringLiteral("no cal.")
                                          : Verification::ErrorText({0, 0, 0, *worst}));
        p.drawText(cell(endX + endWidth, endWidth), Qt::AlignRight | Qt::AlignVCenter,
                   pass ? QStringLiteral("pass") : QStringLiteral("fail"));
    }

    void PointPage(QPainter &p, const QRectF &area, int index) {
        const TCsvTable &table = tables_[std::size_t(index)];
        double y = area.top();
        y += Paragraph(p, &writer_, area.left(), y, area.width(),
                       QStringLiteral("Point %1 of %2: %3")
                           .arg(index + 1)
                           .arg(tables_.size())
                           .arg(FrequencyText(table.Frequency)),
                       Font(12, true), Qt::black);
        int set = 0;
        double low = 0, high = 0;
        for (double value : table.Values) {
            if (SignalScale::IsNotSet(value)) continue;
            low = set == 0 ? value : std::min(low, value);
            high = set == 0 ? value : std::max(high, value);
            ++set;
        }
        y += Paragraph(p, &writer_, area.left(), y, area.width(),
                       QStringLiteral("%1 \u00b7 %2 \u00b7 %3 Hz")
                           .arg(QString::fromLatin1(table.Receiver), ModeText(table.Mode))
                           .arg(table.Frequency),
                       Font(9.5), Qt::black);
        QString line = QStringLiteral("%1 of 256 entries set").arg(set);
        if (set > 0) line += QStringLiteral(", %1 to %2 dBm").arg(DbText(low), DbText(high));
        if (const TVerifyPoint *checked = Checked(table)) {
            bool pass = checked->Readings.size() == verification_->Levels.size();
            for (const TVerifyReading &reading : checked->Readings)
                pass = pass && verification_->Passes(reading);
            line += QStringLiteral("; verification: %1").arg(pass ? "pass" : "fail");
        }
        y += Paragraph(p, &writer_, area.left(), y, area.width(), line + QLatin1Char('.'),
                       Font(9.5), Qt::black) +
             Mm(3);
        const QRectF graph(area.left(), y, area.width(), Mm(kGraphHeightMm));
        PaintCurve(p, graph, table);
        y = graph.bottom() + Mm(5);
        PaintValues(p, QRectF(area.left(), y, area.width(), Mm(4.2) * 17), table);
        y += Mm(4.2) * 17 + Mm(2);
        Paragraph(p, &writer_, area.left(), y, area.width(),
                  QStringLiteral("dBm for each RAW value (row + column); \"not set\" marks an "
                                 "entry that holds no calibration."),
                  Font(7), kQuiet);
    }

    // The verification's results at a point of the default mode, if any.
    const TVerifyPoint *Checked(const TCsvTable &table) const {
        if (!verification_) return nullptr;
        for (const TVerifyPoint &point : verification_->Points)
            if (point.Hz == table.Frequency) return &point;
        return nullptr;
    }

    QPdfWriter &writer_;
    const std::vector<TCsvTable> &tables_;
    const TReportFacts &facts_;
    const TVerification *verification_;
};

} // namespace

bool FileChecksum(const QString &path, QString &sha256, qint64 &size) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file)) return false;
    sha256 = QString::fromLatin1(hash.result().toHex());
    size = file.size();
    return true;
}

bool Write(const QString &pdfPath, const Smsdk &sdk, std::int32_t cal, const TReportFacts &facts,
           const TVerification *verification, QString &error, int *pageCount) {
    // A handle that names no set would read as an empty one.
    const std::int32_t code =
        Smsdk::ResultCode(sdk.GetModes(cal, Smsdk::kReceiverName, nullptr, 0));
    if (code == SMS_ERR_HANDLE) {
        error = Smsdk::ErrorMessage(code);
        return false;
    }
    std::vector<TCsvTable> tables;
    if (!CalTransfer::ReadTables(sdk, cal, {}, tables, error)) return false;

    QSaveFile file(pdfPath);
    if (!file.open(QIODevice::WriteOnly)) {
        error = QStringLiteral("%1: %2").arg(pdfPath, file.errorString());
        return false;
    }
    {
        QPdfWriter writer(&file);
        writer.setResolution(kDpi);
        writer.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        writer.setTitle(
            QStringLiteral("Calibration report %1").arg(QFileInfo(facts.FileName).fileName()));
        writer.setCreator(ProgramText());
        ReportWriter report(writer, tables, facts, verification);
        if (pageCount) *pageCount = report.PageCount();
        QPainter painter;
        if (!painter.begin(&writer)) {
            error = QStringLiteral("%1: the PDF cannot be started.").arg(pdfPath);
            file.cancelWriting();
            return false;
        }
        report.Paint(painter);
        painter.end();
    }
    if (!file.commit()) {
        error = QStringLiteral("%1: %2").arg(pdfPath, file.errorString());
        return false;
    }
    return true;
}

} // namespace CalibrationReport
