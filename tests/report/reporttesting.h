// Reading a written PDF back as a reader would: its page count, page size
// and text (poppler's pdfinfo and pdftotext), and the images it holds.
#pragma once

#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace reporttesting {

inline QString Run(const QString &program, const QStringList &arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0) return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

struct PdfFacts {
    int pages = -1;
    QString pageSize; // "595.276 x 841.89 pts (A4)"
    QString creator;
    QString text;    // every page, pages separated by form feeds
    int images = -1; // embedded raster images
};

inline PdfFacts ReadPdf(const QString &path) {
    PdfFacts facts;
    const QString info = Run(QStringLiteral("pdfinfo"), {path});
    const QRegularExpression pages(QStringLiteral("^Pages:\\s+(\\d+)$"),
                                   QRegularExpression::MultilineOption);
    const QRegularExpression size(QStringLiteral("^Page size:\\s+(.+)$"),
                                  QRegularExpression::MultilineOption);
    const QRegularExpression creator(QStringLiteral("^Creator:\\s+(.+)$"),
                                     QRegularExpression::MultilineOption);
    if (const auto m = pages.match(info); m.hasMatch()) facts.pages = m.captured(1).toInt();
    if (const auto m = size.match(info); m.hasMatch()) facts.pageSize = m.captured(1).trimmed();
    if (const auto m = creator.match(info); m.hasMatch()) facts.creator = m.captured(1).trimmed();
    facts.text =
        Run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    const QString list = Run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), path});
    if (!list.isEmpty()) facts.images = int(list.trimmed().split(QLatin1Char('\n')).size()) - 2;
    return facts;
}

// The text of page `n` (1-based).
inline QString PageText(const PdfFacts &facts, int n) {
    return facts.text.split(QLatin1Char('\f')).value(n - 1);
}

} // namespace reporttesting
