// The frequency-select dialog: filled as the main window's list refresh fills
// it; Copy and Enter hand back the selected point, the selection outlives the
// run, list and scroll bar follow each other, and its own cell drawing.
#include "calibration/frequencytext.h"
#include "controls/myscrollbar.h"
#include "controls/stspeedbutton.h"
#include "dialogs/u_fselectform.h"
#include "dialogtesting.h"

namespace {

// What the main window's list refresh writes: the point rows, and the bar
// with its maximum from the main list, which shows 10 rows.
void Refresh(TFSelectForm &form, int points) {
    form.F->SetRowCount(1);
    form.F->ClearRow(0);
    for (int r = 0; r < points; ++r) {
        const std::uint64_t hz = 7000000 + std::uint64_t(r) * 100000;
        form.F->SetRowCount(r + 1);
        form.F->SetCells(0, r, FrequencyText(hz));
        form.F->SetCells(1, r, QString::number(hz));
    }
    form.FSB->SetMax(points - 10 + 1);
    form.FSB->SetLength(1);
    form.FSB->setVisible(points > 10);
}

TEST(FSelectForm, CopyAndEnterHandBackTheSelectedPointAndKeepTheSelection) {
    TFSelectForm form;
    Refresh(form, 20);
    for (const bool enter : {false, true}) {
        const int result = dialogtesting::RunModal(form, [&] {
            form.F->setFocus();
            form.F->SetRow(13);
            enter ? QTest::keyClick(form.F, Qt::Key_Return)
                  : QTest::mouseClick(form.BCopy, Qt::LeftButton);
        });
        EXPECT_EQ(result, mrOk);
        EXPECT_EQ(form.ChosenFrequency(), 8300000u);
    }
    dialogtesting::RunModal(form, [&] { EXPECT_EQ(form.F->Row(), 13); });
}

TEST(FSelectForm, ListAndScrollBarFollowEachOther) {
    TFSelectForm form;
    form.show();
    Refresh(form, 20);
    EXPECT_EQ(form.F->VisibleRowCount(), 10) << "as many rows as the main list";
    form.FSB->SetPosition(10);
    EXPECT_EQ(form.F->TopRow(), 10) << "the bar reaches the last rows";
    form.F->SetTopRow(4);
    EXPECT_EQ(form.FSB->Position(), 4);
}

TEST(FSelectForm, SelectedRowIsGreyWithBlackTextOthersSilverOnTheWindowColour) {
    TFSelectForm form;
    form.show();
    Refresh(form, 3);
    form.F->SetRow(1);
    const std::set<QRgb> selected = dialogtesting::Colours(*form.F, 0, 1);
    const std::set<QRgb> other = dialogtesting::Colours(*form.F, 0, 2);
    EXPECT_TRUE(selected.count(0x909090) && selected.count(0x000000) && !selected.count(0x424242));
    EXPECT_TRUE(other.count(0x424242) && other.count(0xC0C0C0) && !other.count(0x909090));
}

} // namespace
