// Verify and Report… of the main window against the simulated generator over
// its socket: every point of the open set checked with the Sweep window's
// link and loss, the set left as it was, the output off afterwards, and the
// report carrying the verification's verdict.
#include "calibration/frequencytext.h"
#include "calibration/signalscale.h"
#include "controls/stalignedit.h"
#include "dialogs/u_instrumentform.h"
#include "dialogs/u_sweepform.h"
#include "dialogs/u_verifyform.h"
#include "mainformtesting.h"
#include "report/reporttesting.h"

#include <QLabel>
#include <QTcpSocket>

using namespace mainformtesting;
using testsupport::Child;

namespace {

using ProofTest = BenchWindowTest;

TEST_F(ProofTest, VerifyEveryPointThenReportWithTheVerdict) {
    Start();
    Open(0);
    ASSERT_TRUE(Receiver().IsOpen());
    const int port = RemotePort();
    ASSERT_GE(port, 5025);
    EXPECT_FALSE(Control("BVerify").isEnabled()) << "no set, no points";
    EXPECT_FALSE(Control("BReport").isEnabled());

    // A set whose tables read -140 dBm plus half the RAW value, RAW 0 not set.
    Smsdk &sdk = Smsdk::Instance();
    const std::int32_t mode = Smsdk::CalibrationMode(Receiver().CurrentMode());
    TDbmTable table;
    for (int raw = 0; raw < 256; ++raw)
        table[std::size_t(raw)] = raw == 0 ? SignalScale::kNotSet : -140.0 + raw * 0.5;
    const QString calPath = temp.filePath("two.cal");
    const std::int32_t cal = sdk.LoadCALFile(nullptr);
    for (std::uint64_t hz : {3'600'000ull, 7'100'000ull})
        ASSERT_EQ(sdk.PutDBMs(cal, Smsdk::kReceiverName, mode, hz, table.data()), SMS_OK);
    ASSERT_EQ(sdk.SaveCALFile(cal, QFile::encodeName(calPath).constData()), SMS_OK);
    sdk.Unload(cal);
    QFile calFile(calPath);
    ASSERT_TRUE(calFile.open(QIODevice::ReadOnly));
    const QByteArray before = calFile.readAll();
    calFile.close();
    {
        testsupport::FileDialogRecorder files({calPath});
        Click(Control("stSpeedButton4"));
    }
    ASSERT_TRUE(Control("BVerify").isEnabled());
    ASSERT_TRUE(Control("BReport").isEnabled());

    // The generator as the Sweep window has it, with a loss of 2 dB.
    auto &sweep = Window<TSweepForm>();
    const QString chosen = QStringLiteral("TCPIP0::127.0.0.1::%1::SOCKET").arg(port);
    TstForm::SetModalResponder([&](TstForm &f) {
        EXPECT_TRUE(dynamic_cast<TInstrumentForm *>(&f));
        Child<TstAlignEdit>(f, "ELink").setText(chosen);
        Click(Child(f, "BOk"));
        return int(mrCancel);
    });
    Click(Child(sweep, "BInstrument"));
    TstForm::SetModalResponder(nullptr);
    Child<TstAlignEdit>(sweep, "ELoss").setText("2");
    Child<TstAlignEdit>(sweep, "ESettle").setText("10");
    Child<TstAlignEdit>(sweep, "EReadings").setText("3");

    auto &verify = Window<TVerifyForm>();
    QString link;
    TstForm::SetModalResponder([&](TstForm &f) {
        EXPECT_EQ(&f, &verify);
        link = Child<TmyLabel>(f, "GeneratorText").Caption();
        Child<TstAlignEdit>(f, "Levels").setText("-100:-60:20");
        Click(Child(f, "Start"));
        [&] { QTRY_VERIFY_WITH_TIMEOUT(!verify.Running(), 30000); }();
        Click(Child(f, "Close"));
        return int(mrCancel);
    });
    Click(Control("BVerify"));
    TstForm::SetModalResponder(nullptr);

    EXPECT_TRUE(link.startsWith(chosen + QStringLiteral(", SCPI POWer; loss 2 dB")))
        << link.toStdString();
    const TVerification &results = verify.Results();
    ASSERT_TRUE(results.Complete);
    ASSERT_EQ(results.Points.size(), 2u);
    EXPECT_EQ(results.Points[0].Hz, 3'600'000u);
    EXPECT_EQ(results.Points[1].Hz, 7'100'000u);
    for (const TVerifyPoint &point : results.Points) {
        ASSERT_EQ(point.Readings.size(), 3u);
        for (const TVerifyReading &r : point.Readings) {
            EXPECT_DOUBLE_EQ(r.Applied, r.Level - 2.0);
            if (r.Raw == 0)
                EXPECT_FALSE(r.Shown);
            else
                EXPECT_EQ(r.Shown, std::optional<double>(-140.0 + r.Raw * 0.5));
        }
        // A louder signal reads a higher RAW value.
        EXPECT_LT(point.Readings[0].Raw, point.Readings[2].Raw);
    }
    EXPECT_EQ(Ask(port, "OUTP?"), "0") << "the output is off after the run";
    EXPECT_EQ(Receiver().TunedFrequency(), 7'100'000u) << "each point was tuned in turn";

    // Nothing in the set changed: saving it again writes the same bytes.
    EXPECT_FALSE(Document().IsModified());
    ASSERT_TRUE(Document().Save(calPath).Ok());
    ASSERT_TRUE(calFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(calFile.readAll(), before);

    // The report: the first page with the verdict, then a page per point.
    const QString pdfPath = temp.filePath("two.pdf");
    testsupport::FileDialogRecorder files({pdfPath});
    Click(Control("BReport"));
    ASSERT_EQ(files.requests.size(), 1u);
    EXPECT_EQ(files.requests[0].fileName, pdfPath) << "proposed beside the set";
    const reporttesting::PdfFacts pdf = reporttesting::ReadPdf(pdfPath);
    EXPECT_EQ(pdf.pages, 3);
    const QString first = reporttesting::PageText(pdf, 1);
    EXPECT_TRUE(first.contains(results.VerdictText())) << first.toStdString();
    EXPECT_TRUE(first.contains(chosen));
    // The sweep window's default is adaptive: no single step to name.
    EXPECT_TRUE(first.contains("adaptive steps of 0.5 to 4 dB")) << first.toStdString();
    EXPECT_TRUE(reporttesting::PageText(pdf, 2).contains("3.6 MHz"));
    EXPECT_TRUE(reporttesting::PageText(pdf, 3).contains("7.1 MHz"));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_TRUE(boxes.boxes[0].text.contains("3 pages")) << boxes.boxes[0].text.toStdString();
}

} // namespace
