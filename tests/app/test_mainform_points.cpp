// The frequency point list: its rows, scroll bar and labels, selection and
// tuning, Add, Edit, Delete, copy from another mode, and the rebuild when the
// mode crosses wide FM.
#include "documenttesting.h"

#include "dialogs/u_sweepform.h"
#include "receiver/qmvhost.h"

#include <QUndoStack>

#include <QLocale>

using namespace documenttesting;

namespace {

class PointsTest : public DocumentTest {
protected:
    TMainForm &NewSet() {
        TMainForm &w = OpenDemo();
        New();
        return w;
    }
    void Mode(std::int32_t mode) {
        TQmvHost::Callback(Receiver().ModuleWindow(), QMV_HOST_MODE, mode, 0, 0);
        ASSERT_EQ(Receiver().CurrentMode(), mode);
    }
    // The rightmost column holding ink of the label area of a row.
    static int LabelEnd(TstGrid &grid, int row) {
        const QImage image = testsupport::Render(grid);
        const QRect cell = grid.CellRect(0, row);
        const QRgb back = testsupport::Pixel(image, cell.left() + 60, cell.top());
        int end = -1;
        for (int y = cell.top(); y < cell.top() + cell.height(); ++y)
            for (int x = cell.left(); x < cell.left() + 60; ++x)
                if (testsupport::Pixel(image, x, y) != back) end = std::max(end, x - cell.left());
        return end;
    }
};

TEST_F(PointsTest, RowsScrollBarsAndLabels) {
    NewSet();
    TFSelectForm &select = Window<TFSelectForm>();
    const struct {
        int points;
        bool barShown;
    } cases[] = {{20, true}, {10, false}, {11, true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.points);
        New();
        for (int i = 0; i < c.points; ++i)
            Put(-1, 1000000 + std::uint64_t(i) * 1000);
        ShowPoints();
        EXPECT_EQ(Program().Points().Count(), c.points);
        EXPECT_EQ(Control<TstGrid>("F").RowCount(), c.points);
        EXPECT_EQ(Child<TstGrid>(select, "F").RowCount(), c.points);
        EXPECT_EQ(Child<TstGrid>(select, "F").Cells(0, c.points - 1),
                  Control<TstGrid>("F").Cells(0, c.points - 1));
        EXPECT_EQ(Control<TmyScrollBar>("FSB").isVisible(), c.barShown);
        EXPECT_EQ(!Child(select, "FSB").isHidden(), c.barShown);
        if (c.barShown) {
            EXPECT_EQ(Control<TmyScrollBar>("FSB").Max(), c.points - 10 + 1);
            EXPECT_EQ(Control<TmyScrollBar>("FSB").Length(), 1);
            EXPECT_EQ(Child<TmyScrollBar>(select, "FSB").Max(), Control<TmyScrollBar>("FSB").Max());
        }
        EXPECT_TRUE(Control<TstSpeedButton>("BEdit").isEnabled());
        EXPECT_TRUE(Control<TstSpeedButton>("BDelete").isEnabled());
    }
    // The label "10." ends one pixel right of where the frequency-select
    // dialog, which has the same rows, ends it.
    const int end = LabelEnd(Control<TstGrid>("F"), 9);
    EXPECT_GT(end, 10);
    EXPECT_EQ(end, LabelEnd(Child<TstGrid>(select, "F"), 9) + 1);
    // Scrolling the bar scrolls the list.
    New();
    for (int i = 0; i < 20; ++i)
        Put(-1, 1000000 + std::uint64_t(i) * 1000);
    ShowPoints();
    Control<TmyScrollBar>("FSB").SetPosition(5);
    EXPECT_EQ(Control<TstGrid>("F").TopRow(), 5);
}

TEST_F(PointsTest, FrequencyTextsInBothDecimalSeparators) {
    NewSet();
    for (std::uint64_t hz : {1000000000ull, 1799ull, 2000000000ull, 1800ull})
        Put(-1, hz);
    for (const auto &[locale, texts] :
         {std::pair{QLocale::English,
                    std::vector<QString>{"1000 MHz", "1799 Hz", "2 GHz", "1.8 kHz"}},
          std::pair{QLocale::German,
                    std::vector<QString>{"1000 MHz", "1799 Hz", "2 GHz", "1,8 kHz"}}}) {
        QLocale::setDefault(QLocale(locale));
        ShowPoints();
        std::vector<QString> shown;
        for (std::uint64_t hz : {1000000000ull, 1799ull, 2000000000ull, 1800ull})
            shown.push_back(Control<TstGrid>("F").Cells(0, Program().Points().Find(hz)));
        EXPECT_EQ(shown, texts);
    }
    QLocale::setDefault(QLocale(QLocale::English));
}

TEST_F(PointsTest, SelectingARowTunesOnceButNotWhileTheListRefreshes) {
    NewSet();
    Put(-1, 7100000);
    Put(-1, 14200000);
    ShowPoints();
    ResetApiCalls();
    QTest::mouseClick(&Control<TstGrid>("F"), Qt::LeftButton, {},
                      Control<TstGrid>("F").CellRect(0, 1).center());
    EXPECT_EQ(Count(ApiCalls(), "SetFrequency("), 1);
    EXPECT_EQ(Control<TmyFrequencyEdit>("Fq").Value(), std::int64_t(Program().Points().At(1)));

    // A selection that arrives while the list is being read from the library.
    Smsdk &sdk = Smsdk::Instance();
    static SmsGetFrequenciesFn real;
    static TstGrid *list;
    real = sdk.Functions.GetFrequencies;
    list = &Control<TstGrid>("F");
    sdk.Functions.GetFrequencies = [](int32_t cal, const char *rx, int32_t mode, uint64_t *buffer,
                                      int32_t size) {
        if (buffer) list->SetRow(0);
        return real(cal, rx, mode, buffer, size);
    };
    ResetApiCalls();
    ShowPoints();
    sdk.Functions.GetFrequencies = real;
    EXPECT_EQ(Count(ApiCalls(), "SetFrequency("), 0);
    // After the refresh a selection tunes again.
    list->SetRow(1);
    list->SetRow(0);
    EXPECT_EQ(Count(ApiCalls(), "SetFrequency("), 1);
}

TEST_F(PointsTest, AddDeleteAndDoubleClick) {
    NewSet();
    Put(-1, 7100000, -50);
    ShowPoints();

    // Add proposes the tuned frequency; an existing point after Yes starts over.
    Control<TmyFrequencyEdit>("Fq").SetValue(7100000);
    std::int64_t proposed = 0;
    boxes.setAnswer(QMessageBox::Yes);
    modal = [&](TstForm &window) {
        if (!qobject_cast<TAddFqForm *>(&window)) return int(mrCancel);
        proposed = Child<TmyFrequencyEdit>(window, "Fq").Value();
        testsupport::Click(Child(window, "BOK"));
        return int(mrCancel);
    };
    Click(&Control<TstSpeedButton>("stSpeedButton8"));
    EXPECT_EQ(proposed, 7100000);
    ASSERT_EQ(BoxTexts().size(), 1u);
    EXPECT_TRUE(BoxTexts()[0].endsWith(" MHz already exist in calibration table.\nOverwite?"));
    EXPECT_EQ(Value(-1, 7100000, 200), 0.0);
    EXPECT_TRUE(Document().IsModified());

    // A new point is selected and tuned.
    Add(14200000);
    EXPECT_EQ(Rows(), (std::vector<QString>{"7.1 MHz", "14.2 MHz"}));
    EXPECT_EQ(Control<TstGrid>("F").Row(), 1);
    EXPECT_EQ(Control<TmyFrequencyEdit>("Fq").Value(), 14200000);

    // Double click edits the selected point.
    bool edited = false;
    modal = [&](TstForm &window) {
        edited = qobject_cast<TTableForm *>(&window) != nullptr;
        return int(mrCancel);
    };
    QTest::mouseDClick(&Control<TstGrid>("F"), Qt::LeftButton, {},
                       Control<TstGrid>("F").CellRect(0, 1).center());
    EXPECT_TRUE(edited);
    modal = nullptr;

    // Delete answered No changes nothing; Yes removes the selected point.
    Document().SetModified(false);
    boxes.boxes.clear();
    boxes.setAnswer(QMessageBox::No);
    Click(&Control<TstSpeedButton>("BDelete"));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Are you sure you want to remove frequency?");
    EXPECT_EQ(boxes.boxes[0].defaultButton, QMessageBox::Yes);
    EXPECT_EQ(Rows().size(), 2u);
    EXPECT_FALSE(Document().IsModified());
    boxes.setAnswer(QMessageBox::Yes);
    Click(&Control<TstSpeedButton>("BDelete"));
    Click(&Control<TstSpeedButton>("BDelete"));
    EXPECT_EQ(Rows(), std::vector<QString>{""});
    EXPECT_FALSE(Control<TstSpeedButton>("BEdit").isEnabled());
    EXPECT_FALSE(Control<TstSpeedButton>("BDelete").isEnabled());
    EXPECT_TRUE(Document().IsModified());
    EXPECT_TRUE(Document().Points(-1).empty());
}

TEST_F(PointsTest, EditStoresOnlyOnOkAndKeepsTheModifiedFlagUnlessTheTableChanged) {
    const struct {
        const char *what;
        bool ok, change, modifiedBefore;
        bool stored, modifiedAfter;
    } cases[] = {
        {"cancelled", false, true, false, false, false},
        {"cancelled, modified", false, false, true, false, true},
        {"OK without change", true, false, false, true, false},
        {"OK without change, modified before", true, false, true, true, true},
        {"OK with a change", true, true, false, true, true},
    };
    NewSet();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Put(-1, 7100000, -60);
        ShowPoints();
        Document().SetModified(c.modifiedBefore);
        QString caption;
        modal = [&](TstForm &window) {
            if (auto *editor = qobject_cast<TTableForm *>(&window)) {
                caption = editor->LCaption->Caption();
                EXPECT_EQ(editor->Table()[0], -60);
                EXPECT_FALSE(editor->TableModified());
                if (c.change) EditValue(*editor, 0, "-70");
                testsupport::Click(Child(window, c.ok ? "stSpeedButton5" : "stSpeedButton3"));
            }
            return int(mrCancel);
        };
        RecordSdkCalls(true);
        Click(&Control<TstSpeedButton>("BEdit"));
        const std::string calls = SdkCalls();
        RecordSdkCalls(false);
        EXPECT_EQ(caption, "Translation table for frequency 7.1 MHz (tuned)");
        EXPECT_EQ(Count(calls, "PutDBMs"), c.stored ? 1 : 0);
        EXPECT_EQ(Count(calls, "GetCS"), 256);
        EXPECT_EQ(Value(-1, 7100000), c.stored && c.change ? -70 : -60);
        EXPECT_EQ(Document().IsModified(), c.modifiedAfter);
        // A set left modified still brings the guard question (Open, not
        // answered Yes, then stops).
        boxes.boxes.clear();
        Press("stSpeedButton4");
        EXPECT_EQ(boxes.boxes.size(), c.modifiedAfter ? 1u : 0u);
    }
}

TEST_F(PointsTest, TheEditedTableStaysWithItsModeWhenTheModeCrossesWideFm) {
    NewSet();
    Mode(1);
    Put(-1, 7100000, -60);
    Put(3, 98000000, -30);
    ShowPoints();
    EXPECT_EQ(Rows(), std::vector<QString>{"7.1 MHz"});
    std::vector<QString> listedMeanwhile;
    modal = [&](TstForm &window) {
        auto *editor = qobject_cast<TTableForm *>(&window);
        if (!editor) return int(mrCancel);
        Mode(3);
        listedMeanwhile = Rows();
        EditValue(*editor, 5, "-80");
        testsupport::Click(Child(window, "stSpeedButton5"));
        return int(mrCancel);
    };
    Click(&Control<TstSpeedButton>("BEdit"));
    EXPECT_EQ(listedMeanwhile, std::vector<QString>{"98 MHz"});
    EXPECT_EQ(Value(-1, 7100000, 5), -80);
    EXPECT_TRUE(Document().Points(3) == std::vector<std::uint64_t>{98000000});
    EXPECT_EQ(Value(3, 98000000, 5), -30);
    // Between two other modes the list stays; back from wide FM it follows.
    Mode(1);
    EXPECT_EQ(Rows(), std::vector<QString>{"7.1 MHz"});
    Put(-1, 9000000);
    Mode(4);
    EXPECT_EQ(Rows(), std::vector<QString>{"7.1 MHz"});
}

TEST_F(PointsTest, CopyFromAnotherMode) {
    NewSet();
    Mode(1);
    Put(3, 4000000000ull, -40); // above the demo receiver's 3.5 GHz
    Put(3, 7100000, -41);
    Put(-1, 7100000, -10);
    ShowPoints();
    auto chooseWideFm = [&](TstForm &window) {
        if (!qobject_cast<TCopyForm *>(&window)) return int(mrCancel);
        auto &modes = Child<TstGrid>(window, "M");
        for (int row = 0; row < modes.RowCount(); ++row)
            if (modes.Cells(0, row) == "FMW - Freq. Modulation,Wide") modes.SetRow(row);
        testsupport::Click(Child(window, "BCopy"));
        return window.ModalResult();
    };
    modal = chooseWideFm;

    // Cancel at the first "Frequency exist" question copies nothing.
    boxes.setAnswer(QMessageBox::Cancel);
    Control<TstSpeedButton>("stSpeedButton7").Click();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].title, "Frequency exist");
    EXPECT_EQ(boxes.boxes[0].text,
              "Table entry for frequency 7.1 MHz already exist for this mode.\nReplace it?");
    EXPECT_EQ(boxes.boxes[0].buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(Value(-1, 7100000), -10);
    EXPECT_EQ(Document().Points(-1).size(), 1u);
    EXPECT_FALSE(Document().IsModified());

    // No keeps the existing point; the point above the range lands at the
    // top of the range after the "Information" message.
    boxes.boxes.clear();
    boxes.setAnswer(QMessageBox::No);
    Control<TstSpeedButton>("stSpeedButton7").Click();
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[1].title, "Information");
    EXPECT_EQ(boxes.boxes[1].icon, QMessageBox::Information);
    EXPECT_EQ(boxes.boxes[1].text,
              "Frequency 4 GHz is grater than maximum frequency (3.5 GHz).\nThis frequency will be "
              "aligned to 3.5 GHz.");
    EXPECT_EQ(Value(-1, 7100000), -10);
    EXPECT_EQ(Value(-1, 3500000000ull), -40);
    EXPECT_EQ(Rows(), (std::vector<QString>{"7.1 MHz", "3.5 GHz"}));
    EXPECT_TRUE(Document().IsModified());
}

TEST_F(PointsTest, SweepRunsForEveryPointOrFromTheEditorForItsPoint) {
    NewSet();
    EXPECT_FALSE(Control<TstSpeedButton>("BSweep").isEnabled()) << "no points";
    Put(-1, 7100000, -50);
    ShowPoints();
    EXPECT_TRUE(Control<TstSpeedButton>("BSweep").isEnabled());

    // Cancelled sweeps store nothing and leave the editor without a step.
    std::vector<QString> shown;
    modal = [&](TstForm &window) {
        shown.push_back(window.metaObject()->className());
        if (qobject_cast<TTableForm *>(&window)) {
            Click(&Child(window, "BSweep"));
            EXPECT_FALSE(Child<QAction>(window, "UndoAction").isEnabled());
        }
        return int(mrCancel);
    };
    Click(&Control<TstSpeedButton>("BSweep"));
    Click(&Control<TstSpeedButton>("BEdit"));
    EXPECT_EQ(shown, (std::vector<QString>{"TSweepForm", "TTableForm", "TSweepForm"}));
    EXPECT_EQ(Value(-1, 7100000, 200), -50.0);
    EXPECT_FALSE(Document().IsModified());

    CloseButton();
    EXPECT_FALSE(Control<TstSpeedButton>("BSweep").isEnabled()) << "no receiver";
}

} // namespace
