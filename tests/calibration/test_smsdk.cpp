// The binding of smetersdk.dll: start-up against the real library and a
// variant lacking one entry point, the error table, the mode texts, and the
// list and table reading rules. The binding shows no message box: its
// failures come back as texts.
#include "calibration/smsdk.h"
#include "platform/application.h"
#include "platform/libraryloader.h"
#include "smetersdk_test.h"
#include "support/testsupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <set>
#include <stdexcept>
#include <string>

using testsupport::MessageBoxRecorder;

namespace {

class SearchFolder {
public:
    explicit SearchFolder(const QString &folder) { platform::SetLibrarySearchFolder(folder); }
    ~SearchFolder() { platform::SetLibrarySearchFolder(QString()); }
};

class SmsdkTest : public ::testing::Test {
protected:
    // Every test watches for boxes: the binding must never show one.
    void TearDown() override { EXPECT_TRUE(boxes.boxes.empty()); }

    MessageBoxRecorder boxes;
};

bool noFunctions(const TSmsdkFunctions &f) {
    return !f.LoadCALFile && !f.Unload && !f.GetCS && !f.PutDBMs && !f.SaveCALFile && !f.GetModes &&
           !f.GetFrequencies && !f.DeleteFrequency;
}

TEST_F(SmsdkTest, BindsTheRealLibraryAndWorksThroughIt) {
    SearchFolder folder(testsupport::BinDir());
    Smsdk sdk;
    const platform::TResult bound = sdk.Load();
    ASSERT_TRUE(bound.Ok());
    EXPECT_TRUE(bound.Message().isEmpty());
    EXPECT_TRUE(sdk.IsLoaded());

    const int32_t cal = sdk.LoadCALFile(nullptr);
    ASSERT_GE(cal, 0);
    TDbmTable table;
    for (int i = 0; i < 256; ++i)
        table[i] = -140.0 + i * 0.3;
    for (uint64_t fq : {7000000u, 3500000u, 14000000u})
        ASSERT_EQ(sdk.PutDBMs(cal, Smsdk::kReceiverName, Smsdk::kDefaultMode, fq, table.data()),
                  SMS_OK);
    ASSERT_EQ(sdk.PutDBMs(cal, Smsdk::kReceiverName, QMV_MODE_FM_WIDE, 1, table.data()), SMS_OK);

    EXPECT_EQ(sdk.ReadModes(cal, Smsdk::kReceiverName).Entries, (std::vector<int32_t>{-1, 3}));
    EXPECT_EQ(sdk.ReadModes(cal, Smsdk::kReceiverName).SizeAnswer, 8);
    EXPECT_EQ(sdk.ReadFrequencies(cal, Smsdk::kReceiverName, -1).Entries,
              (std::vector<uint64_t>{3500000, 7000000, 14000000}));
    EXPECT_EQ(
        sdk.ReadFrequencies(cal, Smsdk::kReceiverName, -1, Smsdk::ListSize::WholeEntries).Entries,
        (std::vector<uint64_t>{3500000, 7000000, 14000000}));
    EXPECT_TRUE(sdk.ReadModes(cal, "ZX-K700").Entries.empty());
    EXPECT_TRUE(sdk.ReadFrequencies(cal, Smsdk::kReceiverName, 5).Entries.empty());
    // A size query that fails answers the library's code, for the caller to judge.
    EXPECT_EQ(
        Smsdk::ResultCode(sdk.ReadFrequencies(cal + 1000, Smsdk::kReceiverName, -1).SizeAnswer),
        SMS_ERR_HANDLE);

    double dbm = 1.0;
    EXPECT_EQ(sdk.GetCSValue(cal, Smsdk::kReceiverName, -1, 3500000, 10, dbm), SMS_OK);
    EXPECT_EQ(dbm, table[10]);
    EXPECT_EQ(sdk.GetCSValue(cal, Smsdk::kReceiverName, -1, 3500001, 10, dbm), SMS_ERR_FREQUENCY);
    EXPECT_EQ(dbm, table[10]);

    TDbmTable read{};
    EXPECT_TRUE(sdk.ReadTable(cal, Smsdk::kReceiverName, -1, 7000000, read).Ok());
    EXPECT_EQ(std::memcmp(read.data(), table.data(), sizeof table), 0);

    // A failing read answers the library's message.
    const platform::TResult missing = sdk.ReadTable(cal, Smsdk::kReceiverName, -1, 7000001, read);
    EXPECT_FALSE(missing.Ok());
    EXPECT_EQ(missing.Message(),
              QStringLiteral("Specified frequency is not found in calibration table."));
    EXPECT_EQ(sdk.Unload(cal), SMS_OK);

    // Bound once, for the rest of the process.
    EXPECT_TRUE(sdk.Load().Ok());
}

TEST_F(SmsdkTest, AMissingLibraryIsReportedAtStartUp) {
    QTemporaryDir empty;
    SearchFolder folder(empty.path());
    Smsdk sdk;
    const platform::TResult bound = sdk.Load();
    EXPECT_FALSE(bound.Ok());
    EXPECT_EQ(bound.Message(), QStringLiteral("Unable to load dynamic library smetersdk.dll.\n"
                                              "Application will be terminated."));
    EXPECT_FALSE(sdk.IsLoaded());
    EXPECT_TRUE(noFunctions(sdk.Functions));
}

TEST_F(SmsdkTest, ALibraryLackingOneEntryPointIsRejectedAsAWhole) {
    const QString variant = testsupport::BinDir() + QStringLiteral("/variants/no-putdbms");
    // Open the variant first to switch on its call log; the binding then
    // gets the same loaded copy.
    platform::LibraryHandle library =
        platform::LoadLibraryByName(variant + QStringLiteral("/smetersdk.dll"));
    ASSERT_NE(library, nullptr) << platform::LastLoadError().toStdString();
    ASSERT_EQ(platform::GetProcAddress(library, "PutDBMs"), nullptr);
    ASSERT_NE(platform::GetProcAddress(library, "LoadCALFile"), nullptr);
    auto record = reinterpret_cast<SmsTestRecordCallsFn>(
        platform::GetProcAddress(library, "SmsdkTestRecordCalls"));
    auto callLog =
        reinterpret_cast<SmsTestCallLogFn>(platform::GetProcAddress(library, "SmsdkTestCallLog"));
    ASSERT_TRUE(record && callLog);
    record(1);

    SearchFolder folder(variant);
    Smsdk sdk;
    const platform::TResult bound = sdk.Load();
    EXPECT_FALSE(bound.Ok());
    EXPECT_EQ(bound.Message(),
              QStringLiteral("Bad version of dynamic library smetersdk.dll or "
                             "file is corrupted.\nApplication will be terminated."));
    EXPECT_FALSE(sdk.IsLoaded());
    EXPECT_TRUE(noFunctions(sdk.Functions));
    EXPECT_EQ(callLog(nullptr, 0), 0) << "an entry point was called";
    record(0);
    platform::UnloadLibrary(library);
}

TEST_F(SmsdkTest, EachErrorCodeHasItsOwnMessage) {
    const std::pair<int32_t, const char *> table[] = {
        {-2, "Was found an dBm value in array that is out of range -140 - 0"},
        {-3, "dBm array is not valid."},
        {-4, "Specified frequency is not found in calibration table."},
        {-5, "Error during writing calibration table to file."},
        {-6, "Specified file name is not valid."},
        {-7, "Specified receiver is not found in calibration table."},
        {-8, "CAL file not found."},
        {-9, "Error during loading CAL file to memory."},
        {-10, "Invalid CAL handle."},
        {-11, "Calibration structure has invalid size."},
        {-12, "Calibration structure is invalid."},
        {-13, "Receiver name is invalid."},
        {-14, "Calibration table does not contains requested mode."},
        {-15, "RAW signal strength value is not within range 0 \xE2\x80\x93 255."},
        {-16, "Buffer is not valid. Pointer to buffer is NULL."},
        {-17, "Frequency not found in table."},
    };
    for (const auto &[code, text] : table) {
        const platform::TResult result = Smsdk::ResultOf(code);
        EXPECT_FALSE(result.Ok()) << code;
        EXPECT_EQ(result.Message(), QString::fromUtf8(text));
        EXPECT_EQ(Smsdk::ErrorMessage(code), QString::fromUtf8(text));
    }
    EXPECT_TRUE(Smsdk::ErrorMessage(-15).contains(QChar(0x2013)));

    // Only the low 8 bits of a negative result count.
    EXPECT_EQ(Smsdk::ResultOf(-9 - 256).Message(),
              QStringLiteral("Error during loading CAL file to memory."));
    for (int32_t quiet : {-1, 0, 1, 12, 248, 254, INT32_MAX, -18, -100, -257, INT32_MIN}) {
        const platform::TResult result = Smsdk::ResultOf(quiet);
        EXPECT_TRUE(result.Ok()) << quiet;
        EXPECT_TRUE(result.Message().isEmpty()) << quiet;
    }
}

TEST_F(SmsdkTest, ModeTextsAndUnknownModes) {
    const std::pair<int32_t, const char *> modes[] = {
        {-1, "Default mode"},
        {0, "CW - Continuous Wave"},
        {1, "AM - Amplitude Modulation"},
        {2, "FMN - Freq. Modulation,Narrow"},
        {3, "FMW - Freq. Modulation,Wide"},
        {4, "LSB - Lower Side Band"},
        {5, "USB - Upper Side Band"},
        {6, "FMM - Freq. Modulation,Medium"},
        {7, "FM6 - Freq. Mod. (6kHz BW)"},
    };
    for (const auto &[code, text] : modes) {
        EXPECT_EQ(Smsdk::ModeText(code), QString::fromLatin1(text)) << code;
        EXPECT_EQ(Smsdk::FindModeText(code), QString::fromLatin1(text)) << code;
    }
    for (int32_t unknown : {8, -2, 255, INT32_MIN}) {
        EXPECT_EQ(Smsdk::FindModeText(unknown), std::nullopt) << unknown;
        try {
            Smsdk::ModeText(unknown);
            ADD_FAILURE() << unknown;
        } catch (const std::runtime_error &error) {
            EXPECT_STREQ(error.what(), "Unknown mode");
            // The windows' standard error box shows it.
            MessageBoxRecorder shown;
            platform::ShowExceptionBox(error);
            ASSERT_EQ(shown.boxes.size(), 1u);
            EXPECT_EQ(shown.boxes[0].text, QStringLiteral("Unknown mode"));
        }
    }
    EXPECT_EQ(Smsdk::CalibrationMode(3), 3);
    for (int32_t other : {-1, 0, 1, 2, 4, 7})
        EXPECT_EQ(Smsdk::CalibrationMode(other), -1);
}

TEST_F(SmsdkTest, ModelNameTableHas18FixedFieldsWithTheK740AtSixteen) {
    static_assert(sizeof Smsdk::ModelNames == 18 * 8);
    EXPECT_STREQ(Smsdk::ModelNames[16], "ZX-K740");
    EXPECT_STREQ(Smsdk::kReceiverName, Smsdk::ModelNames[16]);
    std::set<std::string> names;
    for (const auto &name : Smsdk::ModelNames) {
        EXPECT_EQ(std::strlen(name), 7u) << name;
        EXPECT_EQ(name[7], '\0');
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 18u);
}

// Fakes in place of the library, to see exactly what the binding passes.
struct Calls {
    std::vector<std::pair<bool, int32_t>> lists; // buffer given, size
    std::vector<std::pair<int32_t, int>> reads;  // size field, RAW
    int32_t sizeAnswer = 0;
    int failAt = 256;
};
Calls calls;

int32_t fakeGetFrequencies(int32_t, const char *, int32_t, uint64_t *buffer, int32_t size) {
    calls.lists.emplace_back(buffer != nullptr, size);
    for (int32_t i = 0; buffer && i < size / 8; ++i)
        buffer[i] = 1000u + static_cast<uint64_t>(i);
    return calls.sizeAnswer;
}

int32_t fakeGetModes(int32_t, const char *, int32_t *buffer, int32_t size) {
    calls.lists.emplace_back(buffer != nullptr, size);
    for (int32_t i = 0; buffer && i < size / 4; ++i)
        buffer[i] = i - 1;
    return calls.sizeAnswer;
}

int32_t fakeGetCS(int32_t, const char *, int32_t, uint64_t, void *cs) {
    auto *bytes = static_cast<unsigned char *>(cs);
    int32_t size = 0;
    std::memcpy(&size, bytes, 4);
    calls.reads.emplace_back(size, bytes[4]);
    if (bytes[4] == calls.failAt) return -4;
    const double value = -static_cast<double>(bytes[4]) / 2;
    std::memcpy(bytes + 5, &value, 8);
    return -1;
}

TEST_F(SmsdkTest, ListsAreReadWithASizeQueryAndAnExactBuffer) {
    Smsdk sdk;
    sdk.Functions.GetFrequencies = fakeGetFrequencies;
    sdk.Functions.GetModes = fakeGetModes;

    calls = {};
    calls.sizeAnswer = 12;
    EXPECT_EQ(sdk.ReadFrequencies(0, "ZX-K740", -1).Entries, std::vector<uint64_t>{1000});
    EXPECT_EQ(calls.lists, (std::vector<std::pair<bool, int32_t>>{{false, 0}, {true, 12}}));

    calls.lists.clear();
    EXPECT_EQ(sdk.ReadFrequencies(0, "ZX-K740", -1, Smsdk::ListSize::WholeEntries).Entries,
              std::vector<uint64_t>{1000});
    EXPECT_EQ(calls.lists, (std::vector<std::pair<bool, int32_t>>{{false, 0}, {true, 8}}));

    calls.lists.clear();
    calls.sizeAnswer = 10;
    EXPECT_EQ(sdk.ReadModes(0, "ZX-K740").Entries, (std::vector<int32_t>{-1, 0}));
    EXPECT_EQ(calls.lists, (std::vector<std::pair<bool, int32_t>>{{false, 0}, {true, 10}}));

    for (int32_t empty : {0, -7, -14, 3}) {
        calls.lists.clear();
        calls.sizeAnswer = empty;
        const TSetList<uint64_t> list = sdk.ReadFrequencies(0, "ZX-K740", -1);
        EXPECT_TRUE(list.Entries.empty()) << empty;
        EXPECT_EQ(list.SizeAnswer, empty);
        EXPECT_EQ(calls.lists.size(), empty > 0 ? 2u : 1u);
    }
}

TEST_F(SmsdkTest, ATableIsRead256TimesInOrderAndStopsAtTheFirstFailure) {
    Smsdk sdk;
    sdk.Functions.GetCS = fakeGetCS;
    calls = {};
    TDbmTable table{};
    EXPECT_TRUE(sdk.ReadTable(0, "ZX-K740", -1, 1, table).Ok());
    ASSERT_EQ(calls.reads.size(), 256u);
    for (int raw = 0; raw < 256; ++raw) {
        EXPECT_EQ(calls.reads[raw], std::make_pair(33, raw));
        EXPECT_EQ(table[raw], -raw / 2.0);
    }

    calls = {};
    calls.failAt = 100;
    const platform::TResult read = sdk.ReadTable(0, "ZX-K740", -1, 1, table);
    EXPECT_FALSE(read.Ok());
    EXPECT_EQ(read.Message(),
              QStringLiteral("Specified frequency is not found in calibration table."));
    EXPECT_EQ(calls.reads.size(), 101u);
    EXPECT_EQ(calls.reads.back().second, 100);
    // The values read so far, then zeros.
    EXPECT_EQ(table[99], -99 / 2.0);
    EXPECT_EQ(table[100], 0.0);
    EXPECT_EQ(table[255], 0.0);
}

} // namespace
