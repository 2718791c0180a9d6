// The CSV form of translation tables: every refusal with its place, what a
// spreadsheet writes, exact round trips, the editor's table files and the
// point list's export through the real library.
#include "calibration/caltransfer.h"
#include "platform/libraryloader.h"
#include "support/testsupport.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace {

TDbmTable randomTable(std::mt19937_64 &random) {
    std::uniform_real_distribution<double> dbm(-140.0, 0.0);
    TDbmTable table{};
    for (double &value : table)
        value = random() % 5 == 0 ? 0.0 : dbm(random);
    return table;
}

bool sameBits(const TDbmTable &a, const TDbmTable &b) {
    return std::memcmp(a.data(), b.data(), sizeof a) == 0;
}

TEST(CalCsv, RefusesEachFaultWithItsLineAndColumn) {
    const QByteArray header = "receiver,mode,frequency_hz,raw,dbm\n";
    const QByteArray good = "ZX-K740,-1,7100000,100,-73.4\n";
    struct Case {
        QByteArray text;
        bool table; // read as the editor's file for ZX-K740, -1, 7100000 Hz
        const char *error;
    };
    const Case cases[] = {
        {"", false, "f.csv:1:1: no header line; expected \"receiver,mode,frequency_hz,raw,dbm\""},
        {"receiver,mode,frequency,raw,dbm\n", false,
         "f.csv:1:15: wrong header: expected \"receiver,mode,frequency_hz,raw,dbm\""},
        {"receiver,mode,frequency_hz,raw\n", false,
         "f.csv:1:31: wrong header: expected \"receiver,mode,frequency_hz,raw,dbm\""},
        {header + good + "ZX-K740,-1,7100000,101\n", false, "f.csv:3:23: missing field \"dbm\""},
        {header + "ZX-K740,-1,7100000,101,-7,\n", false, "f.csv:2:27: extra field"},
        {header + "ZX-K740,-1,7100000,256,-7\n", false,
         "f.csv:2:20: RAW value \"256\" is outside 0..255"},
        {header + "ZX-K740,-1,7100000,-1,-7\n", false,
         "f.csv:2:20: RAW value \"-1\" is not a whole number"},
        {header + "ZX-K740,-1,7100000,1,-140.5\n", false,
         "f.csv:2:22: dBm value \"-140.5\" is outside -140..0"},
        {header + "ZX-K740,-1,7100000,1,0.1\n", false,
         "f.csv:2:22: dBm value \"0.1\" is outside -140..0"},
        {header + "ZX-K740,-1,7100000,1,-7,3\n", false, "f.csv:2:25: extra field"},
        {header + "ZX-K740,-1,7100000,1,nan\n", false,
         "f.csv:2:22: dBm value \"nan\" is not a number"},
        {header + "ZX-K740,-1,7100000.5,1,-7\n", false,
         "f.csv:2:12: frequency \"7100000.5\" is not a whole number of hertz"},
        {header + "ZX-K740,-1,18446744073709551616,1,-7\n", false,
         "f.csv:2:12: frequency \"18446744073709551616\" is out of range"},
        {header + "ZX-K999,-1,7100000,1,-7\n", false,
         "f.csv:2:1: unknown receiver name \"ZX-K999\""},
        {header + "ZX-K740,8,7100000,1,-7\n", false, "f.csv:2:9: unknown mode code 8"},
        {header + "ZX-K740,x,7100000,1,-7\n", false,
         "f.csv:2:9: mode code \"x\" is not a whole number"},
        {header + good + "\n" + good, false,
         "f.csv:4:20: duplicate entry: RAW 100 of ZX-K740, mode -1, 7100000 Hz is also on line 2"},
        {header + "\"ZX-K740,-1,7100000,1,-7\n", false,
         "f.csv:2:1: quoted field has no closing quote"},
        {header + "\"ZX-K740\"x,-1,7100000,1,-7\n", false,
         "f.csv:2:10: text after the closing quote"},
        // Columns count characters: the "é" is two bytes.
        {header + "ZX-K740é,-1,7100000,1,-7\n", false,
         "f.csv:2:1: unknown receiver name \"ZX-K740é\""},
        {header + "\"é\",-1,7100000,1,-7,9\n", false, "f.csv:2:21: extra field"},
        // Counted before they are split: refused at the first surplus field.
        {header + "ZX-K740,-1,7100000,1,-7" + QByteArray(20'000'000, ',') + "\n", false,
         "f.csv:2:25: extra field"},
        {header + "ZX-K740,-1,7100000,1,-7,x,\"never closed\n", false, "f.csv:2:25: extra field"},
        {"raw,dbm" + QByteArray(5'000'000, ',') + "\n", true,
         "f.csv:1:9: wrong header: expected \"raw,dbm\", optionally after receiver, mode and "
         "frequency_hz"},
        // Control bytes are shown escaped: a NUL does not end the message.
        {header + QByteArray("ZX\0K740,-1,7100000,1,-7\n", 24), false,
         "f.csv:2:1: unknown receiver name \"ZX\\0K740\""},
        {header + "ZX-K740,\x1b[2J\x7f,7100000,1,-7\n", false,
         "f.csv:2:9: mode code \"\\x1b[2J\\x7f\" is not a whole number"},
        {"raw\n", true,
         "f.csv:1:4: wrong header: expected \"raw,dbm\", optionally after receiver, mode and "
         "frequency_hz"},
        {"dbm,raw\n", true,
         "f.csv:1:5: wrong header: expected \"raw,dbm\", optionally after receiver, mode and "
         "frequency_hz"},
        {"frequency_hz,raw,dbm\n7200000,1,-7\n", true,
         "f.csv:2:1: frequency 7200000 Hz is not the edited point's frequency 7100000 Hz"},
        {"mode,raw,dbm\n3,1,-7\n", true, "f.csv:2:1: mode 3 is not the edited point's mode -1"},
        {"receiver,raw,dbm\nZX-K600,1,-7\n", true,
         "f.csv:2:1: receiver \"ZX-K600\" is not the edited point's receiver \"ZX-K740\""},
        {"raw,dbm\n1,-7\n1,-8\n", true, "f.csv:3:1: duplicate entry: RAW 1 is also on line 2"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text.left(80).toStdString());
        QString error;
        std::vector<TCsvTable> tables(1);
        TDbmTable table{};
        table[7] = -7.0;
        const bool read =
            c.table ? CalCsv::ParseTable(c.text, "f.csv", {"ZX-K740", -1, 7100000}, table, error)
                    : CalCsv::Parse(c.text, "f.csv", tables, error);
        EXPECT_FALSE(read);
        EXPECT_EQ(error.toStdString(), c.error);
        // Nothing of a refused file is taken.
        EXPECT_EQ(tables.size(), 1u);
        EXPECT_EQ(tables[0].Receiver, QByteArray());
        EXPECT_EQ(table[7], -7.0);
        EXPECT_EQ(table[1], 0.0);
    }
}

TEST(CalCsv, ReadsWhatASpreadsheetWrites) {
    const QByteArray text = "\xEF\xBB\xBF\"receiver\",\"mode\",\"frequency_hz\",\"raw\",\"dbm\"\r\n"
                            "\"ZX-K740\", -1 ,\"7100000\",0,\"-73.4\"\r\n"
                            " ZX-K740 ,-1,7100000.00,255,-1.5e1\r\n"
                            "\r\n"
                            "\"ZX-K7\"\"40\",3,98000000,1,-140\r\n";
    QString error;
    std::vector<TCsvTable> tables;
    // A doubled quote is a quote: that name is not in the model table.
    ASSERT_FALSE(CalCsv::Parse(text, "s.csv", tables, error));
    EXPECT_EQ(error, "s.csv:5:1: unknown receiver name \"ZX-K7\"40\"");

    ASSERT_TRUE(CalCsv::Parse(QByteArray(text).replace("K7\"\"40", "K740"), "s.csv", tables, error))
        << error.toStdString();
    ASSERT_EQ(tables.size(), 2u);
    EXPECT_EQ(tables[0].Receiver, "ZX-K740");
    EXPECT_EQ(tables[0].Mode, -1);
    EXPECT_EQ(tables[0].Frequency, 7100000u);
    EXPECT_EQ(tables[0].Values[0], -73.4);
    EXPECT_EQ(tables[0].Values[255], -15.0);
    EXPECT_EQ(std::count(tables[0].Values.begin(), tables[0].Values.end(), 0.0), 254);
    EXPECT_EQ(tables[1].Mode, 3);
    EXPECT_EQ(tables[1].Values[1], -140.0);
}

TEST(CalCsv, WritesShortestTextsAndReadsBackTheSameBits) {
    std::mt19937_64 random(15);
    std::vector<TCsvTable> tables;
    for (uint64_t frequency : {uint64_t(0), uint64_t(7100000), ~uint64_t(0)}) {
        TCsvTable &table = tables.emplace_back();
        table.Receiver = "ZX-K740";
        table.Mode = int32_t(frequency % 7) - 1;
        table.Frequency = frequency;
        table.Values = randomTable(random);
    }
    tables[0].Values[0] = -73.4;
    tables[0].Values[1] = -140.0;
    tables[0].Values[2] = -0.1 + -0.2;
    tables[0].Values[3] = -5e-324;
    const QByteArray csv = CalCsv::Write(tables);
    EXPECT_TRUE(csv.startsWith("receiver,mode,frequency_hz,raw,dbm\n"
                               "ZX-K740,-1,0,0,-73.4\n"
                               "ZX-K740,-1,0,1,-140\n"
                               "ZX-K740,-1,0,2,-0.30000000000000004\n"
                               "ZX-K740,-1,0,3,-0.0000"));
    EXPECT_FALSE(csv.mid(int(sizeof CalCsv::kHeader)).contains('e'));

    std::vector<TCsvTable> read;
    QString error;
    ASSERT_TRUE(CalCsv::Parse(csv, "w.csv", read, error)) << error.toStdString();
    ASSERT_EQ(read.size(), tables.size());
    for (std::size_t i = 0; i < read.size(); ++i) {
        EXPECT_EQ(read[i].Frequency, tables[i].Frequency);
        EXPECT_EQ(read[i].Mode, tables[i].Mode);
        EXPECT_TRUE(sameBits(read[i].Values, tables[i].Values)) << i;
    }
}

TEST(CalCsv, EditorTableFilesAndThePointListExport) {
    QTemporaryDir dir;
    std::mt19937_64 random(7);
    const TDbmTable table = randomTable(random);
    const QString path = dir.filePath("table.csv");
    QString error;
    ASSERT_TRUE(CalCsv::ExportTableCsv(path, table, error)) << error.toStdString();
    TDbmTable read{};
    ASSERT_TRUE(CalCsv::ImportTableCsv(path, "ZX-K740", 3, 98000000, read, error));
    EXPECT_TRUE(sameBits(read, table));
    EXPECT_FALSE(CalCsv::ImportTableCsv(dir.filePath("none.csv"), "ZX-K740", 3, 1, read, error));
    EXPECT_EQ(error, dir.filePath("none.csv") + ": no such file");
    EXPECT_FALSE(CalCsv::ExportTableCsv(dir.filePath("no/such/folder.csv"), table, error));
    EXPECT_TRUE(error.startsWith(dir.filePath("no/such/folder.csv") + ": cannot write"));

    // The point list's export goes through the library: a whole-format file
    // of the points of one receiver and mode, which the editor takes for
    // each of its points.
    platform::SetLibrarySearchFolder(testsupport::BinDir());
    testsupport::MessageBoxRecorder boxes;
    Smsdk sdk;
    ASSERT_TRUE(sdk.Load());
    platform::SetLibrarySearchFolder(QString());
    const int32_t cal = sdk.LoadCALFile(nullptr);
    ASSERT_EQ(sdk.PutDBMs(cal, "ZX-K740", -1, 7100000, table.data()), SMS_OK);
    ASSERT_EQ(sdk.PutDBMs(cal, "ZX-K740", 3, 98000000, table.data()), SMS_OK);
    const QString all = dir.filePath("all.csv");
    ASSERT_TRUE(CalTransfer::ExportPointsCsv(all, cal, "ZX-K740", -1, error, sdk));
    ASSERT_TRUE(CalCsv::ImportTableCsv(all, "ZX-K740", -1, 7100000, read, error));
    EXPECT_TRUE(sameBits(read, table));
    EXPECT_FALSE(CalCsv::ImportTableCsv(all, "ZX-K740", -1, 7200000, read, error));
    // A handle that names no set: the library's message, with the point.
    EXPECT_FALSE(CalTransfer::ReadTable(sdk, cal + 1000, {"ZX-K740", -1, 7100000}, read, error));
    EXPECT_EQ(error, "ZX-K740, mode -1, 7100000 Hz: Invalid CAL handle.");
    EXPECT_TRUE(boxes.boxes.empty());
    sdk.Unload(cal);
}

} // namespace
