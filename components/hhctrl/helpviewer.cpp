#include "helpviewer.h"

#include <QAction>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QSplitter>
#include <QStyle>
#include <QToolBar>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace hhctrl {

namespace {
constexpr int kLocalRole = Qt::UserRole;
}

QVariant HelpBrowser::loadResource(int type, const QUrl &name) {
    if (!file_ || name.scheme() != QLatin1String(HelpViewer::kScheme))
        return QTextBrowser::loadResource(type, name);
    if (const auto bytes = file_->Read(ChmFile::Normalise(name.path()))) {
        // Style sheets are taken as text only.
        if (type == QTextDocument::StyleSheetResource) return QString::fromUtf8(*bytes);
        return *bytes;
    }
    if (type == QTextDocument::HtmlResource)
        return QStringLiteral("<html><body><h3>Page not found</h3><p>This help file has no page "
                              "\"%1\".</p></body></html>")
            .arg(name.path().toHtmlEscaped());
    return {};
}

QUrl HelpViewer::PageUrl(const QString &local) {
    const QString path = ChmFile::Normalise(local);
    QUrl url;
    url.setScheme(QLatin1String(kScheme));
    url.setPath(path.section(QLatin1Char('#'), 0, 0));
    const QString fragment = path.section(QLatin1Char('#'), 1);
    if (!fragment.isEmpty()) url.setFragment(fragment);
    return url;
}

HelpViewer::HelpViewer(std::unique_ptr<ChmFile> file) {
    // Closing the help never ends the program that showed it, and the window
    // is gone once closed.
    setAttribute(Qt::WA_QuitOnClose, false);
    setAttribute(Qt::WA_DeleteOnClose, true);
    setObjectName(QStringLiteral("HelpViewer"));

    auto *splitter = new QSplitter(this);
    contents_ = new QTreeWidget(splitter);
    contents_->setObjectName(QStringLiteral("Contents"));
    contents_->setHeaderHidden(true);
    contents_->setColumnCount(1);
    page_ = new HelpBrowser(splitter);
    page_->setObjectName(QStringLiteral("Page"));
    page_->setOpenLinks(false);
    splitter->addWidget(contents_);
    splitter->addWidget(page_);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({230, 570});
    setCentralWidget(splitter);

    auto *bar = addToolBar(QStringLiteral("Navigation"));
    bar->setObjectName(QStringLiteral("Navigation"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    auto *back =
        bar->addAction(style()->standardIcon(QStyle::SP_ArrowBack), QStringLiteral("Back"));
    back->setObjectName(QStringLiteral("Back"));
    back->setShortcut(QKeySequence::Back);
    back->setEnabled(false);
    auto *forward =
        bar->addAction(style()->standardIcon(QStyle::SP_ArrowForward), QStringLiteral("Forward"));
    forward->setObjectName(QStringLiteral("Forward"));
    forward->setShortcut(QKeySequence::Forward);
    forward->setEnabled(false);
    auto *home =
        bar->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon), QStringLiteral("Home"));
    home->setObjectName(QStringLiteral("Home"));

    connect(back, &QAction::triggered, page_, &QTextBrowser::backward);
    connect(forward, &QAction::triggered, page_, &QTextBrowser::forward);
    connect(home, &QAction::triggered, this, [this] { showTopic(QString()); });
    connect(page_, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(page_, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
    connect(page_, &QTextBrowser::anchorClicked, this, &HelpViewer::followLink);
    connect(page_, &QTextBrowser::sourceChanged, this, &HelpViewer::selectContentsFor);
    connect(contents_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *item) {
        if (syncing_ || !item) return;
        const QString local = item->data(0, kLocalRole).toString();
        if (!local.isEmpty()) page_->setSource(PageUrl(local));
    });

    resize(800, 600);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    setFile(std::move(file));
}

HelpViewer::~HelpViewer() {
    page_->setFile(nullptr);
}

void HelpViewer::setFile(std::unique_ptr<ChmFile> file) {
    page_->setFile(file.get());
    file_ = std::move(file);
    page_->clearHistory();
    page_->clear();
    setWindowTitle(file_->title());
    fillContents();
}

void HelpViewer::fillContents() {
    syncing_ = true;
    contents_->clear();
    struct Filler {
        static void add(QTreeWidgetItem *parent, QTreeWidget *tree,
                        const std::vector<TocEntry> &entries) {
            for (const TocEntry &entry : entries) {
                auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree);
                item->setText(0, entry.name);
                item->setData(0, kLocalRole, entry.local);
                add(item, tree, entry.children);
            }
        }
    };
    Filler::add(nullptr, contents_, file_->contents());
    contents_->expandAll();
    syncing_ = false;
}

void HelpViewer::showTopic(const QString &local) {
    page_->setSource(PageUrl(local.isEmpty() ? file_->defaultTopic() : local));
}

void HelpViewer::followLink(const QUrl &url) {
    if (url.scheme() == QLatin1String(kScheme) || url.scheme().isEmpty()) {
        page_->setSource(url);
        return;
    }
    // Web and mail addresses belong to the desktop's programs.
    QDesktopServices::openUrl(url);
}

void HelpViewer::selectContentsFor(const QUrl &url) {
    const QString path = ChmFile::Normalise(url.path());
    QTreeWidgetItem *match = nullptr;
    for (QTreeWidgetItemIterator it(contents_); *it && !match; ++it) {
        if (ChmFile::Normalise(
                (*it)->data(0, kLocalRole).toString().section(QLatin1Char('#'), 0, 0)) == path)
            match = *it;
    }
    if (!match) return;
    syncing_ = true;
    contents_->setCurrentItem(match);
    syncing_ = false;
}

} // namespace hhctrl
