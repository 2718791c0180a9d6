// The windows' CSV commands: the file dialogs they ask, the files they read
// and write, and the error box of a refusal or a failed write.
#include "dialogs/tablecsv.h"
#include "platform/libraryloader.h"
#include "support/testsupport.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using platform::FileDialogRequest;

QByteArray bytesOf(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeText(const QString &path, const QByteArray &text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

void expectRequest(const FileDialogRequest &request, FileDialogRequest::Kind kind,
                   const QString &title, const QString &fileName, QWidget *owner) {
    EXPECT_EQ(request.kind, kind);
    EXPECT_EQ(request.title, title);
    EXPECT_EQ(request.filter, "CSV Files (*.csv)");
    EXPECT_EQ(request.defaultSuffix, "csv");
    EXPECT_EQ(request.fileName, fileName);
    EXPECT_EQ(request.owner.data(), owner);
}

TEST(TableCsv, EditorImportAndExport) {
    QTemporaryDir dir;
    QWidget owner;
    const TCsvPoint point{"ZX-K740", 3, 98000000};
    TDbmTable table{};
    table[5] = -50.5;
    table[255] = -0.1;

    {
        testsupport::FileDialogRecorder dialogs({dir.filePath("t.csv"), ""});
        testsupport::MessageBoxRecorder boxes;
        ASSERT_TRUE(TableCsv::ExportTable(&owner, point, table));
        EXPECT_FALSE(TableCsv::ExportTable(&owner, point, table));
        ASSERT_EQ(dialogs.requests.size(), 2u);
        expectRequest(dialogs.requests[0], FileDialogRequest::Save, "Export Table as CSV",
                      "ZX-K740 3 98000000 Hz.csv", &owner);
        EXPECT_EQ(bytesOf(dir.filePath("t.csv")), "raw,dbm\n5,-50.5\n255,-0.1\n");
        EXPECT_TRUE(boxes.boxes.empty());
    }

    writeText(dir.filePath("other.csv"), "frequency_hz,raw,dbm\n7100000,1,-1\n");
    struct Case {
        QString answer;
        bool imported;
        QString box;
    };
    const Case cases[] = {
        {"", false, ""},
        {dir.filePath("t.csv"), true, ""},
        {dir.filePath("other.csv"), false,
         dir.filePath("other.csv") +
             ":2:1: frequency 7100000 Hz is not the edited point's frequency 98000000 Hz"},
        {dir.filePath("none.csv"), false, dir.filePath("none.csv") + ": no such file"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.answer.toStdString());
        testsupport::FileDialogRecorder dialogs({c.answer});
        testsupport::MessageBoxRecorder boxes;
        TDbmTable edited{};
        edited[7] = -7.0;
        EXPECT_EQ(TableCsv::ImportTable(&owner, point, edited), c.imported);
        ASSERT_EQ(dialogs.requests.size(), 1u);
        expectRequest(dialogs.requests[0], FileDialogRequest::Open, "Import Table from CSV", "",
                      &owner);
        EXPECT_EQ(edited == table, c.imported);
        if (!c.imported) {
            EXPECT_EQ(edited[7], -7.0);
        }
        ASSERT_EQ(boxes.boxes.size(), c.box.isEmpty() ? 0u : 1u);
        if (c.box.isEmpty()) continue;
        EXPECT_EQ(boxes.boxes[0].text.toStdString(), c.box.toStdString());
        EXPECT_EQ(boxes.boxes[0].title, "Error");
        EXPECT_EQ(boxes.boxes[0].icon, QMessageBox::Critical);
        EXPECT_EQ(boxes.boxes[0].owner.data(), &owner);
    }
}

TEST(TableCsv, PointListExportsEveryPointOfTheCalibrationMode) {
    QTemporaryDir dir;
    QWidget owner;
    testsupport::MessageBoxRecorder boxes;
    platform::SetLibrarySearchFolder(testsupport::BinDir());
    Smsdk &sdk = Smsdk::Instance();
    ASSERT_TRUE(sdk.Load());
    platform::SetLibrarySearchFolder(QString());
    const int32_t cal = sdk.LoadCALFile(nullptr);
    TDbmTable table{};
    table[0] = -140.0;
    for (uint64_t frequency : {7100000u, 14200000u})
        ASSERT_EQ(sdk.PutDBMs(cal, "ZX-K740", -1, frequency, table.data()), SMS_OK);
    ASSERT_EQ(sdk.PutDBMs(cal, "ZX-K740", 3, 98000000, table.data()), SMS_OK);

    testsupport::FileDialogRecorder dialogs(
        {dir.filePath("all.csv"), "", dir.filePath("no/folder.csv")});
    ASSERT_TRUE(TableCsv::ExportPoints(&owner, cal, "ZX-K740", -1, dir.filePath("a.cal")));
    EXPECT_EQ(bytesOf(dir.filePath("all.csv")), "receiver,mode,frequency_hz,raw,dbm\n"
                                                "ZX-K740,-1,7100000,0,-140\n"
                                                "ZX-K740,-1,14200000,0,-140\n");
    EXPECT_FALSE(TableCsv::ExportPoints(&owner, cal, "ZX-K740", -1, "New.cal"));
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_FALSE(TableCsv::ExportPoints(&owner, cal, "ZX-K740", -1, ""));
    ASSERT_EQ(dialogs.requests.size(), 3u);
    expectRequest(dialogs.requests[0], FileDialogRequest::Save, "Export All Points as CSV",
                  dir.filePath("a.csv"), &owner);
    EXPECT_EQ(dialogs.requests[1].fileName, "New.csv");
    EXPECT_EQ(dialogs.requests[2].fileName, "New.csv");
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_TRUE(boxes.boxes[0].text.startsWith(dir.filePath("no/folder.csv") + ": cannot write"));
    sdk.Unload(cal);
}

} // namespace
