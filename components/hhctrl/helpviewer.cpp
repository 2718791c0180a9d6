#include "helpviewer.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QSplitter>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

#include <algorithm>

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

    auto *central = new QWidget(this);
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto *splitter = new QSplitter(central);
    column->addWidget(splitter, 1);
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
    buildFindBar();
    column->addWidget(findBar_);
    setCentralWidget(central);

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

    // Keys of a desktop window that has no window manager's frame to close
    // it with.
    auto *closing = new QAction(QStringLiteral("Close"), this);
    closing->setObjectName(QStringLiteral("Close"));
    QList<QKeySequence> closeKeys{QKeySequence(Qt::CTRL | Qt::Key_W)};
    for (const QKeySequence &key : QKeySequence::keyBindings(QKeySequence::Close))
        if (!closeKeys.contains(key)) closeKeys << key;
    closing->setShortcuts(closeKeys);
    connect(closing, &QAction::triggered, this, &QWidget::close);
    addAction(closing);
    auto *escaping = new QAction(QStringLiteral("Escape"), this);
    escaping->setObjectName(QStringLiteral("Escape"));
    escaping->setShortcut(QKeySequence(Qt::Key_Escape));
    connect(escaping, &QAction::triggered, this, &HelpViewer::escape);
    addAction(escaping);
    auto *finding = new QAction(QStringLiteral("Find"), this);
    finding->setObjectName(QStringLiteral("Find"));
    finding->setShortcut(QKeySequence::Find);
    connect(finding, &QAction::triggered, this, &HelpViewer::startFind);
    addAction(finding);

    resize(800, 600);
    // Beside the window that asked for help (the active one), else centred.
    const QWidget *asking = QApplication::activeWindow();
    const QScreen *screen = asking ? asking->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        const QRect available = screen->availableGeometry();
        if (asking)
            move(PlaceBeside(asking->frameGeometry(), frameGeometry().size(), available));
        else
            move(available.center() - rect().center());
    }
    setFile(std::move(file));
}

QPoint HelpViewer::PlaceBeside(const QRect &beside, QSize size, const QRect &available) {
    constexpr int kGap = 8;
    int left;
    if (beside.right() + 1 + kGap + size.width() <= available.right() + 1)
        left = beside.right() + 1 + kGap;
    else if (beside.left() - kGap - size.width() >= available.left())
        left = beside.left() - kGap - size.width();
    else
        left = beside.left() + (beside.width() - size.width()) / 2;
    // Inside the free area; a viewer larger than it keeps its top-left
    // corner there.
    left = std::max(available.left(), std::min(left, available.right() + 1 - size.width()));
    const int top =
        std::max(available.top(), std::min(beside.top(), available.bottom() + 1 - size.height()));
    return QPoint(left, top);
}

void HelpViewer::buildFindBar() {
    findBar_ = new QWidget(this);
    findBar_->setObjectName(QStringLiteral("FindBar"));
    auto *row = new QHBoxLayout(findBar_);
    row->setContentsMargins(6, 4, 6, 4);
    row->addWidget(new QLabel(QStringLiteral("Find:"), findBar_));
    findText_ = new QLineEdit(findBar_);
    findText_->setObjectName(QStringLiteral("FindText"));
    findText_->setClearButtonEnabled(true);
    row->addWidget(findText_, 1);
    auto *previous = new QToolButton(findBar_);
    previous->setObjectName(QStringLiteral("FindPrevious"));
    previous->setText(QStringLiteral("Previous"));
    row->addWidget(previous);
    auto *next = new QToolButton(findBar_);
    next->setObjectName(QStringLiteral("FindNext"));
    next->setText(QStringLiteral("Next"));
    row->addWidget(next);
    findStatus_ = new QLabel(findBar_);
    findStatus_->setObjectName(QStringLiteral("FindStatus"));
    row->addWidget(findStatus_);
    findBar_->hide();

    // Typing looks for the text from where the last match began; Enter goes
    // on to the next one, Shift+Enter back to the previous one.
    connect(findText_, &QLineEdit::textEdited, this, [this] {
        QTextCursor cursor = page_->textCursor();
        cursor.setPosition(cursor.selectionStart());
        page_->setTextCursor(cursor);
        findNext();
    });
    connect(findText_, &QLineEdit::returnPressed, this,
            [this] { findNext(QApplication::keyboardModifiers() & Qt::ShiftModifier); });
    connect(previous, &QToolButton::clicked, this, [this] { findNext(true); });
    connect(next, &QToolButton::clicked, this, [this] { findNext(false); });
}

void HelpViewer::startFind() {
    findBar_->show();
    findText_->setFocus(Qt::ShortcutFocusReason);
    findText_->selectAll();
}

bool HelpViewer::findNext(bool backwards) {
    const QString text = findText_->text();
    findStatus_->clear();
    if (text.isEmpty()) return false;
    const QTextDocument::FindFlags flags =
        backwards ? QTextDocument::FindBackward : QTextDocument::FindFlags();
    if (page_->find(text, flags)) return true;
    // Round the end of the page and once more.
    QTextCursor cursor = page_->textCursor();
    cursor.movePosition(backwards ? QTextCursor::End : QTextCursor::Start);
    page_->setTextCursor(cursor);
    if (page_->find(text, flags)) return true;
    findStatus_->setText(QStringLiteral("Not found"));
    return false;
}

void HelpViewer::escape() {
    if (findBar_->isVisible() && findBar_->isAncestorOf(QApplication::focusWidget())) {
        findBar_->hide();
        page_->setFocus(Qt::OtherFocusReason);
        return;
    }
    close();
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
