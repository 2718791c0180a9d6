// smetersdk.dll through its C interface, loaded by file name as the program
// loads it.
#include "platform/libraryloader.h"
#include "support/testsupport.h"

#include "smetersdk.h"
#include "smetersdk_test.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Library {
    SmsLoadCALFileFn LoadCALFile;
    SmsUnloadFn Unload;
    SmsGetCSFn GetCS;
    SmsPutDBMsFn PutDBMs;
    SmsSaveCALFileFn SaveCALFile;
    SmsGetModesFn GetModes;
    SmsGetFrequenciesFn GetFrequencies;
    SmsDeleteFrequencyFn DeleteFrequency;
    SmsTestFailSaveFn FailSave;
};

const Library &sdk() {
    static const Library library = [] {
        platform::SetLibrarySearchFolder(testsupport::BinDir());
        platform::LibraryHandle h = platform::LoadLibraryByName(QStringLiteral("smetersdk.dll"));
        platform::SetLibrarySearchFolder(QString());
        EXPECT_NE(h, nullptr) << platform::LastLoadError().toStdString();
        auto get = [h](const char *name) { return platform::GetProcAddress(h, name); };
        return Library{reinterpret_cast<SmsLoadCALFileFn>(get("LoadCALFile")),
                       reinterpret_cast<SmsUnloadFn>(get("Unload")),
                       reinterpret_cast<SmsGetCSFn>(get("GetCS")),
                       reinterpret_cast<SmsPutDBMsFn>(get("PutDBMs")),
                       reinterpret_cast<SmsSaveCALFileFn>(get("SaveCALFile")),
                       reinterpret_cast<SmsGetModesFn>(get("GetModes")),
                       reinterpret_cast<SmsGetFrequenciesFn>(get("GetFrequencies")),
                       reinterpret_cast<SmsDeleteFrequencyFn>(get("DeleteFrequency")),
                       reinterpret_cast<SmsTestFailSaveFn>(get("SmsdkTestFailSave"))};
    }();
    return library;
}

using Table = std::array<double, 256>;
constexpr const char *kRx = "ZX-K740";

Table filled(double value) {
    Table t;
    t.fill(value);
    return t;
}

Table ramp(double offset) {
    Table t;
    for (int i = 0; i < 256; ++i)
        t[i] = -140.0 + i * 0.5 - offset; // offsets of 0..-9 keep it in range
    return t;
}

struct Cs {
    unsigned char bytes[SMS_CS_SIZE] = {};
    explicit Cs(uint8_t raw, int32_t size = SMS_CS_SIZE) {
        std::memcpy(bytes, &size, 4);
        bytes[4] = raw;
    }
    double dbm() const {
        double v;
        std::memcpy(&v, bytes + 5, 8);
        return v;
    }
};

Table readTable(int32_t cal, const char *rx, int32_t mode, uint64_t fq) {
    Table t{};
    for (int raw = 0; raw < 256; ++raw) {
        Cs cs(static_cast<uint8_t>(raw));
        EXPECT_EQ(sdk().GetCS(cal, rx, mode, fq, cs.bytes), SMS_OK);
        t[raw] = cs.dbm();
    }
    return t;
}

bool sameBits(const Table &a, const Table &b) {
    return std::memcmp(a.data(), b.data(), 2048) == 0;
}

std::vector<int32_t> modes(int32_t cal, const char *rx) {
    const int32_t bytes = sdk().GetModes(cal, rx, nullptr, 0);
    std::vector<int32_t> list(bytes > 0 ? bytes / 4 : 0);
    sdk().GetModes(cal, rx, list.data(), bytes > 0 ? bytes : 0);
    return list;
}

std::vector<uint64_t> frequencies(int32_t cal, const char *rx, int32_t mode) {
    const int32_t bytes = sdk().GetFrequencies(cal, rx, mode, nullptr, 0);
    std::vector<uint64_t> list(bytes > 0 ? bytes / 8 : 0);
    sdk().GetFrequencies(cal, rx, mode, list.data(), bytes > 0 ? bytes : 0);
    return list;
}

QByteArray readFile(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &data) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(data), data.size());
}

int32_t loadBytes(const QString &path, const QByteArray &data) {
    writeFile(path, data);
    const int32_t cal = sdk().LoadCALFile(QFile::encodeName(path).constData());
    if (cal >= 0) sdk().Unload(cal);
    return cal;
}

// An independent CRC-32 (the zlib/PNG one), to check the documented layout.
uint32_t crc32Bitwise(const QByteArray &data) {
    uint32_t crc = 0xFFFFFFFFu;
    for (char c : data) {
        crc ^= static_cast<unsigned char>(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A file image written by hand, for contents the library would never write.
class Image {
public:
    Image &bytes(const void *p, size_t n) {
        data.append(static_cast<const char *>(p), static_cast<qsizetype>(n));
        return *this;
    }
    template <typename T> Image &put(T v) { return bytes(&v, sizeof v); }
    Image &header(uint32_t receivers, uint16_t major = 1, uint16_t minor = 0,
                  uint32_t headerSize = 32, uint32_t rxSize = 12, uint32_t modeSize = 8,
                  uint32_t pointSize = 2056) {
        bytes("\x89SMCAL\r\n", 8);
        put(major).put(minor).put(headerSize).put(rxSize).put(modeSize).put(pointSize);
        return put(receivers);
    }
    Image &receiver(const char *name, uint32_t modes) { // 8 bytes of name
        return bytes(name, 8).put(modes);
    }
    Image &mode(int32_t code, uint32_t points) { return put(code).put(points); }
    Image &point(uint64_t fq, const Table &t) { return put(fq).bytes(t.data(), 2048); }
    QByteArray sealed() const {
        QByteArray out = data;
        const uint32_t crc = crc32Bitwise(out);
        out.append(reinterpret_cast<const char *>(&crc), 4);
        return out;
    }
    QByteArray data;
};

class SmeterSdk : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_NE(sdk().LoadCALFile, nullptr);
        cal = sdk().LoadCALFile(nullptr);
        ASSERT_GE(cal, 0);
    }
    void TearDown() override { sdk().Unload(cal); }
    QString path(const QString &name) const { return dir.filePath(name); }
    static QByteArray native(const QString &p) { return QFile::encodeName(p); }
    int32_t save(const QString &p) { return sdk().SaveCALFile(cal, native(p).constData()); }
    void put(const char *rx, int32_t mode, uint64_t fq, const Table &t) {
        ASSERT_EQ(sdk().PutDBMs(cal, rx, mode, fq, t.data()), SMS_OK);
    }
    QStringList entries() const {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

    QTemporaryDir dir;
    int32_t cal = -1;
};

TEST_F(SmeterSdk, NewSetsAreIndependentAndHandlesAreNotReused) {
    const int32_t second = sdk().LoadCALFile(nullptr);
    ASSERT_GE(second, 0);
    EXPECT_NE(second, cal);
    put(kRx, -1, 1000, filled(-50));
    EXPECT_EQ(sdk().GetModes(second, kRx, nullptr, 0), SMS_ERR_RECEIVER);
    EXPECT_EQ(sdk().Unload(second), SMS_OK);
    EXPECT_EQ(sdk().Unload(second), SMS_ERR_HANDLE);
    const int32_t third = sdk().LoadCALFile(nullptr);
    EXPECT_NE(third, second);
    EXPECT_EQ(sdk().Unload(third), SMS_OK);
    EXPECT_EQ(readTable(cal, kRx, -1, 1000)[7], -50.0);
}

TEST_F(SmeterSdk, PutCreatesAndReplacesAndListsComeSorted) {
    put(kRx, 3, 88000000, ramp(0));
    put(kRx, -1, 7000000, ramp(-1));
    put(kRx, -1, 145000000, ramp(-2));
    put(kRx, -1, 3500000, ramp(-3));
    put(kRx, 7, 1, filled(-140));
    put(kRx, -1, 7000000, ramp(-5)); // replaces
    EXPECT_EQ(modes(cal, kRx), (std::vector<int32_t>{-1, 3, 7}));
    EXPECT_EQ(frequencies(cal, kRx, -1), (std::vector<uint64_t>{3500000, 7000000, 145000000}));
    EXPECT_TRUE(sameBits(readTable(cal, kRx, -1, 7000000), ramp(-5)));
    EXPECT_TRUE(sameBits(readTable(cal, kRx, 3, 88000000), ramp(0)));
    // Other receivers and names of up to 7 bytes, 8-bit text included.
    put("A", -1, 5, filled(-1));
    put("\xC4\xD6\xDC"
        "1234",
        -1, 5, filled(-2));
    EXPECT_EQ(modes(cal, "A"), std::vector<int32_t>{-1});
    EXPECT_EQ(readTable(cal,
                        "\xC4\xD6\xDC"
                        "1234",
                        -1, 5)[0],
              -2.0);
}

TEST_F(SmeterSdk, PartialBuffersTakeWholeEntriesAndAnswerTheFullSize) {
    for (uint64_t fq : {30u, 10u, 20u})
        put(kRx, static_cast<int32_t>(fq), fq, filled(-10));
    int32_t modeBuffer[3] = {111, 111, 111};
    EXPECT_EQ(sdk().GetModes(cal, kRx, modeBuffer, 9), 12);
    EXPECT_EQ(modeBuffer[0], 10);
    EXPECT_EQ(modeBuffer[1], 20);
    EXPECT_EQ(modeBuffer[2], 111);
    EXPECT_EQ(sdk().GetModes(cal, kRx, modeBuffer, 3), 12);
    EXPECT_EQ(modeBuffer[0], 10);

    put(kRx, -1, 2, filled(-10));
    put(kRx, -1, 1, filled(-10));
    uint64_t fqBuffer[2] = {99, 99};
    EXPECT_EQ(sdk().GetFrequencies(cal, kRx, -1, fqBuffer, 15), 16);
    EXPECT_EQ(fqBuffer[0], 1u);
    EXPECT_EQ(fqBuffer[1], 99u);
    EXPECT_EQ(sdk().GetFrequencies(cal, kRx, -1, nullptr, 0), 16);
}

TEST_F(SmeterSdk, DeletingTheLastPointRemovesItsModeAndReceiver) {
    put(kRx, -1, 100, filled(-20));
    put(kRx, 3, 100, filled(-20));
    put(kRx, 3, 200, filled(-20));
    Cs cs(0);
    // Read just before, so that no remembered look-up may answer for it.
    ASSERT_EQ(sdk().GetCS(cal, kRx, 3, 100, cs.bytes), SMS_OK);
    EXPECT_EQ(sdk().DeleteFrequency(cal, kRx, 3, 100), SMS_OK);
    EXPECT_EQ(frequencies(cal, kRx, 3), std::vector<uint64_t>{200});
    EXPECT_EQ(sdk().GetCS(cal, kRx, 3, 100, cs.bytes), SMS_ERR_FREQUENCY);
    EXPECT_EQ(sdk().DeleteFrequency(cal, kRx, 3, 200), SMS_OK);
    EXPECT_EQ(modes(cal, kRx), std::vector<int32_t>{-1});
    EXPECT_EQ(sdk().GetFrequencies(cal, kRx, 3, nullptr, 0), SMS_ERR_MODE);
    EXPECT_EQ(sdk().DeleteFrequency(cal, kRx, -1, 100), SMS_OK);
    EXPECT_EQ(sdk().GetModes(cal, kRx, nullptr, 0), SMS_ERR_RECEIVER);
}

TEST_F(SmeterSdk, EveryFailureAnswersItsOwnCodeAndChangesNothing) {
    const Table good = ramp(0);
    put(kRx, -1, 1000, good);
    Cs cs(5);
    int32_t modeBuffer[4];
    uint64_t fqBuffer[4];

    // -2 and -3: a rejected table leaves the stored one as it was.
    for (double bad : {0.05, -140.05, 1e300, -1e300}) {
        Table t = good;
        t[200] = bad;
        EXPECT_EQ(sdk().PutDBMs(cal, kRx, -1, 1000, t.data()), SMS_ERR_DBM_RANGE) << bad;
    }
    for (double bad : {std::nan(""), std::numeric_limits<double>::infinity(),
                       -std::numeric_limits<double>::infinity()}) {
        Table t = good;
        t[255] = bad;
        EXPECT_EQ(sdk().PutDBMs(cal, kRx, -1, 1000, t.data()), SMS_ERR_DBM_ARRAY);
    }
    EXPECT_EQ(sdk().PutDBMs(cal, kRx, -1, 1000, nullptr), SMS_ERR_DBM_ARRAY);
    EXPECT_EQ(sdk().PutDBMs(cal, kRx, -1, 2000, filled(1).data()), SMS_ERR_DBM_RANGE);
    EXPECT_TRUE(sameBits(readTable(cal, kRx, -1, 1000), good));
    EXPECT_EQ(frequencies(cal, kRx, -1), std::vector<uint64_t>{1000});

    EXPECT_EQ(sdk().GetCS(cal, kRx, -1, 1001, cs.bytes), SMS_ERR_FREQUENCY);      // -4
    EXPECT_EQ(sdk().GetCS(cal, "ZX-K700", -1, 1000, cs.bytes), SMS_ERR_RECEIVER); // -7
    EXPECT_EQ(sdk().GetModes(cal, "ZX-K700", nullptr, 0), SMS_ERR_RECEIVER);
    EXPECT_EQ(sdk().GetFrequencies(cal, "ZX-K700", -1, nullptr, 0), SMS_ERR_RECEIVER);
    EXPECT_EQ(sdk().DeleteFrequency(cal, "ZX-K700", -1, 1000), SMS_ERR_RECEIVER);
    EXPECT_EQ(sdk().GetCS(cal, kRx, 3, 1000, cs.bytes), SMS_ERR_MODE); // -14
    EXPECT_EQ(sdk().GetFrequencies(cal, kRx, 3, nullptr, 0), SMS_ERR_MODE);
    EXPECT_EQ(sdk().DeleteFrequency(cal, kRx, 3, 1000), SMS_ERR_MODE);
    EXPECT_EQ(sdk().DeleteFrequency(cal, kRx, -1, 1001), SMS_ERR_DELETE); // -17

    Cs wrongSize(5, 32);
    EXPECT_EQ(sdk().GetCS(cal, kRx, -1, 1000, wrongSize.bytes), SMS_ERR_CS_SIZE); // -11
    EXPECT_EQ(wrongSize.dbm(), 0.0);
    EXPECT_EQ(sdk().GetCS(cal, kRx, -1, 1000, nullptr), SMS_ERR_CS); // -12

    EXPECT_EQ(sdk().GetModes(cal, kRx, nullptr, 4), SMS_ERR_BUFFER); // -16
    EXPECT_EQ(sdk().GetModes(cal, kRx, modeBuffer, -4), SMS_ERR_BUFFER);
    EXPECT_EQ(sdk().GetFrequencies(cal, kRx, -1, nullptr, 8), SMS_ERR_BUFFER);
    EXPECT_EQ(sdk().GetFrequencies(cal, kRx, -1, fqBuffer, -1), SMS_ERR_BUFFER);

    // -13 for every call that takes a name.
    for (const char *name : {static_cast<const char *>(nullptr), "", "ZX-K7400"}) {
        EXPECT_EQ(sdk().GetCS(cal, name, -1, 1000, cs.bytes), SMS_ERR_RECEIVER_NAME);
        EXPECT_EQ(sdk().PutDBMs(cal, name, -1, 1000, good.data()), SMS_ERR_RECEIVER_NAME);
        EXPECT_EQ(sdk().GetModes(cal, name, modeBuffer, 16), SMS_ERR_RECEIVER_NAME);
        EXPECT_EQ(sdk().GetFrequencies(cal, name, -1, fqBuffer, 32), SMS_ERR_RECEIVER_NAME);
        EXPECT_EQ(sdk().DeleteFrequency(cal, name, -1, 1000), SMS_ERR_RECEIVER_NAME);
    }

    // -10 for every call that takes a handle.
    for (int32_t bad : {-1, cal + 1000, INT32_MIN}) {
        EXPECT_EQ(sdk().Unload(bad), SMS_ERR_HANDLE);
        EXPECT_EQ(sdk().GetCS(bad, kRx, -1, 1000, cs.bytes), SMS_ERR_HANDLE);
        EXPECT_EQ(sdk().PutDBMs(bad, kRx, -1, 1000, good.data()), SMS_ERR_HANDLE);
        EXPECT_EQ(sdk().SaveCALFile(bad, native(path("x.cal")).constData()), SMS_ERR_HANDLE);
        EXPECT_EQ(sdk().GetModes(bad, kRx, nullptr, 0), SMS_ERR_HANDLE);
        EXPECT_EQ(sdk().GetFrequencies(bad, kRx, -1, nullptr, 0), SMS_ERR_HANDLE);
        EXPECT_EQ(sdk().DeleteFrequency(bad, kRx, -1, 1000), SMS_ERR_HANDLE);
    }

    // File names: -6, -8, -9, -5.
    EXPECT_EQ(sdk().SaveCALFile(cal, nullptr), SMS_ERR_FILE_NAME);
    EXPECT_EQ(save(""), SMS_ERR_FILE_NAME);
    EXPECT_EQ(save(dir.path()), SMS_ERR_FILE_NAME);
    EXPECT_EQ(save(path("new.cal/")), SMS_ERR_FILE_NAME);
    EXPECT_EQ(sdk().LoadCALFile(""), SMS_ERR_FILE_NAME);
    EXPECT_EQ(sdk().LoadCALFile(native(dir.path()).constData()), SMS_ERR_FILE_NAME);
    EXPECT_EQ(sdk().LoadCALFile(native(path("missing.cal")).constData()), SMS_ERR_FILE_NOT_FOUND);
    EXPECT_EQ(sdk().LoadCALFile(native(path("gone/x.cal")).constData()), SMS_ERR_FILE_NOT_FOUND);
    EXPECT_EQ(loadBytes(path("text.cal"), "not a calibration file"), SMS_ERR_LOAD);
    EXPECT_EQ(save(path("gone/x.cal")), SMS_ERR_WRITE);

    EXPECT_TRUE(sameBits(readTable(cal, kRx, -1, 1000), good));
    EXPECT_EQ(modes(cal, kRx), std::vector<int32_t>{-1});
}

TEST_F(SmeterSdk, SpecialFilesAreRefusedWithoutBlocking) {
    const QString fifo = path("pipe.cal");
    ASSERT_EQ(::mkfifo(native(fifo).constData(), 0600), 0);
    EXPECT_EQ(sdk().LoadCALFile(native(fifo).constData()), SMS_ERR_FILE_NAME);
    EXPECT_EQ(save(fifo), SMS_ERR_FILE_NAME);
    EXPECT_EQ(sdk().LoadCALFile("/dev/zero"), SMS_ERR_FILE_NAME);
    EXPECT_EQ(save(QStringLiteral("/dev/null")), SMS_ERR_FILE_NAME);
    struct stat info {};
    ASSERT_EQ(::stat("/dev/null", &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode));

    // A huge file is refused before anything is read or allocated.
    QFile huge(path("huge.cal"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize((qint64(1) << 30) + 1)); // sparse
    huge.close();
    EXPECT_EQ(sdk().LoadCALFile(native(huge.fileName()).constData()), SMS_ERR_LOAD);
}

TEST_F(SmeterSdk, SaveAndLoadRoundTripBitExactly) {
    std::mt19937_64 random(740);
    std::uniform_real_distribution<double> value(-140.0, 0.0);
    Table odd = ramp(0);
    odd[0] = -0.0;
    odd[1] = -std::numeric_limits<double>::denorm_min();
    odd[2] = -140.0;
    odd[3] = 0.0;
    put(kRx, -1, 0, odd);
    put(kRx, -1, UINT64_MAX, filled(-140));
    for (int i = 0; i < 20; ++i) {
        Table t;
        for (double &v : t)
            v = value(random);
        put(i % 2 ? kRx : "ZX-K700", i % 3 == 0 ? 3 : INT32_MIN + i, random(), t);
    }
    const QString first = path("first.cal");
    ASSERT_EQ(save(first), SMS_OK);
    const int32_t loaded = sdk().LoadCALFile(native(first).constData());
    ASSERT_GE(loaded, 0);
    for (const char *rx : {kRx, "ZX-K700"}) {
        ASSERT_EQ(modes(loaded, rx), modes(cal, rx));
        for (int32_t mode : modes(cal, rx)) {
            ASSERT_EQ(frequencies(loaded, rx, mode), frequencies(cal, rx, mode));
            for (uint64_t fq : frequencies(cal, rx, mode))
                EXPECT_TRUE(
                    sameBits(readTable(loaded, rx, mode, fq), readTable(cal, rx, mode, fq)));
        }
    }
    const QString second = path("second.cal");
    ASSERT_EQ(sdk().SaveCALFile(loaded, native(second).constData()), SMS_OK);
    EXPECT_EQ(readFile(first), readFile(second));
    EXPECT_EQ(sdk().Unload(loaded), SMS_OK);
    EXPECT_EQ(entries(), (QStringList{"first.cal", "second.cal"}));
}

TEST_F(SmeterSdk, SetsLargerThanOneReadChunkLoadWhole) {
    constexpr int kPoints = 600; // 1.2 MB, read in chunks of 1 MiB
    Table t;
    for (int p = 0; p < kPoints; ++p) {
        for (int i = 0; i < 256; ++i)
            t[i] = -static_cast<double>((p * 256 + i) % 1400) / 10.0;
        put(kRx, p % 2 ? 3 : -1, 1000u + p, t);
    }
    ASSERT_EQ(save(path("large.cal")), SMS_OK);
    const int32_t loaded = sdk().LoadCALFile(native(path("large.cal")).constData());
    ASSERT_GE(loaded, 0);
    for (int32_t mode : {-1, 3}) {
        const auto points = frequencies(cal, kRx, mode);
        ASSERT_EQ(frequencies(loaded, kRx, mode), points);
        for (uint64_t fq : points)
            ASSERT_TRUE(sameBits(readTable(loaded, kRx, mode, fq), readTable(cal, kRx, mode, fq)));
    }
    sdk().Unload(loaded);
}

TEST_F(SmeterSdk, FilesFollowTheDocumentedLayout) {
    const QString empty = path("empty.cal");
    ASSERT_EQ(save(empty), SMS_OK);
    const QByteArray expectedEmpty = Image().header(0).sealed();
    EXPECT_EQ(readFile(empty), expectedEmpty);

    put(kRx, 3, 99, ramp(-1));
    put(kRx, -1, 7, ramp(-2));
    put(kRx, -1, 5, ramp(-3));
    put("ZX-K700", 0, 1, ramp(-4));
    const QString full = path("full.cal");
    ASSERT_EQ(save(full), SMS_OK);
    Image image;
    image.header(2)
        .receiver("ZX-K700\0", 1)
        .mode(0, 1)
        .point(1, ramp(-4))
        .receiver("ZX-K740\0", 2)
        .mode(-1, 2)
        .point(5, ramp(-3))
        .point(7, ramp(-2))
        .mode(3, 1)
        .point(99, ramp(-1));
    EXPECT_EQ(readFile(full), image.sealed());
}

TEST_F(SmeterSdk, NewerMinorVersionsWithLongerRecordsStillLoad) {
    Image image;
    image.header(1, 1, 3, 40, 16, 12, 2060).put(uint64_t(0xAAAA));
    image.receiver("ZX-K740\0", 1).put(uint32_t(7));
    image.mode(-1, 1).put(uint32_t(7));
    image.point(42, ramp(-7)).put(uint32_t(7));
    writeFile(path("future.cal"), image.sealed());
    const int32_t loaded = sdk().LoadCALFile(native(path("future.cal")).constData());
    ASSERT_GE(loaded, 0);
    EXPECT_TRUE(sameBits(readTable(loaded, kRx, -1, 42), ramp(-7)));
    sdk().Unload(loaded);
}

TEST_F(SmeterSdk, MalformedContentWithAValidCrcIsRefused) {
    const Table t = ramp(0);
    auto one = [&](Image image) { return loadBytes(path("bad.cal"), image.sealed()); };
    auto valid = [&] { return Image().header(1).receiver("ZX-K740\0", 1).mode(-1, 1); };
    ASSERT_GE(one(valid().point(1, t)), 0);

    Image magic = valid().point(1, t);
    magic.data[1] = 's';
    EXPECT_EQ(one(magic), SMS_ERR_LOAD);
    EXPECT_EQ(one(Image().header(1, 2).receiver("ZX-K740\0", 1).mode(-1, 1).point(1, t)),
              SMS_ERR_LOAD);
    EXPECT_EQ(one(Image().header(1, 1, 0, 31)), SMS_ERR_LOAD);
    EXPECT_EQ(one(Image().header(1, 1, 0, 32, 12, 8, 2055)), SMS_ERR_LOAD);
    EXPECT_EQ(one(Image().header(1, 1, 0, 0xFFFFFFFF)), SMS_ERR_LOAD);
    EXPECT_EQ(one(Image().header(0xFFFFFFFF).receiver("ZX-K740\0", 1).mode(-1, 1).point(1, t)),
              SMS_ERR_LOAD);
    EXPECT_EQ(one(Image().header(1).receiver("ZX-K740\0", 0xFFFFFFFF).mode(-1, 1).point(1, t)),
              SMS_ERR_LOAD);
    EXPECT_EQ(one(valid().point(1, t).put('\0')), SMS_ERR_LOAD); // trailing byte
    EXPECT_EQ(one(Image().header(1).receiver("ZX-K740\0", 1).mode(-1, 0)), SMS_ERR_LOAD);
    EXPECT_EQ(one(Image().header(1).receiver("ZX-K740\0", 0)), SMS_ERR_LOAD); // no modes
    EXPECT_EQ(one(valid().put(uint64_t(1))), SMS_ERR_LOAD);                   // point cut short
    EXPECT_EQ(one(Image().header(1).receiver("ZX-K740\0", 1).mode(-1, 2).point(1, t).point(1, t)),
              SMS_ERR_LOAD); // duplicate point
    EXPECT_EQ(one(Image().header(1).receiver("ZX-K740\0", 1).mode(-1, 2).point(2, t).point(1, t)),
              SMS_ERR_LOAD); // unsorted points
    EXPECT_EQ(one(Image()
                      .header(1)
                      .receiver("ZX-K740\0", 2)
                      .mode(3, 1)
                      .point(1, t)
                      .mode(3, 1)
                      .point(2, t)),
              SMS_ERR_LOAD); // duplicate mode
    EXPECT_EQ(one(Image()
                      .header(2)
                      .receiver("ZX-K740\0", 1)
                      .mode(3, 1)
                      .point(1, t)
                      .receiver("ZX-K740\0", 1)
                      .mode(4, 1)
                      .point(2, t)),
              SMS_ERR_LOAD); // duplicate receiver
    for (const char *name : {"\0ZX-K740", "ZX-K7400", "ZX\0K740\0"})
        EXPECT_EQ(one(Image().header(1).receiver(name, 1).mode(-1, 1).point(1, t)), SMS_ERR_LOAD);
    for (double bad : {0.5, -140.5, std::nan(""), -std::numeric_limits<double>::infinity()}) {
        Table v = t;
        v[128] = bad;
        EXPECT_EQ(one(valid().point(1, v)), SMS_ERR_LOAD) << bad;
    }
}

TEST_F(SmeterSdk, EveryTruncationAndEverySingleBitFlipIsRefused) {
    put(kRx, -1, 10, ramp(-1));
    put(kRx, -1, 20, ramp(-2));
    put("ZX-K700", 3, 30, ramp(-3));
    ASSERT_EQ(save(path("good.cal")), SMS_OK);
    const QByteArray good = readFile(path("good.cal"));
    // Thousands of small files: on a memory file system where there is one.
    QTemporaryDir fast(QDir("/dev/shm").exists() ? QStringLiteral("/dev/shm/smetersdk-XXXXXX")
                                                 : dir.filePath("probe-XXXXXX"));
    ASSERT_TRUE(fast.isValid());
    const QString probePath = fast.filePath("probe.cal");
    const QByteArray probe = native(probePath);
    ASSERT_EQ(good.size(), 32 + 2 * 12 + 2 * 8 + 3 * 2056 + 4);

    int accepted = 0;
    for (qsizetype n = 0; n < good.size(); ++n) {
        writeFile(probePath, good.left(n));
        const int32_t result = sdk().LoadCALFile(probe.constData());
        accepted += result >= 0;
        ASSERT_EQ(result, SMS_ERR_LOAD) << "truncated at " << n;
    }
    // Every bit of a one-point file (CRC-32 catches every single-bit error).
    Table t = ramp(-9);
    const QByteArray small =
        Image().header(1).receiver("ZX-K740\0", 1).mode(-1, 1).point(5, t).sealed();
    for (qsizetype i = 0; i < small.size(); ++i) {
        for (int bit = 0; bit < 8; ++bit) {
            QByteArray flipped = small;
            flipped[i] = static_cast<char>(flipped[i] ^ (1 << bit));
            writeFile(probePath, flipped);
            const int32_t result = sdk().LoadCALFile(probe.constData());
            if (result >= 0) {
                ++accepted;
                sdk().Unload(result);
            }
            ASSERT_EQ(result, SMS_ERR_LOAD) << "byte " << i << " bit " << bit;
        }
    }
    EXPECT_EQ(accepted, 0);
}

// Saving must keep the previous file whatever goes wrong; these failures
// happen for root too.
TEST_F(SmeterSdk, AFailedSaveLeavesTheOldFileByteForByte) {
    put(kRx, -1, 1, filled(-30));
    const QString target = path("table.cal");
    ASSERT_EQ(save(target), SMS_OK);
    ASSERT_EQ(::chmod(native(target).constData(), 0640), 0);
    const QByteArray before = readFile(target);
    for (uint64_t fq = 2; fq < 12; ++fq)
        put(kRx, -1, fq, filled(-40));

    // The file size limit stops the write half way.
    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 8192;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const int32_t limited = save(target);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(limited, SMS_ERR_WRITE);
    EXPECT_EQ(readFile(target), before);
    EXPECT_EQ(entries(), QStringList{"table.cal"});

    // A new file that never reached the disk, or never took the target's place.
    ASSERT_NE(sdk().FailSave, nullptr);
    for (int32_t step : {SMS_TEST_FAIL_FSYNC, SMS_TEST_FAIL_RENAME}) {
        sdk().FailSave(step);
        const int32_t result = save(target);
        sdk().FailSave(0);
        EXPECT_EQ(result, SMS_ERR_WRITE) << step;
        EXPECT_EQ(readFile(target), before) << step;
        EXPECT_EQ(entries(), QStringList{"table.cal"}) << step;
    }

    // A successful save keeps the file's permissions.
    ASSERT_EQ(save(target), SMS_OK);
    EXPECT_NE(readFile(target), before);
    struct stat info {};
    ASSERT_EQ(::stat(native(target).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(entries(), QStringList{"table.cal"});
}

TEST_F(SmeterSdk, SavingThroughALinkReplacesTheLinkedFile) {
    put(kRx, -1, 1, filled(-30));
    ASSERT_TRUE(QDir(dir.path()).mkdir("real"));
    const QString real = path("real/table.cal");
    writeFile(real, "old");
    ASSERT_TRUE(QFile::link(real, path("link.cal")));
    ASSERT_EQ(save(path("link.cal")), SMS_OK);
    EXPECT_TRUE(QFileInfo(path("link.cal")).isSymLink());
    EXPECT_EQ(readFile(real).left(8), QByteArray("\x89SMCAL\r\n"));
}

} // namespace
