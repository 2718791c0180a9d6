// One compiled HTML help file opened with chmlib: its objects by path, its
// title, default topic and table of contents.
#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

struct chmFile;

namespace hhctrl {

// One entry of the table of contents; `local` is the page path inside the
// file ("/pages/intro.html", possibly with "#anchor"), empty for a heading
// without a page.
struct TocEntry {
    QString name;
    QString local;
    std::vector<TocEntry> children;
};

class ChmFile {
public:
    ~ChmFile();
    ChmFile(const ChmFile &) = delete;
    ChmFile &operator=(const ChmFile &) = delete;

    // Opens and checks a file: it must be a compiled help file whose system
    // data, table of contents and default topic can all be read. Nothing and
    // a reason in `error` otherwise.
    static std::unique_ptr<ChmFile> Open(const QString &path, QString &error);

    QString path() const { return path_; }
    QString title() const { return title_; }
    QString defaultTopic() const { return defaultTopic_; }
    const std::vector<TocEntry> &contents() const { return contents_; }

    // The bytes of the object at an absolute path inside the file; nothing
    // when there is no such object or it cannot be read whole.
    std::optional<QByteArray> Read(const QString &objectPath) const;

    // "/a/b.html" from "a/b.html", "./a/b.html" or "/a/b.html".
    static QString Normalise(const QString &local);

    // Parses the sitemap text of a ".hhc" file.
    static std::vector<TocEntry> ParseSitemap(const QByteArray &text);

private:
    explicit ChmFile(chmFile *handle, const QString &path) : handle_(handle), path_(path) {}
    bool ReadSystem();
    QString FindByExtension(const QString &suffix) const;
    // The path of the first page or image that cannot be read whole; empty
    // when all can.
    QString FirstUnreadableObject() const;

    chmFile *handle_ = nullptr;
    QString path_;
    QString title_;
    QString defaultTopic_;
    QString contentsFile_;
    std::vector<TocEntry> contents_;
};

} // namespace hhctrl
