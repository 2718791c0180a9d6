// The viewer window of hhctrl.ocx: the help file's contents tree on the
// left, its pages on the right, back, forward and home above them, and a
// find bar below (Ctrl+F). A window of its own that never ends the program
// when it closes; Escape and Ctrl+W close it.
#pragma once

#include "chmfile.h"

#include <QMainWindow>
#include <QTextBrowser>
#include <QTextDocument>

#include <memory>

class QLabel;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace hhctrl {

// A page view that reads every page and image from the open help file.
class HelpBrowser : public QTextBrowser {
    Q_OBJECT
public:
    explicit HelpBrowser(QWidget *parent = nullptr) : QTextBrowser(parent) {}
    void setFile(const ChmFile *file) { file_ = file; }
    QVariant loadResource(int type, const QUrl &name) override;

private:
    const ChmFile *file_ = nullptr;
};

class HelpViewer : public QMainWindow {
    Q_OBJECT
public:
    // The scheme of the pages' addresses: "chm:/pages/intro.html".
    static constexpr const char *kScheme = "chm";

    explicit HelpViewer(std::unique_ptr<ChmFile> file);
    ~HelpViewer() override;

    const ChmFile &file() const { return *file_; }
    // Shows another help file in this window; its history starts afresh.
    void setFile(std::unique_ptr<ChmFile> file);
    // Goes to a page of the file ("/a.html#part"); the default topic when empty.
    void showTopic(const QString &local);

    static QUrl PageUrl(const QString &local);

    // Where a viewer of `size` opens next to the window `beside` on a
    // screen whose free area is `available`: right of it where the whole
    // viewer fits, else left of it, else over it; its top at the window's,
    // and always inside the free area as far as the size allows.
    static QPoint PlaceBeside(const QRect &beside, QSize size, const QRect &available);
    // Opens the find bar with the focus in its text.
    void startFind();
    // Finds the text of the find bar from the cursor on, forwards or
    // backwards, going round the page's end; false when the page lacks it.
    bool findNext(bool backwards = false);

private:
    void buildFindBar();
    // Escape: closes the find bar while the focus is in it, else the window.
    void escape();
    void fillContents();
    void followLink(const QUrl &url);
    void selectContentsFor(const QUrl &url);

    std::unique_ptr<ChmFile> file_;
    QTreeWidget *contents_ = nullptr;
    HelpBrowser *page_ = nullptr;
    QWidget *findBar_ = nullptr;
    QLineEdit *findText_ = nullptr;
    QLabel *findStatus_ = nullptr;
    bool syncing_ = false;
};

} // namespace hhctrl
