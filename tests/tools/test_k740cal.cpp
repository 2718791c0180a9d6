// k740cal, run as the real executable: round trips through CSV, exit codes
// and messages, the JSON summary, refused imports and a write over the file
// size limit, and differences between files.
#include "calibration/caltransfer.h"
#include "platform/libraryloader.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <sys/resource.h>

namespace {

struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};

ToolRun k740cal(const QStringList &arguments, const QString &folder, qint64 fileSizeLimit = 0) {
    QProcess process;
    process.setWorkingDirectory(folder);
    if (fileSizeLimit) {
        process.setChildProcessModifier([fileSizeLimit] {
            const rlimit limit{rlim_t(fileSizeLimit), rlim_t(fileSizeLimit)};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        });
    }
    process.start(testsupport::BinDir() + "/k740cal", arguments);
    process.waitForFinished(60000);
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << arguments.join(' ').toStdString();
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

QByteArray bytesOf(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

class K740calTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::SetLibrarySearchFolder(testsupport::BinDir());
        ASSERT_TRUE(sdk.Load());
        platform::SetLibrarySearchFolder(QString());
    }

    QString path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }

    // Writes a set of these tables through the library.
    void makeFile(const QString &file, const std::vector<TCsvTable> &tables) {
        const int32_t cal = sdk.LoadCALFile(nullptr);
        QString error;
        ASSERT_TRUE(CalTransfer::PutTables(sdk, cal, tables, error)) << error.toStdString();
        ASSERT_EQ(sdk.SaveCALFile(cal, QFile::encodeName(file).constData()), SMS_OK);
        sdk.Unload(cal);
    }
    std::vector<TCsvTable> tablesOf(const QString &file) {
        const int32_t cal = sdk.LoadCALFile(QFile::encodeName(file).constData());
        std::vector<TCsvTable> tables;
        QString error;
        EXPECT_TRUE(cal >= 0 && CalTransfer::ReadTables(sdk, cal, {}, tables, error));
        sdk.Unload(cal);
        return tables;
    }
    static std::vector<TCsvTable> randomTables(int modes, int points, unsigned seed) {
        std::mt19937_64 random(seed);
        std::uniform_real_distribution<double> dbm(-140.0, 0.0);
        std::vector<TCsvTable> tables;
        const int32_t codes[] = {-1, 3, 5};
        for (int m = 0; m < modes; ++m)
            for (int p = 0; p < points; ++p) {
                TCsvTable &table = tables.emplace_back();
                table.Receiver = "ZX-K740";
                table.Mode = codes[m];
                table.Frequency = 100000 + uint64_t(p) * 1234567;
                for (double &value : table.Values)
                    value = random() % 4 == 0 ? 0.0 : dbm(random);
            }
        return tables;
    }
    void writeText(const char *name, const QByteArray &text) {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    QTemporaryDir dir;
    Smsdk sdk;
    testsupport::MessageBoxRecorder boxes;
};

TEST_F(K740calTest, ExportThenImportGivesTheSameDoublesBitForBit) {
    const std::vector<TCsvTable> tables = randomTables(3, 20, 2026);
    makeFile(path("a.cal"), tables);

    ToolRun run = k740cal({"export", "a.cal", "-o", "a.csv"}, dir.path());
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    run = k740cal({"import", "b.cal", "a.csv"}, dir.path());
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out.toStdString(), "b.cal: 60 point(s) imported, 60 new, 0 replaced\n");

    const std::vector<TCsvTable> read = tablesOf(path("b.cal"));
    ASSERT_EQ(read.size(), tables.size());
    for (std::size_t i = 0; i < read.size(); ++i) {
        EXPECT_EQ(read[i].Mode, tables[i].Mode);
        EXPECT_EQ(read[i].Frequency, tables[i].Frequency);
        EXPECT_EQ(std::memcmp(read[i].Values.data(), tables[i].Values.data(), sizeof(TDbmTable)),
                  0);
    }
    run = k740cal({"diff", "a.cal", "b.cal"}, dir.path());
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out.toStdString(), "");

    // The chosen tables only, to standard output.
    run = k740cal({"export", "a.cal", "--mode", "3", "--frequency", "1334567"}, dir.path());
    EXPECT_EQ(run.exitCode, 0);
    std::vector<TCsvTable> chosen;
    QString error;
    ASSERT_TRUE(CalCsv::Parse(run.out.toUtf8(), "out", chosen, error));
    ASSERT_EQ(chosen.size(), 1u);
    EXPECT_EQ(chosen[0].Values, tables[21].Values);
}

TEST_F(K740calTest, ExitCodesAndMessages) {
    writeText("corrupt.cal", "not a calibration file");
    makeFile(path("good.cal"), randomTables(1, 1, 1));
    struct Case {
        QStringList arguments;
        int exitCode;
        const char *err; // the first line on standard error
    };
    const Case cases[] = {
        {{"verify", "missing.cal"}, 1, "k740cal: missing.cal: CAL file not found."},
        {{"info", "corrupt.cal"},
         1,
         "k740cal: corrupt.cal: Error during loading CAL file to memory."},
        {{"verify", "corrupt.cal"},
         1,
         "k740cal: corrupt.cal: Error during loading CAL file to memory."},
        {{"export", "missing.cal"}, 1, "k740cal: missing.cal: CAL file not found."},
        {{"import", "good.cal", "missing.csv"}, 1, "k740cal: missing.csv: no such file"},
        {{"diff", "good.cal", "corrupt.cal"},
         1,
         "k740cal: corrupt.cal: Error during loading CAL file to memory."},
        {{"export", "good.cal", "--mode", "5"},
         1,
         "k740cal: good.cal: no point matches the options given"},
        {{"verify", "good.cal", "--bogus"}, 2, "k740cal: Unknown option 'bogus'."},
        {{"info"}, 2, "k740cal: info: missing argument FILE"},
        {{"import", "good.cal"}, 2, "k740cal: import: missing argument IN.csv"},
        {{"verify", "a", "b"}, 2, "k740cal: verify: unexpected argument \"b\""},
        {{}, 2, "k740cal: no command given"},
        {{"list", "good.cal"}, 2, "k740cal: unknown command \"list\""},
        {{"info", "good.cal", "--replace"}, 2, "k740cal: info: option --replace belongs to import"},
        {{"export", "good.cal", "--mode", "x"}, 2, "k740cal: --mode: \"x\" is not a mode code"},
        {{"export", "good.cal", "--receiver", "ZX-K999"},
         2,
         "k740cal: --receiver: unknown receiver name \"ZX-K999\""},
        {{"export", "good.cal", "-o"}, 2, "k740cal: Missing value after '-o'."},
        {{"verify", "good.cal"}, 0, ""},
        {{"--version"}, 0, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const ToolRun run = k740cal(c.arguments, dir.path());
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_EQ(run.err.section('\n', 0, 0).toStdString(), c.err);
        if (c.exitCode == 2) {
            EXPECT_TRUE(run.err.endsWith("k740cal: try 'k740cal --help'\n"));
        }
    }
    EXPECT_EQ(k740cal({"verify", "good.cal"}, dir.path()).out,
              "good.cal: loads: 1 receiver(s), 1 mode(s), 1 point(s)\n");
    EXPECT_EQ(k740cal({"--version"}, dir.path()).out, "k740cal " K740_VERSION_STRING "\n");
    EXPECT_TRUE(k740cal({"--help"}, dir.path()).out.contains("import FILE IN.csv [--replace]"));
}

TEST_F(K740calTest, InfoAsJsonAndAsATable) {
    std::vector<TCsvTable> tables = randomTables(3, 4, 5);
    tables.back().Values.fill(0.0);
    tables.front().Values.fill(-20.5);
    tables.front().Values[9] = -140.0;
    makeFile(path("a.cal"), tables);

    ToolRun run = k740cal({"info", "a.cal", "--json"}, dir.path());
    ASSERT_EQ(run.exitCode, 0);
    QJsonParseError parsed;
    const QJsonObject root = QJsonDocument::fromJson(run.out.toUtf8(), &parsed).object();
    ASSERT_EQ(parsed.error, QJsonParseError::NoError);
    EXPECT_EQ(root["receiver_count"].toInt(), 1);
    EXPECT_EQ(root["mode_count"].toInt(), 3);
    EXPECT_EQ(root["point_count"].toInt(), 12);
    const QJsonArray modes = root["receivers"][0]["modes"].toArray();
    ASSERT_EQ(modes.size(), 3);
    EXPECT_EQ(modes[1]["code"].toInt(), 3);
    EXPECT_EQ(modes[1]["text"].toString(), "FMW - Freq. Modulation,Wide");
    const QJsonObject first = modes[0]["points"][0].toObject();
    EXPECT_EQ(first["frequency_hz"].toInteger(), 100000);
    EXPECT_EQ(first["set"].toInt(), 256);
    EXPECT_EQ(first["dbm_min"].toDouble(), -140.0);
    EXPECT_EQ(first["dbm_max"].toDouble(), -20.5);
    const QJsonObject empty = modes[2]["points"][3].toObject();
    EXPECT_EQ(empty["set"].toInt(), 0);
    EXPECT_TRUE(empty["dbm_min"].isNull());

    run = k740cal({"info", "a.cal"}, dir.path());
    const QStringList lines = run.out.split('\n');
    EXPECT_EQ(lines[0], "a.cal: 1 receiver(s), 3 mode(s), 12 point(s)");
    EXPECT_EQ(lines[3].simplified(), "ZX-K740 -1 Default mode 100000 256 -140.0 .. -20.5");
    EXPECT_EQ(lines[14].simplified(), "ZX-K740 5 USB - Upper Side Band 3803701 0 -");
}

TEST_F(K740calTest, RefusedImportsLeaveTheFileByteForByte) {
    makeFile(path("a.cal"), randomTables(1, 2, 3));
    const QByteArray before = bytesOf(path("a.cal"));
    writeText("bad.csv",
              "receiver,mode,frequency_hz,raw,dbm\nZX-K740,-1,1,1,-1\nZX-K740,-1,1,300,-1\n");
    // The second point is new, the first is held already.
    writeText("held.csv", "receiver,mode,frequency_hz,raw,dbm\nZX-K740,-1,100000,1,-1\n"
                          "ZX-K740,3,5,1,-1\n");
    writeText("big.csv", CalCsv::Write(randomTables(3, 20, 4)));

    ToolRun run = k740cal({"import", "a.cal", "bad.csv"}, dir.path());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.toStdString(),
              "k740cal: bad.csv:3:14: RAW value \"300\" is outside 0..255\n");
    run = k740cal({"import", "a.cal", "held.csv"}, dir.path());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.toStdString(),
              "k740cal: a.cal: holds the point ZX-K740, mode -1, 100000 Hz already "
              "(--replace replaces it)\n");
    run = k740cal({"import", "a.cal", "big.csv", "--replace"}, dir.path(), 8192);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.toStdString(),
              "k740cal: a.cal: Error during writing calibration table to file.\n");
    EXPECT_EQ(bytesOf(path("a.cal")), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 4);
    writeText("corrupt.cal", "rubbish");
    run = k740cal({"import", "corrupt.cal", "held.csv"}, dir.path());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(bytesOf(path("corrupt.cal")), "rubbish");

    // With --replace the held point is replaced whole: its other entries go.
    run = k740cal({"import", "a.cal", "held.csv", "--replace"}, dir.path());
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out.toStdString(), "a.cal: 2 point(s) imported, 1 new, 1 replaced\n");
    const std::vector<TCsvTable> read = tablesOf(path("a.cal"));
    ASSERT_EQ(read.size(), 3u);
    EXPECT_EQ(read[0].Values[1], -1.0);
    EXPECT_EQ(std::count(read[0].Values.begin(), read[0].Values.end(), 0.0), 255);
}

TEST_F(K740calTest, ASpreadsheetsCsvImportsAndDiffShowsBothValues) {
    writeText("sheet.csv", "\xEF\xBB\xBF\"receiver\",\"mode\",\"frequency_hz\",\"raw\",\"dbm\"\r\n"
                           "\"ZX-K740\",\"-1\",\"7100000\",\"100\",\"-73.4\"\r\n"
                           "\"ZX-K740\", -1 , 7100000 ,101, -72.9 \r\n");
    ASSERT_EQ(k740cal({"import", "a.cal", "sheet.csv"}, dir.path()).exitCode, 0);
    writeText("other.csv", "receiver,mode,frequency_hz,raw,dbm\nZX-K740,-1,7100000,100,-73.5\n"
                           "ZX-K740,3,98000000,0,-140\n");
    ASSERT_EQ(k740cal({"import", "b.cal", "other.csv"}, dir.path()).exitCode, 0);

    const ToolRun run = k740cal({"diff", "a.cal", "b.cal"}, dir.path());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out.toStdString(),
              "differs: ZX-K740, mode -1, 7100000 Hz, RAW 100: -73.4 in a.cal, -73.5 in b.cal\n"
              "differs: ZX-K740, mode -1, 7100000 Hz, RAW 101: -72.9 in a.cal, not set in "
              "b.cal\n"
              "only in b.cal: ZX-K740, mode 3, 98000000 Hz (1 entries set)\n");
}

} // namespace

namespace {

// The tool copied into a folder of its own, beside no library or a library
// lacking an entry point: it prints the binding's start-up message, each of
// its lines as one "k740cal:" line, and shows no box (there is no display).
TEST(K740calBinding, ALibraryThatCannotBeBoundIsReportedOnStandardError) {
    const struct {
        const char *library; // linked beside the copy, or none
        const char *lines;
    } cases[] = {
        {nullptr, "k740cal: Unable to load dynamic library smetersdk.dll.\n"
                  "k740cal: Application will be terminated.\n"},
        {"variants/no-putdbms/smetersdk.dll",
         "k740cal: Bad version of dynamic library smetersdk.dll or file is corrupted.\n"
         "k740cal: Application will be terminated.\n"},
    };
    for (const auto &binding : cases) {
        SCOPED_TRACE(binding.lines);
        QTemporaryDir folder;
        const QString tool = folder.filePath("k740cal");
        ASSERT_TRUE(QFile::copy(testsupport::BinDir() + "/k740cal", tool));
        if (binding.library) {
            ASSERT_TRUE(QFile::link(testsupport::BinDir() + "/" + binding.library,
                                    folder.filePath("smetersdk.dll")));
        }
        QProcess process;
        process.setWorkingDirectory(folder.path());
        process.start(tool, {"info", "any.cal"});
        ASSERT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitCode(), 1);
        EXPECT_EQ(QString::fromUtf8(process.readAllStandardError()),
                  QString::fromLatin1(binding.lines));
        EXPECT_TRUE(process.readAllStandardOutput().isEmpty());
    }
}

} // namespace
