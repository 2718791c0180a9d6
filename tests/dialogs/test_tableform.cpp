#include "tableformtesting.h"

#include "calibration/signalscale.h"

#include <cstring>

using namespace tableformtesting;
using testsupport::Pixel;

namespace {

class TableEditorTest : public EditorTest {
protected:
    // The colours of a cell's pixels, as a set.
    static std::set<QRgb> Colours(const QImage &image, const QRect &cell) {
        std::set<QRgb> colours;
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            for (int x = cell.left(); x <= cell.right(); ++x)
                colours.insert(Pixel(image, x, y));
        return colours;
    }
    // Whether text of that colour is drawn in the cell (its strokes are
    // smoothed into the background).
    static bool HasText(const QImage &image, const QRect &cell, QRgb colour) {
        for (QRgb p : Colours(image, cell))
            if (std::abs(qRed(p) - qRed(colour)) < 48 &&
                std::abs(qGreen(p) - qGreen(colour)) < 48 &&
                std::abs(qBlue(p) - qBlue(colour)) < 48)
                return true;
        return false;
    }
    QImage Grid() { return testsupport::Render(*editor->T); }
    QRect Cell(int column, int row) { return editor->T->CellRect(column, row); }
};

constexpr QRgb kBack = 0x424242, kValue = 0x636363, kSelected = 0x909090, kLiveBack = 0x800000;
constexpr QRgb kYellow = 0xFFFF00, kGreen = 0x008000, kRed = 0xFF0000, kLime = 0x00FF00;

TEST_F(TableEditorTest, CellMap) {
    TDbmTable t;
    for (int r = 0; r < 256; ++r)
        t[r] = -(r + 0.3);
    editor->LoadTable(t, QStringLiteral("7.1 MHz"));
    const struct {
        int raw, column, row;
        const char *text;
    } cases[] = {
        {0, 1, 1, "-0.3"}, {23, 1, 24, "-23.3"}, {24, 3, 1, "-24.3"}, {255, 21, 16, "-255.3"}};
    for (const auto &c : cases) {
        int column, row;
        TTableForm::RawToCell(c.raw, column, row);
        EXPECT_EQ(column, c.column) << c.raw;
        EXPECT_EQ(row, c.row) << c.raw;
        EXPECT_EQ(TTableForm::CellToRaw(c.column, c.row), c.raw);
        EXPECT_EQ(editor->T->Cells(c.column, c.row), QString::fromLatin1(c.text));
    }
    // Only dBm cells of RAW 0..255 take the cursor.
    ShowEditor();
    editor->T->SetSelection(21, 16);
    for (int row = 17; row <= 24; ++row)
        QTest::mouseClick(editor->T, Qt::LeftButton, {}, Cell(21, row).center());
    QTest::mouseClick(editor->T, Qt::LeftButton, {}, Cell(20, 3).center());
    EXPECT_EQ(editor->T->Col(), 21);
    EXPECT_EQ(editor->T->Row(), 16);
    QTest::keyClick(editor->T, Qt::Key_Down);
    EXPECT_EQ(editor->T->Row(), 16);
    // The last pair's labels end at 255: rows 17 on are empty.
    const QImage image = Grid();
    EXPECT_TRUE(HasText(image, Cell(20, 16), kGreen));
    EXPECT_EQ(Colours(image, Cell(20, 17)), std::set<QRgb>{kBack});
    EXPECT_EQ(Colours(image, Cell(21, 17)), std::set<QRgb>{kBack});
}

TEST_F(TableEditorTest, CellDrawing) {
    editor->LoadTable(Table({{25, -50.0}}), QString());
    editor->SetLiveRaw(30);
    editor->T->SetSelection(3, 2); // RAW 25
    ShowEditor();
    const QImage image = Grid();
    const QRect value = Cell(3, 3), selected = Cell(3, 2), live = Cell(2, 7), label = Cell(2, 8);
    EXPECT_EQ(Pixel(image, value.left(), value.top()), kValue);
    EXPECT_TRUE(HasText(image, value, kLime));
    EXPECT_EQ(Pixel(image, selected.left(), selected.top()), kSelected);
    EXPECT_TRUE(HasText(image, selected, kLime));
    EXPECT_EQ(Pixel(image, live.left(), live.top()), kLiveBack);
    EXPECT_TRUE(HasText(image, live, kRed));
    EXPECT_EQ(Pixel(image, label.left(), label.top()), kBack);
    EXPECT_TRUE(HasText(image, label, kGreen));
    // The header's texts are yellow; cells are parted by lines of the window colour.
    for (int column : {0, 1})
        EXPECT_TRUE(HasText(image, Cell(column, 0), kYellow)) << column;
    EXPECT_EQ(Pixel(image, value.right() + 1, value.top()), kBack);
    EXPECT_EQ(Pixel(image, value.left(), value.bottom() + 1), kBack);

    // A new reading: the old label green on the window colour, the new one red on dark red.
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
    editor->SetLiveRaw(200);
    QApplication::processEvents();
    EXPECT_EQ(paints, 2) << "the old and the new label cell";
    const QImage after = Grid();
    EXPECT_EQ(Pixel(after, live.left(), live.top()), kBack);
    EXPECT_TRUE(HasText(after, live, kGreen));
    const QRect now = Cell(16, 9); // RAW 200
    EXPECT_EQ(Pixel(after, now.left(), now.top()), kLiveBack);
    EXPECT_TRUE(HasText(after, now, kRed));
}

TEST_F(TableEditorTest, DoubleClickAndEnterEditDbmCellsOnly) {
    ShowEditor();
    AnswerValue(QStringLiteral("-1"));
    QTest::keyClick(editor->T, Qt::Key_Return); // the cursor starts on a label cell
    for (const auto &[column, row] : {std::pair{0, 0}, {1, 0}, {2, 5}, {21, 20}})
        DoubleClick(column, row);
    EXPECT_EQ(runs[EditValForm], 0);
    EXPECT_FALSE(editor->TableModified());

    AnswerValue(QStringLiteral("-73.456"));
    DoubleClick(3, 5); // RAW 28
    ASSERT_EQ(runs[EditValForm], 1);
    EXPECT_EQ(EditValForm->L->Caption(), QStringLiteral("28"));
    EXPECT_EQ(editor->Table()[28], -73.456);
    EXPECT_EQ(CellText(28), QStringLiteral("-73.5"));
    EXPECT_TRUE(editor->TableModified());
    // The dialog starts from the value shown; Cancel changes nothing.
    answers[EditValForm] = [] {
        EXPECT_EQ(EditValForm->V->text(), QStringLiteral("-73.5"));
        return int(mrCancel);
    };
    const TDbmTable before = editor->Table();
    QTest::keyClick(editor->T, Qt::Key_Return);
    EXPECT_EQ(runs[EditValForm], 2);
    EXPECT_EQ(editor->Table(), before);
}

TEST_F(TableEditorTest, Interpolate) {
    const struct {
        TDbmTable table;
        std::vector<std::pair<int, double>> expected;
    } cases[] = {
        {Table({}), {{0, 0.0}, {128, 0.0}, {255, 0.0}}},
        {Table({{100, -80.0}}), {{0, -80.0}, {99, -80.0}, {101, -80.0}, {255, -80.0}}},
        {Table({{10, -100.0}, {12, -80.0}}), {{0, -100.0}, {11, -90.0}, {13, -80.0}, {255, -80.0}}},
        {Table({{0, -120.0}, {3, -110.0}}), {{1, -116.7}, {2, -113.3}, {4, -110.0}}},
        // -5.0 shifted by +10 is 0.0 again: a gap.
        {Table({{0, -20.0}, {1, 0.0}, {2, -10.0}}), {{1, -15.0}}},
    };
    for (const auto &c : cases) {
        editor->LoadTable(c.table, QString());
        editor->SetTableModified(false);
        editor->stSpeedButton6->Click();
        EXPECT_TRUE(editor->TableModified());
        for (const auto &[raw, value] : c.expected) {
            EXPECT_DOUBLE_EQ(editor->Table()[raw], value) << raw;
            EXPECT_EQ(CellText(raw), SignalScale::DbmText(value)) << raw;
        }
    }
}

TEST_F(TableEditorTest, FillAndOffset) {
    const struct {
        bool fill;
        const char *value;
        int from, to;
        TDbmTable table;
        std::vector<std::pair<int, double>> changed; // every entry that changes
    } cases[] = {
        {false, "10", 7, 7, Table({{7, -5.0}}), {{7, 0.0}}},
        {false, "-10", 7, 7, Table({}), {{7, -10.0}}},
        {false, "-50", 7, 7, Table({{7, -120.0}}), {{7, -140.0}}},
        {true, "-50", 10, 5, Table({}), {}},
        {true, "-50", 7, 7, Table({}), {{7, -50.0}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.value);
        editor->LoadTable(c.table, QString());
        editor->SetTableModified(false);
        AnswerRange(QString::fromLatin1(c.value), c.from, c.to);
        (c.fill ? editor->stSpeedButton2 : editor->stSpeedButton1)->Click();
        const QString caption =
            c.fill ? QStringLiteral("Fill values") : QStringLiteral("Add offset");
        EXPECT_EQ(FillForm->windowTitle(), caption);
        EXPECT_EQ(FillForm->LCaption->Caption(), caption);
        EXPECT_EQ(FillForm->L->Caption(), caption + QStringLiteral(" for RAW"));
        TDbmTable expected = c.table;
        for (const auto &[raw, value] : c.changed)
            expected[raw] = value;
        EXPECT_EQ(std::memcmp(editor->Table().data(), expected.data(), sizeof expected), 0);
        EXPECT_TRUE(editor->TableModified());
    }
}

// The main window's reader: 256 GetCS reads, the first failure shown.
struct FailingLibrary {
    static inline int reads = 0;
    static std::int32_t GetCS(std::int32_t, const char *, std::int32_t, std::uint64_t, void *cs) {
        if (++reads == 100) return SMS_ERR_FREQUENCY;
        const double dbm = -1.0 * reads;
        std::memcpy(static_cast<char *>(cs) + 5, &dbm, sizeof dbm);
        return SMS_OK;
    }
    TSmsdkFunctions saved = Smsdk::Instance().Functions;
    FailingLibrary() {
        reads = 0;
        Smsdk::Instance().Functions.GetCS = &GetCS;
    }
    ~FailingLibrary() { Smsdk::Instance().Functions = saved; }
};

TEST_F(TableEditorTest, CopyFromAnotherPoint) {
    const TDbmTable loaded = Table({{5, -100.0}});
    editor->LoadTable(loaded, QStringLiteral("7.1 MHz"));
    std::vector<std::uint64_t> asked;
    TDbmTable source = Table({{0, -130.0}, {255, -10.0}});
    bool fail = false;
    editor->SetCopySource([&](std::uint64_t frequency, TDbmTable &table) {
        asked.push_back(frequency);
        if (fail) return Smsdk::Instance().ReadTable(1, Smsdk::kReceiverName, -1, frequency, table);
        table = source;
        return true;
    });
    editor->stSpeedButton7->Click(); // frequency-select dialog cancelled
    EXPECT_TRUE(asked.empty());

    answers[FSelectForm] = [] { return int(mrOk); };
    {
        FailingLibrary library;
        fail = true;
        editor->stSpeedButton7->Click();
        EXPECT_EQ(FailingLibrary::reads, 100);
    }
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text,
              QStringLiteral("Specified frequency is not found in calibration table."));
    EXPECT_EQ(std::memcmp(editor->Table().data(), loaded.data(), sizeof loaded), 0);
    EXPECT_EQ(CellText(0), QStringLiteral("0.0"));
    EXPECT_FALSE(editor->TableModified());

    fail = false;
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
        QWindow *window = GraphForm->windowHandle();
        const QPoint cross =
            GraphForm->SysBtnClose->mapTo(GraphForm, GraphForm->SysBtnClose->rect().center());
        QTest::mouseClick(window, Qt::LeftButton, {}, cross);
        EXPECT_FALSE(GraphForm->isVisible());
        editor->stSpeedButton4->Click();
        editor->stSpeedButton5->Click();
        return int(mrCancel);
    };
    EXPECT_EQ(editor->ShowModal(), mrOk);
    EXPECT_FALSE(GraphForm->isVisible()) << "hiding the editor hides the graph window";
    EXPECT_FALSE(editor->isVisible());

    for (TstSpeedButton *button : {editor->stSpeedButton3, editor->SysBtnClose}) {
        answers[editor] = [button] {
            button->Click();
            return int(mrOk);
        };
        EXPECT_EQ(editor->ShowModal(), mrCancel);
    }
}

} // namespace
