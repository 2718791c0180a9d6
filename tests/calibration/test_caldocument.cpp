// The calibration document without any window, against the real library:
// every failure answers the library's message and leaves the document as it
// was. Nothing shows a message box (the windows' tests see its success road).
#include "calibration/caldocument.h"
#include "platform/libraryloader.h"
#include "support/testsupport.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace {

class DocumentTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::SetLibrarySearchFolder(testsupport::BinDir());
        ASSERT_TRUE(Smsdk::Instance().Load().Ok());
    }
    void TearDown() override {
        document.Close();
        platform::SetLibrarySearchFolder(QString());
        EXPECT_TRUE(boxes.boxes.empty());
    }
    QString Path(const QString &name) const { return folder.filePath(name); }
    static TDbmTable Filled(double value) {
        TDbmTable table;
        table.fill(value);
        return table;
    }

    testsupport::MessageBoxRecorder boxes;
    QTemporaryDir folder;
    TCalDocument document;
};

struct Flags {
    bool loaded, newFile, modified;
    QString file;
    bool operator==(const Flags &) const = default;
};

Flags FlagsOf(const TCalDocument &document) {
    return {document.IsLoaded(), document.IsNewFile(), document.IsModified(),
            QFileInfo(document.FileName()).fileName()};
}

// Each refusal answers the text the user is to read and changes nothing.
TEST_F(DocumentTest, FailuresAnswerTheLibrarysMessageAndKeepTheDocument) {
    document.New();
    ASSERT_TRUE(document.WriteTable(-1, 7100000, Filled(-80.0)).Ok());
    ASSERT_TRUE(document.Save(Path("kept.cal")).Ok());
    {
        QFile bad(Path("bad.cal"));
        ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
        bad.write("not a calibration file");
    }
    TDbmTable read{};
    TDbmTable outOfRange = Filled(-80.0);
    outOfRange[3] = -150.0;
    const struct {
        const char *what;
        std::function<platform::TResult()> act;
        const char *message;
    } refusals[] = {
        {"open of a missing file", [&] { return document.Open(Path("missing.cal")); },
         "Error during loading CAL file to memory."},
        {"open of a damaged file", [&] { return document.Open(Path("bad.cal")); },
         "Error during loading CAL file to memory."},
        {"save into a missing folder", [&] { return document.Save(Path("no/such.cal")); },
         "Error during writing calibration table to file."},
        {"a value out of range", [&] { return document.WriteTable(-1, 7100000, outOfRange); },
         "Was found an dBm value in array that is out of range -140 - 0"},
        {"deleting a missing point", [&] { return document.DeletePoint(-1, 7100001); },
         "Frequency not found in table."},
        {"reading a missing point", [&] { return document.ReadTable(-1, 7100001, read); },
         "Specified frequency is not found in calibration table."},
    };
    for (const auto &refusal : refusals) {
        SCOPED_TRACE(refusal.what);
        const platform::TResult result = refusal.act();
        EXPECT_FALSE(result.Ok());
        EXPECT_EQ(result.Message(), QString::fromLatin1(refusal.message));
        EXPECT_EQ(FlagsOf(document), (Flags{true, true, false, "kept.cal"}));
        EXPECT_EQ(document.Points(-1), std::vector<std::uint64_t>{7100000});
        EXPECT_EQ(document.Dbm(-1, 7100000, 3), -80.0);
    }
}

} // namespace
