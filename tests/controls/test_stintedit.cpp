#include "controls/myintedit.h"
#include "support/testsupport.h"

#include <QApplication>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace {

// The fill dialog's RAW range field on a window, with a second control.
struct Window {
    QWidget window;
    TmyIntEdit *edit = new TmyIntEdit(&window);
    QWidget *other = new QWidget(&window);

    Window() {
        window.resize(200, 60);
        window.setPalette(QPalette(ColorToQColor(RGBColor(66, 66, 66))));
        edit->setGeometry(8, 8, 60, 21);
        edit->SetColor(clBlack);
        edit->SetFontColor(clLime);
        edit->SetDefaultShadow(false);
        edit->SetMax(255);
        edit->SetMin(0);
        other->setGeometry(100, 8, 20, 20);
        other->setFocusPolicy(Qt::StrongFocus);
        window.show();
        QApplication::setActiveWindow(&window);
        other->setFocus(Qt::TabFocusReason);
    }
    void Type(const QString &keys) {
        edit->setFocus(Qt::TabFocusReason);
        EXPECT_TRUE(edit->hasFocus());
        edit->selectAll();
        QTest::keyClicks(edit, keys);
    }
};

TEST(IntEdit, EnterTakesTheTypedNumberClampedToTheRange) {
    Window w;
    int changes = 0;
    QObject::connect(w.edit, &TstIntEdit::OnValueChange, [&](QObject *sender) {
        EXPECT_EQ(sender, w.edit);
        ++changes;
    });
    w.Type(QStringLiteral("300"));
    QTest::keyClick(w.edit, Qt::Key_Return);
    EXPECT_EQ(w.edit->Value(), 255);
    EXPECT_EQ(w.edit->text(), QStringLiteral("255"));
    EXPECT_EQ(changes, 1);
    w.Type(QStringLiteral("-5"));
    QTest::keyClick(w.edit, Qt::Key_Return);
    EXPECT_EQ(w.edit->Value(), 0);
    EXPECT_EQ(changes, 2);
    w.edit->SetValue(0);
    EXPECT_EQ(changes, 2) << "no event without a change";
}

TEST(IntEdit, NoRangeWhenMinAndMaxAreZeroAndMinWinsOverMax) {
    TstIntEdit edit;
    edit.SetValue(-5);
    EXPECT_EQ(edit.Value(), -5);
    edit.SetValue(2000000000);
    EXPECT_EQ(edit.Value(), 2000000000);
    edit.SetMax(10);
    EXPECT_EQ(edit.Value(), 10);
    edit.SetValue(-3);
    EXPECT_EQ(edit.Value(), 0) << "Min 0 applies once a range is set";
    edit.SetMin(20);
    EXPECT_EQ(edit.Value(), 20);
    edit.SetValue(15);
    EXPECT_EQ(edit.Value(), 20);
}

TEST(IntEdit, KeysOtherThanDigitsMinusAndBackspaceAreRefused) {
    Window w;
    QString seen;
    w.edit->SetOnKeyPress([&](QObject *, QChar &key) { seen += key.isNull() ? QChar(u'0') : key; });
    w.Type(QStringLiteral("1a-2-.3"));
    EXPECT_EQ(w.edit->text(), QStringLiteral("1-23"));
    EXPECT_EQ(seen, QStringLiteral("10-2003"));
    QTest::keyClick(w.edit, Qt::Key_Backspace);
    EXPECT_EQ(w.edit->text(), QStringLiteral("1-2"));
}

TEST(IntEdit, TenDigitsCannotBeTyped) {
    Window w;
    w.Type(QStringLiteral("1234567890"));
    EXPECT_EQ(w.edit->text(), QStringLiteral("123456789"));
    w.edit->setText(QStringLiteral("12345678901"));
    EXPECT_EQ(w.edit->text(), QStringLiteral("12345678901")) << "the program's text is kept whole";
}

TEST(IntEdit, LeavingTakesOrDropsTheTypingAndALoneMinusIsRestored) {
    Window w;
    w.edit->SetValue(17);
    w.Type(QStringLiteral("-"));
    w.other->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(w.edit->text(), QStringLiteral("17"));
    EXPECT_EQ(w.edit->Value(), 17);

    w.Type(QStringLiteral("42"));
    w.other->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(w.edit->Value(), 42);

    w.edit->SetUpdateOnExit(false);
    w.Type(QStringLiteral("99"));
    w.other->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(w.edit->Value(), 42);
    EXPECT_EQ(w.edit->text(), QStringLiteral("42"));

    w.Type(QStringLiteral("7"));
    QTest::keyClick(w.edit, Qt::Key_Escape);
    EXPECT_EQ(w.edit->text(), QStringLiteral("42"));
}

TEST(IntEdit, ValueChangingVetoKeepsValueAndFocus) {
    Window w;
    w.edit->SetExitControl(w.other);
    int changes = 0;
    QObject::connect(w.edit, &TstIntEdit::OnValueChange, [&] { ++changes; });
    w.edit->SetOnValueChanging(
        [&](QObject *, std::int32_t value, bool &allow) { allow = value != 13; });
    w.Type(QStringLiteral("13"));
    QTest::keyClick(w.edit, Qt::Key_Return);
    EXPECT_EQ(w.edit->Value(), 0);
    EXPECT_EQ(changes, 0);
    EXPECT_TRUE(w.edit->hasFocus());

    w.Type(QStringLiteral("12"));
    QTest::keyClick(w.edit, Qt::Key_Return);
    EXPECT_EQ(w.edit->Value(), 12);
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(w.other->hasFocus()) << "an accepted value sends the focus on";
}

TEST(IntEdit, UndefinedValueText) {
    TstIntEdit edit;
    edit.SetMin(1);
    edit.SetMax(9);
    EXPECT_EQ(edit.Value(), 1);
    edit.SetUndefValue(-1);
    edit.SetUndefValueText(QStringLiteral("any"));
    edit.SetDisplayUndefValueText(true);
    edit.SetValue(-1);
    EXPECT_EQ(edit.Value(), -1) << "the undefined value bypasses the range";
    EXPECT_EQ(edit.text(), QStringLiteral("any"));
    EXPECT_EQ(edit.TypedValue(), -1);
    edit.SetUndefValueText(QStringLiteral("all"));
    EXPECT_EQ(edit.text(), QStringLiteral("all"));
}

TEST(CustomEdit, ShadowOffsetIsClampedAndTheShadedBorderSinksIntoTheParent) {
    Window w;
    w.edit->SetShadowOffset(500);
    EXPECT_EQ(w.edit->ShadowOffset(), 360);
    w.edit->SetShadowOffset(-3);
    EXPECT_EQ(w.edit->ShadowOffset(), 0);
    w.edit->SetShadowOffset(50);

    const QImage image = testsupport::Render(*w.edit);
    const int lightnessOfParent = QColor(66, 66, 66).lightness();
    EXPECT_LT(QColor(image.pixel(0, 10)).lightness(), lightnessOfParent) << "darker at the left";
    EXPECT_LT(QColor(image.pixel(20, 0)).lightness(), lightnessOfParent) << "darker at the top";
    EXPECT_GT(QColor(image.pixel(59, 10)).lightness(), lightnessOfParent) << "lighter at the right";
    EXPECT_GT(QColor(image.pixel(20, 20)).lightness(), lightnessOfParent)
        << "lighter at the bottom";
    EXPECT_EQ(testsupport::Pixel(image, 3, 3), 0x000000u) << "the field's own colour inside";

    w.window.setPalette(QPalette(ColorToQColor(RGBColor(0, 0, 200))));
    const QImage blue = testsupport::Render(*w.edit);
    EXPECT_GT(qBlue(blue.pixel(0, 10)), qRed(blue.pixel(0, 10))) << "shades of the parent's colour";
}

class UpDown : public QWidget {
public:
    int turns = 0;
    QWidget *exitDuring = nullptr;
    TstIntEdit *edit = nullptr;

protected:
    void wheelEvent(QWheelEvent *event) override {
        turns += event->angleDelta().y() / 120;
        exitDuring = edit->ExitControl();
        event->accept();
    }
};

TEST(IntEdit, WheelGoesToTheUpDownControlWithExitControlSuspended) {
    Window w;
    UpDown upDown;
    upDown.edit = w.edit;
    upDown.exitDuring = w.other;
    w.edit->SetExitControl(w.other);
    w.edit->SetUpDownControl(&upDown);
    QWheelEvent wheel(QPointF(5, 5), w.edit->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(w.edit, &wheel);
    EXPECT_EQ(upDown.turns, 1);
    EXPECT_EQ(upDown.exitDuring, nullptr);
    EXPECT_EQ(w.edit->ExitControl(), w.other);
}

} // namespace
