#include "controls/myfrequencyedit.h"
#include "support/testsupport.h"

#include <QApplication>
#include <QLocale>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

// A window with the field and a second control to move the focus to.
struct Window {
    QWidget window;
    TmyFrequencyEdit *fq = new TmyFrequencyEdit(&window);
    QWidget *other = new QWidget(&window);

    Window() {
        window.resize(240, 80);
        window.setPalette(QPalette(ColorToQColor(RGBColor(66, 66, 66))));
        fq->setGeometry(8, 24, 177, 30);
        // The windows' settings.
        fq->SetColor(clBlack);
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(19);
        fq->setFont(font);
        fq->SetFontColor(clLime);
        fq->SetDefaultShadow(false);
        fq->SetMaxLength(12);
        fq->SetFixedPoint(fp1Hz);
        fq->SetHzLimit(2000);
        fq->SetShowUnit(fuMHz);
        fq->setText(QStringLiteral("0,000000"));
        other->setGeometry(200, 0, 20, 20);
        other->setFocusPolicy(Qt::StrongFocus);
        window.show();
        QApplication::setActiveWindow(&window);
        Leave();
    }
    void Focus() {
        QApplication::setActiveWindow(&window);
        fq->setFocus(Qt::TabFocusReason);
        EXPECT_TRUE(fq->hasFocus());
    }
    void Leave() { other->setFocus(Qt::TabFocusReason); }
};

// Tests run under the point and the comma locale.
class FrequencyEdit : public ::testing::TestWithParam<QLocale::Language> {
protected:
    void SetUp() override { QLocale::setDefault(QLocale(GetParam(), QLocale::AnyTerritory)); }
    void TearDown() override { QLocale::setDefault(QLocale::system()); }
    // "14.250000" written with the locale's separator.
    static QString L(QString text) { return text.replace(u'.', QLocale().decimalPoint()); }
    static QChar Separator() { return QLocale().decimalPoint().front(); }
};

TEST_P(FrequencyEdit, WindowSettingsShowMegahertzWithSixDecimals) {
    Window w;
    w.fq->SetValue(14250000);
    EXPECT_EQ(w.fq->text(), L("14.250000"));
    EXPECT_EQ(w.fq->CurrentUnit(), fuMHz);
    EXPECT_EQ(TstFrequencyEdit::UnitLabels[w.fq->CurrentUnit()], QStringLiteral(" MHz"));
    EXPECT_EQ(w.fq->PaintedText(), L("14.250000"));
    w.fq->SetValue(1);
    EXPECT_EQ(w.fq->text(), L("0.000001"));
    w.fq->SetValue(4294967295);
    EXPECT_EQ(w.fq->text(), L("4294.967295"));
}

TEST_P(FrequencyEdit, AutomaticUnitFollowsHzLimitByMagnitude) {
    TstFrequencyEdit fq;
    fq.SetValue(1999);
    EXPECT_EQ(fq.CurrentUnit(), fuHz);
    EXPECT_EQ(fq.text(), QStringLiteral("1999"));
    EXPECT_EQ(TstFrequencyEdit::UnitLabels[fq.CurrentUnit()], QStringLiteral(" Hz "));
    fq.SetValue(2000);
    EXPECT_EQ(fq.CurrentUnit(), fukHz);
    EXPECT_EQ(fq.text(), QStringLiteral("2"));
    fq.SetValue(1999999);
    EXPECT_EQ(fq.CurrentUnit(), fukHz);
    EXPECT_EQ(fq.text(), L("1999.999"));
    fq.SetValue(2000000);
    EXPECT_EQ(fq.CurrentUnit(), fuMHz);
    fq.SetValue(-2000);
    EXPECT_EQ(fq.CurrentUnit(), fukHz);
    EXPECT_EQ(fq.text(), QStringLiteral("-2"));
    fq.SetValue(-1999);
    EXPECT_EQ(fq.CurrentUnit(), fuHz);
    fq.SetValue(2000000000);
    EXPECT_EQ(fq.CurrentUnit(), fuGHz);
    fq.SetHzLimit(0);
    EXPECT_EQ(fq.HzLimit(), 1);
    fq.SetHzLimit(-7);
    EXPECT_EQ(fq.HzLimit(), 1);
    fq.SetValue(1);
    EXPECT_EQ(fq.CurrentUnit(), fukHz);
    EXPECT_EQ(fq.text(), L("0.001"));
}

TEST_P(FrequencyEdit, FixedPointPatternsKeepEveryHertzAndDropZerosBelowTheFixedDigit) {
    TstFrequencyEdit fq;
    fq.SetShowUnit(fuMHz);
    const struct {
        TFixedPoint fp;
        std::int64_t value;
        const char *text;
    } cases[] = {
        {fp10Hz, 14250000, "14.25000"},  {fp10Hz, 14250010, "14.25001"},
        {fp10Hz, 14250001, "14.250001"}, {fp100Hz, 14250000, "14.2500"},
        {fp1kHz, 14250000, "14.250"},    {fp1kHz, 14250500, "14.2505"},
        {fpNone, 14250000, "14.25"},     {fp1Hz, -14250000, "-14.250000"},
    };
    for (const auto &c : cases) {
        fq.SetFixedPoint(c.fp);
        fq.SetValue(c.value);
        EXPECT_EQ(fq.text(), L(c.text)) << c.value;
    }
    fq.SetShowUnit(fukHz);
    fq.SetFixedPoint(fp1kHz);
    fq.SetValue(7000);
    EXPECT_EQ(fq.text(), QStringLiteral("7"));
    fq.SetShowUnit(fuGHz);
    fq.SetFixedPoint(fp100Hz);
    fq.SetValue(1234567800);
    EXPECT_EQ(fq.text(), L("1.2345678"));
    fq.SetShowUnit(fuHz);
    fq.SetValue(1234);
    EXPECT_EQ(fq.text(), QStringLiteral("1234"));
}

TEST_P(FrequencyEdit, PaintedTextStopsAtTheFixedDigitAndTruncatesHertz) {
    TstFrequencyEdit fq;
    fq.SetShowUnit(fuHz);
    fq.SetFixedPoint(fp1kHz);
    fq.SetValue(1234);
    EXPECT_EQ(fq.text(), QStringLiteral("1234"));
    EXPECT_EQ(fq.PaintedText(), QStringLiteral("1000"));
    fq.SetValue(-1234);
    EXPECT_EQ(fq.PaintedText(), QStringLiteral("-1000"));
    fq.SetFixedPoint(fp10Hz);
    fq.SetValue(1239);
    EXPECT_EQ(fq.PaintedText(), QStringLiteral("1230"));
    fq.SetShowUnit(fuMHz);
    fq.SetFixedPoint(fp100Hz);
    fq.SetValue(14250000);
    EXPECT_EQ(fq.PaintedText(), L("14.2500"));
}

TEST_P(FrequencyEdit, RangeClampsAndMinWins) {
    TstFrequencyEdit fq;
    int changes = 0;
    QObject::connect(&fq, &TstFrequencyEdit::OnValueChange, [&](QObject *sender) {
        EXPECT_EQ(sender, &fq);
        ++changes;
    });
    fq.SetValue(-5);
    EXPECT_EQ(fq.Value(), -5) << "no range while Min and Max are 0";
    fq.SetMax(200);
    EXPECT_EQ(fq.Value(), 0) << "Min 0 now applies too";
    fq.SetMin(100);
    EXPECT_EQ(fq.Value(), 100);
    fq.SetValue(300);
    EXPECT_EQ(fq.Value(), 200);
    EXPECT_EQ(changes, 4);
    fq.SetMax(150);
    EXPECT_EQ(fq.Value(), 150) << "lowering Max clamps at once";
    EXPECT_EQ(changes, 5);
    fq.SetMin(500);
    EXPECT_EQ(fq.Value(), 500);
    fq.SetValue(0);
    EXPECT_EQ(fq.Value(), 500) << "Min wins over Max";

    fq.setText(QStringLiteral("junk"));
    const int before = changes;
    fq.SetValue(500);
    EXPECT_EQ(changes, before) << "an unchanged value fires nothing";
    EXPECT_EQ(fq.text(), QStringLiteral("500")) << "but the text is rewritten";
}

TEST_P(FrequencyEdit, UndefinedValueShowsItsTextWithBlankLabelAndBypassesTheRange) {
    TstFrequencyEdit fq;
    fq.SetMin(100);
    fq.SetMax(200);
    fq.SetUndefValueText(QStringLiteral("n/a"));
    fq.SetDisplayUndefValueText(true);
    fq.SetValue(0);
    EXPECT_EQ(fq.Value(), 0);
    EXPECT_EQ(fq.text(), QStringLiteral("n/a"));
    EXPECT_EQ(fq.PaintedText(), QStringLiteral("n/a"));
    EXPECT_EQ(fq.CurrentUnit(), 4);
    EXPECT_EQ(TstFrequencyEdit::UnitLabels[4], QStringLiteral("    "));
    fq.SetUndefValueText(QStringLiteral("none"));
    EXPECT_EQ(fq.text(), QStringLiteral("none"));
    fq.SetValue(150);
    EXPECT_EQ(fq.text(), QStringLiteral("150"));
}

TEST_P(FrequencyEdit, GetValueReadsTheTextInTheCurrentUnitRoundingHalvesToEven) {
    TstFrequencyEdit fq;
    fq.SetShowUnit(fuHz);
    fq.SetValue(77);
    const struct {
        const char *text;
        std::int64_t value;
    } cases[] = {{"2.5", 2},  {"3.5", 4}, {"-2.5", -2}, {"12", 12},
                 {"abc", 77}, {"", 77},   {"-", 77},    {"1e30", 77}};
    for (const auto &c : cases) {
        fq.setText(L(c.text));
        EXPECT_EQ(fq.GetValue(), c.value) << c.text;
    }
    fq.SetShowUnit(fuMHz);
    fq.SetValue(1);
    fq.setText(L("14.25"));
    EXPECT_EQ(fq.GetValue(), 14250000);
    EXPECT_EQ(fq.Value(), 1) << "GetValue stores nothing";
    fq.UpdateValue();
    EXPECT_EQ(fq.Value(), 14250000);
}

TEST_P(FrequencyEdit, TypingANumberAndAUnitLetterThenEnterStoresIt) {
    Window w;
    w.fq->SetValue(14250000);
    QString seen;
    w.fq->SetOnKeyPress(
        [&](QObject *, QChar &key) { seen += key.isNull() ? QChar(u'0') : QChar(u'x'); });
    w.Focus();
    EXPECT_EQ(w.fq->selectedText(), w.fq->text()) << "AutoSelect";
    QTest::keyClicks(w.fq, QStringLiteral("7100k"));
    EXPECT_EQ(w.fq->text(), QStringLiteral("7100"));
    EXPECT_EQ(w.fq->CurrentUnit(), fukHz);
    EXPECT_EQ(w.fq->Value(), 14250000);
    QTest::keyClick(w.fq, Qt::Key_Return);
    EXPECT_EQ(w.fq->Value(), 7100000);
    EXPECT_EQ(w.fq->text(), L("7.100000"));
    EXPECT_EQ(w.fq->CurrentUnit(), fuMHz);
    EXPECT_EQ(seen, QStringLiteral("xxxx00")) << "the letter and Enter reach the owner as zero";
}

TEST_P(FrequencyEdit, UnitStepsDownWhileTypedNumberExceedsMax) {
    Window w;
    w.fq->SetMax(30000000);
    w.fq->SetValue(14250000);
    w.Focus();
    QTest::keyClicks(w.fq, QStringLiteral("14"));
    EXPECT_EQ(w.fq->CurrentUnit(), fuMHz);
    QTest::keyClicks(w.fq, QStringLiteral("5"));
    EXPECT_EQ(w.fq->CurrentUnit(), fukHz);
    QTest::keyClick(w.fq, Qt::Key_Return);
    EXPECT_EQ(w.fq->Value(), 145000);
    EXPECT_EQ(w.fq->text(), L("0.145000"));
}

TEST_P(FrequencyEdit, EscapeThrowsTypingAwayAndLeavingTakesIt) {
    Window w;
    int changes = 0;
    QObject::connect(w.fq, &TstFrequencyEdit::OnValueChange, [&] { ++changes; });
    w.fq->SetValue(14250000);
    w.Focus();
    QTest::keyClicks(w.fq, QStringLiteral("21"));
    QTest::keyClick(w.fq, Qt::Key_Escape);
    EXPECT_EQ(w.fq->text(), L("14.250000"));
    EXPECT_EQ(w.fq->Value(), 14250000);
    EXPECT_EQ(changes, 1);

    w.fq->selectAll();
    QTest::keyClicks(w.fq, QStringLiteral("21"));
    w.Leave();
    EXPECT_EQ(w.fq->Value(), 21000000);

    w.fq->SetUpdateOnExit(false);
    w.Focus();
    QTest::keyClicks(w.fq, QStringLiteral("3"));
    w.Leave();
    EXPECT_EQ(w.fq->Value(), 21000000);
    EXPECT_EQ(w.fq->text(), L("21.000000"));

    w.fq->SetUpdateOnExit(true);
    w.Focus();
    QTest::keyClicks(w.fq, QStringLiteral("-"));
    w.Leave();
    EXPECT_EQ(w.fq->text(), L("21.000000")) << "a lone '-' is no number";
}

TEST_P(FrequencyEdit, SwitchingToAnotherWindowKeepsTheTyping) {
    Window w;
    w.fq->SetValue(14250000);
    w.Focus();
    QTest::keyClicks(w.fq, QStringLiteral("7"));
    QWidget elsewhere;
    elsewhere.show();
    QApplication::setActiveWindow(&elsewhere);
    EXPECT_EQ(w.fq->text(), QStringLiteral("7"));
    EXPECT_EQ(w.fq->Value(), 14250000);
    QApplication::setActiveWindow(&w.window);
    w.Leave();
    EXPECT_EQ(w.fq->Value(), 7000000);

    w.Focus();
    QTest::keyClicks(w.fq, QStringLiteral("8"));
    QApplication::setActiveWindow(&elsewhere);
    w.other->setFocus(Qt::OtherFocusReason);
    QApplication::setActiveWindow(&w.window);
    EXPECT_EQ(w.fq->Value(), 8000000) << "the focus moved on while the window was inactive";
}

TEST_P(FrequencyEdit, OneMinusAndOneSeparatorAtMostAndBothSeparatorKeysGiveTheLocaleOne) {
    Window w;
    w.Focus();
    QTest::keyClicks(w.fq, QStringLiteral("-1.5.2-"));
    EXPECT_EQ(w.fq->text(), QStringLiteral("-1") + Separator() + QStringLiteral("52"));
    w.fq->selectAll();
    QTest::keyClicks(w.fq, QStringLiteral("3,25x"));
    EXPECT_EQ(w.fq->text(), QStringLiteral("3") + Separator() + QStringLiteral("25"));
    QTest::keyClick(w.fq, Qt::Key_Return);
    EXPECT_EQ(w.fq->Value(), 3250000);
}

TEST_P(FrequencyEdit, EnterMovesTheFocusToTheExitControl) {
    Window w;
    w.fq->SetExitControl(w.other);
    w.Focus();
    QTest::keyClicks(w.fq, QStringLiteral("7"));
    QTest::keyClick(w.fq, Qt::Key_Return);
    EXPECT_TRUE(w.other->hasFocus());
    EXPECT_EQ(w.fq->Value(), 7000000);
}

TEST_P(FrequencyEdit, Freq2strPicksTheLargestUnitAboveOnePointFive) {
    EXPECT_EQ(Freq2str(1499), QStringLiteral("1499 Hz"));
    EXPECT_EQ(Freq2str(1500), L("1.5 kHz"));
    EXPECT_EQ(Freq2str(-1500), L("-1.5 kHz"));
    EXPECT_EQ(Freq2str(1499999), L("1499.999 kHz"));
    EXPECT_EQ(Freq2str(14250000), L("14.25 MHz"));
    EXPECT_EQ(Freq2str(2000000000), QStringLiteral("2 GHz"));
}

INSTANTIATE_TEST_SUITE_P(Locales, FrequencyEdit,
                         ::testing::Values(QLocale::English, QLocale::German),
                         [](const auto &info) {
                             return info.param == QLocale::English ? "Point" : "Comma";
                         });

TEST(FrequencyEditProperties, SmallFontPercentIsClamped) {
    TstFrequencyEdit fq;
    EXPECT_EQ(fq.SmallFontSizePercent(), 70);
    fq.SetSmallFontSizePercent(150);
    EXPECT_EQ(fq.SmallFontSizePercent(), 100);
    fq.SetSmallFontSizePercent(-5);
    EXPECT_EQ(fq.SmallFontSizePercent(), 0);
    EXPECT_EQ(fq.text(), QStringLiteral("0"));
    EXPECT_EQ(fq.MaxLength(), 12);
}

// The lit (green) columns and rows of a region of a rendered field.
struct Ink {
    int left = 1 << 20, right = -1, top = 1 << 20, bottom = -1;
    bool Any() const { return right >= 0; }
};

Ink InkIn(const QImage &image, int x0, int x1, int y0, int y1) {
    Ink ink;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (qGreen(image.pixel(x, y)) > 128) {
                ink.left = std::min(ink.left, x);
                ink.right = std::max(ink.right, x);
                ink.top = std::min(ink.top, y);
                ink.bottom = std::max(ink.bottom, y);
            }
    return ink;
}

class FrequencyEditPixels : public ::testing::Test {
protected:
    void TearDown() override { QLocale::setDefault(QLocale::system()); }
};

TEST_F(FrequencyEditPixels, ValueDigitsEndAgainstTheUnitLabel) {
    Window w;
    w.Leave();
    w.fq->SetValue(14250000);
    const QImage image = testsupport::Render(*w.fq);
    const int b = TstCustomEdit::BorderWidth();
    const int edge = b + w.fq->TextRight();
    const int bottom = b + w.fq->LineHeight();

    EXPECT_EQ(testsupport::Pixel(image, b + 3, b + 3), 0x000000u) << "black field";
    const Ink digits = InkIn(image, b, edge, b, bottom);
    ASSERT_TRUE(digits.Any());
    EXPECT_GE(digits.right, edge - 3) << "right-aligned at the text area's right edge";
    EXPECT_LT(digits.right, edge);
    const Ink label = InkIn(image, edge, image.width() - b, b, bottom);
    ASSERT_TRUE(label.Any());
    EXPECT_GT(label.left, edge + 2) << "the label starts with a blank";
    EXPECT_EQ(label.bottom, digits.bottom) << "same font, same baseline";
    bool lime = false;
    for (int y = label.top; y <= label.bottom; ++y)
        for (int x = label.left; x <= label.right; ++x)
            lime = lime || testsupport::Pixel(image, x, y) == 0x00FF00u;
    EXPECT_TRUE(lime) << "lime on black";
    // Digits and label are the only ink: nothing of the native entry shows.
    EXPECT_FALSE(InkIn(image, b, digits.left, b, bottom).Any());
}

TEST_F(FrequencyEditPixels, UnfocusedFieldPaintsTheValueNotTheNativeText) {
    Window a;
    a.Leave();
    a.fq->SetShowUnit(fuHz);
    a.fq->SetFixedPoint(fp1kHz);
    a.fq->SetValue(1234);
    Window b;
    b.Leave();
    b.fq->SetShowUnit(fuHz);
    b.fq->SetFixedPoint(fp1kHz);
    b.fq->SetValue(1000);
    EXPECT_EQ(testsupport::Render(*a.fq), testsupport::Render(*b.fq));

    a.Focus();
    EXPECT_NE(testsupport::Render(*a.fq), testsupport::Render(*b.fq))
        << "with the focus the native text 1234 shows";
}

TEST_F(FrequencyEditPixels, SmallDigitsShareTheBaselineOfTheLargeOnes) {
    Window w;
    w.Leave();
    w.fq->SetSmallFixedPoint(fp1kHz);
    w.fq->SetSmallColor(clLime);
    w.fq->SetValue(14250500);
    const QImage image = testsupport::Render(*w.fq);
    const int b = TstCustomEdit::BorderWidth();
    const int edge = b + w.fq->TextRight();
    const int bottom = b + w.fq->LineHeight();

    QFont small = w.fq->font();
    small.setPixelSize(19 * 70 / 100);
    const int smallWidth = QFontMetrics(small).horizontalAdvance(QStringLiteral("500"));
    const Ink smallInk = InkIn(image, edge - smallWidth, edge, b, bottom);
    const Ink largeInk = InkIn(image, b, edge - smallWidth, b, bottom);
    ASSERT_TRUE(smallInk.Any());
    ASSERT_TRUE(largeInk.Any());
    EXPECT_NEAR(smallInk.bottom, largeInk.bottom, 1) << "one baseline";
    EXPECT_GT(smallInk.top, largeInk.top + 2) << "smaller digits";
    EXPECT_GE(largeInk.right, edge - smallWidth - 3);
    EXPECT_LT(largeInk.right, edge - smallWidth);
}

TEST_F(FrequencyEditPixels, UndefinedValueHasABlankLabel) {
    Window w;
    w.Leave();
    w.fq->SetUndefValueText(QStringLiteral("---"));
    w.fq->SetDisplayUndefValueText(true);
    w.fq->SetValue(0);
    const QImage image = testsupport::Render(*w.fq);
    const int b = TstCustomEdit::BorderWidth();
    const int edge = b + w.fq->TextRight();
    EXPECT_TRUE(InkIn(image, b, edge, b, b + w.fq->LineHeight()).Any());
    EXPECT_FALSE(InkIn(image, edge, image.width() - b, b, image.height() - b).Any());
}

TEST_F(FrequencyEditPixels, FocusedFieldShowsTheTypedTextBesideTheLabel) {
    Window w;
    w.fq->SetValue(14250000);
    const int b = TstCustomEdit::BorderWidth();
    const int edge = b + w.fq->TextRight();
    const Ink painted = InkIn(testsupport::Render(*w.fq), b, edge, b, b + w.fq->LineHeight());
    w.Focus();
    w.fq->end(false);
    w.fq->setReadOnly(true); // no caret in the picture
    const Ink native = InkIn(testsupport::Render(*w.fq), b, edge, b, b + w.fq->LineHeight());
    w.fq->setReadOnly(false);
    EXPECT_NEAR(native.left, painted.left, 1)
        << "the text does not jump when the field takes the focus";
    EXPECT_NEAR(native.right, painted.right, 1);
    EXPECT_EQ(native.top, painted.top);
    EXPECT_EQ(native.bottom, painted.bottom);

    QTest::keyClicks(w.fq, QStringLiteral("7"));
    const QImage image = testsupport::Render(*w.fq);
    const Ink text = InkIn(image, b, edge, b, b + w.fq->LineHeight());
    ASSERT_TRUE(text.Any());
    EXPECT_GE(text.right, edge - 4);
    EXPECT_LE(text.right, edge + 1);
    EXPECT_TRUE(InkIn(image, edge + 2, image.width() - b, b, b + w.fq->LineHeight()).Any());
}

// Records the wheel turns it gets and what the field's ExitControl was then.
class UpDown : public QWidget {
public:
    std::function<void()> onWheel;
    int turns = 0;

protected:
    void wheelEvent(QWheelEvent *event) override {
        turns += event->angleDelta().y() / 120;
        if (onWheel) onWheel();
        event->accept();
    }
};

TEST(FrequencyEditWheel, GoesToTheUpDownControlWithExitControlSuspended) {
    Window w;
    UpDown upDown;
    w.fq->SetExitControl(w.other);
    w.fq->SetUpDownControl(&upDown);
    QWidget *during = w.other;
    upDown.onWheel = [&] { during = w.fq->ExitControl(); };
    QWheelEvent wheel(QPointF(5, 5), w.fq->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -240),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(w.fq, &wheel);
    EXPECT_EQ(upDown.turns, -2);
    EXPECT_EQ(during, nullptr);
    EXPECT_EQ(w.fq->ExitControl(), w.other);
}

} // namespace
