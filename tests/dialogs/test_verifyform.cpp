// The verification window as the operator uses it: a run over one point
// shown in the table and the plot, the CSV written, the settings kept, a
// level list that is refused, and a close during a run that waits for the
// output to go off.
#include "dialogs/u_verifyform.h"
#include "dialogtesting.h"

#include "controls/stalignedit.h"
#include "controls/stspeedbutton.h"
#include "dialogs/errorplotview.h"
#include "support/logginggenerator.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using testsupport::LoggingGenerator;

// Which of green (a pass) and red (a failure) a cell's text is written in.
QString Hues(TstGrid &grid, int col, int row) {
    bool green = false, red = false;
    for (const QRgb c : dialogtesting::Colours(grid, col, row)) {
        green = green || (qGreen(c) > 150 && qRed(c) < 100);
        red = red || (qRed(c) > 150 && qGreen(c) < 100);
    }
    return green && red ? "both" : green ? "green" : red ? "red" : "none";
}

// Runs the window modally; `user` acts while it is shown.
int RunModal(TstForm &form, const std::function<void()> &user) {
    const TModalResponder previous = TstForm::SetModalResponder([&](TstForm &shown) {
        QApplication::setActiveWindow(&shown);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&shown));
        user();
        return int(mrCancel);
    });
    const int result = form.ShowModal();
    TstForm::SetModalResponder(previous);
    return result;
}

class VerifyFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        form.SetGenerator([this] { return std::make_unique<LoggingGenerator>(gen); },
                          "TCPIP0::127.0.0.1::5025::SOCKET, POW", 0.0, 0, 1);
        form.SetPoints(
            {7'100'000},
            [this](std::uint64_t hz, QString &) {
                tuned.push_back(hz);
                return true;
            },
            [](std::uint64_t, std::uint8_t raw) -> std::optional<double> {
                if (raw == 40) return std::nullopt; // -100 dBm falls on a not-set entry
                return raw - 140.0 + 0.3;
            });
        // The receiver reads the generator's level while the output is on.
        QObject::connect(&feed, &QTimer::timeout,
                         [this] { form.SetLiveRaw(std::uint8_t(gen->on ? gen->level + 140 : 0)); });
        feed.start(1);
    }

    template <typename T> T *Find(const char *name) {
        T *child = form.findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    void Click(const char *button) {
        QTest::mouseClick(Find<TstSpeedButton>(button), Qt::LeftButton, {}, QPoint(5, 5));
    }

    testsupport::TemporaryRegistry registry;
    testsupport::MessageBoxRecorder boxes;
    QTemporaryDir dir;
    std::shared_ptr<LoggingGenerator::Shared> gen = std::make_shared<LoggingGenerator::Shared>();
    std::vector<std::uint64_t> tuned;
    TVerifyForm form;
    QTimer feed;
};

TEST_F(VerifyFormTest, OnePointFillsTableAndPlotAndExportsCsv) {
    const QString csvPath = dir.filePath("results.csv");
    testsupport::FileDialogRecorder files({csvPath});
    RunModal(form, [&] {
        Find<TstAlignEdit>("Levels")->setText("-110:-90:10");
        Click("Start");
        QTRY_VERIFY_WITH_TIMEOUT(!form.Running(), 10000);
        TstGrid &grid = *Find<TstGrid>("Results");
        EXPECT_EQ(dialogtesting::Column(grid, 0), QStringList({"Point \\ dBm", "7.1 MHz"}));
        EXPECT_EQ(grid.Cells(1, 0), "-110.0");
        EXPECT_EQ(grid.Cells(2, 0), "-100.0");
        EXPECT_EQ(grid.Cells(1, 1), "+0.3");
        EXPECT_EQ(grid.Cells(2, 1), "no cal.");
        EXPECT_EQ(grid.Cells(3, 1), "+0.3");
        EXPECT_EQ(grid.Cells(4, 1), "no cal.") << "the worst column";
        EXPECT_EQ(Hues(grid, 1, 1), "green");
        EXPECT_EQ(Hues(grid, 2, 1), "red");
        EXPECT_EQ(Hues(grid, 3, 1), "green");
        EXPECT_EQ(Hues(grid, 4, 1), "red");

        // The plot: the point's curve in its colour, the cross of the reading
        // without calibration in the failure colour.
        const QImage plot = testsupport::Render(*Find<TErrorPlotView>("ErrorPlot"));
        int curve = 0, cross = 0;
        for (int y = 0; y < plot.height(); ++y)
            for (int x = 0; x < plot.width(); ++x) {
                const QRgb c = testsupport::Pixel(plot, x, y);
                curve += c == (qRgb(0, 255, 0) & 0xFFFFFF);
                cross += c == (qRgb(255, 64, 64) & 0xFFFFFF);
            }
        EXPECT_GT(curve, 20);
        EXPECT_GT(cross, 5);
        if (qEnvironmentVariableIsSet("K740_VERIFY_PNG"))
            form.grab().save(qEnvironmentVariable("K740_VERIFY_PNG"));

        Click("Csv");
        form.close();
    });
    EXPECT_EQ(tuned, std::vector<std::uint64_t>{7'100'000});
    EXPECT_FALSE(gen->on);
    EXPECT_EQ(gen->log.last(), "OUTP OFF");
    EXPECT_EQ(form.Results().FailureCount(), 1);
    EXPECT_TRUE(boxes.boxes.empty());
    ASSERT_EQ(files.requests.size(), 1u);
    QFile csv(csvPath);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_EQ(csv.readAll(),
              "frequency_hz,generator_dbm,applied_dbm,raw,shown_dbm,error_db,result,tolerance_db\n"
              "7100000,-110,-110,30,-109.7,0.3,pass,1.0\n"
              "7100000,-100,-100,40,,,fail,1.0\n"
              "7100000,-90,-90,50,-89.7,0.3,pass,1.0\n");
    // The level list is kept for the next run.
    TVerifyForm again;
    EXPECT_EQ(again.findChild<TstAlignEdit *>("Levels")->text(), "-110:-90:10");
}

TEST_F(VerifyFormTest, RefusedSettingsAndACloseDuringTheRun) {
    struct Case {
        const char *levels, *tolerance;
        const char *box; // the error shown, or empty when the run starts
    } cases[] = {
        {"-120:-30", "1.0", "level range"},
        {"-100", "abc", "tolerance"},
        {"-100", "0", "greater than 0"},
        {"-130:-20:0.2", "1.0", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.levels);
        boxes.boxes.clear();
        form.show(); // a window of its own, closed as the close cross does
        Find<TstAlignEdit>("Levels")->setText(c.levels);
        Find<TstAlignEdit>("Tolerance")->setText(c.tolerance);
        Click("Start");
        if (*c.box) {
            EXPECT_FALSE(form.Running());
            ASSERT_EQ(boxes.boxes.size(), 1u);
            EXPECT_TRUE(boxes.boxes[0].text.contains(QLatin1String(c.box)))
                << boxes.boxes[0].text.toStdString();
            form.close();
            continue;
        }
        QTRY_VERIFY_WITH_TIMEOUT(form.Results().ReadingCount() >= 3, 5000);
        form.close(); // asks the run to stop; the window goes once the output is off
        EXPECT_TRUE(form.isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!form.isVisible(), 5000);
        EXPECT_TRUE(boxes.boxes.empty());
        EXPECT_FALSE(gen->on);
        EXPECT_EQ(gen->log.last(), "OUTP OFF");
        EXPECT_LT(form.Results().ReadingCount(), 551);
        EXPECT_FALSE(form.Results().Complete);
    }
}

} // namespace
