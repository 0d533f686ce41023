#include "ui/ThemeIcons.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

#include <algorithm>
#include <cstring>
#include <sys/stat.h>

namespace themeicons {
namespace {

// Modification times as the file system keeps them; a folder that cannot be read counts as old.
bool statOf(const QString &path, struct stat &out)
{
    return ::stat(QFile::encodeName(path).constData(), &out) == 0;
}

bool newerThan(const struct stat &a, const struct stat &b)
{
    return a.st_mtim.tv_sec != b.st_mtim.tv_sec ? a.st_mtim.tv_sec > b.st_mtim.tv_sec
                                                : a.st_mtim.tv_nsec > b.st_mtim.tv_nsec;
}

// The themes a theme's index names under "Inherits" in its group "Icon Theme".
QStringList inheritedThemes(const QString &indexFile)
{
    QFile file(indexFile);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // Read at once and scanned in place: hicolor's index has thousands of lines, all but one of no
    // interest here.
    const QByteArray text = file.readAll();
    const QByteArrayView all(text);
    QStringList parents;
    bool inGroup = false;
    for (qsizetype at = 0; at < all.size();) {
        qsizetype end = all.indexOf('\n', at);
        if (end < 0)
            end = all.size();
        const QByteArrayView line = all.sliced(at, end - at).trimmed();
        at = end + 1;
        if (line.startsWith('[')) {
            inGroup = line == "[Icon Theme]";
            continue;
        }
        if (!inGroup || !line.startsWith("Inherits"))
            continue;
        const qsizetype equals = line.indexOf('=');
        if (equals < 0 || line.first(equals).trimmed() != "Inherits")
            continue;
        for (const QByteArray &name : line.sliced(equals + 1).toByteArray().split(',')) {
            QByteArray parent = name.trimmed();
            if (parent.size() >= 2 && parent.startsWith('"') && parent.endsWith('"'))
                parent = parent.mid(1, parent.size() - 2);
            if (!parent.isEmpty())
                parents << QString::fromUtf8(parent);
        }
    }
    return parents;
}

} // namespace

QStringList lookupNames(const QString &name)
{
    QStringList names;
    QString shortened = name;
    while (!shortened.isEmpty()) {
        names << shortened;
        const qsizetype dash = shortened.lastIndexOf(u'-');
        if (dash < 0)
            break;
        shortened.truncate(dash);
    }
    return names;
}

ThemeIndex::ThemeIndex(const QString &theme, const QString &fallbackTheme, const QStringList &searchPaths,
                       const QStringList &fallbackPaths)
    : m_plainFolders(searchPaths + fallbackPaths)
{
    // The theme, the fallback theme, every theme either inherits from, and hicolor, which every theme
    // falls back to. A theme name that no folder has sends the look-up to the fallback theme, which is
    // on the list already.
    QStringList pending{theme, fallbackTheme, QStringLiteral("hicolor")};
    QStringList seen;
    while (!pending.isEmpty() && !m_anything) {
        const QString name = pending.takeFirst().trimmed();
        if (name.isEmpty() || seen.contains(name))
            continue;
        seen << name;
        for (const QString &path : searchPaths) {
            const QString folder = path + u'/' + name;
            if (!QFileInfo(folder).isDir())
                continue;
            addTheme(folder);
            pending << inheritedThemes(folder + QStringLiteral("/index.theme"));
        }
    }
}

ThemeIndex::~ThemeIndex() = default;

std::unique_ptr<ThemeIndex> ThemeIndex::current()
{
    return std::make_unique<ThemeIndex>(QIcon::themeName(), QIcon::fallbackThemeName(), QIcon::themeSearchPaths(),
                                        QIcon::fallbackSearchPaths());
}

void ThemeIndex::addTheme(const QString &folder)
{
    const QString cachePath = folder + QStringLiteral("/icon-theme.cache");
    struct stat cacheStat {}, folderStat {};
    if (!statOf(cachePath, cacheStat)) {
        // Without a cache Qt looks at the files themselves. A folder with nothing but its index (a
        // theme that only names others) holds no icon.
        const QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        m_anything = m_anything || !(entries.isEmpty() || entries == QStringList{QStringLiteral("index.theme")});
        return;
    }
    // A cache older than its folder, or than any folder it lists, is not used: the files decide then.
    if (!statOf(folder, folderStat) || newerThan(folderStat, cacheStat)) {
        m_anything = true;
        return;
    }
    Cache cache;
    cache.file = std::make_unique<QFile>(cachePath);
    if (cache.file->open(QIODevice::ReadOnly)) {
        cache.size = cache.file->size();
        cache.data = cache.file->map(0, cache.size);
    }
    const auto read16 = [&](qint64 at) {
        return at + 2 <= cache.size ? quint16(cache.data[at] << 8 | cache.data[at + 1]) : quint16(0xffff);
    };
    const auto read32 = [&](qint64 at) {
        return at + 4 <= cache.size ? quint32(cache.data[at]) << 24 | quint32(cache.data[at + 1]) << 16 |
                                          quint32(cache.data[at + 2]) << 8 | quint32(cache.data[at + 3])
                                    : 0xffffffffu;
    };
    if (!cache.data || read16(0) != 1) {
        m_anything = true;
        return;
    }
    const quint32 listAt = read32(8);
    const quint32 count = read32(listAt);
    if (count == 0xffffffffu) {
        m_anything = true;
        return;
    }
    for (quint32 i = 0; i < count; ++i) {
        const quint32 nameAt = read32(qint64(listAt) + 4 + 4 * qint64(i));
        const auto *begin = reinterpret_cast<const char *>(cache.data) + nameAt;
        const qint64 left = nameAt < cache.size ? cache.size - nameAt : 0;
        const auto *end = left > 0 ? static_cast<const char *>(std::memchr(begin, 0, size_t(left))) : nullptr;
        struct stat subStat {};
        if (!end) {
            m_anything = true;
            return;
        }
        if (statOf(folder + u'/' + QString::fromUtf8(begin, end - begin), subStat) && newerThan(subStat, cacheStat)) {
            m_anything = true;
            return;
        }
    }
    m_caches.push_back(std::move(cache));
}

bool ThemeIndex::Cache::contains(const QByteArray &name) const
{
    const auto read32 = [this](qint64 at) {
        return at >= 0 && at + 4 <= size ? quint32(data[at]) << 24 | quint32(data[at + 1]) << 16 |
                                               quint32(data[at + 2]) << 8 | quint32(data[at + 3])
                                         : 0xffffffffu;
    };
    // The cache's hash table: buckets of chained nodes (next, name, images), all offsets big-endian.
    const quint32 hashAt = read32(4);
    const quint32 buckets = read32(hashAt);
    if (buckets == 0 || buckets == 0xffffffffu)
        return true; // unreadable: it may hold anything
    quint32 hash = quint32(qint32(static_cast<signed char>(name.isEmpty() ? 0 : name[0])));
    for (qsizetype i = 1; i < name.size(); ++i)
        hash = (hash << 5) - hash + quint32(qint32(static_cast<signed char>(name[i])));
    quint32 node = read32(qint64(hashAt) + 4 + 4 * qint64(hash % buckets));
    for (int steps = 0; node != 0xffffffffu; ++steps) {
        const quint32 nameAt = read32(qint64(node) + 4);
        if (nameAt == 0xffffffffu || steps > 1'000'000)
            return true;
        if (qint64(nameAt) + name.size() < size && std::memcmp(data + nameAt, name.constData(), size_t(name.size())) == 0 &&
            data[nameAt + name.size()] == 0)
            return true;
        node = read32(node);
    }
    return false;
}

bool ThemeIndex::mayProvide(const QString &name) const
{
    if (m_anything)
        return true;
    for (const QString &candidate : lookupNames(name)) {
        const QByteArray utf8 = candidate.toUtf8();
        for (const Cache &cache : m_caches) {
            if (cache.contains(utf8))
                return true;
        }
    }
    for (const QString &folder : m_plainFolders) {
        for (const char *suffix : {".png", ".svg", ".svgz", ".xpm"}) {
            if (QFileInfo::exists(folder + u'/' + name + QLatin1String(suffix)))
                return true;
        }
    }
    return false;
}

QIcon themed(const ThemeIndex &index, const QString &name, const QIcon &fallback)
{
    return index.mayProvide(name) ? QIcon::fromTheme(name, fallback) : fallback;
}

QIcon standardIcon(const ThemeIndex &index, const QStyle &style, QStyle::StandardPixmap which,
                   const QStringList &themeNames)
{
    const bool themed = std::any_of(themeNames.begin(), themeNames.end(),
                                    [&](const QString &name) { return index.mayProvide(name); });
    if (themed || !QGuiApplication::desktopSettingsAware())
        return style.standardIcon(which);
    struct Restore {
        ~Restore() { QGuiApplication::setDesktopSettingsAware(true); }
    } restore;
    QGuiApplication::setDesktopSettingsAware(false);
    return style.standardIcon(which);
}

} // namespace themeicons
