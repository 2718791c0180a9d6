#include "k740sim.h"
#include "mainformtesting.h"

#include <cmath>
#include <vector>

using namespace mainformtesting;

namespace {

class LevelTest : public MainWindowTest {
protected:
    TMainForm &OpenDemo() {
        TMainForm &w = Start();
        Open();
        EXPECT_GT(Receiver().Handle(), 0);
        return w;
    }
    // A message of the module, as its window sends it.
    void FromModule(std::int32_t message, std::intptr_t value1) {
        TQmvHost::Callback(Receiver().ModuleWindow(), message, value1, 0, 0);
    }
    void Passband(std::int32_t mode, std::int32_t width, std::int32_t offset = 0) {
        FromModule(QMV_HOST_MODE, mode);
        FromModule(QMV_HOST_WIDTH, width);
        FromModule(QMV_HOST_OFFSET, offset);
        ASSERT_EQ(Receiver().CurrentMode(), mode);
    }
    // 12,000 one-hertz bins of almost nothing with one strong bin.
    int Level(int bin, float power) {
        std::vector<float> bins(12000, 1e-13f);
        bins[std::size_t(bin)] = power;
        Spectrum(12000, std::int64_t(bins.size() * 4), bins.data());
        return Control<TstGauge>("G").Current();
    }
    static bool HasLime(const QImage &image, const QRect &area) {
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (qGreen(image.pixel(x, y)) > 200 && qRed(image.pixel(x, y)) < 100) return true;
        return false;
    }
};

// The demo receiver's gain is 67.2 dB (AGC reading 800, default constants).
int Raw(double peakDb) {
    return SpectrumLevel::LevelToRaw(peakDb - 67.2);
}

TEST_F(LevelTest, PassbandWindowOfEachMode) {
    OpenDemo();
    Passband(4, 3000); // LSB: 3000..6000 Hz
    EXPECT_EQ(Level(2999, 1e-1f), 0);
    EXPECT_EQ(Level(3000, 1e-3f), Raw(-30));
    EXPECT_EQ(Level(6000, 1e-3f), Raw(-30));
    Passband(5, 3000); // USB: 6000..9000 Hz
    EXPECT_EQ(Level(5999, 1e-1f), 0);
    EXPECT_EQ(Level(9000, 1e-4f), Raw(-40));
    EXPECT_EQ(Level(9001, 1e-1f), 0);
    Passband(1, 3000); // centred: 4500..7500 Hz
    EXPECT_EQ(Level(4499, 1e-1f), 0);
    EXPECT_EQ(Level(4500, 1e-4f), Raw(-40));
    EXPECT_EQ(Level(7500, 1e-5f), Raw(-50));
    EXPECT_EQ(Level(7501, 1e-1f), 0);
    // A strong signal is limited to -20 dBm: RAW 254.
    EXPECT_EQ(Level(6000, 1e6f), 254);
}

TEST_F(LevelTest, UnusableAndWideFmMessagesAreIgnored) {
    OpenDemo();
    Passband(1, 3000);
    ASSERT_EQ(Level(6000, 1e-3f), Raw(-30));
    std::vector<float> bins(16, 1e-1f);
    Spectrum(0, 64, bins.data());
    Spectrum(12000, 3, bins.data());
    Spectrum(12000, 0, bins.data());
    Spectrum(12000, 64, nullptr);
    EXPECT_EQ(Control<TstGauge>("G").Current(), Raw(-30));
    Passband(3, 3000);
    EXPECT_EQ(Level(6000, 1e-1f), Raw(-30));
}

TEST_F(LevelTest, OtherReceiversAreAskedForTheirAgcReading) {
    ConfigureRadio(temp.filePath("radio.ini"),
                   "[receiver]\nserial = AAA1\nlow = 100000\nhigh = 30000000\n");
    Start();
    Open(1);
    Passband(1, 3000);
    ResetApiCalls();
    Level(6000, 1e-3f);
    const std::string expected = "GetRawSignalStrength(" + std::to_string(Receiver().Handle()) +
                                 ")\nK7GetInternalRSSI(" + std::to_string(Receiver().Handle()) +
                                 ")\n";
    EXPECT_EQ(ApiCalls(), expected);
}

TEST_F(LevelTest, TypingAFrequencyRetunesOnceAndShowsWhatWasTaken) {
    TMainForm &w = OpenDemo();
    w.activateWindow();
    QTest::mouseClick(&Control<TmyFrequencyEdit>("Fq"), Qt::LeftButton);
    ASSERT_TRUE(Control<TmyFrequencyEdit>("Fq").hasFocus());
    Control<TmyFrequencyEdit>("Fq").selectAll();
    ResetApiCalls();
    QTest::keyClicks(&Control<TmyFrequencyEdit>("Fq"), "7.1");
    QTest::keyClick(&Control<TmyFrequencyEdit>("Fq"), Qt::Key_Return);
    const std::string calls = ApiCalls();
    EXPECT_EQ(Count(calls, "SetFrequency("), 1) << calls;
    EXPECT_EQ(calls, "SetFrequency(1,7100000)\nGetFrequency(1)\n");
    EXPECT_EQ(Control<TmyFrequencyEdit>("Fq").Value(), 7100000);
    EXPECT_FALSE(Control<TmyFrequencyEdit>("Fq").hasFocus()); // Enter hands the focus to the panel
    EXPECT_NE(ModuleCalls().find("qmvPluginNotify 0x800 7100000"), std::string::npos);

    ResetApiCalls();
    Control<TmyFrequencyEdit>("Fq").SetValue(2147000001LL);
    EXPECT_EQ(ApiCalls(), "SetFrequency(1," + std::to_string(214700000u | 0x80000000u) +
                              ")\nGetFrequency(1)\n");
    EXPECT_EQ(Control<TmyFrequencyEdit>("Fq").Value(), 2147000000LL);
    ResetApiCalls();
    Control<TmyFrequencyEdit>("Fq").SetValue(2147000000LL);
    EXPECT_EQ(ApiCalls(), "");
    Control<TmyFrequencyEdit>("Fq").SetValue(2146000000LL);
    EXPECT_EQ(Count(ApiCalls(), "SetFrequency(1,2146000000)"), 1);
}

TEST_F(LevelTest, DigitKeysGoToTheFrequencyEdit) {
    TMainForm &w = OpenDemo();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    Control<TstGrid>("K7Devs").setFocus();
    QTest::keyClick(&Control<TstGrid>("K7Devs"), Qt::Key_5);
    QTRY_VERIFY_WITH_TIMEOUT(Control<TmyFrequencyEdit>("Fq").hasFocus(), 2000);
    QTRY_VERIFY_WITH_TIMEOUT(Control<TmyFrequencyEdit>("Fq").text().contains('5'), 2000);
    // Keypad digits are left alone.
    Control<TstGrid>("K7Devs").setFocus();
    const QString before = Control<TmyFrequencyEdit>("Fq").text();
    QTest::keyClick(&Control<TstGrid>("K7Devs"), Qt::Key_7, Qt::KeypadModifier);
    QTest::qWait(20);
    EXPECT_TRUE(Control<TstGrid>("K7Devs").hasFocus());
}

TEST_F(LevelTest, OverlayTextOnlyWhileACalibrationSetGivesTheLevel) {
    OpenDemo();
    Passband(1, 3000);
    Document().New();
    TDbmTable table;
    table.fill(-50.5);
    ASSERT_TRUE(
        Document().WriteTable(-1, std::uint64_t(Control<TmyFrequencyEdit>("Fq").Value()), table));

    const QRect overlay((209 - 60) / 2, 2, 60, 14);
    Level(6000, 1e-3f);
    EXPECT_TRUE(Program().Overlay().Shown());
    EXPECT_DOUBLE_EQ(Program().Overlay().Dbm(), -50.5);
    QImage image = testsupport::Render(Control<TstGauge>("G"));
    EXPECT_TRUE(HasLime(image, overlay));
    EXPECT_FALSE(HasLime(image, QRect(4, 2, overlay.left() - 4, 14)));

    // An entry that is not set (0.0) holds no calibration: no text, not "0.0 dBm".
    table.fill(0.0);
    ASSERT_TRUE(
        Document().WriteTable(-1, std::uint64_t(Control<TmyFrequencyEdit>("Fq").Value()), table));
    Level(6000, 1e-3f);
    EXPECT_FALSE(Program().Overlay().Shown());
    EXPECT_FALSE(HasLime(testsupport::Render(Control<TstGauge>("G")), overlay));

    // A point the set lacks: no text.
    Control<TmyFrequencyEdit>("Fq").SetValue(7000000);
    Level(6000, 1e-3f);
    EXPECT_FALSE(Program().Overlay().Shown());
    EXPECT_FALSE(HasLime(testsupport::Render(Control<TstGauge>("G")), overlay));

    // No set: no text either.
    Document().Close();
    Control<TmyFrequencyEdit>("Fq").SetValue(9000);
    Level(6000, 1e-3f);
    EXPECT_FALSE(Program().Overlay().Shown());
    EXPECT_FALSE(HasLime(testsupport::Render(Control<TstGauge>("G")), overlay));
}

TEST_F(LevelTest, WideFmPollsTheReceiversOwnReading) {
    OpenDemo();
    Passband(3, 3000);
    ResetApiCalls();
    QTRY_VERIFY_WITH_TIMEOUT(Count(ApiCalls(), "GetRawSignalStrength(1)") >= 1, 3000);
    auto raw = Export<int32_t (*)(int32_t)>("ZXK740API.dll", "GetRawSignalStrength");
    EXPECT_EQ(Control<TstGauge>("G").Current(), raw(1));
    EXPECT_FALSE(Program().Overlay().Shown());

    // With a set, the overlay reads the wide-FM table of the point.
    Document().New();
    TDbmTable table;
    table.fill(-50.5);
    ASSERT_TRUE(Document()
                    .WriteTable(-1, std::uint64_t(Control<TmyFrequencyEdit>("Fq").Value()), table)
                    .Ok());
    table.fill(-70.5);
    ASSERT_TRUE(Document()
                    .WriteTable(3, std::uint64_t(Control<TmyFrequencyEdit>("Fq").Value()), table)
                    .Ok());
    QTRY_VERIFY_WITH_TIMEOUT(Program().Overlay().Shown(), 3000);
    EXPECT_DOUBLE_EQ(Program().Overlay().Dbm(), -70.5);
}

// Every measured RAW value leaves as a signal, from spectra and from the
// wide-FM reading alike, with the overlay already settled for it.
TEST_F(LevelTest, EachRawValueIsPublished) {
    TMainForm &w = OpenDemo();
    std::vector<std::pair<int, bool>> published;
    QObject::connect(&Program().Level(), &TLiveLevel::RawChanged, &w, [&](std::uint8_t raw) {
        published.emplace_back(raw, Program().Overlay().Shown());
    });
    Passband(1, 3000);
    Document().New();
    TDbmTable table;
    table.fill(-60.0);
    ASSERT_TRUE(
        Document().WriteTable(-1, std::uint64_t(Control<TmyFrequencyEdit>("Fq").Value()), table));
    Level(6000, 1e-3f);
    Level(6000, 1e-3f);
    ASSERT_EQ(published.size(), 2u);
    EXPECT_EQ(published[0], std::make_pair(Raw(-30), true));
    EXPECT_EQ(published[1], published[0]);
    Passband(3, 3000);
    QTRY_VERIFY_WITH_TIMEOUT(published.size() >= 3, 3000);
    EXPECT_EQ(published[2].first, Control<TstGauge>("G").Current());
}

// The simulation agrees with the formula: the level from one spectrum and the
// AGC reading is the generator's level plus the front end's error.
TEST_F(LevelTest, SimulatedLevelIsTheGeneratorPlusTheFrontEndError) {
    ConfigureRadio(temp.filePath("radio.ini"),
                   "[receiver]\nserial = AAA1\nlow = 100000\nhigh = 30000000\n"
                   "eeprom = 900 800 400 -800 800\n");
    const SpectrumLevel::LevelConstants constants{900, 800, 400, -800, 800};
    const auto sim = [](const char *name) { return Export<void *>("libk740sim.so", name); };
    const auto find =
        reinterpret_cast<decltype(&k740sim_FindReceiver)>(sim("k740sim_FindReceiver"));
    const auto tune = reinterpret_cast<decltype(&k740sim_Tune)>(sim("k740sim_Tune"));
    const auto passband =
        reinterpret_cast<decltype(&k740sim_SetPassband)>(sim("k740sim_SetPassband"));
    const auto generator =
        reinterpret_cast<decltype(&k740sim_SetGenerator)>(sim("k740sim_SetGenerator"));
    const auto frontEnd =
        reinterpret_cast<decltype(&k740sim_FrontEndError)>(sim("k740sim_FrontEndError"));
    const auto forceAgc =
        reinterpret_cast<decltype(&k740sim_ForceAgcReading)>(sim("k740sim_ForceAgcReading"));
    const auto spectrum = reinterpret_cast<decltype(&k740sim_Spectrum)>(sim("k740sim_Spectrum"));
    const std::int32_t rx = find("AAA1");
    ASSERT_GT(rx, 0);
    const std::uint64_t tuned = tune(rx, 14200000);
    passband(rx, 1, 3000, 0);
    generator(1, tuned, -73.0);
    const double error = frontEnd(rx, tuned);
    std::vector<float> bins(2048);
    for (int reading = 300; reading <= 990; reading += 10) {
        forceAgc(rx, reading);
        ASSERT_EQ(spectrum(rx, 12000, 2048, bins.data()), 2048);
        double peak = 0;
        ASSERT_TRUE(
            SpectrumLevel::SpectrumPeakDb({12000, 2048 * 4, bins.data()}, 1, 3000, 0, peak));
        const double level =
            SpectrumLevel::LevelDbm(peak, SpectrumLevel::GainTenths(reading, constants));
        EXPECT_NEAR(level, -73.0 + error, 0.5) << "AGC reading " << reading;
    }
}

} // namespace
