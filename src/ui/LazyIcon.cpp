#include "ui/LazyIcon.h"

#include <QFile>
#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPaintDevice>
#include <QPixmap>

#include <functional>
#include <optional>

namespace lazyicon {
namespace {

// The raw pixels of a rendering; a null image when the file does not hold them.
QImage readPixels(const Rendered &rendered)
{
    QFile file(rendered.fileName);
    const qsizetype bytes = qsizetype(rendered.size.width()) * rendered.size.height() * 4;
    if (!file.open(QIODevice::ReadOnly) || file.size() != bytes)
        return {};
    QImage image(rendered.size, renderedFormat());
    if (file.read(reinterpret_cast<char *>(image.bits()), bytes) != bytes)
        return {};
    return image;
}

class LazyEngine : public QIconEngine {
public:
    // make: gives the icon itself; scalable: it is an SVG icon, which names no sizes of its own.
    LazyEngine(std::function<QIcon()> make, bool scalable, const QList<Rendered> &rendered)
        : m_make(std::move(make)), m_scalable(scalable), m_rendered(rendered)
    {
        m_loaded.resize(m_rendered.size());
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        if (mode == QIcon::Normal && state == QIcon::Off) {
            for (qsizetype i = 0; i < m_rendered.size(); ++i) {
                if (m_rendered[i].size != size)
                    continue;
                if (m_loaded[i].isNull())
                    m_loaded[i] = QPixmap::fromImage(readPixels(m_rendered[i]));
                if (!m_loaded[i].isNull())
                    return m_loaded[i];
            }
        }
        // At a scale of 1 QIcon hands the request on to its engine unchanged.
        return real().pixmap(size, 1.0, mode, state);
    }

    // As Qt's SVG and pixmap icon engines: the size of the pixmap it gives, and that pixmap drawn into
    // the rectangle at the device's scale.
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        const QPixmap pm = pixmap(size, mode, state);
        return pm.isNull() ? QSize() : pm.size();
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        QSize pixmapSize = rect.size();
        if (painter->device())
            pixmapSize *= painter->device()->devicePixelRatio();
        painter->drawPixmap(rect, pixmap(pixmapSize, mode, state));
    }

    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return m_scalable ? QList<QSize>() : real().availableSizes(mode, state);
    }

    QIconEngine *clone() const override { return new LazyEngine(*this); }
    QString key() const override { return QStringLiteral("lazysvg"); }
    bool isNull() override { return m_real ? m_real->isNull() : false; }

private:
    LazyEngine(const LazyEngine &) = default;

    const QIcon &real()
    {
        if (!m_real)
            m_real = m_make();
        return *m_real;
    }

    std::function<QIcon()> m_make;
    bool m_scalable;
    QList<Rendered> m_rendered;
    QList<QPixmap> m_loaded;
    std::optional<QIcon> m_real;
};

} // namespace

QIcon fromFile(const QString &fileName)
{
    return fromFile(fileName, {});
}

QIcon fromFile(const QString &fileName, const QList<Rendered> &rendered)
{
    return QIcon(new LazyEngine([fileName] { return QIcon(fileName); }, true, rendered));
}

QIcon deferred(std::function<QIcon()> make)
{
    return QIcon(new LazyEngine(std::move(make), false, {}));
}

QImage::Format renderedFormat()
{
    return QImage::Format_RGBA8888_Premultiplied;
}

QList<QSize> windowIconSizes()
{
    return {QSize(16, 16), QSize(32, 32), QSize(64, 64), QSize(128, 128)};
}

QIcon windowIcon()
{
    QList<Rendered> rendered;
    for (const QSize &size : windowIconSizes())
        rendered.push_back({size, QStringLiteral(":/icons/maengelliste-%1.rgba").arg(size.width())});
    return fromFile(QStringLiteral(":/icons/maengelliste.svg"), rendered);
}

} // namespace lazyicon
