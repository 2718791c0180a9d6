// Automatic calibration end to end: the simulated generator over its real
// socket, the live level of the main window, the swept table in a set, and
// the live dBm text afterwards; the sweep window's choices, status texts and
// summary; "Add points…" and the sweep of every point from the main window.
#include "calibration/frequencytext.h"
#include "controls/mylabel.h"
#include "controls/stalignedit.h"
#include "dialogs/sweepplot.h"
#include "dialogs/u_addpointsform.h"
#include "dialogs/u_instrumentform.h"
#include "dialogs/u_sweepform.h"
#include "documenttesting.h"
#include "k740sim.h"

#include <QAction>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>

#include <algorithm>
#include <cstdio>

using namespace mainformtesting;
using testsupport::Child;

namespace {

// Whether the simulated generator's output is on.
bool OutputOn() {
    int on = 1;
    const auto generator = reinterpret_cast<decltype(&k740sim_GetGenerator)>(
        Export<void *>("libk740sim.so", "k740sim_GetGenerator"));
    generator(&on, nullptr, nullptr);
    return on != 0;
}

QString Socket(int port) {
    return QStringLiteral("TCPIP0::127.0.0.1::%1::SOCKET").arg(port);
}

// Chooses the generator's link in the Instrument window, as the operator
// does; the sweep window then shows it.
void ChooseLink(TstForm &s, const QString &link) {
    const TModalResponder outer = TstForm::SetModalResponder([&](TstForm &f) {
        EXPECT_TRUE(dynamic_cast<TInstrumentForm *>(&f));
        Child<TstAlignEdit>(f, "ELink").setText(link);
        Click(Child(f, "BOk"));
        return int(mrCancel); // only OK keeps the choice
    });
    Click(Child(s, "BInstrument"));
    TstForm::SetModalResponder(outer);
    EXPECT_EQ(Child<TmyLabel>(s, "LLink").toolTip(), link);
}

// Chooses the generator's link, fills in the step settings and, when given,
// the levels, and presses Start.
void StartSweep(TstForm &s, const QString &link, const char *settle, const char *readings,
                const char *from = nullptr, const char *to = nullptr) {
    ChooseLink(s, link);
    Child<TstAlignEdit>(s, "ESettle").setText(settle);
    Child<TstAlignEdit>(s, "EReadings").setText(readings);
    if (from) Child<TstAlignEdit>(s, "EFrom").setText(from);
    if (to) Child<TstAlignEdit>(s, "ETo").setText(to);
    Click(Child(s, "BStart"));
}
void StartSweep(TstForm &s, int port, const char *settle, const char *readings,
                const char *from = nullptr, const char *to = nullptr) {
    StartSweep(s, Socket(port), settle, readings, from, to);
}
// Waits until the sweep has ended (Stop no longer usable).
void WaitForTheEnd(TstForm &s, int ms) {
    auto &stop = Child(s, "BStop");
    QTRY_VERIFY_WITH_TIMEOUT(!stop.isEnabled(), ms);
}
int Steps(TstForm &s) {
    return Child<TSweepPlot>(s, "Plot").PointCount();
}
QString Status(TstForm &s) {
    return Child<QLabel>(s, "LStatus").text();
}

class SweepTest : public BenchWindowTest {
protected:
    // The program's windows; the live level feeds the sweep window.
    TMainForm &StartWired() {
        TMainForm &w = Start();
        sweep = &Window<TSweepForm>();
        return w;
    }
    // The links of the simulated GPIB adapters that the module window shows
    // ("GPIB 19: 127.0.0.1:1234, /dev/pts/3"): LAN, then serial.
    QStringList AdapterLinks() {
        const QString text = ModuleLine(Control<TstPanel>("DMP"), "AdapterAddresses");
        const QStringList adapters = text.section(QStringLiteral(": "), 1).split(", ");
        EXPECT_TRUE(text.startsWith("GPIB 19: ") && adapters.size() == 2) << text.toStdString();
        QStringList links;
        for (const QString &adapter : adapters)
            links << QStringLiteral("GPIB0::19::INSTR via ") + adapter;
        return links;
    }

    // Sets the generator as the test's own SCPI client and waits for it.
    void Generator(int port, const QByteArray &commands) {
        ASSERT_EQ(Ask(port, commands + ";*OPC?"), "1");
    }

    // One sweep in the sweep window, answered as the operator would: the
    // swept table after OK. `before` acts on the window before Start.
    std::optional<TDbmTable> Sweep(int port, std::uint64_t hz, double *msPerStep,
                                   const std::function<void(TstForm &)> &before = {},
                                   double start = 0.0, const char *from = nullptr,
                                   const char *to = nullptr) {
        TDbmTable table;
        table.fill(start);
        TstForm::SetModalResponder([&](TstForm &s) {
            QElapsedTimer clock;
            clock.start();
            if (before) before(s);
            StartSweep(s, port, "10", "3", from, to);
            WaitForTheEnd(s, 60000);
            if (msPerStep) *msPerStep = double(clock.elapsed()) / 111;
            summary = Status(s);
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

// The entries outside the recorded RAW range of a table that held -1.0
// everywhere, for each choice, and the counts the status line gives.
TEST_F(SweepTest, TheTableEndsFollowTheChoice) {
    StartWired();
    Open();
    Control<TmyFrequencyEdit>("Fq").SetValue(7'100'000);
    const int port = RemotePort();
    const struct {
        const char *button, *done;
        int expected; // 0: not set, 1: as before, 2: the end value
    } cases[] = {{"BNotSet", "not set", 0},
                 {"BKeep", "kept as they were", 1},
                 {"BHold", "set to the end value", 2}};
    const QRegularExpression counts(
        QStringLiteral("RAW (\\d+) to (\\d+); (\\d+) entr(?:y|ies) below and (\\d+) "
                       "entr(?:y|ies) above (.*)$"));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.button);
        const std::optional<TDbmTable> swept = Sweep(
            port, 7'100'000, nullptr, [&](TstForm &s) { Click(Child(s, c.button)); }, -1.0, "-60",
            "-40");
        ASSERT_TRUE(swept);
        const QRegularExpressionMatch m = counts.match(summary);
        ASSERT_TRUE(m.hasMatch()) << summary.toStdString();
        const int low = m.captured(1).toInt(), high = m.captured(2).toInt();
        EXPECT_EQ(m.captured(3).toInt(), low);
        EXPECT_EQ(m.captured(4).toInt(), 255 - high);
        EXPECT_EQ(m.captured(5), c.done);
        ASSERT_GT(low, 0);
        ASSERT_LT(high, 255);
        for (int raw = 0; raw < 256; ++raw) {
            const double value = (*swept)[std::size_t(raw)];
            if (raw >= low && raw <= high) {
                ASSERT_LT(value, -40.0 + 0.05) << raw;
                ASSERT_GT(value, -60.0 - 0.05) << raw;
                continue;
            }
            const double end = (*swept)[std::size_t(raw < low ? low : high)];
            const double expected = c.expected == 0 ? 0.0 : c.expected == 1 ? -1.0 : end;
            ASSERT_EQ(value, expected) << raw;
        }
    }
}

// Stop and hiding the window each end the sweep with the output off and
// nothing taken.
TEST_F(SweepTest, StopOrHidingTheWindowTakesNothingAndSwitchesTheOutputOff) {
    StartWired();
    Open();
    Control<TmyFrequencyEdit>("Fq").SetValue(7'100'000);
    const int port = RemotePort();
    for (const bool hide : {false, true}) {
        SCOPED_TRACE(hide);
        TDbmTable table;
        table.fill(-1.0);
        QString status;
        bool onWhileRunning = false;
        TstForm::SetModalResponder([&](TstForm &s) {
            Click(Child(s, "BFixed"));
            Child<TstAlignEdit>(s, "EStep").setText("0.5");
            StartSweep(s, port, "10", "3", "-130", "-20");
            [&] { QTRY_VERIFY_WITH_TIMEOUT(Steps(s) >= 5, 20000); }();
            onWhileRunning = OutputOn();
            if (hide)
                s.hide();
            else
                Click(Child(s, "BStop"));
            WaitForTheEnd(s, 20000);
            status = Status(s);
            EXPECT_FALSE(Child(s, "BOk").isEnabled());
            return int(mrCancel);
        });
        EXPECT_EQ(sweep->SweepPoint(7'100'000, table), std::nullopt);
        TstForm::SetModalResponder(nullptr);
        EXPECT_TRUE(onWhileRunning);
        EXPECT_FALSE(OutputOn());
        if (!hide) {
            EXPECT_EQ(status, "Stopped; nothing taken.");
        }
    }
    EXPECT_TRUE(boxes.boxes.empty());
}

} // namespace

namespace {

// The sweep of every point ends early on Stop or when a point cannot be
// stored; the points before it stay stored and the one summary box says
// which, and why it ended, once.
TEST_F(SweepTest, AnEarlyEndKeepsThePointsStoredAndTheSummaryNamesThem) {
    StartWired();
    Open();
    const int port = RemotePort();
    QTcpServer closed; // a port that nobody listens on any more
    closed.listen(QHostAddress::LocalHost);
    const int refused = closed.serverPort();
    closed.close();
    enum { kStop, kStoreFails, kRefused };
    const struct {
        const char *name;
        int end;
        const char *settle, *from; // a Stop needs time to come before the end
        const char *title, *ending, *reason, *status, *stored;
    } cases[] = {
        {"Stop", kStop, "20", "-130", "Information", "Stopped at 14.2 MHz; it is not stored.", "",
         "Stopped: 1 of 3 points stored, not saved yet.", "Stored: 7.1 MHz (1 of 3 points)."},
        {"store fails", kStoreFails, "0", "-60", "Error",
         "Ended at 14.2 MHz, which is not stored:\nthe disk is full", "the disk is full",
         "Failed: 1 of 3 points stored, not saved yet.", "Stored: 7.1 MHz (1 of 3 points)."},
        {"generator refuses", kRefused, "0", "-60", "Error",
         "Ended at 7.1 MHz, which is not stored:\nSignal generator 127.0.0.1:", "refused",
         "Failed: 0 of 3 points stored, not saved yet.", "No point was stored."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        boxes.boxes.clear();
        std::vector<std::uint64_t> stored;
        QString status;
        bool okEnabled = false, cancelEnabled = true;
        TstForm::SetModalResponder([&](TstForm &s) {
            StartSweep(s, c.end == kRefused ? refused : port, c.settle, "1", c.from, "-40");
            if (c.end == kStop) {
                [&] { QTRY_VERIFY_WITH_TIMEOUT(stored.size() == 1, 20000); }();
                [&] { QTRY_VERIFY_WITH_TIMEOUT(Steps(s) >= 2, 20000); }();
                Click(Child(s, "BStop"));
            }
            WaitForTheEnd(s, 20000);
            status = Status(s);
            okEnabled = Child(s, "BOk").isEnabled();
            cancelEnabled = Child(s, "BCancel").isEnabled();
            Click(Child(s, "BOk"));
            return int(mrCancel);
        });
        sweep->SweepPoints(
            {7'100'000, 14'200'000, 21'000'000},
            [&](std::uint64_t hz, TDbmTable &table) {
                Control<TmyFrequencyEdit>("Fq").SetValue(std::int64_t(hz));
                table.fill(0.0);
                return platform::TResult();
            },
            [&](std::uint64_t hz, const TDbmTable &table) {
                if (c.end == kStoreFails && hz == 14'200'000)
                    return platform::TResult::Failure(QStringLiteral("the disk is full"));
                stored.push_back(hz);
                EXPECT_GT(std::count_if(table.begin(), table.end(), [](double v) { return v < 0; }),
                          10);
                return platform::TResult();
            },
            [] { return true; });
        TstForm::SetModalResponder(nullptr);
        EXPECT_EQ(stored, c.end == kRefused ? std::vector<std::uint64_t>{}
                                            : std::vector<std::uint64_t>{7'100'000});
        EXPECT_FALSE(OutputOn());
        EXPECT_EQ(status, c.status);
        EXPECT_TRUE(okEnabled);
        EXPECT_FALSE(cancelEnabled);
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].title, c.title);
        EXPECT_EQ(boxes.boxes[0].owner.data(), static_cast<QWidget *>(sweep));
        const QString text = boxes.boxes[0].text;
        if (c.end != kRefused) {
            EXPECT_TRUE(text.startsWith(FrequencyText(7'100'000) + ": stored, RAW "))
                << text.toStdString();
        }
        EXPECT_TRUE(text.contains(c.ending)) << text.toStdString();
        if (*c.reason) {
            EXPECT_EQ(text.count(c.reason), 1) << text.toStdString();
        }
        EXPECT_TRUE(text.endsWith(QString::fromLatin1(c.stored) +
                                  "\nThe calibration file is not saved yet."))
            << text.toStdString();
    }
}

// The simulated GPIB adapters, over the LAN and over the serial line, carry a
// sweep as the raw socket does; a Stop switches the output off through them.
TEST_F(SweepTest, TheGpibAdaptersCarryTheSweep) {
    StartWired();
    Open();
    Control<TmyFrequencyEdit>("Fq").SetValue(7'100'000);
    RemotePort();
    for (const QString &link : AdapterLinks()) {
        SCOPED_TRACE(link.toStdString());
        TDbmTable table;
        table.fill(-1.0);
        bool onWhileRunning = false;
        TstForm::SetModalResponder([&](TstForm &s) {
            Click(Child(s, "BFixed"));
            Child<TstAlignEdit>(s, "EStep").setText(QLocale().toString(0.5));
            StartSweep(s, link, "0", "1", "-130", "-20");
            [&] { QTRY_VERIFY_WITH_TIMEOUT(Steps(s) >= 5, 20000); }();
            onWhileRunning = OutputOn();
            Click(Child(s, "BStop"));
            WaitForTheEnd(s, 20000);
            return int(mrCancel);
        });
        EXPECT_EQ(sweep->SweepPoint(7'100'000, table), std::nullopt);
        TstForm::SetModalResponder(nullptr);
        EXPECT_TRUE(onWhileRunning);
        EXPECT_FALSE(OutputOn());
    }
    EXPECT_TRUE(boxes.boxes.empty());
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

// A refused connection: one box with the reason once and the window's own
// status text. A new window then shows the settings of that last start, the
// chosen buttons down in the selection's grey.
TEST_F(SweepTest, AFailureIsShownOnceAndTheNextWindowKeepsTheSettings) {
    QTcpServer closed; // a port that nobody listens on any more
    closed.listen(QHostAddress::LocalHost);
    const int port = closed.serverPort();
    closed.close();
    const QString link = QStringLiteral("TCPIP0::localhost::%1::SOCKET").arg(port);
    TDbmTable table;
    table.fill(-1.0);
    Start();
    QString status;
    TstForm::SetModalResponder([&](TstForm &s) {
        Click(Child(s, "BFixed"));
        Click(Child(s, "BHold"));
        Child<TstAlignEdit>(s, "EStep").setText(QLocale().toString(0.5));
        StartSweep(s, link, "20", "4", "-100", "-30");
        [&] { QTRY_VERIFY_WITH_TIMEOUT(!boxes.boxes.empty(), 5000); }();
        WaitForTheEnd(s, 5000);
        status = Status(s);
        EXPECT_FALSE(Child(s, "BOk").isEnabled());
        return int(mrCancel);
    });
    EXPECT_EQ(Window<TSweepForm>().SweepPoint(7'100'000, table), std::nullopt);
    TstForm::SetModalResponder(nullptr);
    EXPECT_EQ(status, "Failed; nothing taken.");
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].title, "Error");
    const QString text = boxes.boxes[0].text;
    EXPECT_TRUE(text.contains("localhost:" + QString::number(port) + ": ")) << text.toStdString();
    EXPECT_EQ(text.count("refused"), 1) << text.toStdString();

    TSweepForm next;
    const struct {
        const char *field;
        QString text;
    } fields[] = {{"EFrom", "-100"},
                  {"ETo", "-30"},
                  {"EStep", QLocale().toString(0.5)},
                  {"ESettle", "20"},
                  {"EReadings", "4"}};
    for (const auto &f : fields)
        EXPECT_EQ(Child<TstAlignEdit>(next, f.field).text(), f.text) << f.field;
    EXPECT_EQ(Child<TmyLabel>(next, "LLink").toolTip(), link);
    auto face = [&](const char *name) {
        return QColor(testsupport::Render(Child(next, name)).pixel(3, 3));
    };
    const QColor chosen(144, 144, 144), other(99, 99, 99);
    const struct {
        const char *down, *up;
    } choices[] = {{"BFixed", "BAdaptive"}, {"BHold", "BNotSet"}};
    for (const auto &c : choices) {
        EXPECT_EQ(face(c.down), chosen) << c.down;
        EXPECT_EQ(face(c.up), other) << c.up;
    }
}

} // namespace

namespace {

class MainWindowSweepTest : public documenttesting::DocumentTest {
protected:
    void SetUp() override {
        DocumentTest::SetUp();
        qputenv("K740DEMOD_SPECTRUM_MS", "10");
    }
    void TearDown() override {
        qunsetenv("K740DEMOD_SPECTRUM_MS");
        DocumentTest::TearDown();
    }
};

// Points added at once from the button and from the list's menu, each as Add
// adds one; then the sweep of every point from the main window, its window
// centred on the main window, its summary naming the points stored and that
// the file is not saved yet.
TEST_F(MainWindowSweepTest, AddedPointsAreSweptAndTheSummarySaysTheyAreNotSavedYet) {
    TMainForm &w = OpenDemo();
    New();
    Add(7'100'000);
    auto addPoints = [&](const char *list) {
        modal = [list](TstForm &window) {
            if (!qobject_cast<TAddPointsForm *>(&window)) return int(mrCancel);
            testsupport::Click(Child(window, "BList"));
            Child<QPlainTextEdit>(window, "EList").setPlainText(QString::fromLatin1(list));
            testsupport::Click(Child(window, "BOK"));
            return window.ModalResult();
        };
    };
    addPoints("7.1M, 10.1 MHz, 14.2M");
    Press("BAddPoints");
    addPoints("18.1M");
    Child<QAction>(Control("F"), "AAddPoints").trigger();
    EXPECT_EQ(Rows(), (std::vector<QString>{"7.1 MHz", "10.1 MHz", "14.2 MHz", "18.1 MHz"}));
    for (const std::uint64_t hz : {10'100'000u, 14'200'000u, 18'100'000u})
        EXPECT_EQ(Value(-1, hz, 100), 0.0) << hz; // not set
    EXPECT_TRUE(Document().IsModified());
    fileAnswers.push_back(Path("points.cal"));
    Press("BSave");
    ASSERT_FALSE(Document().IsModified());

    const int port = RemotePort(Control<TstPanel>("DMP"));
    QString status;
    QPoint offCentre;
    bool okEnabled = false, cancelEnabled = true;
    modal = [&](TstForm &s) {
        if (!qobject_cast<TSweepForm *>(&s)) return int(mrCancel);
        offCentre = s.frameGeometry().center() - w.frameGeometry().center();
        StartSweep(s, port, "0", "1", "-60", "-40");
        WaitForTheEnd(s, 30000);
        status = Status(s);
        okEnabled = Child(s, "BOk").isEnabled();
        cancelEnabled = Child(s, "BCancel").isEnabled();
        testsupport::Click(Child(s, "BOk"));
        return s.ModalResult();
    };
    boxes.boxes.clear();
    Press("BSweep");
    modal = nullptr;
    EXPECT_LE(offCentre.manhattanLength(), 2) << offCentre.x() << "," << offCentre.y();
    EXPECT_EQ(status, "Done: 4 of 4 points stored, not saved yet.");
    EXPECT_TRUE(okEnabled);
    EXPECT_FALSE(cancelEnabled);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].title, "Information");
    EXPECT_TRUE(boxes.boxes[0].text.endsWith(
        "Stored: 7.1 MHz, 10.1 MHz, 14.2 MHz, 18.1 MHz (4 of 4 points).\nThe calibration file "
        "is not saved yet."))
        << boxes.boxes[0].text.toStdString();
    EXPECT_TRUE(Document().IsModified());
    for (const std::uint64_t hz : {7'100'000u, 10'100'000u, 14'200'000u, 18'100'000u}) {
        int set = 0;
        for (int raw = 0; raw < 256; ++raw) {
            const double value = Value(-1, hz, std::uint8_t(raw));
            if (value == 0.0) continue; // outside the swept range: not set
            ++set;
            EXPECT_LT(value, -40.0 + 0.05) << hz << " RAW " << raw;
            EXPECT_GT(value, -60.0 - 0.05) << hz << " RAW " << raw;
        }
        EXPECT_GT(set, 10) << hz;
    }
}

} // namespace
