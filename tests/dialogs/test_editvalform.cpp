#include "tableformtesting.h"

#include "platform/application.h"

using namespace tableformtesting;

namespace {

using ValueDialogTest = EditorTest;

TEST_F(ValueDialogTest, ChecksWhatTheUserTyped) {
    const QString range = QStringLiteral("dBm value is out of range -140 - 0");
    const struct {
        const char *text;
        double accepted; // when no message
        QString message;
    } cases[] = {
        {"-140", -140.0, {}},
        {"0", 0.0, {}},
        {" -73.456 ", -73.456, {}},
        {"-140.1", 0, range},
        {"0.1", 0, range},
        {"abc", 0, QStringLiteral("'abc' is not a valid floating point value")},
        {"-1,500", 0, QStringLiteral("'-1,500' is not a valid floating point value")},
    };
    for (const auto &c : cases)
        for (const bool enter : {true, false}) {
            SCOPED_TRACE(std::string(c.text) + (enter ? " with Enter" : " with OK"));
            boxes.boxes.clear();
            AnswerValue(QString::fromLatin1(c.text), enter);
            const std::optional<double> answer = value.AskValue(28, -50.0);
            ASSERT_EQ(boxes.boxes.size(), c.message.isEmpty() ? 0u : 1u);
            if (c.message.isEmpty()) {
                EXPECT_EQ(answer, c.accepted);
            } else {
                EXPECT_EQ(answer, std::nullopt);
                EXPECT_EQ(boxes.boxes[0].text, c.message);
                EXPECT_EQ(boxes.boxes[0].title, platform::Application::title());
                EXPECT_EQ(boxes.boxes[0].icon, QMessageBox::Critical);
            }
        }
    // The RAW value is shown and the current value selected, so that typing
    // replaces it.
    answers[&value] = [this] {
        EXPECT_EQ(Child<TmyLabel>(value, "L").Caption(), QStringLiteral("7"));
        EXPECT_EQ(value.focusWidget(), &Child(value, "V"));
        EXPECT_EQ(Child<TstAlignEdit>(value, "V").selectedText(), QStringLiteral("-0.1"));
        return int(mrCancel);
    };
    EXPECT_EQ(value.AskValue(7, -0.06), std::nullopt);
}

TEST_F(ValueDialogTest, FillAndOffsetRoles) {
    const struct {
        TFillRole role;
        const char *text;
        const char *message; // nullptr: accepted
    } cases[] = {
        {TFillRole::Fill, "5", "Value out of range -140 - 0"},
        {TFillRole::Fill, "-140", nullptr},
        {TFillRole::Offset, "5", nullptr},
        {TFillRole::Offset, "-140", nullptr},
        {TFillRole::Offset, "140", nullptr},
        {TFillRole::Offset, "140.5", "Value out of range -140 - 140"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        boxes.boxes.clear();
        answers[&fill] = [this, &c] {
            Child<TstAlignEdit>(fill, "V").setText(QString::fromLatin1(c.text));
            QTest::keyClick(&Child(fill, "V"), Qt::Key_Return);
            return int(mrCancel);
        };
        const std::optional<TFillRange> range = fill.AskRange(c.role);
        ASSERT_EQ(boxes.boxes.size(), c.message ? 1u : 0u);
        if (c.message) {
            EXPECT_EQ(range.has_value(), false);
            EXPECT_EQ(boxes.boxes[0].text, QString::fromLatin1(c.message));
        } else {
            ASSERT_TRUE(range);
            EXPECT_EQ(range->Value, QString::fromLatin1(c.text).toDouble());
            EXPECT_EQ(std::pair(range->From, range->To), std::pair(0, 255));
        }
    }
    // The entries stay for the next run, in either role; a range being typed counts.
    answers[&fill] = [this] {
        EXPECT_EQ(fill.focusWidget(), &Child(fill, "V"));
        EXPECT_TRUE(Child<TstAlignEdit>(fill, "V").selectedText().isEmpty());
        EXPECT_EQ(Child<TstAlignEdit>(fill, "V").text(), QStringLiteral("140.5"));
        Child<TstAlignEdit>(fill, "V").setText(QStringLiteral("-3"));
        Child<TmyIntEdit>(fill, "From").setText(QStringLiteral("12"));
        Child<TmyIntEdit>(fill, "To").setText(QStringLiteral("300"));
        Click(Child(fill, "BOK"));
        return int(mrCancel);
    };
    const std::optional<TFillRange> range = fill.AskRange(TFillRole::Fill);
    ASSERT_TRUE(range);
    EXPECT_EQ(std::tuple(range->From, range->To, range->Value), std::tuple(12, 255, -3.0));
}

} // namespace
