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
    };
    for (const auto &c : cases)
        for (const bool enter : {true, false}) {
            SCOPED_TRACE(std::string(c.text) + (enter ? " with Enter" : " with OK"));
            boxes.boxes.clear();
            AnswerValue(QString::fromLatin1(c.text), enter);
            EXPECT_EQ(EditValForm->ShowModal(), c.message.isEmpty() ? mrOk : mrCancel);
            ASSERT_EQ(boxes.boxes.size(), c.message.isEmpty() ? 0u : 1u);
            if (c.message.isEmpty()) {
                EXPECT_EQ(EditValForm->Value(), c.accepted);
            } else {
                EXPECT_EQ(boxes.boxes[0].text, c.message);
                EXPECT_EQ(boxes.boxes[0].title, platform::Application::title());
                EXPECT_EQ(boxes.boxes[0].icon, QMessageBox::Critical);
            }
        }
    // Shown again, the value is selected so that typing replaces it.
    answers[EditValForm] = [] {
        EXPECT_EQ(EditValForm->focusWidget(), EditValForm->V);
        EXPECT_EQ(EditValForm->V->selectedText(), QStringLiteral("abc"));
        return int(mrCancel);
    };
    EditValForm->ShowModal();
}

TEST_F(ValueDialogTest, FillAndOffsetRoles) {
    const struct {
        bool fill;
        const char *text;
        const char *message; // nullptr: accepted
    } cases[] = {
        {true, "5", "Value out of range -140 - 0"},
        {true, "-140", nullptr},
        {false, "5", nullptr},
        {false, "-140", nullptr},
        {false, "140", nullptr},
        {false, "140.5", "Value out of range -140 - 140"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        boxes.boxes.clear();
        FillForm->SetFillRole(c.fill);
        answers[FillForm] = [&c] {
            FillForm->V->setText(QString::fromLatin1(c.text));
            QTest::keyClick(FillForm->V, Qt::Key_Return);
            return int(mrCancel);
        };
        EXPECT_EQ(FillForm->ShowModal(), c.message ? mrCancel : mrOk);
        ASSERT_EQ(boxes.boxes.size(), c.message ? 1u : 0u);
        if (c.message) {
            EXPECT_EQ(boxes.boxes[0].text, QString::fromLatin1(c.message));
        }
    }
    // The entries stay for the next run, in either role; a range being typed counts.
    answers[FillForm] = [] {
        EXPECT_EQ(FillForm->focusWidget(), FillForm->V);
        EXPECT_TRUE(FillForm->V->selectedText().isEmpty());
        EXPECT_EQ(FillForm->V->text(), QStringLiteral("140.5"));
        FillForm->V->setText(QStringLiteral("-3"));
        FillForm->To->setText(QStringLiteral("300"));
        QTest::mouseClick(FillForm->BOK, Qt::LeftButton);
        return int(mrCancel);
    };
    ASSERT_EQ(FillForm->ShowModal(), mrOk);
    EXPECT_EQ(FillForm->To->Value(), 255);
}

} // namespace
