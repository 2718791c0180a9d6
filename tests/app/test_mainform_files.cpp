// The file commands: the flags' whole life through New, Open, Save and their
// failures and cancels, the dialogs they run, and the questions that guard
// unsaved changes.
#include "documenttesting.h"

using namespace documenttesting;

namespace {

using FilesTest = DocumentTest;

struct Expect {
    bool loaded, newFile, modified;
    QString file;                // the document's file name, relative to the folder
    std::vector<QString> boxes;  // the message boxes the step showed
    std::vector<QString> points; // the list's rows
};

TEST_F(FilesTest, FlagsLiveThroughNewOpenSaveAndTheirFailures) {
    TMainForm &w = OpenDemo();
    boxes.setAnswer(QMessageBox::Yes);
    {
        QFile bad(Path("bad.cal"));
        ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
        bad.write("not a calibration file");
    }
    const QString missing = Path("missing/x.cal");
    const QString saveFailed = "Error during writing calibration table to file.";
    const std::vector<QString> none, one{"7.1 MHz"};
    struct Step {
        const char *what;
        std::function<void()> act;
        Expect expect;
    } steps[] = {
        {"New", [&] { New(); }, {true, true, false, "New.cal", {}, {""}}},
        {"Add", [&] { Add(7100000); }, {true, true, true, "New.cal", {}, one}},
        {"Save cancelled", [&] { Click(w.BSave); }, {true, true, true, "New.cal", {}, one}},
        {"Save into a missing folder",
         [&] {
             fileAnswers = {missing};
             Click(w.BSave);
         },
         {true, true, true, "New.cal", {saveFailed}, one}},
        {"Save",
         [&] {
             fileAnswers = {Path("a.cal")};
             Click(w.BSave);
         },
         {true, true, false, "a.cal", {}, one}},
        {"Save again",
         [&] {
             fileAnswers = {Path("b.cal")};
             Click(w.BSave);
         },
         {true, true, false, "b.cal", {}, one}},
        {"Open cancelled", [&] { Click(w.stSpeedButton4); }, {true, true, false, "b.cal", {}, one}},
        {"Open of a file that does not load",
         [&] {
             Add(9000000);
             fileAnswers = {Path("bad.cal")};
             Click(w.stSpeedButton4);
         },
         {true,
          true,
          true,
          "b.cal",
          {"Calibration table is modified and not saved.\nOpen calibration table file?",
           "Error during loading CAL file to memory."},
          {"7.1 MHz", "9 MHz"}}},
        {"Save after the failed Open",
         [&] {
             fileAnswers = {Path("c.cal")};
             Click(w.BSave);
         },
         {true, true, false, "c.cal", {}, {"7.1 MHz", "9 MHz"}}},
        {"Open",
         [&] {
             fileAnswers = {Path("a.cal")};
             Click(w.stSpeedButton4);
         },
         {true, false, false, "a.cal", {}, one}},
        {"Save proposes the file", [&] { Click(w.BSave); }, {true, false, false, "a.cal", {}, one}},
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(step.what);
        boxes.boxes.clear();
        step.act();
        const TCalDocument &doc = w.Document();
        EXPECT_EQ(doc.IsLoaded(), step.expect.loaded);
        EXPECT_EQ(doc.IsNewFile(), step.expect.newFile);
        EXPECT_EQ(doc.IsModified(), step.expect.modified);
        EXPECT_EQ(QFileInfo(doc.FileName()).fileName(), step.expect.file);
        EXPECT_EQ(BoxTexts(), step.expect.boxes);
        // The library's messages and the questions belong to the main window.
        for (const platform::MessageBoxRequest &box : boxes.boxes)
            EXPECT_EQ(box.owner.data(), &w) << box.text.toStdString();
        EXPECT_EQ(Rows(), step.expect.points);
        EXPECT_EQ(w.LCaption->Caption(), TMainForm::TitleWithFileName(doc.FileName(), *w.LCaption));
        EXPECT_TRUE(w.FsP->isEnabled());
        EXPECT_TRUE(w.BSave->isEnabled());
        EXPECT_TRUE(w.CalInfo->isEnabled());
    }
    EXPECT_EQ(w.LCaption->Caption(), TMainForm::TitleWithFileName(Path("a.cal"), *w.LCaption));
    EXPECT_TRUE(QFileInfo::exists(Path("c.cal")));
    EXPECT_FALSE(QFileInfo::exists(missing));

    // What the dialogs were asked: Save proposes "New.cal" after New, even
    // after a successful Save, and the file's own path once one is opened.
    std::vector<QString> proposed;
    for (const auto &request : fileRequests) {
        EXPECT_EQ(request.filter, "S-Meter Calibration Table Files (*.CAL)");
        EXPECT_EQ(request.defaultSuffix, "cal");
        EXPECT_EQ(request.owner, &w);
        if (request.kind == platform::FileDialogRequest::Save) {
            EXPECT_EQ(request.title, "Save S-Meter Calibration Table");
            proposed.push_back(request.fileName);
        } else {
            EXPECT_EQ(request.title, "Open S-Meter Calibration Table");
        }
    }
    EXPECT_EQ(proposed, (std::vector<QString>{"New.cal", "New.cal", "New.cal", "New.cal", "New.cal",
                                              Path("a.cal")}));
}

TEST_F(FilesTest, PanelsFollowTheSet) {
    TMainForm &w = Start();
    EXPECT_FALSE(w.FiP->isEnabled());
    EXPECT_FALSE(w.FsP->isEnabled());
    Open();
    EXPECT_TRUE(w.stSpeedButton3->isEnabled());
    EXPECT_TRUE(w.stSpeedButton4->isEnabled());
    EXPECT_FALSE(w.BSave->isEnabled());
    EXPECT_FALSE(w.CalInfo->isEnabled());
    EXPECT_FALSE(w.FsP->isEnabled());
    New();
    EXPECT_TRUE(w.FsP->isEnabled());
    EXPECT_TRUE(w.stSpeedButton8->isEnabled());
    EXPECT_FALSE(w.BEdit->isEnabled());
    EXPECT_FALSE(w.BDelete->isEnabled());
    EXPECT_EQ(w.LCaption->Caption(), TMainForm::TitleText() + " [New.cal]");

    // Details lists the set the window holds.
    bool shown = false;
    modal = [&](TstForm &window) {
        shown = qobject_cast<TCalInfoForm *>(&window) != nullptr;
        return int(mrCancel);
    };
    Click(w.CalInfo);
    EXPECT_TRUE(shown);

    CloseButton();
    EXPECT_FALSE(w.Document().IsLoaded());
    EXPECT_FALSE(w.FiP->isEnabled());
    EXPECT_FALSE(w.FsP->isEnabled());
    EXPECT_FALSE(w.CalInfo->isEnabled());
    EXPECT_EQ(w.LCaption->Caption(), TMainForm::TitleText());
}

TEST_F(FilesTest, EveryGuardAsksOnlyWhenTheSetIsModified) {
    const struct {
        const char *question;
        QMessageBox::StandardButton defaultButton;
        std::function<void(TMainForm &)> command;
    } guards[] = {
        {"Create new empty calibration table?", QMessageBox::Yes,
         [](TMainForm &w) { w.stSpeedButton3Click(); }},
        {"Open calibration table file?", QMessageBox::Yes,
         [](TMainForm &w) { w.stSpeedButton4Click(); }},
        {"Do you want to refresh?", QMessageBox::No, [](TMainForm &w) { w.stSpeedButton6Click(); }},
        {"Open selected receiver device?", QMessageBox::No, [](TMainForm &w) { w.BSelectClick(); }},
        {"Do you want to close opened radio receiver?", QMessageBox::No,
         [](TMainForm &w) { w.BCloseClick(); }},
        {"Close anyway?", QMessageBox::No, [](TMainForm &w) { w.close(); }},
    };
    enum State { NoSet, Unmodified, Modified };
    boxes.setAnswer(QMessageBox::No);
    for (const auto &guard : guards) {
        for (State state : {NoSet, Unmodified, Modified}) {
            SCOPED_TRACE(std::string(guard.question) + " in state " + std::to_string(state));
            TMainForm &w = OpenDemo();
            if (state != NoSet) New();
            if (state == Modified) Add(7100000);
            boxes.boxes.clear();
            fileRequests.clear();
            guard.command(w);
            if (state != Modified) {
                EXPECT_TRUE(boxes.boxes.empty());
                continue;
            }
            ASSERT_EQ(boxes.boxes.size(), 1u);
            const auto &box = boxes.boxes[0];
            EXPECT_EQ(box.text,
                      "Calibration table is modified and not saved.\n" + QString(guard.question));
            EXPECT_EQ(box.title, "Confirmation");
            EXPECT_EQ(box.icon, QMessageBox::Question);
            EXPECT_EQ(box.buttons, QMessageBox::Yes | QMessageBox::No);
            EXPECT_EQ(box.defaultButton, guard.defaultButton);
            // No: the command did nothing.
            EXPECT_TRUE(w.Document().IsModified());
            EXPECT_TRUE(w.Document().IsLoaded());
            EXPECT_TRUE(w.isVisible());
            EXPECT_GT(w.ReceiverHandle(), 0);
            EXPECT_EQ(Rows(), std::vector<QString>{"7.1 MHz"});
            EXPECT_TRUE(fileRequests.empty());
        }
    }
}

} // namespace
