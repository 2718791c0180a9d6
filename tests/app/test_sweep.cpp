// Automatic calibration end to end: the simulated generator over its real
// socket, the live level of the main window, the swept table in a set, and
// the live dBm text afterwards.
#include "calibration/frequencytext.h"
#include "controls/stalignedit.h"
#include "dialogs/sweepplot.h"
#include "dialogs/u_sweepform.h"
#include "k740sim.h"
#include "mainformtesting.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QTcpServer>
#include <QTcpSocket>

#include <algorithm>
#include <cstdio>

using namespace mainformtesting;
using testsupport::Child;

namespace {

class SweepTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        qputenv("K740DEMOD_SPECTRUM_MS", "10"); // a live reading every 10 ms
        // A fresh radio: no receiver left open by a test before in this process.
        Export<void (*)()>("ZXK740API.dll", "k7test_Reset")();
    }
    void TearDown() override {
        qunsetenv("K740DEMOD_SPECTRUM_MS");
        MainWindowTest::TearDown();
    }

    // The program's windows; the live level feeds the sweep window.
    TMainForm &StartWired() {
        TMainForm &w = Start();
        sweep = &Window<TSweepForm>();
        return w;
    }
    // Fills in the generator's port and the step settings and presses Start.
    void StartSweep(TstForm &s, int port, const char *settle, const char *readings) {
        Child<TstAlignEdit>(s, "EPort").setText(QString::number(port));
        Child<TstAlignEdit>(s, "ESettle").setText(settle);
        Child<TstAlignEdit>(s, "EReadings").setText(readings);
        Click(Child(s, "BStart"));
    }
    // Waits until the sweep has ended (Stop no longer usable).
    static void WaitForTheEnd(TstForm &s, int ms) {
        auto &stop = Child(s, "BStop");
        QTRY_VERIFY_WITH_TIMEOUT(!stop.isEnabled(), ms);
    }
    static int Steps(TstForm &s) { return Child<TSweepPlot>(s, "Plot").PointCount(); }

    // The port the module window says the generator listens on.
    int RemotePort() {
        QString text;
        auto shown = [&] {
            for (QLabel *label :
                 Control<TstPanel>("DMP").findChildren<QLabel *>(QStringLiteral("RemoteAddress")))
                if (label->isVisible()) text = label->text();
            return !text.isEmpty();
        };
        EXPECT_TRUE(QTest::qWaitFor(shown, 3000));

        EXPECT_TRUE(text.startsWith("SCPI 127.0.0.1:")) << text.toStdString();
        return text.section(':', 1).toInt();
    }

    // Sets the generator as the test's own SCPI client and waits for it.
    void Generator(int port, const QByteArray &commands) {
        QTcpSocket s;
        s.connectToHost(QHostAddress::LocalHost, quint16(port));
        ASSERT_TRUE(s.waitForConnected(2000));
        s.write(commands + ";*OPC?\n");
        while (!s.canReadLine())
            ASSERT_TRUE(s.waitForReadyRead(2000));
    }

    // One sweep in the sweep window, answered as the operator would: the
    // swept table after OK.
    std::optional<TDbmTable> Sweep(int port, std::uint64_t hz, double *msPerStep,
                                   bool stopHalfway = false) {
        TDbmTable table;
        table.fill(0.0);
        TstForm::SetModalResponder([&](TstForm &s) {
            QElapsedTimer clock;
            clock.start();
            StartSweep(s, port, "10", "3");
            if (stopHalfway) {
                [&] { QTRY_VERIFY_WITH_TIMEOUT(Steps(s) >= 10, 20000); }();
                Click(Child(s, "BStop"));
            }
            WaitForTheEnd(s, 60000);
            if (msPerStep) *msPerStep = double(clock.elapsed()) / 111;
            summary = Child<TmyLabel>(s, "LStatus").Caption();
            if (qEnvironmentVariableIsSet("K740_SWEEP_PNG"))
                s.grab().save(qEnvironmentVariable("K740_SWEEP_PNG"));
            Click(Child(s, "BOk"));
            return int(mrCancel); // only OK takes the table
        });
        const std::optional<TDbmTable> swept = sweep->SweepPoint(hz, table);
        TstForm::SetModalResponder(nullptr);
        return swept;
    }

    // The live dBm text over the gauge: the median of a few readings.
    double LiveDbm() {
        std::vector<double> values;
        for (int i = 0; i < 5; ++i) {
            QTest::qWait(30);
            EXPECT_TRUE(Program().Overlay().Shown());
            values.push_back(Program().Overlay().Dbm());
        }
        std::nth_element(values.begin(), values.begin() + 2, values.end());
        return values[2];
    }

    TSweepForm *sweep = nullptr;
    QString summary; // the status line at the end of the last sweep
};

TEST_F(SweepTest, TheSweptTableGivesTheGeneratorsLevelBackWithinHalfADecibel) {
    ConfigureRadio(temp.filePath("radio.ini"),
                   "[receiver]\nserial = SWEEP2\nlow = 100000\nhigh = 30000000\nseed = 99\n"
                   "eeprom = 860 760 540 -800 720\n");
    const auto frontEnd = reinterpret_cast<decltype(&k740sim_FrontEndError)>(
        Export<void *>("libk740sim.so", "k740sim_FrontEndError"));
    double worst = 0, errors[2] = {0, 0};
    for (int row : {0, 1}) {
        SCOPED_TRACE(row);
        form ? *form : StartWired();
        Open(row);
        ASSERT_GT(Receiver().Handle(), 0);
        Control<TmyFrequencyEdit>("Fq").SetValue(7'100'000);
        errors[row] = frontEnd(row, 7'100'000);
        const int port = RemotePort();
        ASSERT_GE(port, 5025);

        double msPerStep = 0;
        const std::optional<TDbmTable> swept = Sweep(port, 7'100'000, &msPerStep);
        ASSERT_TRUE(swept);
        std::printf("[ sweep    ] receiver %d: %.1f ms per step, %s\n", row, msPerStep,
                    qPrintable(summary));
        // The generator's output went off at the end; the module window shows it.
        QCheckBox *on = nullptr;
        for (QCheckBox *box : Control<TstPanel>("DMP").findChildren<QCheckBox *>())
            if (box->isVisible()) on = box;
        ASSERT_NE(on, nullptr);
        QTRY_VERIFY_WITH_TIMEOUT(!on->isChecked(), 2000);

        TCalDocument &set = Document();
        set.New();
        ASSERT_TRUE(set.WriteTable(-1, 7'100'000, *swept));
        for (int i = 0; i < 10; ++i) {
            const double dbm = -120 + i * 10 - 0.3 * i; // off the sweep's grid as well
            Generator(port, "POW " + QByteArray::number(dbm) + ";OUTP ON");
            const double shown = LiveDbm();
            worst = std::max(worst, std::abs(shown - dbm));
            EXPECT_NEAR(shown, dbm, 0.5) << "generator at " << dbm;
        }
        set.Close();
    }
    EXPECT_GT(std::abs(errors[0] - errors[1]), 0.3); // two different front ends learnt
    std::printf("[ sweep    ] worst error %.2f dB (front-end errors %.2f, %.2f dB)\n", worst,
                errors[0], errors[1]);
}

TEST_F(SweepTest, StopInTheMiddleTakesNothing) {
    StartWired();
    Open();
    Control<TmyFrequencyEdit>("Fq").SetValue(7'100'000);
    const int port = RemotePort();
    EXPECT_EQ(Sweep(port, 7'100'000, nullptr, true), std::nullopt);
    EXPECT_FALSE(Child(*sweep, "BOk").isEnabled());
    int on = 1;
    const auto generator = reinterpret_cast<decltype(&k740sim_GetGenerator)>(
        Export<void *>("libk740sim.so", "k740sim_GetGenerator"));
    generator(&on, nullptr, nullptr);
    EXPECT_EQ(on, 0); // the output went off
}

} // namespace

namespace {

TEST_F(SweepTest, EveryPointIsStoredAsItIsDoneAndAStopKeepsThem) {
    StartWired();
    Open();
    const int port = RemotePort();
    std::vector<std::uint64_t> stored;
    TstForm::SetModalResponder([&](TstForm &s) {
        StartSweep(s, port, "0", "1");
        [&] { QTRY_VERIFY_WITH_TIMEOUT(stored.size() == 1, 20000); }();
        [&] { QTRY_VERIFY_WITH_TIMEOUT(Steps(s) >= 10, 20000); }();
        Click(Child(s, "BStop"));
        WaitForTheEnd(s, 20000);
        return int(mrCancel);
    });
    sweep->SweepPoints(
        {7'100'000, 14'200'000, 21'000'000},
        [&](std::uint64_t hz, TDbmTable &table) {
            Control<TmyFrequencyEdit>("Fq").SetValue(std::int64_t(hz));
            table.fill(0.0);
            return true;
        },
        [&](std::uint64_t hz, const TDbmTable &table) {
            stored.push_back(hz);
            EXPECT_LT(table[200], -20.0);
            return true;
        });
    TstForm::SetModalResponder(nullptr);
    EXPECT_EQ(stored, std::vector<std::uint64_t>{7'100'000});
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].title, "Information");
    const QString summary = boxes.boxes[0].text;
    EXPECT_TRUE(summary.startsWith(FrequencyText(7'100'000) + ": RAW ")) << summary.toStdString();
    EXPECT_TRUE(summary.contains("Ended at " + FrequencyText(14'200'000) + " (stopped)"))
        << summary.toStdString();
}

// The sweep window reads numbers as the value dialog does: a group separator
// makes no number, so "1,500" never becomes a loss of 1500 dB.
TEST_F(SweepTest, AGroupedNumberIsRefusedAndNothingStarts) {
    TDbmTable table;
    table.fill(-1.0);
    Start();
    TstForm::SetModalResponder([&](TstForm &s) {
        Child<TstAlignEdit>(s, "ELoss").setText(QStringLiteral("1,500"));
        Click(Child(s, "BStart"));
        EXPECT_FALSE(Child(s, "BStop").isEnabled());
        EXPECT_TRUE(Child(s, "BStart").isEnabled());
        return int(mrCancel);
    });
    EXPECT_EQ(Window<TSweepForm>().SweepPoint(7'100'000, table), std::nullopt);
    TstForm::SetModalResponder(nullptr);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, QStringLiteral("\"1,500\" is not a number (loss)."));
}

TEST_F(SweepTest, AFailureIsShownAndNothingIsTaken) {
    QTcpServer closed; // a port that nobody listens on any more
    closed.listen(QHostAddress::LocalHost);
    const int port = closed.serverPort();
    closed.close();
    TDbmTable table;
    table.fill(-1.0);
    Start();
    TstForm::SetModalResponder([&](TstForm &s) {
        Child<TstAlignEdit>(s, "EPort").setText(QString::number(port));
        Click(Child(s, "BStart"));
        [&] { QTRY_VERIFY_WITH_TIMEOUT(!boxes.boxes.empty(), 5000); }();
        WaitForTheEnd(s, 5000);
        EXPECT_FALSE(Child(s, "BOk").isEnabled());
        return int(mrCancel);
    });
    EXPECT_EQ(Window<TSweepForm>().SweepPoint(7'100'000, table), std::nullopt);
    TstForm::SetModalResponder(nullptr);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].title, "Error");
    EXPECT_TRUE(boxes.boxes[0].text.contains("127.0.0.1:" + QString::number(port) +
                                             ": the connection was refused"))
        << boxes.boxes[0].text.toStdString();
}

} // namespace
