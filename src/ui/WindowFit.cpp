#include "ui/WindowFit.h"

#include <QEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace windowfit {

namespace {

// The room a window's frame takes around its client area. Before its first showing a window's frame
// is not known yet; the main window's frame is the best guess then.
QMargins frameOf(const QWidget *window, const QWidget *anchor, bool shownBefore)
{
    const auto margins = [](const QWidget *w) {
        const QRect frame = w->frameGeometry();
        const QRect client = w->geometry();
        return QMargins(client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
                        frame.bottom() - client.bottom());
    };
    if (shownBefore || !anchor)
        return margins(window);
    return margins(anchor);
}

class FitOnShow : public QObject {
public:
    FitOnShow(QWidget *window, QSize wanted) : QObject(window), m_window(window), m_wanted(wanted) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_window && event->type() == QEvent::Show && !m_window->isMinimized())
            fit();
        return false;
    }

private:
    void fit()
    {
        QWidget *parent = m_window->parentWidget();
        const QWidget *anchor = parent ? parent->window() : nullptr;
        const QScreen *screen = anchor ? anchor->screen() : m_window->screen();
        if (!screen)
            return;
        const QRect available = screen->availableGeometry();
        const bool first = !m_shown;
        const QMargins frame = frameOf(m_window, anchor, !first);
        m_shown = true;
        QSize size = m_window->size();
        if (first && m_wanted.isValid())
            size = m_wanted;
        else if (first && !m_window->testAttribute(Qt::WA_Resized))
            size = m_window->sizeHint();
        const QSize room = available.size() - QSize(frame.left() + frame.right(), frame.top() + frame.bottom());
        m_window->resize(size.boundedTo(room));
        // The window's minimum size may have won over the room; place the size it really has.
        const QSize framed = m_window->size().grownBy(frame);
        const QRect around = !first ? m_window->frameGeometry() : anchor ? anchor->frameGeometry() : available;
        m_window->move(place(framed, around, available).topLeft());
    }

    QWidget *m_window;
    QSize m_wanted;
    bool m_shown = false;
};

} // namespace

QRect place(QSize wanted, const QRect &anchor, const QRect &available)
{
    const QSize size = wanted.boundedTo(available.size());
    QRect rect(QPoint(0, 0), size);
    rect.moveCenter(anchor.center());
    // Into the area: first off the right and bottom edges, then off the left and top ones, so that
    // the title bar stays reachable.
    rect.moveLeft(std::max(available.left(), std::min(rect.left(), available.right() - size.width() + 1)));
    rect.moveTop(std::max(available.top(), std::min(rect.top(), available.bottom() - size.height() + 1)));
    return rect;
}

void fitOnShow(QWidget *window, QSize wanted)
{
    window->installEventFilter(new FitOnShow(window, wanted));
}

} // namespace windowfit
