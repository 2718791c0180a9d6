// The receiver API stand-in through its C ABI: records byte for byte, handle
// rules, tuning, the call log and the configuration file.
#include "k7apitestlib.h"

#include "k740sim.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

using k7apitest::Api;
using k7apitest::Get16;
using k7apitest::Get32;
using k7apitest::SimConfigFile;

namespace {

const char *TwoReceivers = R"(# two receivers and a faulty one
[receiver]
serial = 00012345
type = k740 usb
low = 100000
high = 30000000
step = 10
eeprom = 860 760 540 -800 720
seed = 42

[receiver]
serial = 9ABCDEFGH
type = K740

[receiver]
serial = PCI00007
type = K740 PCI
high = 1000000000
eeprom = 855 757 537 -850 851
)";

class K740Api : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(api.library, nullptr) << qPrintable(platform::LastLoadError());
        api.k7test_Reset();
    }
    Api api;
};

} // namespace

TEST_F(K740Api, ExportsTheFourteenFunctionsAndTheTestHooks) {
    for (void *f :
         {(void *)api.K7GetRadioList2, (void *)api.K7Open, (void *)api.K7GetEEP,
          (void *)api.K7GetInfo, (void *)api.SetPower, (void *)api.SetAGC, (void *)api.SetRFAmp,
          (void *)api.SetFilterVal, (void *)api.SetAtten, (void *)api.SetFrequency,
          (void *)api.GetFrequency, (void *)api.GetRawSignalStrength, (void *)api.K7GetInternalRSSI,
          (void *)api.CloseRadioDevice, (void *)api.k7test_CallLog, (void *)api.k7test_Reset})
        EXPECT_NE(f, nullptr);
}

TEST_F(K740Api, ListsTheDemoReceiverByteForByte) {
    std::vector<uint8_t> buffer(K7_LIST_BUFFER_SIZE + 8, 0xAA);
    uint32_t recordSize = 0;
    EXPECT_EQ(api.K7GetRadioList2(buffer.data(), K7_LIST_BUFFER_SIZE, &recordSize), 1);
    EXPECT_EQ(recordSize, 196u);

    std::array<uint8_t, 196> expected{};
    expected[0] = 196;
    std::memcpy(&expected[13], "K740 USB", 8);
    expected[22] = 0x28; // 9000
    expected[23] = 0x23;
    const uint32_t high = 3'500'000'000u;
    for (int i = 0; i < 4; ++i)
        expected[26 + i] = uint8_t(high >> (8 * i));
    expected[30] = 1; // step
    EXPECT_EQ(std::vector<uint8_t>(buffer.begin(), buffer.begin() + 196),
              std::vector<uint8_t>(expected.begin(), expected.end()));
    EXPECT_EQ(buffer[196], 0xAA) << "only the listed record is written";

    EXPECT_EQ(api.K7GetRadioList2(nullptr, 0, &recordSize), 1) << "size query";
    EXPECT_EQ(api.K7GetRadioList2(buffer.data(), 195, &recordSize), 0) << "no room";
}

TEST_F(K740Api, ConfigurationFileAddsReceiversInOrderAndLeavesFaultyOnesOut) {
    SimConfigFile config(api, TwoReceivers);
    std::vector<uint8_t> buffer(K7_LIST_BUFFER_SIZE, 0);
    uint32_t recordSize = 0;
    ASSERT_EQ(api.K7GetRadioList2(buffer.data(), K7_LIST_BUFFER_SIZE, &recordSize), 3);

    const uint8_t *first = buffer.data() + 196;
    EXPECT_STREQ(reinterpret_cast<const char *>(buffer.data() + 4), "") << "demo first";
    EXPECT_STREQ(reinterpret_cast<const char *>(first + 4), "00012345");
    EXPECT_STREQ(reinterpret_cast<const char *>(first + 13), "k740 usb");
    EXPECT_EQ(Get32(first + 22), 100000u);
    EXPECT_EQ(Get32(first + 26), 30000000u);
    EXPECT_EQ(Get32(first + 30), 10u);
    const uint8_t *second = buffer.data() + 2 * 196;
    EXPECT_STREQ(reinterpret_cast<const char *>(second + 4), "PCI00007");
    EXPECT_EQ(Get32(second + 22), 9000u) << "default lowest frequency";

    const int32_t h = api.K7Open("00012345");
    ASSERT_GT(h, 0);
    std::array<uint8_t, 256> eep{};
    ASSERT_NE(api.K7GetEEP(h, eep.data()), 0);
    EXPECT_EQ(Get16(&eep[240]), 860);
    EXPECT_EQ(Get16(&eep[242]), 760);
    EXPECT_EQ(Get16(&eep[244]), 540);
    EXPECT_EQ(int16_t(Get16(&eep[246])), -800);
    EXPECT_EQ(Get16(&eep[252]), 720);
    EXPECT_EQ(api.K7Open("9ABCDEFGH"), 0) << "a nine-character serial was left out";
}

TEST_F(K740Api, OpensKnownReceiversOnceAndRefusesUnknownOnes) {
    const int32_t demo = api.K7Open(nullptr);
    EXPECT_GT(demo, 0);
    EXPECT_EQ(api.K7Open(""), 0) << "the demo receiver is open already";
    EXPECT_EQ(api.K7Open("NOSUCH"), 0);
    EXPECT_EQ(api.CloseRadioDevice(demo), 1);
    EXPECT_EQ(api.CloseRadioDevice(demo), 0) << "closed handles are not open";
    const int32_t again = api.K7Open("");
    EXPECT_GT(again, 0);
    EXPECT_NE(again, demo);
}

TEST_F(K740Api, CallsWithAHandleThatIsNotOpenDoNothingAndAnswerZero) {
    const int32_t closed = api.K7Open(nullptr);
    api.CloseRadioDevice(closed);
    const int32_t open = api.K7Open(nullptr);
    ASSERT_TRUE(api.SetFrequency(open, 7'000'000));
    for (int32_t bad : {0, -1, closed, open + 1}) {
        std::array<uint8_t, 256> eep;
        eep.fill(0xAA);
        EXPECT_EQ(api.K7GetEEP(bad, eep.data()), 0);
        EXPECT_EQ(eep[240], 0xAA);
        std::array<uint8_t, 196> info;
        info.fill(0);
        info[0] = 196;
        EXPECT_EQ(api.K7GetInfo(bad, info.data()), 0);
        EXPECT_EQ(info[4 + 9], 0) << "record untouched";
        EXPECT_EQ(api.SetPower(bad, 1), 0);
        EXPECT_EQ(api.SetAGC(bad, 0), 0);
        EXPECT_EQ(api.SetRFAmp(bad, 1), 0);
        EXPECT_EQ(api.SetFilterVal(bad, -1), 0);
        EXPECT_EQ(api.SetAtten(bad, 0), 0);
        EXPECT_EQ(api.SetFrequency(bad, 12'000'000), 0);
        EXPECT_EQ(api.GetFrequency(bad), 0u);
        EXPECT_EQ(api.GetRawSignalStrength(bad), 0);
        EXPECT_EQ(api.K7GetInternalRSSI(bad), 0u);
        EXPECT_EQ(api.CloseRadioDevice(bad), 0);
    }
    EXPECT_EQ(api.GetFrequency(open), 7'000'000u) << "the open receiver kept its tuning";
    EXPECT_EQ(k740sim_Control(0, K740SIM_AGC), 2) << "nor its AGC";
}

TEST_F(K740Api, DescriptionAndEepromOfTheDemoReceiver) {
    const int32_t h = api.K7Open(nullptr);
    std::array<uint8_t, 196> info{};
    EXPECT_EQ(api.K7GetInfo(h, info.data()), 0) << "size field not set";
    EXPECT_EQ(info[13], 0);
    info[0] = 196;
    EXPECT_EQ(api.K7GetInfo(h, info.data()), 1);
    EXPECT_EQ(Get32(&info[0]), 196u);
    EXPECT_STREQ(reinterpret_cast<const char *>(&info[13]), "K740 USB");
    EXPECT_EQ(Get32(&info[22]), 9000u);
    EXPECT_EQ(Get32(&info[26]), 3'500'000'000u);

    std::array<uint8_t, 256> eep;
    eep.fill(0xAA);
    EXPECT_NE(api.K7GetEEP(h, eep.data()), 0);
    std::array<uint8_t, 256> expected{};
    std::memcpy(&expected[16], "K740 USB", 8);
    const uint16_t constants[] = {855, 757, 537, uint16_t(-850), 0, 0, 700};
    for (int i = 0; i < 7; ++i) {
        expected[240 + 2 * i] = uint8_t(constants[i]);
        expected[241 + 2 * i] = uint8_t(constants[i] >> 8);
    }
    EXPECT_EQ(eep, expected);
}

TEST_F(K740Api, TuningClampsToTheRangeRoundsToTheStepAndAnswersTheWordTaken) {
    SimConfigFile config(api, TwoReceivers);
    const int32_t h = api.K7Open("00012345"); // 100 kHz .. 30 MHz, 10 Hz step
    const std::pair<uint32_t, uint32_t> cases[] = {
        {7'100'004, 7'100'000},
        {7'100'005, 7'100'010},
        {50'000, 100'000},
        {99'999'999, 30'000'000},
        {0x80000000u | 710'000, 7'100'000},
    };
    for (auto [sent, taken] : cases) {
        api.SetFrequency(h, sent);
        EXPECT_EQ(api.GetFrequency(h), taken) << sent;
        EXPECT_EQ(k740sim_TunedFrequency(1), taken) << "the model that the module reads";
    }

    const int32_t demo = api.K7Open(nullptr); // 9 kHz .. 3.5 GHz, 1 Hz step
    const std::pair<uint32_t, uint32_t> demoCases[] = {
        {8'999, 9'000},
        {0x7FFFFFFFu, 0x7FFFFFFFu},
        {0x80000000u | 214'748'365u, 0x80000000u | 214'748'365u},
        {0x80000000u | 350'000'000u, 0x80000000u | 350'000'000u},
        {0x80000000u | 400'000'000u, 0x80000000u | 350'000'000u},
        {0x80000000u | 1, 9'000},
    };
    for (auto [sent, taken] : demoCases) {
        api.SetFrequency(demo, sent);
        EXPECT_EQ(api.GetFrequency(demo), taken) << std::hex << sent;
    }
    api.SetFrequency(demo, 0x80000000u | 300'000'000u);
    EXPECT_EQ(k740sim_TunedFrequency(0), 3'000'000'000ull);
}

TEST_F(K740Api, CallLogRecordsEveryCallInOrder) {
    api.k7test_ResetCallLog();
    std::vector<uint8_t> list(K7_LIST_BUFFER_SIZE);
    uint32_t size;
    api.K7GetRadioList2(list.data(), K7_LIST_BUFFER_SIZE, &size);
    const int32_t h = api.K7Open(nullptr);
    ASSERT_EQ(h, 1) << "the first handle after a reset";
    std::array<uint8_t, 256> eep;
    api.K7GetEEP(h, eep.data());
    std::array<uint8_t, 196> info{196};
    api.K7GetInfo(h, info.data());
    api.SetPower(h, 1);
    api.SetAGC(h, 2);
    api.SetRFAmp(h, 1);
    api.SetFilterVal(h, -1);
    api.SetAtten(h, 0);
    api.SetFrequency(h, 0x80000000u | 214'700'000u);
    api.GetFrequency(h);
    api.GetRawSignalStrength(h);
    api.K7GetInternalRSSI(h);
    api.K7Open("SER 1");
    api.SetPower(h, 0);
    api.CloseRadioDevice(h);
    EXPECT_EQ(api.callLog(), "K7GetRadioList2(12544)\n"
                             "K7Open(NULL)\n"
                             "K7GetEEP(1)\n"
                             "K7GetInfo(1)\n"
                             "SetPower(1,1)\n"
                             "SetAGC(1,2)\n"
                             "SetRFAmp(1,1)\n"
                             "SetFilterVal(1,-1)\n"
                             "SetAtten(1,0)\n"
                             "SetFrequency(1,2362183648)\n"
                             "GetFrequency(1)\n"
                             "GetRawSignalStrength(1)\n"
                             "K7GetInternalRSSI(1)\n"
                             "K7Open(\"SER 1\")\n"
                             "SetPower(1,0)\n"
                             "CloseRadioDevice(1)\n");

    char small[8];
    EXPECT_EQ(api.k7test_CallLog(small, sizeof small), int32_t(api.callLog().size()));
    EXPECT_STREQ(small, "K7GetRa");
    api.k7test_ResetCallLog();
    EXPECT_EQ(api.callLog(), "");
}

TEST_F(K740Api, CallLogKeepsOnlyTheLatestCalls) {
    const int32_t h = api.K7Open(nullptr);
    for (int i = 0; i < 10'005; ++i)
        api.GetFrequency(h);
    api.CloseRadioDevice(h);
    const std::string log = api.callLog();
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 10'000);
    EXPECT_TRUE(log.ends_with("GetFrequency(1)\nCloseRadioDevice(1)\n"));
}

TEST_F(K740Api, ForcedListAnswersStillWriteOnlyWhatFits) {
    std::vector<uint8_t> buffer(2 * 196 + 4, 0xAA);
    uint32_t size = 0;
    api.k7test_ForceListCount(1, 100);
    EXPECT_EQ(api.K7GetRadioList2(buffer.data(), 2 * 196, &size), 100);
    EXPECT_EQ(buffer[196], 0xAA);
    api.k7test_ForceRecordSize(200);
    api.K7GetRadioList2(buffer.data(), 2 * 196, &size);
    EXPECT_EQ(size, 200u);
    api.k7test_Reset();
    EXPECT_EQ(api.K7GetRadioList2(buffer.data(), 2 * 196, &size), 1);
    EXPECT_EQ(size, 196u);
}

TEST_F(K740Api, SettingsReachTheSimulation) {
    const int32_t h = api.K7Open(nullptr);
    api.SetPower(h, 1);
    api.SetAGC(h, 0);
    api.SetAtten(h, 20);
    EXPECT_EQ(k740sim_Control(0, K740SIM_POWER), 1);
    EXPECT_EQ(k740sim_Control(0, K740SIM_AGC), 0);
    EXPECT_EQ(k740sim_Control(0, K740SIM_ATTEN), 20);
}
