#pragma once

#include <QObject>

#include <vector>

class QWidget;

// Keeps the window usable on a small or highly scaled screen: the side-by-side panels of a page
// have stored widths, which they keep while the page has room for them and the last panel's
// minimum; on a narrower page they give way in proportion. The page's own minimum no longer
// depends on the stored widths, so the window always fits the screen.
class PanelFit : public QObject {
    Q_OBJECT

public:
    // Fits panels (each with the width it has now as its stored width) into page, leaving at least
    // the minimum width of rest, the panel that takes what is left (its minimum width when set,
    // else its layout's).
    PanelFit(QWidget *page, std::vector<QWidget *> panels, QWidget *rest);

    // The width a panel keeps when there is room; setting it applies it at once as far as it fits.
    // A fixed width set on the panel from outside (a splitter drag) becomes its stored width.
    int storedWidth(size_t panel) const;
    void setStoredWidth(size_t panel, int width);

    // The widths that fit into room: the stored ones when their sum fits, else each in proportion,
    // none below 1.  {145, 269, 213} into 627 or more => as stored; into 314 => {72, 134, 106}.
    static std::vector<int> fit(const std::vector<int> &stored, int room);
    // The smallest width a panel gives way to.
    static constexpr int kMinPanelWidth = 30;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void apply();
    // What the rest needs at least: its own minimum or its layout's.
    int restMinimum() const;
    void takeOutsideWidths();

    QWidget *m_page;
    std::vector<QWidget *> m_panels;
    QWidget *m_rest;
    std::vector<int> m_stored;
    std::vector<int> m_applied; // the widths apply() gave the panels
};
