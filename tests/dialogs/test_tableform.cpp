#include "tableformtesting.h"

#include <algorithm>
#include <set>

using namespace tableformtesting;
using testsupport::Pixel;

namespace {

constexpr QRgb kBack = 0x424242, kValue = 0x636363, kSelected = 0x909090, kLiveBack = 0x800000;
constexpr QRgb kYellow = 0xFFFF00, kGreen = 0x008000, kRed = 0xFF0000, kLime = 0x00FF00;

class TableEditorTest : public EditorTest {
protected:
    std::set<QRgb> Colours(const QImage &image, int column, int row) {
        const QRect cell = editor->T->CellRect(column, row);
        std::set<QRgb> colours;
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            for (int x = cell.left(); x <= cell.right(); ++x)
                colours.insert(Pixel(image, x, y));
        return colours;
    }
    // The cell's fill (its top-left pixel) and text of that colour in it
    // (the text's strokes are smoothed into the fill).
    void ExpectCell(const QImage &image, int column, int row, QRgb fill, QRgb text) {
        SCOPED_TRACE(testing::Message() << "cell " << column << ", " << row);
        const QRect cell = editor->T->CellRect(column, row);
        EXPECT_EQ(Pixel(image, cell.left(), cell.top()), fill);
        const auto near = [text](QRgb p) {
            return std::abs(qRed(p) - qRed(text)) < 48 && std::abs(qGreen(p) - qGreen(text)) < 48 &&
                   std::abs(qBlue(p) - qBlue(text)) < 48;
        };
        const std::set<QRgb> colours = Colours(image, column, row);
        EXPECT_TRUE(std::any_of(colours.begin(), colours.end(), near));
    }
    QImage Grid() { return testsupport::Render(*editor->T); }
};

TEST_F(TableEditorTest, CellMap) {
    TDbmTable t;
    for (int r = 0; r < 256; ++r)
        t[r] = -(r + 0.3);
    editor->LoadTable(t, QString());
    const struct {
        int raw, column, row;
        const char *text;
    } cases[] = {
        {0, 1, 1, "-0.3"}, {23, 1, 24, "-23.3"}, {24, 3, 1, "-24.3"}, {255, 21, 16, "-255.3"}};
    for (const auto &c : cases) {
        int column, row;
        TTableForm::RawToCell(c.raw, column, row);
        EXPECT_EQ(std::pair(column, row), std::pair(c.column, c.row)) << c.raw;
        EXPECT_EQ(TTableForm::CellToRaw(c.column, c.row), c.raw);
        EXPECT_EQ(editor->T->Cells(c.column, c.row), QString::fromLatin1(c.text));
    }
    // Only the dBm cells of RAW 0..255 take the cursor.
    ShowEditor();
    editor->T->SetSelection(21, 16);
    for (const auto &[column, row] : {std::pair{21, 17}, {21, 24}, {20, 3}})
        QTest::mouseClick(editor->T, Qt::LeftButton, {}, editor->T->CellRect(column, row).center());
    QTest::keyClick(editor->T, Qt::Key_Down);
    EXPECT_EQ(std::pair(editor->T->Col(), editor->T->Row()), std::pair(21, 16));
    const QImage image = Grid();
    ExpectCell(image, 20, 16, kBack, kGreen); // label 255
    EXPECT_EQ(Colours(image, 20, 17), std::set<QRgb>{kBack});
    EXPECT_EQ(Colours(image, 21, 17), std::set<QRgb>{kBack});
}

TEST_F(TableEditorTest, CellDrawingAndLiveRaw) {
    editor->SetLiveRaw(30); // its label: column 2, row 7
    editor->T->SetSelection(3, 2);
    ShowEditor();
    const QImage image = Grid();
    const struct {
        int column, row;
        QRgb fill, text;
    } cells[] = {{3, 3, kValue, kLime}, {3, 2, kSelected, kLime}, {2, 7, kLiveBack, kRed},
                 {2, 8, kBack, kGreen}, {0, 0, kBack, kYellow},   {1, 0, kBack, kYellow}};
    for (const auto &c : cells)
        ExpectCell(image, c.column, c.row, c.fill, c.text);
    const QRect value = editor->T->CellRect(3, 3);
    EXPECT_EQ(Pixel(image, value.right() + 1, value.top()), kBack) << "cells are parted";
    EXPECT_EQ(Pixel(image, value.left(), value.bottom() + 1), kBack);

    int paints = 0;
    auto draw = editor->T->OnDrawCell;
    editor->T->OnDrawCell = [&](TstGrid *g, QPainter &p, int c, int r, const QRect &rect, int s) {
        ++paints;
        draw(g, p, c, r, rect, s);
    };
    QApplication::processEvents();
    paints = 0;
    editor->SetLiveRaw(30);
    QApplication::processEvents();
    EXPECT_EQ(paints, 0) << "an equal reading repaints nothing";
    editor->SetLiveRaw(200); // column 16, row 9
    QApplication::processEvents();
    EXPECT_EQ(paints, 2) << "the old and the new label cell";
    ExpectCell(Grid(), 2, 7, kBack, kGreen);
    ExpectCell(Grid(), 16, 9, kLiveBack, kRed);
}

TEST_F(TableEditorTest, DoubleClickAndEnterEditDbmCellsOnly) {
    ShowEditor();
    AnswerValue(QStringLiteral("-1"));
    QTest::keyClick(editor->T, Qt::Key_Return); // the cursor starts on a label cell
    for (const auto &[column, row] : {std::pair{0, 0}, {1, 0}, {2, 5}, {21, 20}})
        DoubleClick(column, row);
    EXPECT_EQ(runs[EditValForm], 0);

    AnswerValue(QStringLiteral("-73.456"));
    DoubleClick(3, 5); // RAW 28
    EXPECT_EQ(EditValForm->L->Caption(), QStringLiteral("28"));
    EXPECT_EQ(editor->Table()[28], -73.456);
    EXPECT_EQ(CellText(28), QStringLiteral("-73.5"));
    EXPECT_TRUE(editor->TableModified());
    answers[EditValForm] = [] {
        EXPECT_EQ(EditValForm->V->text(), QStringLiteral("-73.5"));
        return int(mrCancel);
    };
    QTest::keyClick(editor->T, Qt::Key_Return);
    EXPECT_EQ(runs[EditValForm], 2);
    EXPECT_EQ(editor->Table()[28], -73.456) << "Cancel changes nothing";
}

TEST_F(TableEditorTest, InterpolateFillAndOffset) {
    enum Command { Interpolate, Offset, Fill };
    const struct {
        Command command;
        const char *value;
        int from, to;
        TDbmTable table;
        std::vector<std::pair<int, double>> changed;
        bool all; // changed lists every change
    } cases[] = {
        // clang-format off
        {Interpolate, "", 0, 0, Table({}), {}, true},
        {Interpolate, "", 0, 0, Table({{100, -80.0}}), {{0, -80.0}, {99, -80.0}, {255, -80.0}}, false},
        {Interpolate, "", 0, 0, Table({{10, -100.0}, {12, -80.0}}), {{0, -100.0}, {11, -90.0}, {255, -80.0}}, false},
        {Interpolate, "", 0, 0, Table({{0, -120.0}, {3, -110.0}}), {{1, -116.7}, {2, -113.3}, {255, -110.0}}, false},
        {Offset, "10", 7, 7, Table({{7, -5.0}}), {{7, 0.0}}, true},
        {Offset, "-10", 7, 7, Table({}), {{7, -10.0}}, true},
        {Offset, "-50", 7, 7, Table({{7, -120.0}}), {{7, -140.0}}, true},
        {Fill, "-50", 10, 5, Table({}), {}, true},
        {Fill, "-50", 7, 7, Table({}), {{7, -50.0}}, true},
        // clang-format on
    };
    TstSpeedButton *buttons[] = {editor->stSpeedButton6, editor->stSpeedButton1,
                                 editor->stSpeedButton2};
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.command << ' ' << c.value << ' ' << c.from);
        editor->LoadTable(c.table, QString());
        editor->SetTableModified(false);
        AnswerRange(QString::fromLatin1(c.value), c.from, c.to);
        buttons[c.command]->Click();
        TDbmTable expected = c.table;
        for (const auto &[raw, value] : c.changed) {
            expected[raw] = value;
            EXPECT_EQ(editor->Table()[raw], value) << raw;
            EXPECT_EQ(CellText(raw), QString::number(value, 'f', 1)) << raw;
        }
        if (c.all) {
            EXPECT_TRUE(Same(editor->Table(), expected));
        }
        EXPECT_TRUE(editor->TableModified());
        if (c.command == Interpolate) continue;
        const QString caption =
            c.command == Fill ? QStringLiteral("Fill values") : QStringLiteral("Add offset");
        EXPECT_EQ(FillForm->windowTitle(), caption);
        EXPECT_EQ(FillForm->LCaption->Caption(), caption);
        EXPECT_EQ(FillForm->L->Caption(), caption + QStringLiteral(" for RAW"));
    }
}

// The main window's reader: 256 GetCS reads, the first failure shown.
struct FailingLibrary {
    static inline int reads = 0;
    static std::int32_t GetCS(std::int32_t, const char *, std::int32_t, std::uint64_t, void *cs) {
        const double dbm = -1.0 * ++reads;
        std::memcpy(static_cast<char *>(cs) + 5, &dbm, sizeof dbm);
        return reads == 100 ? SMS_ERR_FREQUENCY : SMS_OK;
    }
    FailingLibrary() { Smsdk::Instance().Functions.GetCS = &GetCS; }
    ~FailingLibrary() { Smsdk::Instance().Functions = saved; }
    TSmsdkFunctions saved = Smsdk::Instance().Functions;
};

TEST_F(TableEditorTest, CopyFromAnotherPoint) {
    const TDbmTable loaded = Table({{5, -100.0}}), source = Table({{0, -130.0}, {255, -10.0}});
    editor->LoadTable(loaded, QStringLiteral("7.1 MHz"));
    std::vector<std::uint64_t> asked;
    editor->SetCopySource([&](std::uint64_t frequency, TDbmTable &table) {
        asked.push_back(frequency);
        if (asked.size() == 1)
            return platform::ShowFailure(
                nullptr,
                Smsdk::Instance().ReadTable(1, Smsdk::kReceiverName, -1, frequency, table));
        table = source;
        return true;
    });
    editor->stSpeedButton7->Click(); // the frequency-select dialog cancelled
    EXPECT_TRUE(asked.empty());
    answers[FSelectForm] = [] { return int(mrOk); };
    {
        FailingLibrary library;
        editor->stSpeedButton7->Click();
        EXPECT_EQ(FailingLibrary::reads, 100);
    }
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text,
              QStringLiteral("Specified frequency is not found in calibration table."));
    EXPECT_TRUE(Same(editor->Table(), loaded));
    EXPECT_EQ(CellText(0), QStringLiteral("0.0"));
    EXPECT_FALSE(editor->TableModified());

    editor->stSpeedButton7->Click();
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[1], FSelectForm->ChosenFrequency());
    EXPECT_EQ(editor->Table(), source);
    EXPECT_EQ(CellText(255), QStringLiteral("-10.0"));
    EXPECT_EQ(editor->CurveCaption(), QStringLiteral("7.1 MHz"));
    EXPECT_TRUE(editor->TableModified());
}

TEST_F(TableEditorTest, GraphBesideTheModalRunAndOkCancel) {
    answers[editor] = [this] {
        editor->stSpeedButton4->Click();
        EXPECT_TRUE(GraphForm->isVisible());
        // The graph window takes input while the editor runs modally.
        const QPoint cross = GraphForm->SysBtnClose->mapTo(GraphForm, QPoint(7, 7));
        QTest::mouseClick(GraphForm->windowHandle(), Qt::LeftButton, {}, cross);
        EXPECT_FALSE(GraphForm->isVisible());
        editor->stSpeedButton4->Click();
        editor->stSpeedButton5->Click();
        return int(mrCancel);
    };
    EXPECT_EQ(editor->ShowModal(), mrOk);
    EXPECT_FALSE(GraphForm->isVisible()) << "hiding the editor hides the graph window";
    for (TstSpeedButton *button : {editor->stSpeedButton3, editor->SysBtnClose}) {
        answers[editor] = [button] {
            button->Click();
            return int(mrOk);
        };
        EXPECT_EQ(editor->ShowModal(), mrCancel);
    }
}

} // namespace
