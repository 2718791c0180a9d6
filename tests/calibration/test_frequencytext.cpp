// The frequency text under a point and a comma locale.
#include "calibration/frequencytext.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace {

struct LocaleScope {
    explicit LocaleScope(QLocale::Language language, QLocale::Territory territory)
        : previous(QLocale()) {
        QLocale::setDefault(QLocale(language, territory));
    }
    ~LocaleScope() { QLocale::setDefault(previous); }
    QLocale previous;
};

TEST(FrequencyText, UnitsAndTheLocalesSeparator) {
    const struct {
        std::uint64_t hz;
        const char *point, *comma;
    } cases[] = {
        {1799, "1799 Hz", "1799 Hz"},
        {1800, "1.8 kHz", "1,8 kHz"},
        {10000000, "10 MHz", "10 MHz"},
        {145500000, "145.5 MHz", "145,5 MHz"},
        {1000000000, "1000 MHz", "1000 MHz"},
        {2000000000, "2 GHz", "2 GHz"},
        {7100001, "7.100001 MHz", "7,100001 MHz"},
        {18000000000000, "18000 GHz", "18000 GHz"},
    };
    for (const auto &c : cases) {
        {
            LocaleScope english(QLocale::English, QLocale::UnitedStates);
            EXPECT_EQ(FrequencyText(c.hz), QString::fromUtf8(c.point)) << c.hz;
        }
        LocaleScope german(QLocale::German, QLocale::Germany);
        EXPECT_EQ(FrequencyText(c.hz), QString::fromUtf8(c.comma)) << c.hz;
    }
}

} // namespace
