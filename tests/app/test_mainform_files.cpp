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
        {"Save cancelled",
         [&] { Click(&Control<TstSpeedButton>("BSave")); },
         {true, true, true, "New.cal", {}, one}},
        {"Save into a missing folder",
         [&] {
             fileAnswers = {missing};
             Click(&Control<TstSpeedButton>("BSave"));
         },
         {true, true, true, "New.cal", {saveFailed}, one}},
        {"Save",
         [&] {
             fileAnswers = {Path("a.cal")};
             Click(&Control<TstSpeedButton>("BSave"));
         },
         {true, true, false, "a.cal", {}, one}},
        {"Save again",
         [&] {
             fileAnswers = {Path("b.cal")};
             Click(&Control<TstSpeedButton>("BSave"));
         },
         {true, true, false, "b.cal", {}, one}},
        {"Open cancelled",
         [&] { Click(&Control<TstSpeedButton>("stSpeedButton4")); },
         {true, true, false, "b.cal", {}, one}},
        {"Open of a file that does not load",
         [&] {
             Add(9000000);
             fileAnswers = {Path("bad.cal")};
             Click(&Control<TstSpeedButton>("stSpeedButton4"));
         },
         {true,
          true,
          true,
          "b.cal",
          {"Calibration table is modified and not saved.\nOpen calibration table file?",
           "Error during loading CAL file to memory."},
          {"7.1 MHz", "9 MHz"}}},
        {"Open of the modified set answered Yes, then cancelled",
         [&] { Click(&Control<TstSpeedButton>("stSpeedButton4")); },
         {true,
          true,
          true,
          "b.cal",
          {"Calibration table is modified and not saved.\nOpen calibration table file?"},
          {"7.1 MHz", "9 MHz"}}},
        {"Save after the failed Open",
         [&] {
             fileAnswers = {Path("c.cal")};
             Click(&Control<TstSpeedButton>("BSave"));
         },
         {true, true, false, "c.cal", {}, {"7.1 MHz", "9 MHz"}}},
        {"Open",
         [&] {
             fileAnswers = {Path("a.cal")};
             Click(&Control<TstSpeedButton>("stSpeedButton4"));
         },
         {true, false, false, "a.cal", {}, one}},
        {"Save proposes the file",
         [&] { Click(&Control<TstSpeedButton>("BSave")); },
         {true, false, false, "a.cal", {}, one}},
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(step.what);
        boxes.boxes.clear();
        step.act();
        const TCalDocument &doc = Document();
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
        EXPECT_TRUE(Control<TstPanel>("FsP").isEnabled());
        EXPECT_TRUE(Control<TstSpeedButton>("BSave").isEnabled());
        EXPECT_TRUE(Control<TstSpeedButton>("CalInfo").isEnabled());
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
    EXPECT_FALSE(Control<TstPanel>("FiP").isEnabled());
    EXPECT_FALSE(Control<TstPanel>("FsP").isEnabled());
    Open();
    EXPECT_TRUE(Control<TstSpeedButton>("stSpeedButton3").isEnabled());
    EXPECT_TRUE(Control<TstSpeedButton>("stSpeedButton4").isEnabled());
    EXPECT_FALSE(Control<TstSpeedButton>("BSave").isEnabled());
    EXPECT_FALSE(Control<TstSpeedButton>("CalInfo").isEnabled());
    EXPECT_FALSE(Control<TstPanel>("FsP").isEnabled());
    New();
    EXPECT_TRUE(Control<TstPanel>("FsP").isEnabled());
    EXPECT_TRUE(Control<TstSpeedButton>("stSpeedButton8").isEnabled());
    EXPECT_FALSE(Control<TstSpeedButton>("BEdit").isEnabled());
    EXPECT_FALSE(Control<TstSpeedButton>("BDelete").isEnabled());
    EXPECT_EQ(w.LCaption->Caption(), TMainForm::TitleText() + " [New.cal]");

    // Details lists the set the window holds.
    bool shown = false;
    modal = [&](TstForm &window) {
        shown = qobject_cast<TCalInfoForm *>(&window) != nullptr;
        return int(mrCancel);
    };
    Click(&Control<TstSpeedButton>("CalInfo"));
    EXPECT_TRUE(shown);

    CloseButton();
    EXPECT_FALSE(Document().IsLoaded());
    EXPECT_FALSE(Control<TstPanel>("FiP").isEnabled());
    EXPECT_FALSE(Control<TstPanel>("FsP").isEnabled());
    EXPECT_FALSE(Control<TstSpeedButton>("CalInfo").isEnabled());
    EXPECT_EQ(w.LCaption->Caption(), TMainForm::TitleText());
}

TEST_F(FilesTest, EveryGuardAsksOnlyWhenTheSetIsModified) {
    const struct {
        const char *question;
        QMessageBox::StandardButton defaultButton;
        const char *button; // its click, whether or not it is enabled; none: the window's close
    } guards[] = {
        {"Create new empty calibration table?", QMessageBox::Yes, "stSpeedButton3"},
        {"Open calibration table file?", QMessageBox::Yes, "stSpeedButton4"},
        {"Do you want to refresh?", QMessageBox::No, "stSpeedButton6"},
        {"Open selected receiver device?", QMessageBox::No, "BSelect"},
        {"Do you want to close opened radio receiver?", QMessageBox::No, "BClose"},
        {"Close anyway?", QMessageBox::No, nullptr},
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
            if (guard.button)
                Control<TstSpeedButton>(guard.button).Click();
            else
                w.close();
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
            EXPECT_TRUE(Document().IsModified());
            EXPECT_TRUE(Document().IsLoaded());
            EXPECT_TRUE(w.isVisible());
            EXPECT_GT(Receiver().Handle(), 0);
            EXPECT_EQ(Rows(), std::vector<QString>{"7.1 MHz"});
            EXPECT_TRUE(fileRequests.empty());
        }
    }
}

} // namespace
