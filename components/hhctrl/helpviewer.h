// The viewer window of hhctrl.ocx: the help file's contents tree on the
// left, its pages on the right, back, forward and home above them. A window
// of its own that never ends the program when it closes.
#pragma once

#include "chmfile.h"

#include <QMainWindow>
#include <QTextBrowser>

#include <memory>

class QTreeWidget;
class QTreeWidgetItem;

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

private:
    void fillContents();
    void followLink(const QUrl &url);
    void selectContentsFor(const QUrl &url);

    std::unique_ptr<ChmFile> file_;
    QTreeWidget *contents_ = nullptr;
    HelpBrowser *page_ = nullptr;
    bool syncing_ = false;
};

} // namespace hhctrl
