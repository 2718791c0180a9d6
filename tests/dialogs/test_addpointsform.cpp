// "Add points…": the plans as the operator types them, the preview, the
// points already listed, and plans that are refused.
#include "controls/myfrequencyedit.h"
#include "controls/myintedit.h"
#include "controls/stspeedbutton.h"
#include "dialogs/u_addpointsform.h"
#include "dialogtesting.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>

namespace {

using Hz = std::vector<std::uint64_t>;

template <typename T> T *Child(TAddPointsForm &form, const char *name) {
    T *child = form.findChild<T *>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

// Types a value into a field as the operator does: all of it replaced.
void Type(QLineEdit *edit, const char *text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, QString::fromLatin1(text));
}

void Click(TAddPointsForm &form, const char *button) {
    QTest::mouseClick(Child<TstSpeedButton>(form, button), Qt::LeftButton, {}, QPoint(5, 5));
}

TEST(AddPointsForm, EachPlanAddsExactlyItsNewPoints) {
    const struct {
        const char *name;
        const char *plan; // the plan button
        const char *from, *to, *step, *perDecade, *list;
        std::optional<Hz> expected;
        const char *preview;
        const char *box; // the standard error box; empty: none
    } cases[] = {
        {"range", "BRange", "7", "7.3", "0.05", nullptr, nullptr,
         Hz{7'000'000, 7'050'000, 7'150'000, 7'200'000, 7'250'000, 7'300'000},
         "6 new points; in the list already, skipped: 7.1 MHz.", ""},
        {"per decade", "BPerDecade", "1", "10", nullptr, "4", nullptr,
         Hz{1'000'000, 1'780'000, 3'160'000, 5'620'000, 10'000'000}, "5 new points.", ""},
        {"pasted list", "BList", nullptr, nullptr, nullptr, nullptr, "3.6M, 7.1M,\n14.2 MHz",
         Hz{3'600'000, 14'200'000}, "2 new points; in the list already, skipped: 7.1 MHz.", ""},
        {"above the ten-hertz bound", "BList", nullptr, nullptr, nullptr, nullptr,
         "2147000005 2147483645", Hz{2'147'000'000, 2'147'483'640}, "2 new points.", ""},
        {"a malformed list", "BList", nullptr, nullptr, nullptr, nullptr, "3.6M, 7.1X, 14.2 MHz",
         std::nullopt, "Entry 2 (character 7): \"7.1X\" is not a frequency.",
         "Entry 2 (character 7): \"7.1X\" is not a frequency."},
        {"nothing new", "BList", nullptr, nullptr, nullptr, nullptr, "7100 kHz", std::nullopt,
         "0 new points; in the list already, skipped: 7.1 MHz.",
         "Every point of the plan is in the list already; nothing to add."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TAddPointsForm form; // a new window each time: the fields start from the tuned point
        testsupport::MessageBoxRecorder boxes;
        QString preview;
        bool stayedOpen = false;
        std::optional<Hz> added;
        const TModalResponder previous = TstForm::SetModalResponder([&](TstForm &shown) {
            QApplication::setActiveWindow(&shown);
            Click(form, c.plan);
            if (c.from) Type(Child<TmyFrequencyEdit>(form, "EFrom"), c.from);
            if (c.to) Type(Child<TmyFrequencyEdit>(form, "ETo"), c.to);
            if (c.step) Type(Child<TmyFrequencyEdit>(form, "EStep"), c.step);
            if (c.perDecade) Type(Child<TmyIntEdit>(form, "EPerDecade"), c.perDecade);
            if (c.list) {
                auto *list = Child<QPlainTextEdit>(form, "EList");
                EXPECT_TRUE(list->isVisible());
                list->setFocus();
                // Lines come pasted, as from a spreadsheet's column; the rest typed.
                const QString text = QString::fromLatin1(c.list);
                if (text.contains(u'\n')) {
                    QGuiApplication::clipboard()->setText(text);
                    QTest::keySequence(list, QKeySequence::Paste);
                } else {
                    QTest::keyClicks(list, text);
                }
            }
            preview = Child<QLabel>(form, "LPreview")->text();
            Click(form, "BOK");
            stayedOpen = form.isVisible() && form.ModalResult() == mrNone;
            return int(mrCancel);
        });
        added = form.Run(
            {100'000, 3'000'000'000}, [](std::uint64_t hz) { return hz == 7'100'000; }, 7'100'000);
        TstForm::SetModalResponder(previous);
        EXPECT_EQ(preview, QString::fromUtf8(c.preview));
        EXPECT_EQ(added, c.expected);
        EXPECT_EQ(stayedOpen, *c.box != 0);
        ASSERT_EQ(boxes.boxes.size(), *c.box ? 1u : 0u);
        if (*c.box) {
            EXPECT_EQ(boxes.boxes[0].text, QString::fromUtf8(c.box));
        }
    }
}

TEST(AddPointsForm, TheChosenPlanIsVisiblyDownAndCancelAddsNothing) {
    TAddPointsForm form;
    const int runs = 2;
    for (int run = 0; run < runs; ++run) {
        std::optional<Hz> added = Hz{};
        const TModalResponder previous = TstForm::SetModalResponder([&](TstForm &) {
            // Each button shows its plan's fields and looks chosen.
            for (const char *name : {"BRange", "BPerDecade", "BList"}) {
                Click(form, name);
                for (const char *other : {"BRange", "BPerDecade", "BList"})
                    EXPECT_EQ(Child<TstSpeedButton>(form, other)->Down(),
                              QByteArray(name) == other);
                EXPECT_EQ(Child<QPlainTextEdit>(form, "EList")->isVisible(),
                          QByteArray(name) == "BList");
                EXPECT_EQ(Child<TmyFrequencyEdit>(form, "EStep")->isVisible(),
                          QByteArray(name) == "BRange");
            }
            Click(form, "BRange");
            const QImage down = Child<TstSpeedButton>(form, "BRange")->grab().toImage();
            const QImage up = Child<TstSpeedButton>(form, "BList")->grab().toImage();
            EXPECT_NE(down.pixel(3, 3), up.pixel(3, 3)); // chosen is seen, not only known
            Click(form, "BCancel");
            return int(mrCancel);
        });
        added = form.Run({100'000, 30'000'000}, nullptr, 7'100'000);
        TstForm::SetModalResponder(previous);
        EXPECT_EQ(added, std::nullopt);
    }
}

} // namespace
