// The icon themes' caches rule a name out only when Qt's own look-up finds nothing either. Each row
// builds a folder of themes and asks both. The program's lazy icons give what Qt's own icons of the
// same files give.
#include "ui/FocusStyle.h"
#include "ui/HeadingFont.h"
#include "ui/LazyIcon.h"
#include "ui/ThemeIcons.h"

#include <QApplication>
#include <QDateTime>
#include <QDirIterator>
#include <QFontDatabase>
#include <QFontInfo>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>
#include <QWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <tuple>

namespace {

void put32(QByteArray &out, quint32 v)
{
    for (int shift : {24, 16, 8, 0})
        out.append(char(v >> shift & 0xff));
}

void put16(QByteArray &out, quint16 v)
{
    out.append(char(v >> 8));
    out.append(char(v & 0xff));
}

// An icon cache as the icon theme tools write it: header, hash table of icon nodes, each with its
// list of folders, and the folder list. icons: name -> index of its folder in `folders`.
QByteArray iconCache(const QStringList &folders, const std::map<QByteArray, int> &icons)
{
    const quint32 buckets = 7;
    std::vector<std::vector<QByteArray>> chains(buckets);
    for (const auto &[name, folder] : icons) {
        quint32 hash = quint32(qint32(static_cast<signed char>(name[0])));
        for (qsizetype i = 1; i < name.size(); ++i)
            hash = (hash << 5) - hash + quint32(qint32(static_cast<signed char>(name[i])));
        chains[hash % buckets].push_back(name);
    }
    // Layout: header 12, hash table, nodes (12 each), image lists (4 + 8 each), folder list, strings.
    const quint32 hashAt = 12, nodesAt = hashAt + 4 + 4 * buckets;
    const quint32 listsAt = nodesAt + 12 * quint32(icons.size());
    const quint32 folderListAt = listsAt + 12 * quint32(icons.size());
    quint32 stringsAt = folderListAt + 4 + 4 * quint32(folders.size());
    QByteArray strings;
    const auto string = [&](const QByteArray &s) {
        const quint32 at = stringsAt + quint32(strings.size());
        strings.append(s).append('\0');
        return at;
    };
    QByteArray out, nodes, lists, folderList;
    put16(out, 1), put16(out, 0), put32(out, hashAt), put32(out, folderListAt);
    put32(out, buckets);
    quint32 node = 0;
    for (const auto &chain : chains) {
        put32(out, chain.empty() ? 0xffffffffu : nodesAt + 12 * node);
        for (size_t i = 0; i < chain.size(); ++i, ++node) {
            put32(nodes, i + 1 < chain.size() ? nodesAt + 12 * (node + 1) : 0xffffffffu);
            put32(nodes, string(chain[i]));
            put32(nodes, listsAt + 12 * node);
            put32(lists, 1), put16(lists, quint16(icons.at(chain[i]))), put16(lists, 4), put32(lists, 0);
        }
    }
    put32(folderList, quint32(folders.size()));
    for (const QString &folder : folders)
        put32(folderList, string(folder.toUtf8()));
    return out + nodes + lists + folderList + strings;
}

struct Theme {
    const char *name;
    const char *inherits;
    std::vector<const char *> icons; // "16x16/actions/name.png"
    enum { NoCache, Cache, StaleCache, BrokenCache } cache;
};

void write(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void makeTheme(const QString &root, const Theme &theme)
{
    const QString folder = root + u'/' + QString::fromUtf8(theme.name);
    QStringList folders;
    std::map<QByteArray, int> icons;
    for (const char *name : theme.icons) {
        const QString icon = QString::fromUtf8(name);
        const QString sub = QFileInfo(icon).path();
        if (!folders.contains(sub))
            folders << sub;
        QImage image(16, 16, QImage::Format_ARGB32);
        image.fill(Qt::red);
        QDir().mkpath(folder + u'/' + sub);
        ASSERT_TRUE(image.save(folder + u'/' + icon));
        icons[QFileInfo(icon).completeBaseName().toUtf8()] = int(folders.indexOf(sub));
    }
    QByteArray index = QByteArray("[Icon Theme]\nName=") + theme.name + '\n';
    if (*theme.inherits)
        index += QByteArray("Inherits=") + theme.inherits + '\n';
    index += "Directories=" + folders.join(u',').toUtf8() + "\n\n";
    for (const QString &sub : folders)
        index += '[' + sub.toUtf8() + "]\nSize=16\nType=Fixed\n\n";
    write(folder + QStringLiteral("/index.theme"), index);
    if (theme.cache == Theme::NoCache)
        return;
    write(folder + QStringLiteral("/icon-theme.cache"),
          theme.cache == Theme::BrokenCache ? QByteArray("\0\1garbage", 9) : iconCache(folders, icons));
    if (theme.cache == Theme::StaleCache) {
        // An icon added after the cache was written: its folder is newer than the cache.
        const QString late = folder + QStringLiteral("/16x16/actions/late.png");
        QImage(16, 16, QImage::Format_ARGB32).save(late);
        const timespec times[2] = {{0, UTIME_OMIT}, {QDateTime::currentSecsSinceEpoch() + 60, 0}};
        ::utimensat(AT_FDCWD, QFile::encodeName(QFileInfo(late).path()).constData(), times, 0);
    }
}

} // namespace

TEST(ThemeIcons, lookupNames_shortenAtEachDash)
{
    EXPECT_EQ(themeicons::lookupNames(QStringLiteral("document-save-as")),
              (QStringList{QStringLiteral("document-save-as"), QStringLiteral("document-save"), QStringLiteral("document")}));
    EXPECT_EQ(themeicons::lookupNames(QStringLiteral("edit")), QStringList{QStringLiteral("edit")});
    EXPECT_EQ(themeicons::lookupNames(QStringLiteral("-x")), QStringList{QStringLiteral("-x")});
    EXPECT_EQ(themeicons::lookupNames(QString()), QStringList());
}

TEST(ThemeIcons, mayProvide_isFalseOnlyWhereQtFindsNothing)
{
    const auto cached = Theme::Cache;
    const struct {
        const char *what;
        std::vector<Theme> themes;
        const char *theme, *asked;
        std::vector<const char *> plain; // files in the plain icon folder
        bool mayProvide;
    } table[] = {
        {"in the theme's cache", {{"t", "", {"16x16/actions/a-b.png"}, cached}}, "t", "a-b", {}, true},
        {"a shortening is in the cache", {{"t", "", {"16x16/actions/a-b.png"}, cached}}, "t", "a-b-c", {}, true},
        {"not in the cache", {{"t", "", {"16x16/actions/a-b.png"}, cached}}, "t", "x", {}, false},
        {"a longer name is no match", {{"t", "", {"16x16/actions/a-b.png"}, cached}}, "t", "a", {}, false},
        {"in an inherited theme",
         {{"t", "p", {"16x16/actions/a.png"}, cached}, {"p", "", {"16x16/actions/x.png"}, cached}}, "t", "x", {}, true},
        {"in hicolor, which every theme falls back to",
         {{"t", "", {"16x16/actions/a.png"}, cached}, {"hicolor", "", {"16x16/apps/x.png"}, cached}}, "t", "x", {}, true},
        {"a theme not inherited is not searched",
         {{"t", "", {"16x16/actions/a.png"}, cached}, {"other", "", {"16x16/actions/x.png"}, cached}}, "t", "x", {}, false},
        {"a missing theme sends the look-up to the fallback theme",
         {{"f", "", {"16x16/actions/x.png"}, cached}}, "gone", "x", {}, true},
        {"no cache: the files decide", {{"t", "", {"16x16/actions/x.png"}, Theme::NoCache}}, "t", "y", {}, true},
        {"a theme of nothing but its index holds nothing", {{"t", "", {}, Theme::NoCache}}, "t", "x", {}, false},
        {"a cache older than its folders", {{"t", "", {"16x16/actions/a.png"}, Theme::StaleCache}}, "t", "late", {}, true},
        {"an unreadable cache", {{"t", "", {"16x16/actions/a.png"}, Theme::BrokenCache}}, "t", "x", {}, true},
        {"a plain icon beside the themes", {{"t", "", {"16x16/actions/a.png"}, cached}}, "t", "x", {"x.png"}, true},
        {"a plain icon of another name", {{"t", "", {"16x16/actions/a.png"}, cached}}, "t", "x", {"y.svg"}, false},
    };
    for (const auto &row : table) {
        QTemporaryDir dir;
        const QString root = dir.path() + QStringLiteral("/icons"), plain = dir.path() + QStringLiteral("/pixmaps");
        for (const Theme &theme : row.themes)
            makeTheme(root, theme);
        for (const char *file : row.plain)
            write(plain + u'/' + QString::fromUtf8(file), "plain");
        QDir().mkpath(root);
        const QString theme = QString::fromUtf8(row.theme), asked = QString::fromUtf8(row.asked);
        const themeicons::ThemeIndex index(theme, QStringLiteral("f"), {root}, {plain});
        EXPECT_EQ(index.mayProvide(asked), row.mayProvide) << row.what;

        // Qt's own look-up in the same folders may find no more than the index allows.
        QIcon::setThemeSearchPaths({root});
        QIcon::setFallbackSearchPaths({plain});
        QIcon::setFallbackThemeName(QStringLiteral("f"));
        QIcon::setThemeName(theme);
        if (!QIcon::fromTheme(asked).isNull()) {
            EXPECT_TRUE(index.mayProvide(asked)) << row.what << ": Qt finds it";
        }
        QPixmap picture(4, 4);
        picture.fill(Qt::blue);
        const QIcon fallback(picture);
        if (!row.mayProvide) {
            EXPECT_EQ(themeicons::themed(index, asked, fallback).cacheKey(), fallback.cacheKey()) << row.what;
        }
    }
}

TEST(ThemeIcons, mayProvide_readsTheInstalledCachesAsQtDoes)
{
    const QString adwaita = QStringLiteral("/usr/share/icons/Adwaita/icon-theme.cache");
    if (!QFile::exists(adwaita))
        GTEST_SKIP() << "no installed theme with a cache";
    QIcon::setThemeSearchPaths({QStringLiteral("/usr/share/icons")});
    QIcon::setFallbackSearchPaths({QStringLiteral("/usr/share/pixmaps")});
    QIcon::setFallbackThemeName(QStringLiteral("hicolor"));
    QIcon::setThemeName(QStringLiteral("Adwaita"));
    const auto index = themeicons::ThemeIndex::current();
    for (const char *name : {"document-new", "document-open", "document-save-as", "edit-delete", "go-next",
                             "view-refresh", "preferences-system", "list-add", "folder", "no-such-icon-here"}) {
        if (!QIcon::fromTheme(QString::fromLatin1(name)).isNull()) {
            EXPECT_TRUE(index->mayProvide(QString::fromLatin1(name))) << name;
        }
    }
    EXPECT_TRUE(index->mayProvide(QStringLiteral("folder"))) << "in every Adwaita";
}

TEST(ThemeIcons, standardIcon_withoutTheThemeIsTheStylesOwnFallback)
{
    // Themes without dialog icons: the style's icon asked through the index is its fallback icon.
    QTemporaryDir dir;
    makeTheme(dir.path(), {"t", "", {"16x16/actions/a.png"}, Theme::Cache});
    QIcon::setThemeSearchPaths({dir.path()});
    QIcon::setThemeName(QStringLiteral("t"));
    const themeicons::ThemeIndex index(QStringLiteral("t"), QStringLiteral("t"), {dir.path()}, {});
    QStyle *style = QApplication::style();
    for (const auto which : {QStyle::SP_DialogOkButton, QStyle::SP_DialogCancelButton}) {
        const QIcon ours = themeicons::standardIcon(index, *style, which, {QStringLiteral("dialog-ok"), QStringLiteral("dialog-cancel")});
        const QIcon styles = style->standardIcon(which);
        ASSERT_FALSE(ours.isNull());
        for (int size : {16, 32})
            EXPECT_EQ(ours.pixmap(size).toImage(), styles.pixmap(size).toImage()) << which << " at " << size;
    }
    EXPECT_TRUE(QGuiApplication::desktopSettingsAware()) << "set back";
}

static void initResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace {

QImage painted(const QIcon &icon, const QRect &rect, QIcon::Mode mode)
{
    QImage image(48, 48, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    icon.paint(&painter, rect, Qt::AlignCenter, mode);
    return image;
}

} // namespace

// Each lazy icon against the icon it stands for: the program's SVG files, and the style's extension
// button icons, which it gives late.
TEST(LazyIcon, givesWhatQtsIconGives)
{
    initResources();
    std::vector<std::tuple<std::string, QIcon, QIcon>> icons;
    for (QDirIterator it(QStringLiteral(":/icons"), {QStringLiteral("*.svg")}); it.hasNext();) {
        const QString file = it.next();
        icons.emplace_back(file.toStdString(), QIcon(file), lazyicon::fromFile(file));
    }
    ASSERT_GE(icons.size(), 19u);
    const QString missing = QStringLiteral(":/icons/no-such-icon.svg");
    icons.emplace_back("missing", QIcon(missing), lazyicon::fromFile(missing));
    FocusStyle style;
    QWidget widget;
    QStyleOption ltr, rtl;
    ltr.initFrom(&widget);
    widget.setLayoutDirection(Qt::RightToLeft);
    rtl.initFrom(&widget);
    for (const auto which : {QStyle::SP_ToolBarHorizontalExtensionButton, QStyle::SP_ToolBarVerticalExtensionButton}) {
        for (const QStyleOption *option : std::initializer_list<const QStyleOption *>{nullptr, &ltr, &rtl})
            icons.emplace_back("extension", style.baseStyle()->standardIcon(which, option), style.standardIcon(which, option));
    }
    for (const auto &[file, qts, lazy] : icons) {
        EXPECT_EQ(lazy.availableSizes(), qts.availableSizes()) << file;
        for (const QSize size : {QSize(8, 16), QSize(16, 16), QSize(22, 22), QSize(32, 32), QSize(48, 48), QSize(40, 20), QSize(128, 128)}) {
            for (const auto mode : {QIcon::Normal, QIcon::Disabled, QIcon::Active, QIcon::Selected}) {
                for (const auto state : {QIcon::Off, QIcon::On}) {
                    EXPECT_EQ(lazy.pixmap(size, mode, state).toImage(), qts.pixmap(size, mode, state).toImage())
                        << file << " " << size.width() << "x" << size.height() << " mode " << mode;
                    EXPECT_EQ(lazy.actualSize(size, mode, state), qts.actualSize(size, mode, state)) << file;
                }
            }
        }
        for (const QRect rect : {QRect(0, 0, 16, 16), QRect(3, 5, 24, 24), QRect(0, 0, 48, 20)})
            EXPECT_EQ(painted(lazy, rect, QIcon::Disabled), painted(qts, rect, QIcon::Disabled)) << file;
        EXPECT_EQ(lazy.isNull(), qts.isNull()) << file << ", once used";
    }
}

// The window icon's pixmaps rendered ahead are what its SVG renders. When the SVG changes, this test
// writes the new renderings into the temporary folder it names; they belong into src/ui/icons/.
TEST(LazyIcon, windowIconRenderedAheadIsWhatItsSvgRenders)
{
    initResources();
    const QIcon svg(QStringLiteral(":/icons/maengelliste.svg")), window = lazyicon::windowIcon();
    const QString fresh = QDir::temp().filePath(QStringLiteral("maengelliste-window-icon"));
    for (const QSize size : lazyicon::windowIconSizes()) {
        const QImage expected = svg.pixmap(size).toImage();
        ASSERT_EQ(expected.size(), size);
        const QString name = QStringLiteral("maengelliste-%1.rgba").arg(size.width());
        const QImage pixels = expected.convertToFormat(lazyicon::renderedFormat());
        const QByteArray rendered(reinterpret_cast<const char *>(pixels.constBits()), pixels.sizeInBytes());
        QFile stored(QStringLiteral(":/icons/") + name);
        ASSERT_TRUE(stored.open(QIODevice::ReadOnly)) << name.toStdString();
        if (stored.readAll() != rendered) {
            QDir().mkpath(fresh);
            QFile out(QDir(fresh).filePath(name));
            ASSERT_TRUE(out.open(QIODevice::WriteOnly));
            out.write(rendered);
            ADD_FAILURE() << name.toStdString() << " differs from the SVG; rendered anew into " << fresh.toStdString();
        }
        EXPECT_EQ(window.pixmap(size).toImage(), expected) << name.toStdString();
    }
    // Other sizes and modes come from the SVG.
    EXPECT_EQ(window.pixmap(48).toImage(), svg.pixmap(48).toImage());
    EXPECT_EQ(window.pixmap(32, QIcon::Disabled).toImage(), svg.pixmap(32, QIcon::Disabled).toImage());
}

// The heading font leaves out the families the system lacks, and Qt gives it the face it gave the
// whole list.
TEST(HeadingFont, isTheFaceOfTheWholeList)
{
    const QString present = QFontDatabase::families().value(0);
    ASSERT_FALSE(present.isEmpty());
    const QString missing = QStringLiteral("No Such Family 7f3a");
    EXPECT_EQ(headingfont::installed({missing, present, missing + u'2'}), QStringList{present});
    EXPECT_EQ(headingfont::installed({present.toUpper(), missing}), QStringList{present.toUpper()});
    EXPECT_EQ(headingfont::installed({missing}), QStringList{missing}); // nothing known: Qt chooses as before

    for (int pixels : {16, 19}) {
        QFont whole;
        whole.setFamilies(headingfont::preferredFamilies());
        whole.setPixelSize(pixels);
        whole.setWeight(QFont::Black);
        const QFontInfo expected(whole), actual(headingfont::make(pixels));
        EXPECT_EQ(actual.family(), expected.family()) << pixels;
        EXPECT_EQ(actual.styleName(), expected.styleName()) << pixels;
        EXPECT_EQ(actual.weight(), expected.weight()) << pixels;
        EXPECT_EQ(actual.pixelSize(), expected.pixelSize()) << pixels;
        EXPECT_EQ(QFontMetrics(headingfont::make(pixels)).horizontalAdvance(QStringLiteral("Mängelliste")),
                  QFontMetrics(whole).horizontalAdvance(QStringLiteral("Mängelliste")))
            << pixels;
    }
}
