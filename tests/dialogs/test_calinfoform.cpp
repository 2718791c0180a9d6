// The calibration details dialog: the listing of receivers, modes and points
// refilled at every showing, its scroll bar and its drawing.
#include "controls/myscrollbar.h"
#include "dialogs/u_calinfoform.h"
#include "dialogtesting.h"
#include "support/testsupport.h"

#include <cstring>

namespace {

using dialogtesting::CalSet;
using dialogtesting::Column;

std::vector<QString> Texts(std::initializer_list<const char *> texts) {
    std::vector<QString> list;
    for (const char *t : texts)
        list.push_back(QString::fromUtf8(t));
    return list;
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
    if (mode != 3) return 0;
    if (buffer) buffer[0] = 98000000;
    return 8;
}

struct ListingCase {
    const char *name;
    std::function<void(CalSet &)> fill;
    std::vector<QString> receivers, modes, points; // rows 1 on
};

TEST(CalInfoForm, ListsEveryReceiverModeAndPointOfTheSet) {
    const QString fm3 = "FMW - Freq. Modulation,Wide";
    const ListingCase cases[] = {
        {"new set", [](CalSet &) {}, {""}, {""}, {""}},
        {"default mode, 3 points",
         [](CalSet &s) {
             s.Put("ZX-K740", -1, {145500000, 1800, 1799});
         },
         Texts({"ZX-K740", "", ""}), Texts({"Default mode", "", ""}),
         Texts({"1799 Hz", "1.8 kHz", "145.5 MHz"})},
        {"model-name table order",
         [](CalSet &s) {
             s.Put("ZX-K750", 3, {98000000});
             s.Put("ZX-K600", 0, {7000000});
         },
         Texts({"ZX-K600", "ZX-K750"}),
         {"CW - Continuous Wave", fm3},
         Texts({"7 MHz", "98 MHz"})},
        {"mode without points",
         [](CalSet &) {
             Smsdk::Instance().Functions.GetModes = FakeModes;
             Smsdk::Instance().Functions.GetFrequencies = FakeFrequencies;
         },
         Texts({"ZX-K740", ""}),
         {"Default mode", fm3},
         Texts({"", "98 MHz"})},
    };
    ASSERT_TRUE(Smsdk::Instance().Load());
    const TSmsdkFunctions real = Smsdk::Instance().Functions;
    TCalInfoForm form;
    for (const ListingCase &c : cases) {
        SCOPED_TRACE(c.name);
        CalSet set;
        c.fill(set);
        form.SetCalHandle(set.cal);
        testsupport::MessageBoxRecorder boxes;
        dialogtesting::RunModal(form, [&](TstForm &) {
            EXPECT_TRUE(form.G->hasFocus());
            EXPECT_TRUE(form.SB->isHidden());
        });
        Smsdk::Instance().Functions = real;
        EXPECT_TRUE(boxes.boxes.empty());
        EXPECT_EQ(form.G->Cells(0, 0) + form.G->Cells(1, 0) + form.G->Cells(2, 0),
                  "ReceiverModeFrequency");
        EXPECT_EQ(Column(*form.G, 0, 1), c.receivers);
        EXPECT_EQ(Column(*form.G, 1, 1), c.modes);
        EXPECT_EQ(Column(*form.G, 2, 1), c.points);
    }
}

TEST(CalInfoForm, LongListingScrollsAndAnUnknownModeEndsIt) {
    CalSet set;
    for (std::uint64_t p = 1; p <= 30; ++p)
        set.Put("ZX-K740", -1, {p * 1000000});
    set.Put("ZX-K740", 8, {5000000}); // no text for mode 8
    set.Put("ZX-K750", -1, {6000000});
    TCalInfoForm form;
    form.SetCalHandle(set.cal);
    testsupport::MessageBoxRecorder boxes;
    dialogtesting::RunModal(form, [&](TstForm &) {
        // 31 rows, 22 of them on view below the header.
        ASSERT_FALSE(form.SB->isHidden());
        EXPECT_EQ(form.SB->Min(), 1);
        EXPECT_EQ(form.SB->Max(), 10);
        EXPECT_EQ(form.SB->Length(), 1);
        form.SB->SetPosition(9);
        EXPECT_EQ(form.G->TopRow(), 9) << "the bar reaches the last row";
        form.G->SetTopRow(3);
        EXPECT_EQ(form.SB->Position(), 3);
    });
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Unknown mode");
    EXPECT_EQ(form.G->RowCount(), 31);
    EXPECT_EQ(form.G->Cells(2, 30), "30 MHz");

    // Refilled at the next showing.
    CalSet small;
    small.Put("ZX-K740", 3, {98000000});
    form.SetCalHandle(small.cal);
    dialogtesting::RunModal(form, [&](TstForm &) { EXPECT_TRUE(form.SB->isHidden()); });
    EXPECT_EQ(Column(*form.G, 2, 1), Texts({"98 MHz"}));
}

TEST(CalInfoForm, FilledListingHasLinesAndFillsTheEmptyOneHasNone) {
    TCalInfoForm form;
    form.SetCalHandle(-1);
    form.show();
    QImage image = testsupport::Render(*form.G);
    auto at = [&](int col, int row, int dx, int dy) {
        const QRect cell = form.G->CellRect(col, row);
        return testsupport::Pixel(image, cell.left() + dx, cell.top() + dy);
    };
    for (const auto &p : {QPoint(0, 0), QPoint(1, 5), QPoint(0, 13)})
        EXPECT_EQ(at(1, 1, p.x(), p.y()), 0x424242u) << "empty listing, no lines";

    CalSet set;
    set.Put("ZX-K740", -1, {7000000, 14000000});
    form.hide();
    form.SetCalHandle(set.cal);
    form.show();
    image = testsupport::Render(*form.G);
    EXPECT_EQ(at(0, 0, 1, 1), 0x424242u) << "header fill";
    EXPECT_EQ(at(0, 1, 1, 5), 0x909090u) << "selected row";
    EXPECT_EQ(at(0, 2, 1, 5), 0x555555u) << "other rows";
    EXPECT_EQ(at(0, 2, 1, 0), 0x555555u) << "no line over an empty cell";
    EXPECT_EQ(at(2, 2, 1, 0), 0x202020u) << "line over a cell with text";
    EXPECT_EQ(at(2, 2, 0, 5), 0x202020u) << "left edge of the frequency column";
    bool yellow = false;
    const QRect header = form.G->CellRect(0, 0);
    for (int x = header.left(); x <= header.right(); ++x)
        for (int y = header.top(); y <= header.bottom(); ++y)
            yellow = yellow || (qRed(image.pixel(x, y)) > 200 && qGreen(image.pixel(x, y)) > 200 &&
                                qBlue(image.pixel(x, y)) < 64);
    EXPECT_TRUE(yellow) << "header text";
}

} // namespace
