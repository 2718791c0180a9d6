// The frequency-select dialog: filled as the main window's list refresh fills
// it; Copy and Enter hand back the selected point, the selection outlives the
// run, list and scroll bar follow each other, and its own cell drawing.
#include "calibration/frequencytext.h"
#include "controls/myscrollbar.h"
#include "controls/stspeedbutton.h"
#include "dialogs/u_fselectform.h"
#include "dialogtesting.h"
#include "support/testsupport.h"

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
        form.F->SetCells(2, r, QString());
    }
    if (points > 10) {
        form.FSB->SetMax(points - 10 + 1);
        form.FSB->SetLength(1);
        form.FSB->show();
    } else {
        form.FSB->hide();
    }
}

TEST(FSelectForm, CopyAndEnterHandBackTheSelectedPointAndKeepTheSelection) {
    TFSelectForm form;
    Refresh(form, 20);
    const std::function<void()> picks[] = {
        [&] { QTest::mouseClick(form.BCopy, Qt::LeftButton); },
        [&] { QTest::keyClick(form.F, Qt::Key_Return); },
    };
    for (const auto &pick : picks) {
        EXPECT_EQ(dialogtesting::RunModal(form,
                                          [&](TstForm &) {
                                              form.F->setFocus();
                                              form.F->SetRow(13);
                                              pick();
                                          }),
                  mrOk);
        EXPECT_EQ(form.ChosenFrequency(), 8300000u);
    }
    // Cancel leaves the selection and the last choice as they were.
    EXPECT_EQ(dialogtesting::RunModal(form,
                                      [&](TstForm &) {
                                          EXPECT_EQ(form.F->Row(), 13);
                                          QTest::mouseClick(form.BSelect, Qt::LeftButton);
                                      }),
              mrCancel);
    EXPECT_EQ(form.ChosenFrequency(), 8300000u);
}

TEST(FSelectForm, ListAndScrollBarFollowEachOther) {
    TFSelectForm form;
    form.show();
    Refresh(form, 20);
    ASSERT_FALSE(form.FSB->isHidden());
    EXPECT_EQ(form.F->VisibleRowCount(), 10) << "as many rows as the main list";
    form.FSB->SetPosition(10);
    EXPECT_EQ(form.F->TopRow(), 10) << "the bar reaches the last rows";
    form.F->SetTopRow(4);
    EXPECT_EQ(form.FSB->Position(), 4);
    Refresh(form, 3);
    EXPECT_TRUE(form.FSB->isHidden());
    EXPECT_EQ(form.F->TopRow(), 0);
}

TEST(FSelectForm, SelectedRowIsGreyWithBlackTextOthersSilverOnTheWindowColour) {
    TFSelectForm form;
    form.show();
    Refresh(form, 3);
    form.F->SetRow(1);
    const QImage image = testsupport::Render(*form.F);
    auto colours = [&](int row) {
        std::set<QRgb> seen;
        const QRect cell = form.F->CellRect(0, row);
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            for (int x = cell.left(); x <= cell.right(); ++x)
                seen.insert(testsupport::Pixel(image, x, y));
        return seen;
    };
    const std::set<QRgb> selected = colours(1), other = colours(2);
    EXPECT_TRUE(selected.count(0x909090) && selected.count(0x000000));
    EXPECT_FALSE(selected.count(0x424242));
    EXPECT_TRUE(other.count(0x424242) && other.count(0xC0C0C0));
    EXPECT_FALSE(other.count(0x909090));
}

} // namespace
