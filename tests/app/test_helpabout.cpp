#include "app/helpfile.h"
#include "app/u_aboutform.h"
#include "hhctrl_test.h"
#include "mainformtesting.h"

#include <QApplication>
#include <QLabel>

using namespace mainformtesting;

namespace {

const QString kHelpFile = QStringLiteral("K740scalib.chm");

std::string HelpCalls() {
    auto log = Export<HhctrlTestCallLogFn>("hhctrl.ocx", "HhctrlTestCallLog");
    std::string text(std::size_t(log(nullptr, 0)) + 1, '\0');
    log(text.data(), int32_t(text.size()));
    text.resize(text.size() - 1);
    return text;
}

QWidget *HelpViewer() {
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window->objectName() == QLatin1String("HelpViewer") && window->isVisible())
            return window;
    return nullptr;
}

class HelpAboutTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        Export<HhctrlTestClearCallLogFn>("hhctrl.ocx", "HhctrlTestClearCallLog")();
    }
    void PressHelp() {
        QTest::mouseClick(&Control<TstSpeedButton>("stSpeedButton9"), Qt::LeftButton, {},
                          QPoint(5, 5));
    }
    // A folder beside the "executable" holding links to some of the files.
    QString Folder(const QString &name, const QStringList &files, const QString &from) {
        const QString folder = temp.path() + "/" + name;
        QDir().mkpath(folder);
        for (const QString &file : files)
            QFile::link(from + "/" + file, folder + "/" + file);
        return folder;
    }
};

TEST_F(HelpAboutTest, HelpFailuresShowTheirMessageAndLaterPressesTryAgain) {
    Start();
    const QString bin = testsupport::BinDir();
    struct Row {
        const char *name;
        QStringList files;
        QString from;
        QString message; // %1: the help file's path
    } rows[] = {
        {"no-help-file", {"hhctrl.ocx"}, bin, "Unable to load help file '%1'."},
        {"no-component",
         {kHelpFile},
         bin,
         "Unable to load HTML Help component required to view help."},
        {"no-entry",
         {"hhctrl.ocx"},
         bin + "/variants/hhctrl-no-entry",
         "Unable to initialise HTML Help component requred to view help."},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const QString folder = Folder(row.name, row.files, row.from);
        if (QString(row.name) == "no-entry")
            QFile::link(bin + "/" + kHelpFile, folder + "/" + kHelpFile);
        platform::SetLibrarySearchFolder(folder);
        boxes.boxes.clear();
        PressHelp();
        PressHelp();
        ASSERT_EQ(boxes.boxes.size(), 2u);
        for (const auto &box : boxes.boxes) {
            const QString path = folder + "/" + kHelpFile;
            EXPECT_EQ(box.text, row.message.contains("%1") ? row.message.arg(path) : row.message);
            EXPECT_EQ(box.title, QStringLiteral("Error"));
            EXPECT_EQ(box.icon, QMessageBox::Critical);
            EXPECT_EQ(box.owner, form.get());
        }
        EXPECT_FALSE(HelpFile::IsLoaded());
    }
    EXPECT_EQ(HelpCalls(), "");

    // A damaged help file gets the first message too, never silence.
    const QString damaged = Folder("damaged", {"hhctrl.ocx"}, bin);
    QFile file(damaged + "/" + kHelpFile);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a help file");
    file.close();
    platform::SetLibrarySearchFolder(damaged);
    boxes.boxes.clear();
    PressHelp();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text,
              QStringLiteral("Unable to load help file '%1'.").arg(file.fileName()));
    EXPECT_EQ(HelpViewer(), nullptr);
}

TEST_F(HelpAboutTest, HelpInitialisesOnceDisplaysEveryPressAndClosesWithTheMainWindow) {
    Start();
    const QString path = testsupport::BinDir() + "/" + kHelpFile;
    EXPECT_EQ(HelpFile::Path(), path);
    PressHelp();
    PressHelp();
    EXPECT_TRUE(boxes.boxes.empty());
    const std::string display = "HtmlHelpA 0 " + path.toStdString() + "\n";
    EXPECT_EQ(HelpCalls(), "HtmlHelpA 28\n" + display + display);
    QWidget *viewer = HelpViewer();
    ASSERT_NE(viewer, nullptr);
    // A window of its own: the main window stays usable.
    EXPECT_EQ(viewer->parentWidget(), nullptr);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(form->isEnabled());

    form.reset();
    EXPECT_EQ(HelpCalls(), "HtmlHelpA 28\n" + display + display + "HtmlHelpA 18\n");
    EXPECT_FALSE(HelpFile::IsLoaded());
    EXPECT_EQ(HelpViewer(), nullptr);
}

TEST_F(HelpAboutTest, VersionTextJoinsMinorAndRelease) {
    const struct {
        int major, minor, release, build;
        const char *text;
    } rows[] = {{1, 0, 6, 16, "1.06"}, {2, 3, 4, 5, "2.34"}, {1, 10, 0, 0, "1.100"}};
    for (const auto &row : rows)
        EXPECT_EQ(TAboutForm::VersionText(row.major, row.minor, row.release, row.build), row.text);
}

TEST_F(HelpAboutTest, AboutIsANewModalWindowCentredOnTheMainWindowEachTime) {
    Start();
    std::vector<QString> versions;
    std::vector<QPoint> centres;
    TstForm::SetModalResponder([&](TstForm &shown) {
        auto *about = dynamic_cast<TAboutForm *>(&shown);
        EXPECT_NE(about, nullptr);
        if (!about) return int(mrCancel);
        versions.push_back(testsupport::Child<TmyLabel>(*about, "Ver").Caption());
        centres.push_back(about->geometry().center());
        EXPECT_EQ(about->size(), QSize(368, 130));
        EXPECT_FALSE(testsupport::Child<QLabel>(*about, "Image1").pixmap().isNull());
        if (qEnvironmentVariableIsSet("K740_SCREENSHOT"))
            about->grab().save(qEnvironmentVariable("K740_SCREENSHOT") + "/about.png");
        QTest::mouseClick(&testsupport::Child(*about, "stSpeedButton2"), Qt::LeftButton, {},
                          QPoint(5, 5));
        EXPECT_EQ(about->ModalResult(), mrCancel);
        return int(mrNone);
    });
    QTest::mouseClick(&Control<TstSpeedButton>("stSpeedButton10"), Qt::LeftButton, {},
                      QPoint(5, 5));
    QTest::mouseClick(&Control<TstSpeedButton>("stSpeedButton10"), Qt::LeftButton, {},
                      QPoint(5, 5));
    TstForm::SetModalResponder({});
    EXPECT_EQ(versions, (std::vector<QString>{"1.06", "1.06"}));
    for (const QPoint &centre : centres)
        EXPECT_LE((centre - form->geometry().center()).manhattanLength(), 2);
    for (QWidget *window : QApplication::topLevelWidgets())
        EXPECT_EQ(dynamic_cast<TAboutForm *>(window), nullptr);
}

} // namespace
