#include "chmfile.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>

#include <chm_lib.h>

#include <cstring>

namespace hhctrl {

namespace {

// No page of a help file comes near this; a larger object is refused
// rather than allocated.
constexpr LONGUINT64 kMaxObjectSize = 64u << 20;

// #SYSTEM entry codes.
constexpr int kSystemContentsFile = 0;
constexpr int kSystemDefaultTopic = 2;
constexpr int kSystemTitle = 3;

QString DecodeText(const QByteArray &bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

// A zero-terminated text of a #SYSTEM entry.
QString EntryText(const QByteArray &data) {
    const qsizetype end = data.indexOf('\0');
    return DecodeText(end < 0 ? data : data.left(end)).trimmed();
}

QString DecodeEntities(QString text) {
    static const QRegularExpression entity(QStringLiteral("&(#x[0-9a-fA-F]+|#[0-9]+|[a-zA-Z]+);"));
    QString out;
    qsizetype at = 0;
    for (auto it = entity.globalMatch(text); it.hasNext();) {
        const auto match = it.next();
        out += QStringView(text).mid(at, match.capturedStart() - at);
        const QString name = match.captured(1);
        QString replacement = match.captured(0);
        bool ok = false;
        uint code = 0;
        if (name.startsWith(QLatin1String("#x")))
            code = name.mid(2).toUInt(&ok, 16);
        else if (name.startsWith(QLatin1Char('#')))
            code = name.mid(1).toUInt(&ok, 10);
        if (ok && code > 0 && code <= 0x10FFFF) {
            const char32_t c = code;
            replacement = QString::fromUcs4(&c, 1);
        } else if (name == QLatin1String("amp")) {
            replacement = QStringLiteral("&");
        } else if (name == QLatin1String("lt")) {
            replacement = QStringLiteral("<");
        } else if (name == QLatin1String("gt")) {
            replacement = QStringLiteral(">");
        } else if (name == QLatin1String("quot")) {
            replacement = QStringLiteral("\"");
        } else if (name == QLatin1String("apos")) {
            replacement = QStringLiteral("'");
        } else if (name == QLatin1String("nbsp")) {
            replacement = QStringLiteral(" ");
        }
        out += replacement;
        at = match.capturedEnd();
    }
    out += QStringView(text).mid(at);
    return out;
}

QString Attribute(const QString &attributes, const QString &name) {
    static const QRegularExpression attribute(
        QStringLiteral("([A-Za-z_:-]+)\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)'|([^\\s\"'>]+))"));
    for (auto it = attribute.globalMatch(attributes); it.hasNext();) {
        const auto match = it.next();
        if (match.captured(1).compare(name, Qt::CaseInsensitive) != 0) continue;
        for (int group = 2; group <= 4; ++group)
            if (match.capturedStart(group) >= 0) return DecodeEntities(match.captured(group));
        return {};
    }
    return {};
}

} // namespace

ChmFile::~ChmFile() {
    if (handle_) chm_close(handle_);
}

std::unique_ptr<ChmFile> ChmFile::Open(const QString &path, QString &error) {
    const QFileInfo info(path);
    if (!info.exists()) {
        error = QStringLiteral("The help file '%1' does not exist.").arg(path);
        return nullptr;
    }
    if (!info.isFile() || !info.isReadable()) {
        error = QStringLiteral("The help file '%1' cannot be read.").arg(path);
        return nullptr;
    }
    chmFile *handle = chm_open(QFile::encodeName(path).constData());
    if (!handle) {
        error = QStringLiteral("'%1' is not a compiled HTML help file.").arg(path);
        return nullptr;
    }
    std::unique_ptr<ChmFile> file(new ChmFile(handle, path));
    const QString damaged = QStringLiteral("The help file '%1' is damaged: %2");
    if (!file->ReadSystem()) {
        error = damaged.arg(path, QStringLiteral("its system data cannot be read."));
        return nullptr;
    }
    if (file->contentsFile_.isEmpty()) file->contentsFile_ = file->FindByExtension(".hhc");
    const auto sitemap =
        file->contentsFile_.isEmpty() ? std::nullopt : file->Read(Normalise(file->contentsFile_));
    if (sitemap) file->contents_ = ParseSitemap(*sitemap);
    if (file->contents_.empty()) {
        error = damaged.arg(path, QStringLiteral("it has no readable table of contents."));
        return nullptr;
    }
    if (file->defaultTopic_.isEmpty()) {
        for (const TocEntry *entry = &file->contents_.front(); entry;) {
            if (!entry->local.isEmpty()) {
                file->defaultTopic_ = entry->local;
                break;
            }
            entry = entry->children.empty() ? nullptr : &entry->children.front();
        }
    }
    file->defaultTopic_ = Normalise(file->defaultTopic_);
    QString topicObject = file->defaultTopic_.section(QLatin1Char('#'), 0, 0);
    if (file->defaultTopic_.isEmpty() || !file->Read(topicObject)) {
        error = damaged.arg(path, QStringLiteral("its default page cannot be read."));
        return nullptr;
    }
    // A cut-off file may still hold those; every object (pages, images and
    // the file's own indexes) must be whole, or the viewer would show pieces.
    if (const QString broken = file->FirstUnreadableObject(); !broken.isEmpty()) {
        error = damaged.arg(path, QStringLiteral("'%1' cannot be read.").arg(broken));
        return nullptr;
    }
    if (file->title_.isEmpty()) file->title_ = info.completeBaseName();
    error.clear();
    return file;
}

std::optional<QByteArray> ChmFile::Read(const QString &objectPath) const {
    chmUnitInfo unit;
    std::memset(&unit, 0, sizeof unit);
    const QByteArray name = objectPath.toUtf8();
    if (name.isEmpty() || name.size() > CHM_MAX_PATHLEN) return std::nullopt;
    if (chm_resolve_object(handle_, name.constData(), &unit) != CHM_RESOLVE_SUCCESS)
        return std::nullopt;
    if (unit.length > kMaxObjectSize) return std::nullopt;
    QByteArray bytes(qsizetype(unit.length), Qt::Uninitialized);
    if (unit.length == 0) return bytes;
    const LONGINT64 read = chm_retrieve_object(
        handle_, &unit, reinterpret_cast<unsigned char *>(bytes.data()), 0, LONGINT64(unit.length));
    if (read != LONGINT64(unit.length)) return std::nullopt;
    return bytes;
}

bool ChmFile::ReadSystem() {
    const auto system = Read(QStringLiteral("/#SYSTEM"));
    if (!system || system->size() < 4) return false;
    const auto *bytes = reinterpret_cast<const unsigned char *>(system->constData());
    const qsizetype size = system->size();
    for (qsizetype at = 4; at + 4 <= size;) {
        const int code = bytes[at] | bytes[at + 1] << 8;
        const qsizetype length = bytes[at + 2] | bytes[at + 3] << 8;
        at += 4;
        if (at + length > size) return false;
        const QByteArray data = system->mid(at, length);
        if (code == kSystemContentsFile)
            contentsFile_ = EntryText(data);
        else if (code == kSystemDefaultTopic)
            defaultTopic_ = EntryText(data);
        else if (code == kSystemTitle)
            title_ = EntryText(data);
        at += length;
    }
    return true;
}

QString ChmFile::FindByExtension(const QString &suffix) const {
    struct Search {
        QByteArray suffix;
        QString found;
    } search{suffix.toLatin1(), {}};
    chm_enumerate(
        handle_, CHM_ENUMERATE_NORMAL | CHM_ENUMERATE_FILES,
        [](chmFile *, chmUnitInfo *unit, void *context) -> int {
            auto *s = static_cast<Search *>(context);
            const QByteArray path(unit->path);
            if (!path.toLower().endsWith(s->suffix)) return CHM_ENUMERATOR_CONTINUE;
            s->found = QString::fromUtf8(path);
            return CHM_ENUMERATOR_SUCCESS;
        },
        &search);
    return search.found;
}

QString ChmFile::FirstUnreadableObject() const {
    struct Check {
        const ChmFile *file;
        QString broken;
    } check{this, {}};
    chm_enumerate(
        handle_,
        CHM_ENUMERATE_NORMAL | CHM_ENUMERATE_SPECIAL | CHM_ENUMERATE_META | CHM_ENUMERATE_FILES,
        [](chmFile *, chmUnitInfo *unit, void *context) -> int {
            auto *c = static_cast<Check *>(context);
            const QString path = QString::fromUtf8(unit->path);
            if (c->file->Read(path)) return CHM_ENUMERATOR_CONTINUE;
            c->broken = path;
            return CHM_ENUMERATOR_SUCCESS;
        },
        &check);
    return check.broken;
}

QString ChmFile::Normalise(const QString &local) {
    QString path = local.trimmed();
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (path.startsWith(QLatin1String("./")))
        path.remove(0, 2);
    if (!path.isEmpty() && !path.startsWith(QLatin1Char('/'))) path.prepend(QLatin1Char('/'));
    return path;
}

std::vector<TocEntry> ChmFile::ParseSitemap(const QByteArray &bytes) {
    static const QRegularExpression tag(QStringLiteral("<\\s*(/?)\\s*([A-Za-z]+)([^>]*)>"));
    const QString text = DecodeText(bytes);
    std::vector<TocEntry> root;
    std::vector<std::vector<TocEntry> *> levels{&root};
    int depth = 0;
    bool inEntry = false;
    TocEntry entry;
    for (auto it = tag.globalMatch(text); it.hasNext();) {
        const auto match = it.next();
        const bool closing = !match.captured(1).isEmpty();
        const QString name = match.captured(2).toLower();
        const QString attributes = match.captured(3);
        if (name == QLatin1String("ul")) {
            if (!closing) {
                // A nested list belongs to the entry just before it.
                std::vector<TocEntry> *current = levels.back();
                ++depth;
                if (depth > 1 && !current->empty())
                    levels.push_back(&current->back().children);
                else
                    levels.push_back(current);
            } else if (depth > 0) {
                --depth;
                levels.pop_back();
            }
        } else if (name == QLatin1String("object")) {
            if (!closing) {
                inEntry = Attribute(attributes, QStringLiteral("type"))
                              .compare(QLatin1String("text/sitemap"), Qt::CaseInsensitive) == 0;
                entry = TocEntry();
            } else if (inEntry) {
                inEntry = false;
                if (!entry.name.isEmpty() || !entry.local.isEmpty()) {
                    if (entry.name.isEmpty()) entry.name = entry.local;
                    levels.back()->push_back(std::move(entry));
                }
                entry = TocEntry();
            }
        } else if (name == QLatin1String("param") && inEntry && !closing) {
            const QString param = Attribute(attributes, QStringLiteral("name"));
            const QString value = Attribute(attributes, QStringLiteral("value"));
            if (param.compare(QLatin1String("Name"), Qt::CaseInsensitive) == 0 &&
                entry.name.isEmpty())
                entry.name = value;
            else if (param.compare(QLatin1String("Local"), Qt::CaseInsensitive) == 0)
                entry.local = Normalise(value);
        }
    }
    return root;
}

} // namespace hhctrl
