#include "ui/PanelFit.h"

#include <QEvent>
#include <QLayout>
#include <QWidget>

#include <algorithm>
#include <numeric>

PanelFit::PanelFit(QWidget *page, std::vector<QWidget *> panels, QWidget *rest)
    : QObject(page), m_page(page), m_panels(std::move(panels)), m_rest(rest)
{
    for (QWidget *panel : m_panels)
        m_stored.push_back(panel->minimumWidth());
    m_applied = m_stored;
    // Between the panels only fixed bars; the rest needs its own minimum.
    int others = 0;
    if (QLayout *layout = page->layout()) {
        for (int i = 0; i < layout->count(); ++i) {
            QWidget *w = layout->itemAt(i)->widget();
            if (w && w != m_rest && std::find(m_panels.begin(), m_panels.end(), w) == m_panels.end())
                others += w->minimumWidth();
        }
        const QMargins margins = layout->contentsMargins();
        others += margins.left() + margins.right() + layout->spacing() * std::max(0, layout->count() - 1);
    }
    page->setMinimumWidth(others + int(m_panels.size()) * kMinPanelWidth + restMinimum());
    page->installEventFilter(this);
}

int PanelFit::restMinimum() const
{
    return std::max(m_rest->minimumWidth(), m_rest->minimumSizeHint().width());
}

std::vector<int> PanelFit::fit(const std::vector<int> &stored, int room)
{
    const long long total = std::accumulate(stored.begin(), stored.end(), 0LL);
    if (total <= room)
        return stored;
    std::vector<int> widths;
    widths.reserve(stored.size());
    for (const int width : stored)
        widths.push_back(std::max(1, int(width * (long long)std::max(room, 0) / total)));
    return widths;
}

void PanelFit::setStoredWidth(size_t panel, int width)
{
    takeOutsideWidths();
    m_stored.at(panel) = std::max(0, width);
    apply();
}

int PanelFit::storedWidth(size_t panel) const
{
    const int now = m_panels.at(panel)->minimumWidth();
    return now != m_applied[panel] ? now : m_stored[panel];
}

void PanelFit::takeOutsideWidths()
{
    for (size_t i = 0; i < m_panels.size(); ++i)
        m_stored[i] = storedWidth(i);
}

bool PanelFit::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_page && event->type() == QEvent::Resize)
        apply();
    return false;
}

void PanelFit::apply()
{
    takeOutsideWidths();
    // The room of the panels: the page less what the other widgets need at least.
    int room = m_page->width() - restMinimum();
    if (QLayout *layout = m_page->layout()) {
        for (int i = 0; i < layout->count(); ++i) {
            QWidget *w = layout->itemAt(i)->widget();
            if (w && w != m_rest && std::find(m_panels.begin(), m_panels.end(), w) == m_panels.end())
                room -= w->minimumWidth();
        }
        const QMargins margins = layout->contentsMargins();
        room -= margins.left() + margins.right() + layout->spacing() * std::max(0, layout->count() - 1);
    }
    const std::vector<int> widths = fit(m_stored, room);
    for (size_t i = 0; i < m_panels.size(); ++i) {
        m_applied[i] = std::clamp(widths[i], 0, QWIDGETSIZE_MAX);
        m_panels[i]->setFixedWidth(m_applied[i]);
    }
}
