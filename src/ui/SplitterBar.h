#pragma once

#include <QWidget>

// A thin bar between two panels; dragging it changes the width of the panel on its left, and the
// panels to its right move along (the last panel takes what is left).
class SplitterBar : public QWidget {
    Q_OBJECT

public:
    explicit SplitterBar(QWidget *parent = nullptr);

    // The panel whose width the bar changes: the one laid out right before the bar.
    void setControlled(QWidget *panel) { m_panel = panel; }
    static constexpr int kMinWidth = 30;

signals:
    void moved(int newWidth);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QWidget *m_panel = nullptr;
    int m_pressX = 0;
    int m_startWidth = 0;
    bool m_dragging = false;
};
