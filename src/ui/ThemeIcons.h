#pragma once

#include <QIcon>
#include <QString>
#include <QStyle>
#include <QStringList>

#include <memory>
#include <vector>

class QFile;

// Themed icons without loading a theme that cannot have them. Qt's first look-up in an icon theme
// reads the theme's whole index (for the common fallback theme some 650 folders), which takes longer
// than everything else the window's icons need together; when no theme in use has the names asked
// for, every icon is the program's own picture anyway. The icon caches of the themes answer that
// question cheaply. The answer "not there" is only given when Qt's own look-up could not find the
// icon either; whenever a theme may have it, Qt is asked as before.
namespace themeicons {

// The names a look-up of `name` may end at: the name itself and each shortening of it at a dash,
// "document-save-as", "document-save", "document".
QStringList lookupNames(const QString &name);

// The theme folders and plain icon folders Qt searches, read once.
class ThemeIndex {
public:
    // theme and fallbackTheme: the names of the theme in use and of the one used when it is missing;
    // searchPaths: the folders that hold themes (and plain icons); fallbackPaths: further folders of
    // plain icons.
    ThemeIndex(const QString &theme, const QString &fallbackTheme, const QStringList &searchPaths,
               const QStringList &fallbackPaths);
    ~ThemeIndex();
    ThemeIndex(const ThemeIndex &) = delete;
    ThemeIndex &operator=(const ThemeIndex &) = delete;

    // The index of what QIcon uses now.
    static std::unique_ptr<ThemeIndex> current();

    // False only when no theme in use and no plain icon folder can hold an icon of that name (or of
    // one of its shortenings). A theme folder without an icon cache, or with one older than its
    // folders, may hold anything.
    bool mayProvide(const QString &name) const;

private:
    struct Cache {
        std::unique_ptr<QFile> file;
        const uchar *data = nullptr;
        qint64 size = 0;
        bool contains(const QByteArray &name) const;
    };
    void addTheme(const QString &folder);

    bool m_anything = false;
    std::vector<Cache> m_caches;
    QStringList m_plainFolders;
};

// The theme's icon `name`, or `fallback` when the index rules out that any theme has it; else what
// QIcon::fromTheme(name, fallback) gives.
QIcon themed(const ThemeIndex &index, const QString &name, const QIcon &fallback);

// The style's standard icon `which`, which the style first looks for in the icon theme under
// `themeNames`. When the index rules all of them out, the style is asked without the desktop's
// settings, which gives the very icon it falls back to, and the theme is not loaded.
QIcon standardIcon(const ThemeIndex &index, const QStyle &style, QStyle::StandardPixmap which,
                   const QStringList &themeNames);

} // namespace themeicons
