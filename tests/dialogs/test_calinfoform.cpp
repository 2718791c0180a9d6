// The calibration details dialog: the listing of receivers, modes and points
// refilled at every showing, its scroll bar and its drawing.
#include "controls/myscrollbar.h"
#include "dialogs/u_calinfoform.h"
#include "dialogtesting.h"

#include <cstring>

namespace {

using dialogtesting::CalSet;
using testsupport::Child;

// Shows the details of `cal`; `user` acts on the shown window.
void ShowDetails(TCalInfoForm &form, std::int32_t cal, const std::function<void()> &user) {
    dialogtesting::WithUser(user, [&] {
        form.ShowDetails(cal, nullptr);
        return 0;
    });
}

// A library whose "ZX-K740" holds the default mode without points and wide FM
// with one, as a set from elsewhere may.
std::int32_t FakeModes(std::int32_t, const char *receiver, std::int32_t *buffer, std::int32_t) {
    if (std::strcmp(receiver, "ZX-K740") != 0) return 0;
    if (buffer) buffer[0] = -1, buffer[1] = 3;
    return 8;
}
std::int32_t FakeFrequencies(std::int32_t, const char *, std::int32_t mode, std::uint64_t *buffer,
                             std::int32_t) {
    if (buffer && mode == 3) buffer[0] = 98000000;
    return mode == 3 ? 8 : 0;
}

// The rows below the header, their cells joined by "|".
QStringList Rows(const TstGrid &grid) {
    QStringList rows;
    for (int r = 1; r < grid.RowCount(); ++r)
        rows << grid.Cells(0, r) + '|' + grid.Cells(1, r) + '|' + grid.Cells(2, r);
    return rows;
}

struct Table {
    const char *receiver;
    std::int32_t mode;
    std::vector<std::uint64_t> points;
};

TEST(CalInfoForm, ListsEveryReceiverModeAndPointOfTheSet) {
    struct Case {
        const char *name;
        std::vector<Table> tables; // none: the library above
        QStringList rows;
    };
    // clang-format off
    const Case cases[] = {
        {"new set", {{"ZX-K740", -1, {}}}, {"||"}},
        {"default mode, 3 points", {{"ZX-K740", -1, {145500000, 1800, 1799}}},
         {"ZX-K740|Default mode|1799 Hz", "||1.8 kHz", "||145.5 MHz"}},
        {"model-name table order", {{"ZX-K750", 3, {98000000}}, {"ZX-K600", 0, {7000000}}},
         {"ZX-K600|CW - Continuous Wave|7 MHz", "ZX-K750|FMW - Freq. Modulation,Wide|98 MHz"}},
        {"mode without points", {},
         {"ZX-K740|Default mode|", "|FMW - Freq. Modulation,Wide|98 MHz"}},
    };
    // clang-format on
    ASSERT_TRUE(Smsdk::Instance().Load());
    const TSmsdkFunctions real = Smsdk::Instance().Functions;
    TCalInfoForm form;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        CalSet set;
        for (const Table &t : c.tables)
            set.Put(t.receiver, t.mode, t.points);
        if (c.tables.empty()) {
            Smsdk::Instance().Functions.GetModes = FakeModes;
            Smsdk::Instance().Functions.GetFrequencies = FakeFrequencies;
        }
        testsupport::MessageBoxRecorder boxes;
        auto &listing = Child<TstGrid>(form, "G");
        ShowDetails(form, set.cal, [&] { EXPECT_TRUE(listing.hasFocus()); });
        Smsdk::Instance().Functions = real;
        EXPECT_TRUE(boxes.boxes.empty());
        EXPECT_TRUE(Child(form, "SB").isHidden());
        EXPECT_EQ(listing.Cells(0, 0) + listing.Cells(1, 0) + listing.Cells(2, 0),
                  "ReceiverModeFrequency");
        EXPECT_EQ(Rows(listing).join("; ").toStdString(), c.rows.join("; ").toStdString());
    }
}

TEST(CalInfoForm, LongListingScrollsAndAnUnknownModeEndsIt) {
    CalSet set;
    for (std::uint64_t p = 1; p <= 30; ++p)
        set.Put("ZX-K740", -1, {p * 1000000});
    set.Put("ZX-K740", 8, {5000000}); // no text for mode 8
    set.Put("ZX-K750", -1, {6000000});
    TCalInfoForm form;
    auto &listing = Child<TstGrid>(form, "G");
    auto &bar = Child<TmyScrollBar>(form, "SB");
    testsupport::MessageBoxRecorder boxes;
    ShowDetails(form, set.cal, [&] {
        // 31 rows, 22 of them on view below the header.
        ASSERT_FALSE(bar.isHidden());
        EXPECT_EQ(std::vector<std::int64_t>({bar.Min(), bar.Max(), bar.Length()}),
                  std::vector<std::int64_t>({1, 10, 1}));
        bar.SetPosition(9);
        EXPECT_EQ(listing.TopRow(), 9) << "the bar reaches the last row";
        listing.SetTopRow(3);
        EXPECT_EQ(bar.Position(), 3);
    });
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Unknown mode");
    EXPECT_EQ(Rows(listing).last(), "||30 MHz");
}

TEST(CalInfoForm, FilledListingHasLinesAndFillsTheEmptyOneHasNone) {
    using dialogtesting::Colours;
    TCalInfoForm form;
    auto &listing = Child<TstGrid>(form, "G");
    ShowDetails(form, -1, [&] {
        EXPECT_EQ(Colours(listing, 1, 1), std::set<QRgb>{0x424242}) << "empty listing, no lines";
    });
    CalSet set;
    set.Put("ZX-K740", -1, {7000000, 14000000});
    QImage image;
    ShowDetails(form, set.cal, [&] { image = testsupport::Render(listing); });
    auto at = [&](int col, int row, int dx, int dy) {
        const QRect cell = listing.CellRect(col, row);
        return testsupport::Pixel(image, cell.left() + dx, cell.top() + dy);
    };
    EXPECT_EQ(at(0, 0, 1, 1), 0x424242u) << "header fill";
    EXPECT_EQ(at(0, 1, 1, 5), 0x909090u) << "selected row";
    EXPECT_EQ(at(0, 2, 1, 5), 0x555555u) << "other rows";
    EXPECT_EQ(at(0, 2, 1, 0), 0x555555u) << "no line over an empty cell";
    EXPECT_EQ(at(2, 2, 1, 0), 0x202020u) << "line over a cell with text";
    EXPECT_EQ(at(2, 2, 0, 5), 0x202020u) << "left edge of the frequency column";
    const std::set<QRgb> header = Colours(listing, 0, 0);
    EXPECT_TRUE(std::any_of(header.begin(), header.end(), [](QRgb c) {
        return qRed(c) > 200 && qGreen(c) > 200 && qBlue(c) < 64;
    })) << "yellow header text";
}

} // namespace
