#include "mainformtesting.h"

using namespace mainformtesting;

namespace {

class OpenFailureTest : public MainWindowTest {
protected:
    void UseFaultyApi(const char *fault) {
        qputenv(fault, "1");
        platform::SetLibrarySearchFolder(testsupport::BinDir() + "/variants/app-faulty-api");
    }
    void ExpectError(const char *text) {
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].text, QString::fromLatin1(text));
        EXPECT_EQ(boxes.boxes[0].title, QStringLiteral("Error"));
        EXPECT_EQ(boxes.boxes[0].icon, QMessageBox::Critical);
        boxes.boxes.clear();
    }
    // Opens with a responder that also notes the receiver API's calls, and
    // whether the refused module was still mapped, when the box came.
    void OpenNotingTheCallsAtTheBox() {
        const QString refused = testsupport::BinDir() + "/variants/demod-init-fails/K740Demod.qmv";
        platform::MessageBoxResponder previous =
            platform::SetMessageBoxResponder([this, refused](const platform::MessageBoxRequest &r) {
                callsAtTheBox = ApiCalls();
                mappedAtTheBox = Mapped(refused);
                boxes.boxes.push_back(r);
                return QMessageBox::Ok;
            });
        Open();
        platform::SetMessageBoxResponder(std::move(previous));
    }
    std::string callsAtTheBox;
    bool mappedAtTheBox = false;

    void ExpectNoReceiver() {
        EXPECT_EQ(Receiver().Handle(), 0);
        EXPECT_FALSE(Receiver().Devices()[0]->Opened);
        EXPECT_FALSE(Control<TstPanel>("FP").isEnabled());
        EXPECT_FALSE(Control<TstPanel>("DMP").isVisible());
        EXPECT_TRUE(Control<TstSpeedButton>("BSelect").isEnabled());
        EXPECT_FALSE(QGuiApplication::overrideCursor());
    }
};

TEST_F(OpenFailureTest, ModuleNotFound) {
    SetModuleFolder(temp.path());
    Start();
    ResetApiCalls();
    Open();
    ExpectError("Unable to find software demodulator K740Demod.qmv.");
    ExpectNoReceiver();
    EXPECT_EQ(ApiCalls(), "");
}

TEST_F(OpenFailureTest, ModuleCannotBeLoaded) {
    QFile garbage(temp.filePath("K740Demod.qmv"));
    garbage.open(QIODevice::WriteOnly);
    garbage.write("not a library");
    garbage.close();
    SetModuleFolder(temp.path());
    Start();
    Open();
    ExpectError("Unable to load software demodulator K740Demod.qmv.");
    ExpectNoReceiver();
}

TEST_F(OpenFailureTest, ModuleLacksEntryPoints) {
    QFile::link(testsupport::BinDir() + "/libk740sim.so", temp.filePath("K740Demod.qmv"));
    SetModuleFolder(temp.path());
    Start();
    Open();
    ExpectError("Incorrect software demodulator version.");
    ExpectNoReceiver();
}

// A refused module is let go: nothing of it stays mapped.
TEST_F(OpenFailureTest, ModuleLackingOneEntryPointIsUnloaded) {
    const QString folder = testsupport::BinDir() + "/variants/demod-no-notify";
    SetModuleFolder(folder);
    Start();
    Open();
    ExpectError("Incorrect software demodulator version.");
    ExpectNoReceiver();
    EXPECT_FALSE(Mapped(folder + "/K740Demod.qmv"));
}

TEST_F(OpenFailureTest, DeviceCannotBeOpened) {
    UseFaultyApi("K7FAULT_OPEN");
    Start();
    ResetModuleCalls();
    Open();
    ExpectError("Unable to open device.");
    ExpectNoReceiver();
    // The module was let go: the end of the program has nothing to finish.
    form.reset();
    EXPECT_EQ(ModuleCalls(), "");
}

TEST_F(OpenFailureTest, EepromUnreadableThenTheModuleIsInitialisedAtTheNextOpen) {
    UseFaultyApi("K7FAULT_EEP");
    Start();
    ResetApiCalls();
    OpenNotingTheCallsAtTheBox();
    ExpectError("Unable to read EEPROM.");
    ExpectNoReceiver();
    // The message comes first, then the receiver is let go.
    EXPECT_EQ(callsAtTheBox, "K7Open(NULL)\nK7GetEEP(1)\n");
    EXPECT_EQ(ApiCalls(), "K7Open(NULL)\nK7GetEEP(1)\nCloseRadioDevice(1)\n");

    qunsetenv("K7FAULT_EEP");
    Open();
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_GT(Receiver().Handle(), 0);
    const std::string module = ModuleCalls();
    const auto init = module.find("qmvPluginInit");
    ASSERT_NE(init, std::string::npos) << module;
    EXPECT_LT(init, module.find("qmvPluginStart"));
    EXPECT_EQ(Count(module, "qmvPluginInit"), 1);
}

TEST_F(OpenFailureTest, ModuleInitialisationFails) {
    SetModuleFolder(testsupport::BinDir() + "/variants/demod-init-fails");
    Start();
    ResetApiCalls();
    OpenNotingTheCallsAtTheBox();
    ExpectError("Unable to initialize software demodulator.");
    ExpectNoReceiver();
    EXPECT_EQ(callsAtTheBox.find("CloseRadioDevice"), std::string::npos) << callsAtTheBox;
    EXPECT_TRUE(mappedAtTheBox);
    EXPECT_FALSE(Mapped(testsupport::BinDir() + "/variants/demod-init-fails/K740Demod.qmv"));
    const std::string calls = ApiCalls();
    EXPECT_NE(calls.find("K7GetInfo(1)\nCloseRadioDevice(1)\n"), std::string::npos) << calls;
    EXPECT_EQ(calls.find("SetPower"), std::string::npos);
}

TEST_F(OpenFailureTest, ModuleWithoutWindowLeavesTheReceiverOpen) {
    SetModuleFolder(testsupport::BinDir() + "/variants/demod-no-window");
    TMainForm &w = Start();
    Open();
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_GT(Receiver().Handle(), 0);
    EXPECT_EQ(Receiver().ModuleWindow(), 0);
    EXPECT_FALSE(Control<TstPanel>("DMP").isVisible());
    EXPECT_EQ(w.height(), 296);
    CloseButton();
    EXPECT_EQ(Receiver().Handle(), 0);
}

TEST_F(OpenFailureTest, ModifiedSetAsksBeforeOpeningAndClosing) {
    TMainForm &w = Start();
    Open();
    Document().New();
    Document().SetModified(true);
    boxes.setAnswer(QMessageBox::No);
    CloseButton();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text,
              QStringLiteral("Calibration table is modified and not saved.\nDo you want to close "
                             "opened radio receiver?"));
    EXPECT_EQ(boxes.boxes[0].title, QStringLiteral("Confirmation"));
    EXPECT_EQ(boxes.boxes[0].defaultButton, QMessageBox::No);
    EXPECT_GT(Receiver().Handle(), 0);
    w.close();
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[1].text,
              QStringLiteral("Calibration table is modified and not saved.\nClose anyway?"));
    EXPECT_TRUE(w.isVisible());
    EXPECT_GT(Receiver().Handle(), 0);
    boxes.setAnswer(QMessageBox::Yes);
    w.close();
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(Receiver().Handle(), 0);
    EXPECT_FALSE(Document().IsLoaded());
}

} // namespace
