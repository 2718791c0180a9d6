// The table copy dialog: receivers and modes of the open set, the choice
// handed back, Copy only with something to copy, the lists' scroll bars.
#include "controls/myscrollbar.h"
#include "controls/stspeedbutton.h"
#include "dialogs/u_copyform.h"
#include "dialogtesting.h"

namespace {

using dialogtesting::CalSet;
using dialogtesting::Column;

void ClickRow(TstGrid *grid, int row) {
    QTest::mouseClick(grid, Qt::LeftButton, {}, grid->CellRect(0, row).center());
}

TEST(CopyForm, ListsReceiversAndTheSelectedOnesModesAndHandsBackTheChoice) {
    CalSet set;
    set.Put("ZX-K740", 3, {98000000});
    set.Put("ZX-K740", -1, {7000000});
    set.Put("ZX-K600", 1, {7000000});
    TCopyForm form;
    form.SetCalHandle(set.cal);
    const int result = dialogtesting::RunModal(form, [&] {
        EXPECT_EQ(Column(*form.D, 0), QStringList({"ZX-K600", "ZX-K740"}));
        EXPECT_EQ(Column(*form.M, 0), QStringList({"AM - Amplitude Modulation"}));
        ClickRow(form.D, 1);
        EXPECT_EQ(Column(*form.M, 0), QStringList({"Default mode", "FMW - Freq. Modulation,Wide"}));
        ClickRow(form.M, 1);
        QTest::mouseClick(form.BCopy, Qt::LeftButton);
    });
    EXPECT_EQ(result, mrOk);
    EXPECT_EQ(form.ChosenReceiver(), "ZX-K740");
    EXPECT_EQ(form.ChosenMode(), 3);
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
        form.SetCalHandle(set.cal);
        testsupport::MessageBoxRecorder boxes;
        const int result = dialogtesting::RunModal(form, [&] {
            EXPECT_EQ(Column(*form.D, 0), c.receivers);
            EXPECT_EQ(Column(*form.M, 0), c.texts);
            EXPECT_EQ(form.BCopy->isEnabled(), c.result == mrOk);
            QTest::mouseClick(form.BCopy, Qt::LeftButton);
        });
        EXPECT_EQ(result, c.result);
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
    form.SetCalHandle(set.cal);
    dialogtesting::RunModal(form, [&] {
        // Four of the six receivers are on view.
        ASSERT_FALSE(form.DSB->isHidden());
        EXPECT_EQ(form.DSB->Color(), 4210752u);
        form.DSB->SetPosition(form.DSB->Max());
        EXPECT_EQ(form.D->TopRow(), 2);
        form.D->SetTopRow(1);
        EXPECT_EQ(form.DSB->Position(), 1);
        EXPECT_TRUE(form.MSB->isHidden());
    });
}

} // namespace
