// The verification run and its results: what the generator is told and in
// which order, what is recorded at each level, the verdict, the level list
// and the CSV, and the output switched off however the run ends.
#include "generator/verifyengine.h"
#include "support/logginggenerator.h"

#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

using testsupport::LoggingGenerator;

struct VerifyRun {
    bool finished = false, completed = false;
    QString error;
    std::vector<std::uint64_t> tuned;
    TVerification result;
};

// The receiver reads RAW = level + 140 while the output is on (0 when off),
// and the set shows RAW - 140 + offset(hz), with `notSetRaw` not set.
VerifyRun Verify(std::shared_ptr<LoggingGenerator::Shared> gen, TVerifySettings settings,
                 std::vector<std::uint64_t> points, std::function<double(std::uint64_t)> offset,
                 int notSetRaw = -1, int stopAfterReadings = -1, const QString &tuneFailsAt = {}) {
    settings.SettleMs = 0;
    settings.ReadingWaitMs = 300;
    TVerifyEngine engine;
    VerifyRun run;
    QTimer feed;
    QObject::connect(&feed, &QTimer::timeout, [&] {
        engine.AddReading(
            std::uint8_t(gen->on ? std::clamp(gen->level.load() + 140, 0.0, 255.0) : 0));
    });
    feed.start(1);
    int readings = 0;
    QObject::connect(&engine, &TVerifyEngine::ReadingDone, [&](int, int) {
        if (++readings == stopAfterReadings) engine.Stop();
    });
    QEventLoop loop;
    QObject::connect(&engine, &TVerifyEngine::Finished, [&](bool completed, const QString &e) {
        run.finished = true;
        run.completed = completed;
        run.error = e;
        loop.quit();
    });
    const auto tune = [&](std::uint64_t hz, QString &error) {
        run.tuned.push_back(hz);
        if (QString::number(hz) == tuneFailsAt) {
            error = QStringLiteral("The receiver does not reach %1 Hz.").arg(hz);
            return false;
        }
        return true;
    };
    const auto lookup = [&](std::uint64_t hz, std::uint8_t raw) -> std::optional<double> {
        if (raw == notSetRaw) return std::nullopt;
        return raw - 140.0 + offset(hz);
    };
    QString error;
    EXPECT_TRUE(engine.Start(settings, points, std::make_unique<LoggingGenerator>(gen), tune,
                             lookup, &error))
        << error.toStdString();
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_TRUE(run.finished);
    run.result = engine.Result();
    return run;
}

TEST(VerifyEngine, StepsEveryPointThroughTheLevelsAndRecordsTheErrors) {
    auto gen = std::make_shared<LoggingGenerator::Shared>();
    TVerifySettings settings;
    settings.Levels = {-100, -90, -80};
    settings.Loss = 10;
    settings.Readings = 3;
    const VerifyRun run = Verify(gen, settings, {7'100'000, 14'200'000}, [](std::uint64_t hz) {
        return hz == 7'100'000 ? 0.4 : -1.5; // the second point is off by 1.5 dB
    });
    ASSERT_TRUE(run.completed) << run.error.toStdString();
    EXPECT_EQ(run.tuned, (std::vector<std::uint64_t>{7'100'000, 14'200'000}));
    EXPECT_EQ(gen->log,
              QStringList({"connect", "FREQ 7100000", "POW -100", "OUTP ON", "POW -90", "POW -80",
                           "FREQ 14200000", "POW -100", "POW -90", "POW -80", "OUTP OFF"}));
    const TVerification &v = run.result;
    EXPECT_TRUE(v.Complete);
    EXPECT_EQ(v.Identity, "Logging,Generator,1,0");
    ASSERT_EQ(v.Points.size(), 2u);
    for (const TVerifyPoint &point : v.Points) {
        ASSERT_EQ(point.Readings.size(), 3u);
        for (std::size_t i = 0; i < 3; ++i) {
            const TVerifyReading &r = point.Readings[i];
            EXPECT_EQ(r.Level, settings.Levels[i]);
            EXPECT_EQ(r.Applied, settings.Levels[i] - 10);
            EXPECT_EQ(r.Raw, int(r.Level + 140)); // the generator's level reaches the receiver
            ASSERT_TRUE(r.Shown);
            EXPECT_NEAR(r.Error(), point.Hz == 7'100'000 ? 10.4 : 8.5, 1e-9);
        }
    }
    EXPECT_EQ(v.FailureCount(), 6);
    EXPECT_FALSE(v.Passed());
    EXPECT_NEAR(*v.WorstError(), 10.4, 1e-9);
}

TEST(VerifyEngine, NotSetEntriesFailAndAStopOrAFailureSwitchesTheOutputOff) {
    struct Case {
        const char *name;
        std::vector<double> levels;
        int notSetRaw, stopAfter;
        QString failAt, tuneFailsAt;
        bool completed;
        const char *error; // part of the message, or empty
        int readingsMin, readingsMax;
        QStringList tail; // the last commands
    } cases[] = {
        {"not set", {-100, -90}, 50, -1, {}, {}, true, "", 4, 4, {"POW -90", "OUTP OFF"}},
        {"stopped", {-100, -90}, -1, 3, {}, {}, false, "", 3, 4, {"OUTP OFF"}},
        {"generator fails",
         {-100, -90, -80},
         -1,
         -1,
         "POW -80",
         {},
         false,
         "refused POW -80",
         2,
         2,
         {"POW -80", "connect", "OUTP OFF"}},
        {"tuning fails",
         {-100, -90},
         -1,
         -1,
         {},
         "14200000",
         false,
         "does not reach 14200000",
         2,
         2,
         {"POW -90", "OUTP OFF"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        auto gen = std::make_shared<LoggingGenerator::Shared>();
        gen->failAt = c.failAt;
        TVerifySettings settings;
        settings.Levels = c.levels;
        settings.Readings = 1;
        const VerifyRun run = Verify(
            gen, settings, {7'100'000, 14'200'000}, [](std::uint64_t) { return 0.0; }, c.notSetRaw,
            c.stopAfter, c.tuneFailsAt);
        EXPECT_EQ(run.completed, c.completed);
        if (*c.error)
            EXPECT_TRUE(run.error.contains(QLatin1String(c.error))) << run.error.toStdString();
        else
            EXPECT_TRUE(run.error.isEmpty()) << run.error.toStdString();
        EXPECT_GE(run.result.ReadingCount(), c.readingsMin);
        EXPECT_LE(run.result.ReadingCount(), c.readingsMax);
        EXPECT_FALSE(gen->on);
        EXPECT_EQ(gen->log.mid(gen->log.size() - c.tail.size()), c.tail)
            << gen->log.join(", ").toStdString();
        EXPECT_FALSE(run.result.Passed());
        if (c.notSetRaw >= 0) {
            // RAW 50 (-90 dBm) has no calibration: a failure, shown as such.
            const TVerifyReading &r = run.result.Points[0].Readings[1];
            EXPECT_FALSE(r.Shown);
            EXPECT_TRUE(std::isnan(r.Error()));
            EXPECT_EQ(Verification::ErrorText(r), "no calibration");
            EXPECT_EQ(run.result.FailureCount(), 2);
            EXPECT_EQ(*run.result.WorstError(), 0.0);
        }
    }
}

TEST(VerifyEngine, RefusesWhatCannotRun) {
    TVerifyEngine engine;
    const auto tune = [](std::uint64_t, QString &) { return true; };
    const auto lookup = [](std::uint64_t, std::uint8_t) { return std::optional<double>(); };
    const auto gen = [] {
        return std::make_unique<LoggingGenerator>(std::make_shared<LoggingGenerator::Shared>());
    };
    TVerifySettings good;
    TVerifySettings noLevels;
    noLevels.Levels.clear();
    TVerifySettings badTolerance;
    badTolerance.Tolerance = 0;
    struct Case {
        TVerifySettings settings;
        std::vector<std::uint64_t> points;
        bool withGenerator;
        const char *error;
    } cases[] = {
        {noLevels, {1}, true, "at least one level"},
        {badTolerance, {1}, true, "tolerance must be greater than 0"},
        {good, {}, true, "no point"},
        {good, {1}, false, "no generator"},
    };
    for (const Case &c : cases) {
        QString error;
        EXPECT_FALSE(engine.Start(c.settings, c.points, c.withGenerator ? gen() : nullptr, tune,
                                  lookup, &error));
        EXPECT_TRUE(error.contains(QLatin1String(c.error), Qt::CaseInsensitive))
            << error.toStdString();
        EXPECT_FALSE(engine.Running());
    }
}

TEST(Verification, VerdictToleranceAndCsv) {
    TVerification v;
    v.Tolerance = 1.0;
    v.Loss = 0.5;
    v.Levels = {-100, -90};
    v.Points = {{3'600'000, {{-100, -100.5, 40, -99.5}, {-90, -90.5, 50, -91.4}}},
                {7'100'000, {{-100, -100.5, 40, std::nullopt}, {-90, -90.5, 50, -89.4}}}};
    v.Complete = true;
    struct Expect {
        double error;
        bool passes;
        const char *text;
    } expected[] = {{1.0, true, "+1.0"},
                    {-0.9, true, "-0.9"},
                    {NAN, false, "no calibration"},
                    {1.1, false, "+1.1"}};
    int i = 0;
    for (const TVerifyPoint &point : v.Points)
        for (const TVerifyReading &r : point.Readings) {
            const Expect &e = expected[i++];
            if (std::isnan(e.error))
                EXPECT_TRUE(std::isnan(r.Error()));
            else
                EXPECT_NEAR(r.Error(), e.error, 1e-9);
            EXPECT_EQ(v.Passes(r), e.passes) << i;
            EXPECT_EQ(Verification::ErrorText(r), e.text);
        }
    EXPECT_EQ(v.FailureCount(), 2);
    EXPECT_FALSE(v.Passed());
    EXPECT_EQ(v.VerdictText(), QString::fromUtf8("FAIL (tolerance \u00b11.0 dB)"));
    EXPECT_NEAR(*v.WorstError(), 1.1, 1e-9);
    EXPECT_EQ(Verification::Csv(v),
              "frequency_hz,generator_dbm,applied_dbm,raw,shown_dbm,error_db,result,tolerance_db\n"
              "3600000,-100,-100.5,40,-99.5,1.0,pass,1.0\n"
              "3600000,-90,-90.5,50,-91.4,-0.9,pass,1.0\n"
              "7100000,-100,-100.5,40,,,fail,1.0\n"
              "7100000,-90,-90.5,50,-89.4,1.1,fail,1.0\n");

    v.Points[1].Readings = {{-100, -100.5, 40, -100.0}, {-90, -90.5, 50, -90.0}};
    EXPECT_TRUE(v.Passed());
    EXPECT_EQ(v.VerdictText(), QString::fromUtf8("PASS (tolerance \u00b11.0 dB)"));
    v.Complete = false;
    EXPECT_FALSE(v.Passed());
    EXPECT_TRUE(v.VerdictText().startsWith("INCOMPLETE"));
}

TEST(Verification, LevelLists) {
    struct Case {
        const char *text;
        std::vector<double> levels; // empty: refused
        const char *shown;          // LevelsText of the result
    } cases[] = {
        {"-120:-30:10", {-120, -110, -100, -90, -80, -70, -60, -50, -40, -30}, "-120:-30:10"},
        {" -30 : -50 : 10 ", {-30, -40, -50}, "-30:-50:10"},
        {"-100:-95:2", {-100, -98, -96}, "-100:-96:2"},
        {"-73.5, -60;-20  -10", {-73.5, -60, -20, -10}, "-73.5, -60, -20, -10"},
        {"-50", {-50}, "-50"},
        {"-50:-40:0", {}, ""},
        {"-120:-30", {}, ""},
        {"-1e9:0:0.001", {}, ""},
        {"abc", {}, ""},
        {"", {}, ""},
        {"nan", {}, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        std::vector<double> levels{1.0};
        QString error;
        const bool ok = Verification::ParseLevels(QString::fromLatin1(c.text), levels, error);
        EXPECT_EQ(ok, !c.levels.empty());
        if (ok) {
            EXPECT_EQ(levels, c.levels);
            EXPECT_EQ(Verification::LevelsText(levels), c.shown);
        } else {
            EXPECT_FALSE(error.isEmpty());
            EXPECT_EQ(levels, std::vector<double>{1.0}); // untouched
        }
    }
    EXPECT_EQ(Verification::LevelsText(Verification::DefaultLevels()), "-120:-30:10");
}

} // namespace
