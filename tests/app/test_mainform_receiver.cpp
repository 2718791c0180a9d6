#include "mainformtesting.h"

#include <QWindow>

using namespace mainformtesting;

namespace {

using ReceiverTest = MainWindowTest;

const std::string kOpenDemo = "K7Open(NULL)\n"
                              "K7GetEEP(1)\n"
                              "K7GetInfo(1)\n"
                              "SetPower(1,1)\n"
                              "SetAGC(1,2)\n"
                              "SetRFAmp(1,1)\n"
                              "SetFilterVal(1,-1)\n"
                              "SetAtten(1,0)\n"
                              "SetFrequency(1,9000)\n"
                              "GetFrequency(1)\n";

const char *kTwoReceivers = "[receiver]\nserial = AAA1\ntype = K740 USB\nlow = 100000\n"
                            "high = 30000000\n"
                            "[receiver]\nserial = BBB2\ntype = K740 PCI\nlow = 500000\n"
                            "high = 20000000\neeprom = 900 800 400 -800 800\n"
                            "[receiver]\nserial = CCC3\ntype = pci\nlow = 500000\n"
                            "high = 20000000\neeprom = 900 800 400 -800 851\n";

TEST_F(ReceiverTest, OpeningTheDemoReceiverKeepsTheCallingOrder) {
    TMainForm &w = Start();
    ResetApiCalls();
    Open();
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(ApiCalls(), kOpenDemo);
    EXPECT_GT(Receiver().Handle(), 0);
    EXPECT_TRUE(Receiver().IsDemo());
    EXPECT_TRUE(Receiver().Devices()[0]->Opened);
    EXPECT_EQ(Receiver().ReceiverName(), QStringLiteral("ZX-K740"));
    EXPECT_EQ(Control<TmyFrequencyEdit>("Fq").Value(), 9000);
    EXPECT_EQ(Control<TmyFrequencyEdit>("Fq").Min(), 9000);
    EXPECT_EQ(Control<TmyFrequencyEdit>("Fq").Max(), 3500000000LL);
    EXPECT_FALSE(Control<TstSpeedButton>("BSelect").isEnabled());
    EXPECT_TRUE(Control<TstSpeedButton>("BClose").isEnabled());
    EXPECT_TRUE(Control<TstPanel>("FP").isEnabled());
    EXPECT_TRUE(Control<TstPanel>("FiP").isEnabled());
    EXPECT_TRUE(Control<TstPanel>("SP").isEnabled());
    EXPECT_FALSE(Control<TstSpeedButton>("BSave").isEnabled());
    EXPECT_FALSE(Control<TstSpeedButton>("CalInfo").isEnabled());
    EXPECT_FALSE(Control<TstPanel>("FsP").isEnabled());

    // The module was started and told, in order, activation, options, the
    // mode (1: none saved) and the frequency; its window sits in DMP.
    const std::string module = ModuleCalls();
    const auto start = module.find("qmvPluginStart");
    ASSERT_NE(start, std::string::npos);
    const auto activate = module.find("qmvPluginNotify 0x100 1", start);
    const auto options = module.find("qmvPluginNotify 0xD05 15", start);
    const auto mode = module.find("qmvPluginNotify 0x900 1", start);
    const auto tune = module.find("qmvPluginNotify 0x800 9000", start);
    EXPECT_LT(activate, options) << module;
    EXPECT_LT(options, mode) << module;
    EXPECT_LT(mode, tune) << module;
    EXPECT_NE(tune, std::string::npos) << module;
    ASSERT_NE(Receiver().ModuleWindow(), 0);
    QWidget *moduleWindow = QWidget::find(WId(Receiver().ModuleWindow()));
    ASSERT_NE(moduleWindow, nullptr);
    EXPECT_EQ(moduleWindow->parentWidget(), &Control<TstPanel>("DMP"));
    EXPECT_EQ(moduleWindow->pos(), QPoint(2, 2));
    EXPECT_TRUE(Control<TstPanel>("DMP").isVisible());
    EXPECT_EQ(Control<TstPanel>("DMP").height(), moduleWindow->height() + 4);
    EXPECT_EQ(w.height(), Control<TstPanel>("DMP").geometry().bottom() + 1 + 8);
}

TEST_F(ReceiverTest, ClosingSavesModeAndFrequencyAndResets) {
    TMainForm &w = Start();
    Open();
    Control<TmyFrequencyEdit>("Fq").SetValue(7100000);
    ResetApiCalls();
    CloseButton();
    EXPECT_EQ(ApiCalls(), "GetFrequency(1)\nSetPower(1,0)\nCloseRadioDevice(1)\n");
    EXPECT_EQ(platform::ReadInteger(Key(), "Frequency ()"), 7100000);
    EXPECT_EQ(platform::ReadInteger(Key(), "Mode ()"), Receiver().CurrentMode());
    EXPECT_NE(ModuleCalls().find("qmvPluginNotify 0x4000"), std::string::npos);
    EXPECT_EQ(Receiver().Handle(), 0);
    EXPECT_FALSE(Receiver().Devices()[0]->Opened);
    EXPECT_FALSE(Control<TstPanel>("DMP").isVisible());
    EXPECT_EQ(w.height(), 296);
    EXPECT_FALSE(Control<TstPanel>("FP").isEnabled());
    EXPECT_FALSE(Control<TstPanel>("SP").isEnabled());
    EXPECT_TRUE(Control<TstSpeedButton>("BSelect").isEnabled());
    EXPECT_FALSE(Control<TstSpeedButton>("BClose").isEnabled());
    EXPECT_EQ(Control<TstGauge>("G").Current(), 0);
}

TEST_F(ReceiverTest, AWordInTensOfHertzIsNotSaved) {
    Start();
    Open();
    Control<TmyFrequencyEdit>("Fq").SetValue(3000000000LL);
    CloseButton();
    EXPECT_FALSE(platform::ReadInteger(Key(), "Frequency ()").has_value());
}

TEST_F(ReceiverTest, SavedFrequencyIsClampedAndSavedModeSent) {
    Start();
    Key().setValue("Frequency ()", 5);
    Key().setValue("Mode ()", 5);
    ResetApiCalls();
    Open();
    EXPECT_NE(ApiCalls().find("SetFrequency(1,9000)\n"), std::string::npos);
    EXPECT_NE(ModuleCalls().find("qmvPluginNotify 0x900 5"), std::string::npos);
    CloseButton();
    Key().setValue("Frequency ()", 7050000);
    ResetApiCalls();
    Open();
    EXPECT_NE(ApiCalls().find("SetFrequency(2,7050000)\n"), std::string::npos) << ApiCalls();
    EXPECT_EQ(Control<TmyFrequencyEdit>("Fq").Value(), 7050000);
}

// The receiver is asked for no more than its highest frequency, whatever the
// simulation would make of more.
TEST_F(ReceiverTest, SavedFrequencyAboveTheRangeIsSentAsTheHighest) {
    ConfigureRadio(temp.filePath("radio.ini"), kTwoReceivers);
    Start();
    Key().setValue("Frequency (AAA1)", 40000000);
    ResetApiCalls();
    Open(1);
    EXPECT_NE(ApiCalls().find("SetFrequency(1,30000000)\n"), std::string::npos) << ApiCalls();
}

TEST_F(ReceiverTest, ListDrawsEveryReceiverAndSelectionSwitchesButtons) {
    ConfigureRadio(temp.filePath("radio.ini"), kTwoReceivers);
    Start();
    ASSERT_EQ(Receiver().Devices().size(), 4u);
    EXPECT_EQ(Receiver().Devices()[0]->Serial, QString());
    EXPECT_EQ(Receiver().Devices()[1]->Interface, QStringLiteral("USB"));
    EXPECT_EQ(Receiver().Devices()[2]->Interface, QStringLiteral("PCI"));
    EXPECT_EQ(Receiver().Devices()[3]->Interface, QStringLiteral("PCI"));
    Open(1);
    EXPECT_TRUE(Receiver().Devices()[1]->Opened);
    SelectRow(2);
    EXPECT_TRUE(Control<TstSpeedButton>("BSelect").isEnabled());
    EXPECT_FALSE(Control<TstSpeedButton>("BClose").isEnabled());
    SelectRow(1);
    EXPECT_FALSE(Control<TstSpeedButton>("BSelect").isEnabled());
    EXPECT_TRUE(Control<TstSpeedButton>("BClose").isEnabled());
    // The opened row carries the red dot; the selected row is light grey.
    const QImage image = testsupport::Render(Control<TstGrid>("K7Devs"));
    const QRect dotCell = Control<TstGrid>("K7Devs").CellRect(0, 1);
    EXPECT_EQ(testsupport::Pixel(image, dotCell.center().x(), dotCell.center().y()),
              qRgb(202, 0, 0) & 0xFFFFFF);
    const QRect model = Control<TstGrid>("K7Devs").CellRect(1, 1);
    EXPECT_EQ(testsupport::Pixel(image, model.right() - 1, model.bottom()),
              qRgb(144, 144, 144) & 0xFFFFFF);
    const QRect other = Control<TstGrid>("K7Devs").CellRect(1, 2);
    EXPECT_EQ(testsupport::Pixel(image, other.right() - 1, other.bottom()),
              qRgb(66, 66, 66) & 0xFFFFFF);
}

TEST_F(ReceiverTest, LevelConstantsTakenOrAllDefaulted) {
    ConfigureRadio(temp.filePath("radio.ini"), kTwoReceivers);
    Start();
    Open(2);
    EXPECT_EQ(Receiver().LevelConstants(),
              (SpectrumLevel::LevelConstants{900, 800, 400, -800, 800}));
    Open(3);
    EXPECT_EQ(Receiver().LevelConstants(), SpectrumLevel::LevelConstants{});
    Open(0);
    EXPECT_EQ(Receiver().LevelConstants(), SpectrumLevel::LevelConstants{});
}

TEST_F(ReceiverTest, OpeningBWhileAIsOpenClosesAFirst) {
    ConfigureRadio(temp.filePath("radio.ini"), kTwoReceivers);
    Start();
    Open(1);
    Control<TmyFrequencyEdit>("Fq").SetValue(14000000);
    Document().New(); // a set that the open must release
    ResetApiCalls();
    Open(2);
    const std::string calls = ApiCalls();
    EXPECT_EQ(
        calls.rfind("GetFrequency(1)\nSetPower(1,0)\nCloseRadioDevice(1)\nK7Open(\"BBB2\")", 0), 0u)
        << calls;
    EXPECT_EQ(platform::ReadInteger(Key(), "Frequency (AAA1)"), 14000000);
    EXPECT_TRUE(Key().contains("Mode (AAA1)"));
    EXPECT_FALSE(Receiver().Devices()[1]->Opened);
    EXPECT_TRUE(Receiver().Devices()[2]->Opened);
    EXPECT_FALSE(Document().IsLoaded());
    EXPECT_EQ(Control<TmyFrequencyEdit>("Fq").Value(), 500000);
}

TEST_F(ReceiverTest, RecordSizeOtherThan196LeavesTheListEmpty) {
    qputenv("K7FAULT_RECORD_SIZE", "200");
    platform::SetLibrarySearchFolder(testsupport::BinDir() + "/variants/app-faulty-api");
    Start();
    EXPECT_TRUE(Receiver().Devices().empty());
    EXPECT_EQ(Control<TstGrid>("K7Devs").RowCount(), 1);
    EXPECT_FALSE(Control<TstSpeedButton>("BSelect").isEnabled());
    EXPECT_TRUE(boxes.boxes.empty());
    // The notice row: light grey text on the list's colour.
    const QImage image = testsupport::Render(Control<TstGrid>("K7Devs"));
    bool text = false;
    for (int x = 10; x < 200; ++x)
        for (int y = 0; y < 14; ++y)
            text = text || testsupport::Pixel(image, x, y) != (qRgb(66, 66, 66) & 0xFFFFFF);
    EXPECT_TRUE(text);
}

} // namespace

namespace {

TEST_F(ReceiverTest, RefreshClosesTheReceiverAndListsAgain) {
    Start();
    Open();
    ResetApiCalls();
    QTest::mouseClick(&Control<TstSpeedButton>("stSpeedButton6"), Qt::LeftButton, {},
                      QPoint(10, 10));
    EXPECT_EQ(ApiCalls(),
              "GetFrequency(1)\nSetPower(1,0)\nCloseRadioDevice(1)\nK7GetRadioList2(12544)\n");
    EXPECT_EQ(Receiver().Handle(), 0);
    ASSERT_EQ(Receiver().Devices().size(), 1u);
    EXPECT_FALSE(Receiver().Devices()[0]->Opened);
    EXPECT_TRUE(Control<TstSpeedButton>("BSelect").isEnabled());
    EXPECT_TRUE(Control<QTimer>("T").isActive());
}

} // namespace
