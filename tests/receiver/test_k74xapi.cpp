// The receiver API binding against the stand-in and its variant without
// SetRFAmp: binding as a whole, the list reader, records, words.
#include "receiver/k74xapi.h"

#include "platform/libraryloader.h"
#include "support/testsupport.h"
#include "zxk740api.h"
#include "zxk740api_test.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstring>
#include <string>

namespace {

// The stand-in's test hooks, reached through a reference of our own.
struct StandIn {
    explicit StandIn(const QString &folder)
        : library(platform::LoadLibraryByName(folder + "/ZXK740API.dll")) {}
    ~StandIn() { platform::UnloadLibrary(library); }
    template <typename F> F fn(const char *name) const {
        return reinterpret_cast<F>(platform::GetProcAddress(library, name));
    }
    std::string callLog() const {
        auto log = fn<decltype(&k7test_CallLog)>("k7test_CallLog");
        std::string text(std::size_t(log(nullptr, 0)), '\0');
        log(text.data(), int32_t(text.size()) + 1);
        return text;
    }
    void reset() const { fn<decltype(&k7test_Reset)>("k7test_Reset")(); }
    platform::LibraryHandle library;
};

class K74xapiTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::SetLibrarySearchFolder(testsupport::BinDir());
        ASSERT_NE(standIn.library, nullptr);
        standIn.reset();
    }
    void TearDown() override {
        qunsetenv("K740SIM_CONFIG");
        standIn.reset();
        platform::SetLibrarySearchFolder(QString());
    }
    StandIn standIn{testsupport::BinDir()};
};

QString variantFolder() {
    return testsupport::BinDir() + "/variants/no-setrfamp";
}

} // namespace

TEST_F(K74xapiTest, BindsTheStandInByItsPlainName) {
    K74xapi api;
    EXPECT_TRUE(api.ReadRadioList().empty()) << "unbound, nothing is listed";
    ASSERT_TRUE(api.Bind());
    EXPECT_TRUE(api.Bind()) << "binding again keeps the library";
    EXPECT_EQ(standIn.callLog(), "") << "binding calls nothing";
    EXPECT_FALSE(api.ReadRadioList().empty()) << "the demo receiver is always listed";
}

TEST(K74xapiVariant, LibraryWithoutSetRFAmpIsRejectedAsAWholeAndUnloaded) {
    const QString folder = variantFolder();
    const QByteArray path = QFile::encodeName(folder + "/ZXK740API.dll");
    platform::SetLibrarySearchFolder(folder);
    {
        StandIn variant(folder);
        ASSERT_NE(variant.library, nullptr);
        ASSERT_EQ(variant.fn<void *>("SetRFAmp"), nullptr);
        K74xapi api;
        EXPECT_FALSE(api.Bind());
        EXPECT_EQ(variant.callLog(), "") << "nothing was called";
        // Unbound, the binding calls nothing either.
        EXPECT_TRUE(api.ReadRadioList().empty());
        EXPECT_EQ(api.Open(QString()), 0);
        EXPECT_EQ(variant.callLog(), "");
    }
    // With our own reference gone, the binding must hold none either.
    EXPECT_EQ(dlopen(path.constData(), RTLD_NOW | RTLD_NOLOAD), nullptr);
    platform::SetLibrarySearchFolder(QString());
}

TEST(K74xapiVariant, MissingLibraryIsNotBound) {
    QTemporaryDir empty;
    platform::SetLibrarySearchFolder(empty.path());
    K74xapi api;
    EXPECT_FALSE(api.Bind());
    EXPECT_EQ(api.Open(QString()), 0) << "unbound, nothing opens";
    platform::SetLibrarySearchFolder(QString());
}

TEST_F(K74xapiTest, ReadsTheRadioListWithItsFields) {
    QTemporaryDir dir;
    QFile file(dir.filePath("sim.conf"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[receiver]\nserial = 12345678\ntype = Zusb9\nlow = 100000\nhigh = 30000000\n"
               "[receiver]\nserial = P1\ntype =\n");
    file.close();
    qputenv("K740SIM_CONFIG", QFile::encodeName(file.fileName()));
    standIn.reset();

    K74xapi api;
    ASSERT_TRUE(api.Bind());
    const std::vector<K74xapi::Description> list = api.ReadRadioList();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].Serial(), "");
    EXPECT_EQ(list[0].DeviceType(), "K740 USB");
    EXPECT_TRUE(list[0].IsUsb());
    EXPECT_EQ(list[0].Lowest(), 9000u);
    EXPECT_EQ(list[0].Highest(), 3'500'000'000u);
    EXPECT_EQ(list[1].Serial(), "12345678");
    EXPECT_TRUE(list[1].IsUsb()) << "lower-case usb counts";
    EXPECT_EQ(list[1].Lowest(), 100000u);
    EXPECT_EQ(list[1].Highest(), 30'000'000u);
    EXPECT_EQ(list[2].DeviceType(), "");
    EXPECT_FALSE(list[2].IsUsb()) << "an empty device type is PCI";
    EXPECT_EQ(standIn.callLog(), "K7GetRadioList2(12544)\n");
}

TEST_F(K74xapiTest, ListReaderUsesAtMost64AndNoFewerThan0Records) {
    K74xapi api;
    ASSERT_TRUE(api.Bind());
    auto force = standIn.fn<decltype(&k7test_ForceListCount)>("k7test_ForceListCount");
    force(1, 100);
    const std::vector<K74xapi::Description> many = api.ReadRadioList();
    ASSERT_EQ(many.size(), 64u);
    EXPECT_EQ(many[0].DeviceType(), "K740 USB");
    force(1, -5);
    EXPECT_TRUE(api.ReadRadioList().empty());
    force(1, 65);
    EXPECT_EQ(api.ReadRadioList().size(), 64u);
    force(0, 0);
    EXPECT_EQ(api.ReadRadioList().size(), 1u);
    standIn.fn<decltype(&k7test_ForceRecordSize)>("k7test_ForceRecordSize")(200);
    EXPECT_TRUE(api.ReadRadioList().empty()) << "a record size other than 196 lists nothing";
}

TEST_F(K74xapiTest, OpeningSequenceReachesTheLibraryInOrder) {
    K74xapi api;
    ASSERT_TRUE(api.Bind());
    const int32_t h = api.Open(QString());
    ASSERT_GT(h, 0);
    K74xapi::Eeprom eep{};
    ASSERT_TRUE(api.GetEEP(h, eep));
    const K74xapi::Description info = api.GetInfo(h);
    api.SetPower(h, 1);
    api.SetAGC(h, 2);
    api.SetRFAmp(h, 1);
    api.SetFilterVal(h, -1);
    api.SetAtten(h, 0);
    api.SetFrequency(h, K74xapi::EncodeFrequency(info.Lowest()));
    EXPECT_EQ(K74xapi::DecodeFrequency(api.GetFrequency(h)), 9000u);
    api.GetRawSignalStrength(h);
    EXPECT_EQ(api.GetAgcReading(h), 800);
    api.GetFrequency(h);
    api.SetPower(h, 0);
    api.CloseRadioDevice(h);
    const std::string expected = "K7Open(NULL)\nK7GetEEP(1)\nK7GetInfo(1)\nSetPower(1,1)\n"
                                 "SetAGC(1,2)\nSetRFAmp(1,1)\nSetFilterVal(1,-1)\nSetAtten(1,0)\n"
                                 "SetFrequency(1,9000)\nGetFrequency(1)\n"
                                 "GetRawSignalStrength(1)\nK7GetInternalRSSI(1)\n"
                                 "GetFrequency(1)\nSetPower(1,0)\nCloseRadioDevice(1)\n";
    EXPECT_EQ(standIn.callLog(), expected);
    EXPECT_EQ(std::memcmp(info.Bytes.data(), "\xC4\0\0\0", 4), 0);
    EXPECT_EQ(K74xapi::LevelConstants::FromEeprom(eep), K74xapi::LevelConstants{});
    EXPECT_FALSE(api.GetEEP(h, eep)) << "closed";
    EXPECT_EQ(api.Open("NOSUCH"), 0);
}

TEST_F(K74xapiTest, RetuningAboveTwoGigahertzGoesThroughTenHertzWords) {
    K74xapi api;
    ASSERT_TRUE(api.Bind());
    const int32_t h = api.Open(QString());
    api.SetFrequency(h, K74xapi::EncodeFrequency(3'000'000'005ull));
    EXPECT_EQ(api.GetFrequency(h), 300'000'000u | 0x80000000u);
    EXPECT_EQ(K74xapi::DecodeFrequency(api.GetFrequency(h)), 3'000'000'000ull);
    api.SetFrequency(h, K74xapi::EncodeFrequency(7'100'000));
    EXPECT_EQ(api.GetFrequency(h), 7'100'000u);
}

TEST(K74xapiWords, EncodingAndDecoding) {
    EXPECT_EQ(K74xapi::EncodeFrequency(2'147'000'000ull), 2'147'000'000u);
    EXPECT_EQ(K74xapi::EncodeFrequency(2'147'000'001ull), 214'700'000u | 0x80000000u);
    EXPECT_EQ(K74xapi::EncodeFrequency(3'500'000'009ull), 350'000'000u | 0x80000000u);
    EXPECT_EQ(K74xapi::EncodeFrequency(0), 0u);
    EXPECT_EQ(K74xapi::EncodeFrequency(~0ull), 0xFFFFFFFFu) << "saturates instead of wrapping";
    EXPECT_EQ(K74xapi::DecodeFrequency(0x80000001u), 10u);
    EXPECT_EQ(K74xapi::DecodeFrequency(0x7FFFFFFFu), 2'147'483'647u);
    EXPECT_EQ(K74xapi::DecodeFrequency(0xFFFFFFFFu), 21'474'836'470ull);
    EXPECT_EQ(K74xapi::DecodeFrequency(214'700'000u | 0x80000000u), 2'147'000'000ull);
}

TEST(K74xapiRecords, TextsStopAtTheirFieldEvenWithoutZero) {
    std::array<uint8_t, 196> bytes;
    bytes.fill('A');
    std::memcpy(&bytes[13], "xyzusb\0\0\0", 9);
    const K74xapi::Description d = K74xapi::Description::FromBytes(bytes.data());
    EXPECT_EQ(d.Serial(), "AAAAAAAAA") << "nine characters, not more";
    EXPECT_EQ(d.DeviceType(), "xyzusb");
    EXPECT_TRUE(d.IsUsb());
}

TEST(K74xapiRecords, LevelConstantsAreTakenOnlyAsAValidSet) {
    K74xapi::Eeprom eep{};
    auto put = [&eep](int offset, int value) {
        eep[std::size_t(offset)] = uint8_t(value);
        eep[std::size_t(offset) + 1] = uint8_t(value >> 8);
    };
    auto set = [&](int h, int k, int l, int t, int r) {
        put(240, h);
        put(242, k);
        put(244, l);
        put(246, t);
        put(252, r);
        return K74xapi::LevelConstants::FromEeprom(eep);
    };
    const K74xapi::LevelConstants defaults{};
    EXPECT_EQ(set(855, 757, 537, -850, 700), defaults);
    EXPECT_EQ(set(990, 700, 300, -950, 850), (K74xapi::LevelConstants{990, 700, 300, -950, 850}));
    EXPECT_EQ(set(860, 760, 540, -700, 600), (K74xapi::LevelConstants{860, 760, 540, -700, 600}));
    EXPECT_EQ(set(855, 757, 537, -850, 851), defaults);
    EXPECT_EQ(set(855, 757, 537, -850, 599), defaults);
    EXPECT_EQ(set(991, 757, 537, -850, 700), defaults);
    EXPECT_EQ(set(855, 855, 537, -850, 700), defaults);
    EXPECT_EQ(set(855, 757, 757, -850, 700), defaults);
    EXPECT_EQ(set(855, 757, 299, -850, 700), defaults);
    EXPECT_EQ(set(855, 757, 537, -951, 700), defaults);
    EXPECT_EQ(set(855, 757, 537, -699, 700), defaults);
    EXPECT_EQ(set(855, 757, 537, 0x8000, 700), defaults) << "the gain term is signed";
}
