// k740cal report, run as the real executable on the offscreen platform: the
// PDF it writes, where it writes it, and what it refuses.
#include "calibration/caltransfer.h"
#include "platform/libraryloader.h"
#include "report/reporttesting.h"
#include "support/testsupport.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct ToolRun {
    int exitCode = -1;
    QString out, err;
};

ToolRun Tool(const QStringList &arguments, const QString &folder) {
    QProcess process;
    process.setWorkingDirectory(folder);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // No display and no platform named: the tool picks the offscreen one itself.
    env.remove("QT_QPA_PLATFORM");
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    process.setProcessEnvironment(env);
    process.start(testsupport::BinDir() + "/k740cal", arguments);
    process.waitForFinished(60000);
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

TEST(K740calReport, WritesTheReportAndRefusesWhatItCannotDo) {
    QTemporaryDir dir;
    platform::SetLibrarySearchFolder(testsupport::BinDir());
    Smsdk &sdk = Smsdk::Instance();
    ASSERT_TRUE(sdk.Load());
    platform::SetLibrarySearchFolder(QString());
    std::vector<TCsvTable> tables;
    for (std::uint64_t hz : {3'600'000, 7'100'000})
        tables.push_back({"ZX-K740", -1, hz, {}});
    tables[0].Values[100] = -73.4;
    const std::int32_t cal = sdk.LoadCALFile(nullptr);
    QString error;
    ASSERT_TRUE(CalTransfer::PutTables(sdk, cal, tables, error));
    ASSERT_EQ(sdk.SaveCALFile(cal, QFile::encodeName(dir.filePath("two.cal")).constData()), SMS_OK);
    sdk.Unload(cal);
    QFile junk(dir.filePath("junk.cal"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a calibration file");
    junk.close();

    struct Case {
        QStringList arguments;
        int exit;
        const char *pdf; // the file written, or empty
        const char *err; // part of the message on standard error
    } cases[] = {
        {{"report", "two.cal", "-o", "out.pdf"}, 0, "out.pdf", ""},
        {{"report", "two.cal"}, 0, "two.pdf", ""},
        {{"report", "two.cal", "--output", "missing/out.pdf"}, 1, "", "missing/out.pdf"},
        {{"report", "junk.cal", "-o", "junk.pdf"}, 1, "", "junk.cal"},
        {{"report"}, 2, "", "missing argument FILE"},
        {{"report", "two.cal", "three.cal"}, 2, "", "unexpected argument \"three.cal\""},
        {{"report", "two.cal", "--json"}, 2, "", "json"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const ToolRun run = Tool(c.arguments, dir.path());
        EXPECT_EQ(run.exitCode, c.exit) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QLatin1String(c.err))) << run.err.toStdString();
        if (!*c.pdf) continue;
        EXPECT_EQ(run.out, QStringLiteral("%1: 3 page(s)\n").arg(c.pdf));
        const reporttesting::PdfFacts pdf = reporttesting::ReadPdf(dir.filePath(c.pdf));
        EXPECT_EQ(pdf.pages, 3);
        EXPECT_TRUE(pdf.text.contains("two.cal"));
        EXPECT_TRUE(pdf.text.contains("Point 2 of 2: 7.1 MHz"));
        EXPECT_TRUE(pdf.text.contains("-73.4"));
        EXPECT_TRUE(pdf.text.contains("1 of 256 entries set"));
        QFile::remove(dir.filePath(c.pdf));
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("junk.pdf")));

    const ToolRun help = Tool({"--help"}, dir.path());
    EXPECT_TRUE(help.out.contains("report FILE [-o OUT.pdf]"));
}

} // namespace
