// The table copy dialog: receivers and modes of the open set, the choice
// handed back, Copy only with something to copy, the lists' scroll bars.
#include "controls/myscrollbar.h"
#include "controls/stspeedbutton.h"
#include "dialogs/u_copyform.h"
#include "dialogtesting.h"

namespace {

using dialogtesting::CalSet;
using dialogtesting::Column;
using testsupport::Child;

void ClickRow(TstGrid *grid, int row) {
    QTest::mouseClick(grid, Qt::LeftButton, {}, grid->CellRect(0, row).center());
}

TEST(CopyForm, ListsReceiversAndTheSelectedOnesModesAndHandsBackTheChoice) {
    CalSet set;
    set.Put("ZX-K740", 3, {98000000});
    set.Put("ZX-K740", -1, {7000000});
    set.Put("ZX-K600", 1, {7000000});
    TCopyForm form;
    auto &receivers = Child<TstGrid>(form, "D");
    auto &modes = Child<TstGrid>(form, "M");
    const std::optional<TCopyChoice> choice = dialogtesting::WithUser(
        [&] {
            EXPECT_EQ(Column(receivers, 0), QStringList({"ZX-K600", "ZX-K740"}));
            EXPECT_EQ(Column(modes, 0), QStringList({"AM - Amplitude Modulation"}));
            ClickRow(&receivers, 1);
            EXPECT_EQ(Column(modes, 0),
                      QStringList({"Default mode", "FMW - Freq. Modulation,Wide"}));
            ClickRow(&modes, 1);
            testsupport::Click(Child(form, "BCopy"));
        },
        [&] { return form.AskSource(set.cal); });
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->Receiver, "ZX-K740");
    EXPECT_EQ(choice->Mode, 3);
}

TEST(CopyForm, CopyOnlyWithSomethingToCopy) {
    struct Case {
        const char *name;
        std::vector<std::int32_t> modes; // of "ZX-K740"
        QStringList receivers, texts;
        int result;
    };
    const Case cases[] = {
        {"empty set", {}, {""}, {""}, mrCancel},
        {"unknown mode", {-1, 8}, {"ZX-K740"}, {"Default mode"}, mrOk},
    };
    TCopyForm form;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        CalSet set;
        for (const std::int32_t mode : c.modes)
            set.Put("ZX-K740", mode, {7000000});
        testsupport::MessageBoxRecorder boxes;
        auto &copy = Child(form, "BCopy");
        const std::optional<TCopyChoice> choice = dialogtesting::WithUser(
            [&] {
                EXPECT_EQ(Column(Child<TstGrid>(form, "D"), 0), c.receivers);
                EXPECT_EQ(Column(Child<TstGrid>(form, "M"), 0), c.texts);
                EXPECT_EQ(copy.isEnabled(), c.result == mrOk);
                QTest::mouseClick(&copy, Qt::LeftButton);
            },
            [&] { return form.AskSource(set.cal); });
        EXPECT_EQ(choice.has_value(), c.result == mrOk);
        ASSERT_EQ(boxes.boxes.size(), c.modes.empty() ? 0u : 1u);
        for (const auto &box : boxes.boxes)
            EXPECT_EQ(box.text, "Unknown mode");
    }
}

TEST(CopyForm, ScrollBarsReachTheLastRow) {
    CalSet set;
    for (const char *receiver : {"ZX-K600", "ZX-K610", "ZX-K620", "ZX-K630", "ZX-K640", "ZX-K650"})
        set.Put(receiver, -1, {7000000});
    TCopyForm form;
    auto &bar = Child<TmyScrollBar>(form, "DSB");
    auto &receivers = Child<TstGrid>(form, "D");
    dialogtesting::WithUser(
        [&] {
            // Four of the six receivers are on view.
            ASSERT_FALSE(bar.isHidden());
            EXPECT_EQ(bar.Color(), 4210752u);
            bar.SetPosition(bar.Max());
            EXPECT_EQ(receivers.TopRow(), 2);
            receivers.SetTopRow(1);
            EXPECT_EQ(bar.Position(), 1);
            EXPECT_TRUE(Child(form, "MSB").isHidden());
        },
        [&] { return form.AskSource(set.cal); });
}

} // namespace
