#include "ui/SplitterBar.h"

#include <QMouseEvent>

SplitterBar::SplitterBar(QWidget *parent) : QWidget(parent)
{
    setCursor(Qt::SplitHCursor);
    setFixedWidth(3);
}

void SplitterBar::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_panel)
        return;
    m_dragging = true;
    m_pressX = event->globalPosition().toPoint().x();
    m_startWidth = m_panel->width();
}

void SplitterBar::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragging)
        return;
    const int width = std::max(kMinWidth, m_startWidth + event->globalPosition().toPoint().x() - m_pressX);
    if (width != m_panel->width()) {
        m_panel->setFixedWidth(width);
        emit moved(width);
    }
}

void SplitterBar::mouseReleaseEvent(QMouseEvent *)
{
    m_dragging = false;
}
