#pragma once

#include <QIcon>
#include <QImage>
#include <QList>
#include <QSize>
#include <QString>

#include <functional>

// Icons from the program's SVG files that read their file only when they are first painted. QIcon
// parses an SVG file once as it is created, only to check it, and again for every size it paints;
// the window makes its icons before it is shown, many of them for menus that are not open yet. A lazy
// icon is Qt's own SVG icon underneath, made on first use, so every pixmap is the same as that of
// QIcon(fileName).
namespace lazyicon {

// A pixmap of the icon rendered ahead, read from a file of its raw pixels (renderedFormat(), rows
// without padding). Decoding an image file such as a PNG takes longer than rendering the SVG.
struct Rendered {
    QSize size;
    QString fileName;
};

// The icon of the file `fileName`, made when it is first needed.
QIcon fromFile(const QString &fileName);

// The same, but the normal pixmaps at the sizes of `rendered` come from those image files, which
// hold what the SVG renders at them. The window icon is rendered at four fixed sizes as the window
// is shown; reading them is much quicker than rendering.
QIcon fromFile(const QString &fileName, const QList<Rendered> &rendered);

// The icon `make` gives, asked for only when the icon is first needed. `make` must give the same
// icon whenever it is called.
QIcon deferred(std::function<QIcon()> make);

// The format of the pixels rendered ahead: premultiplied RGBA, one byte each in that order.
QImage::Format renderedFormat();

// The sizes the window system asks a window icon for, when the icon names none of its own.
QList<QSize> windowIconSizes();

// The program's window icon: its SVG, with the pixmaps at windowIconSizes() rendered ahead.
QIcon windowIcon();

} // namespace lazyicon
