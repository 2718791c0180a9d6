// The help viewer component driven through its C interface, on the help file
// the build compiles.
#include "hhctrl.h"
#include "hhctrl_test.h"
#include "support/testsupport.h"

#include <QAction>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <dlfcn.h>
#include <gtest/gtest.h>

namespace {

struct Component {
    Component() {
        library =
            dlopen((testsupport::BinDir() + "/" HHCTRL_FILE_NAME).toUtf8().constData(), RTLD_NOW);
        help = library ? reinterpret_cast<HtmlHelpAFn>(dlsym(library, "HtmlHelpA")) : nullptr;
        lastError = library ? reinterpret_cast<HhctrlLastErrorFn>(dlsym(library, "HhctrlLastError"))
                            : nullptr;
    }
    ~Component() {
        if (help) help(0, nullptr, HH_CLOSE_ALL, 0);
        if (library) dlclose(library);
    }
    intptr_t Display(const QString &file) {
        return help(0, QFile::encodeName(file).constData(), HH_DISPLAY_TOPIC, 0);
    }
    QString LastError() {
        char text[512] = {};
        lastError(text, sizeof text);
        return QString::fromUtf8(text);
    }
    void *library = nullptr;
    HtmlHelpAFn help = nullptr;
    HhctrlLastErrorFn lastError = nullptr;
};

QString HelpFile() {
    return testsupport::BinDir() + "/K740scalib.chm";
}

// Anchors and image names of the page shown.
void PageReferences(const QTextBrowser &page, QStringList &links, QStringList &images) {
    for (QTextBlock block = page.document()->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isImageFormat())
                images << format.toImageFormat().name();
            else if (format.isAnchor() && !format.anchorHref().isEmpty())
                links << format.anchorHref();
        }
}

TEST(HhctrlTest, InitialiseAnswersACookie) {
    Component c;
    ASSERT_NE(c.help, nullptr);
    uint32_t cookie = 0;
    EXPECT_EQ(c.help(0, nullptr, HH_INITIALIZE, reinterpret_cast<uintptr_t>(&cookie)), 1);
    EXPECT_NE(cookie, 0u);
    EXPECT_EQ(c.help(0, nullptr, 12345, 0), 0);
}

TEST(HhctrlTest, ShowsTheHelpFileWithEveryPageImageAndLinkInPlace) {
    Component c;
    const intptr_t handle = c.Display(HelpFile());
    ASSERT_NE(handle, 0) << c.LastError().toStdString();
    QWidget *viewer = QWidget::find(WId(handle));
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(viewer->windowTitle(), QStringLiteral("S-Meter Calibrator for ZX-K740 Help"));
    auto *contents = viewer->findChild<QTreeWidget *>(QStringLiteral("Contents"));
    auto *page = viewer->findChild<QTextBrowser *>(QStringLiteral("Page"));
    ASSERT_TRUE(contents && page);
    ASSERT_GT(contents->topLevelItemCount(), 0);
    EXPECT_EQ(c.Display(HelpFile()), handle); // the one window, raised

    // Every contents entry opens a page of the file, and every image and
    // link on it resolves inside the file.
    int pages = 0, images = 0;
    for (QTreeWidgetItemIterator it(contents); *it; ++it) {
        SCOPED_TRACE((*it)->text(0).toStdString());
        contents->setCurrentItem(*it);
        ++pages;
        EXPECT_EQ(page->source().scheme(), QStringLiteral("chm"));
        EXPECT_FALSE(page->toPlainText().contains(QStringLiteral("Page not found")));
        QStringList linkNames, imageNames;
        PageReferences(*page, linkNames, imageNames);
        for (const QString &name : imageNames) {
            const QVariant data =
                page->loadResource(QTextDocument::ImageResource, page->source().resolved(name));
            EXPECT_FALSE(QImage::fromData(data.toByteArray()).isNull()) << name.toStdString();
            ++images;
        }
        for (const QString &name : linkNames) {
            const QUrl target = page->source().resolved(name);
            if (target.scheme() != QLatin1String("chm")) continue;
            EXPECT_EQ(page->loadResource(QTextDocument::HtmlResource, target).userType(),
                      QMetaType::QByteArray)
                << name.toStdString();
        }
    }
    EXPECT_GT(pages, 1);
    EXPECT_GT(images, 0);

    // A click on the default page's first link follows it; back and forward.
    viewer->findChild<QAction *>(QStringLiteral("Home"))->trigger();
    const QUrl home = page->source();
    QTextCursor cursor(page->document());
    QString href;
    while (!cursor.atEnd() && href.isEmpty()) {
        cursor.movePosition(QTextCursor::NextCharacter);
        href = cursor.charFormat().anchorHref();
    }
    ASSERT_FALSE(href.isEmpty());
    cursor.movePosition(QTextCursor::NextCharacter);
    page->ensureCursorVisible();
    page->setTextCursor(cursor);
    page->ensureCursorVisible();
    const QPoint at = page->cursorRect(cursor).center() - QPoint(3, 0);
    QTest::mouseClick(page->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(page->source(), home.resolved(href));
    viewer->findChild<QAction *>(QStringLiteral("Back"))->trigger();
    EXPECT_EQ(page->source(), home);
    viewer->findChild<QAction *>(QStringLiteral("Forward"))->trigger();
    EXPECT_EQ(page->source(), home.resolved(href));

    if (qEnvironmentVariableIsSet("K740_SCREENSHOT"))
        viewer->grab().save(qEnvironmentVariable("K740_SCREENSHOT") + "/helpviewer.png");
    EXPECT_EQ(c.help(0, nullptr, HH_CLOSE_ALL, 0), 1);
    EXPECT_EQ(QWidget::find(WId(handle)), nullptr);
}

TEST(HhctrlTest, RefusesFilesItCannotReadWithoutAWindow) {
    Component c;
    QFile good(HelpFile());
    ASSERT_TRUE(good.open(QIODevice::ReadOnly));
    const QByteArray bytes = good.readAll();
    QTemporaryDir temp;
    struct Row {
        QString name;
        QByteArray content;
    };
    std::vector<Row> rows{
        {"text", "<html>not compiled</html>"}, {"empty", ""}, {"header-only", bytes.left(96)}};
    // Cut anywhere, down to the last byte.
    for (int eighth = 1; eighth < 8; ++eighth)
        rows.push_back(
            {QStringLiteral("cut-%1-of-8").arg(eighth), bytes.left(bytes.size() * eighth / 8)});
    rows.push_back({"all-but-last-byte", bytes.left(bytes.size() - 1)});
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name.toStdString());
        QFile file(temp.filePath(row.name + ".chm"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(row.content);
        file.close();
        EXPECT_EQ(c.Display(file.fileName()), 0);
        EXPECT_TRUE(c.LastError().contains(file.fileName()));
        for (QWidget *window : QApplication::topLevelWidgets())
            EXPECT_NE(window->objectName(), QStringLiteral("HelpViewer"));
    }
    EXPECT_EQ(c.Display(temp.filePath("missing.chm")), 0);
    EXPECT_EQ(c.help(0, nullptr, HH_DISPLAY_TOPIC, 0), 0);
    EXPECT_FALSE(c.LastError().isEmpty());
}

} // namespace
