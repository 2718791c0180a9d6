// The frequency-select dialog: its list follows the point list model; Copy
// and Enter hand back the selected point, the selection outlives the run,
// list and scroll bar follow each other, and its own cell drawing.
#include "calibration/frequencytext.h"
#include "controls/myscrollbar.h"
#include "controls/stspeedbutton.h"
#include "dialogs/pointlistmodel.h"
#include "dialogs/u_fselectform.h"
#include "dialogtesting.h"

namespace {

using testsupport::Child;

// `count` points 100 kHz apart from 7 MHz, handed to the model in reverse.
std::vector<std::uint64_t> Points(int count) {
    std::vector<std::uint64_t> hz;
    for (int r = count - 1; r >= 0; --r)
        hz.push_back(7000000 + std::uint64_t(r) * 100000);
    return hz;
}

TEST(FSelectForm, CopyAndEnterHandBackTheSelectedPointAndKeepTheSelection) {
    TPointListModel points;
    TFSelectForm form(points);
    points.SetPoints(Points(20));
    auto &list = Child<TstGrid>(form, "F");
    EXPECT_EQ(dialogtesting::Column(list, 0).mid(12, 2),
              QStringList({FrequencyText(8200000), FrequencyText(8300000)}))
        << "the model's points in order";
    for (const bool enter : {false, true}) {
        const std::optional<std::uint64_t> chosen = dialogtesting::WithUser(
            [&] {
                list.setFocus();
                list.SetRow(13);
                enter ? QTest::keyClick(&list, Qt::Key_Return)
                      : testsupport::Click(Child(form, "BCopy"));
            },
            [&] { return form.AskFrequency(); });
        EXPECT_EQ(chosen, 8300000u);
    }
    const auto cancelled = dialogtesting::WithUser([] {}, [&] { return form.AskFrequency(); });
    EXPECT_EQ(cancelled, std::nullopt);
    EXPECT_EQ(list.Row(), 13);
}

TEST(FSelectForm, ListAndScrollBarFollowTheModelAndEachOther) {
    TPointListModel points;
    TFSelectForm form(points);
    form.show();
    auto &list = Child<TstGrid>(form, "F");
    auto &bar = Child<TmyScrollBar>(form, "FSB");
    points.SetPoints(Points(20));
    EXPECT_EQ(list.VisibleRowCount(), 10) << "as many rows as the main list";
    ASSERT_TRUE(bar.isVisible());
    EXPECT_EQ(std::pair(bar.Max(), bar.Length()), std::pair(std::int64_t(11), std::int64_t(1)));
    bar.SetPosition(10);
    EXPECT_EQ(list.TopRow(), 10) << "the bar reaches the last rows";
    list.SetTopRow(4);
    EXPECT_EQ(bar.Position(), 4);
    points.SetPoints(Points(3));
    EXPECT_EQ(list.RowCount(), 3);
    EXPECT_FALSE(bar.isVisible());
    points.Clear();
    EXPECT_EQ(dialogtesting::Column(list, 0), QStringList({""})) << "one blank row";
}

TEST(FSelectForm, SelectedRowIsGreyWithBlackTextOthersSilverOnTheWindowColour) {
    TPointListModel points;
    TFSelectForm form(points);
    form.show();
    points.SetPoints(Points(3));
    auto &list = Child<TstGrid>(form, "F");
    list.SetRow(1);
    const std::set<QRgb> selected = dialogtesting::Colours(list, 0, 1);
    const std::set<QRgb> other = dialogtesting::Colours(list, 0, 2);
    EXPECT_TRUE(selected.count(0x909090) && selected.count(0x000000) && !selected.count(0x424242));
    EXPECT_TRUE(other.count(0x424242) && other.count(0xC0C0C0) && !other.count(0x909090));
}

} // namespace
