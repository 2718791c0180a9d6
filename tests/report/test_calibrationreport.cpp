// The calibration report as a reader of the PDF sees it: pages, page size,
// vector drawing only, the first page's facts and verdict, one page per
// point with its values, results that go on to further pages, and a failed
// report that leaves the file as it was.
#include "report/calibrationreport.h"
#include "reporttesting.h"

#include "calibration/caltransfer.h"
#include "platform/libraryloader.h"
#include "support/testsupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using reporttesting::PageText;
using reporttesting::ReadPdf;

class ReportTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::SetLibrarySearchFolder(testsupport::BinDir());
        ASSERT_TRUE(sdk.Load());
        platform::SetLibrarySearchFolder(QString());
    }
    void TearDown() override {
        if (cal >= 0) sdk.Unload(cal);
    }

    // A saved and reloaded set of these points; every 16th entry not set.
    void MakeSet(const std::vector<std::uint64_t> &points) {
        std::vector<TCsvTable> tables;
        for (std::uint64_t hz : points) {
            TCsvTable table{"ZX-K740", -1, hz, {}};
            for (int raw = 0; raw < 256; ++raw)
                table.Values[std::size_t(raw)] = raw % 16 == 3 ? 0.0 : -130.0 + raw * 0.5;
            tables.push_back(table);
        }
        const std::int32_t fresh = sdk.LoadCALFile(nullptr);
        QString error;
        ASSERT_TRUE(CalTransfer::PutTables(sdk, fresh, tables, error)) << error.toStdString();
        ASSERT_EQ(sdk.SaveCALFile(fresh, QFile::encodeName(calPath).constData()), SMS_OK);
        sdk.Unload(fresh);
        cal = sdk.LoadCALFile(QFile::encodeName(calPath).constData());
        ASSERT_GE(cal, 0);
    }

    TReportFacts Facts() const {
        TReportFacts facts;
        facts.FileName = calPath;
        return facts;
    }

    static TVerification Checked(const std::vector<std::uint64_t> &points, int levels, double error,
                                 int uncalibratedPoint = -1) {
        TVerification v;
        for (int i = 0; i < levels; ++i)
            v.Levels.push_back(-120.0 + 5 * i);
        for (std::size_t p = 0; p < points.size(); ++p) {
            TVerifyPoint point{points[p], {}};
            for (double level : v.Levels) {
                std::optional<double> shown = level + error;
                if (int(p) == uncalibratedPoint && level == v.Levels.front()) shown.reset();
                point.Readings.push_back({level, level, int(level + 140), shown});
            }
            v.Points.push_back(point);
        }
        v.Complete = true;
        return v;
    }

    QTemporaryDir dir;
    QString calPath = dir.filePath("bench.cal");
    QString pdfPath = dir.filePath("bench.pdf");
    Smsdk &sdk = Smsdk::Instance();
    std::int32_t cal = -1;
};

TEST_F(ReportTest, FirstPageAndOnePagePerPointWithTheVerdict) {
    const std::vector<std::uint64_t> points = {3'600'000, 7'100'000, 14'200'000};
    MakeSet(points);
    QFile file(calPath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString sha =
        QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex();

    struct Case {
        const char *name;
        TVerification verification;
        bool withVerification;
        QStringList firstPage; // texts the first page shows
    } cases[] = {
        {"passed",
         Checked(points, 10, 0.3),
         true,
         {QString::fromUtf8("PASS (tolerance \u00b11.0 dB)"), "worst error +0.3 dB", "7.1 MHz",
          "14.2 MHz", "Point \\ dBm", "-120.0", "-75.0", "pass"}},
        {"failed",
         Checked(points, 10, -1.4, 1),
         true,
         {QString::fromUtf8("FAIL (tolerance \u00b11.0 dB)"), "no cal.", "-1.4", "fail"}},
        {"no verification", {}, false, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TReportFacts facts;
        facts.FileName = calPath;
        facts.Receiver = "demo receiver";
        facts.GeneratorIdentity = "K740SIM,Bench signal generator,0,1.0";
        facts.GeneratorLink = "TCPIP0::127.0.0.1::5025::SOCKET";
        facts.Loss = 1.5;
        facts.Date = QDateTime(QDate(2024, 3, 9), QTime(14, 5));
        QString error;
        int pages = 0;
        ASSERT_TRUE(CalibrationReport::Write(pdfPath, sdk, cal, facts,
                                             c.withVerification ? &c.verification : nullptr, error,
                                             &pages))
            << error.toStdString();
        if (qEnvironmentVariableIsSet("K740_REPORT_PDF"))
            QFile::copy(pdfPath, qEnvironmentVariable("K740_REPORT_PDF") + c.name + ".pdf");
        const reporttesting::PdfFacts pdf = ReadPdf(pdfPath);
        EXPECT_EQ(pdf.pages, 4);
        EXPECT_EQ(pages, 4);
        EXPECT_TRUE(pdf.pageSize.contains("A4")) << pdf.pageSize.toStdString();
        EXPECT_EQ(pdf.images, 0) << "text and lines only";
        EXPECT_TRUE(pdf.creator.contains("1.0.6.16"));

        const QString first = PageText(pdf, 1);
        for (const QString &expected :
             QStringList{"Calibration report", "S-Meter Calibrator for ZX-K740 1.0.6.16", calPath,
                         sha, QString::number(QFile(calPath).size()) + " bytes", "ZX-K740",
                         "Default mode (-1)", "demo receiver", "2024-03-09 14:05",
                         "K740SIM,Bench signal generator", "TCPIP0::127.0.0.1::5025::SOCKET",
                         "1.5 dB", "Page 1 of 4"} +
                 c.firstPage)
            EXPECT_TRUE(first.contains(expected)) << expected.toStdString();
        EXPECT_EQ(first.contains("Verification"), c.withVerification);

        for (int i = 0; i < 3; ++i) {
            const QString page = PageText(pdf, i + 2);
            const QString mhz = QStringList{"3.6", "7.1", "14.2"}[i] + " MHz";
            EXPECT_TRUE(page.contains(QStringLiteral("Point %1 of 3: %2").arg(i + 1).arg(mhz)))
                << page.toStdString();
            EXPECT_TRUE(page.contains(QStringLiteral("Page %1 of 4").arg(i + 2)));
            EXPECT_TRUE(page.contains("240 of 256 entries set"));
            EXPECT_EQ(page.count("not set"), 16 + 1); // the entries and the note
            EXPECT_TRUE(page.contains("-130.0")) << "RAW 0";
            EXPECT_TRUE(page.contains("-2.5")) << "RAW 255";
            EXPECT_TRUE(page.contains("-130.0 to -2.5 dBm"));
            if (c.withVerification) {
                EXPECT_TRUE(page.contains(QStringLiteral("verification: %1")
                                              .arg(QString(c.name) == "passed" ? "pass" : "fail")));
            }
        }
    }
}

TEST_F(ReportTest, LongResultsGoOnToFurtherPagesAndEveryPageIsCounted) {
    std::vector<std::uint64_t> points;
    for (int i = 0; i < 40; ++i)
        points.push_back(1'000'000 + std::uint64_t(i) * 250'000);
    MakeSet(points);
    // Twelve levels: two blocks of columns, each with all 40 points.
    const TVerification v = Checked(points, 12, 0.2);
    QString error;
    int pages = 0;
    ASSERT_TRUE(CalibrationReport::Write(pdfPath, sdk, cal, Facts(), &v, error, &pages));
    const reporttesting::PdfFacts pdf = ReadPdf(pdfPath);
    EXPECT_EQ(pdf.pages, pages);
    EXPECT_GE(pages, 1 + 1 + 40);
    const int resultPages = pages - 40;
    QString results;
    for (int n = 1; n <= resultPages; ++n)
        results += PageText(pdf, n);
    EXPECT_EQ(results.count("Point \\ dBm"), 2);
    EXPECT_EQ(results.count("10.75 MHz"), 2) << "each point in both blocks";
    EXPECT_TRUE(results.contains("-65.0")) << "the twelfth level";
    EXPECT_TRUE(PageText(pdf, resultPages + 1).contains("Point 1 of 40: 1000 kHz"));
    EXPECT_TRUE(PageText(pdf, pages).contains(QStringLiteral("Page %1 of %1").arg(pages)));
}

TEST_F(ReportTest, AFailedReportLeavesTheFileAsItWas) {
    MakeSet({7'100'000});
    QFile old(pdfPath);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("an older report");
    old.close();
    struct Case {
        QString path;
        std::int32_t cal;
        QString error;
    } cases[] = {
        {pdfPath, cal + 1000, "Invalid CAL handle."},          // a handle that names no set
        {dir.filePath("missing/x.pdf"), cal, "missing/x.pdf"}, // a folder that is not there
        {dir.path(), cal, dir.path()},                         // a folder, not a file
    };
    for (const Case &c : cases) {
        QString error;
        EXPECT_FALSE(CalibrationReport::Write(c.path, sdk, c.cal, Facts(), nullptr, error));
        EXPECT_TRUE(error.contains(c.error)) << error.toStdString();
    }
    QFile kept(pdfPath);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "an older report");
    EXPECT_FALSE(QFile::exists(dir.filePath("missing")));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList({"bench.cal", "bench.pdf"}))
        << "no half-written file is left behind";
}

} // namespace
