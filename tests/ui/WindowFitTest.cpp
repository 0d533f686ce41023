// Where the program's windows open: within the screen, centred on the main window where they fit.
#include "ui/WindowFit.h"

#include <QApplication>
#include <QDialog>
#include <QScreen>

#include <gtest/gtest.h>

TEST(WindowFit, placeBoundsByTheAreaCentresOnTheAnchorAndKeepsInside)
{
    const QRect area(0, 0, 1280, 800);
    const struct {
        const char *what;
        QSize wanted;
        QRect anchor;
        QRect area;
        QRect placed;
    } table[] = {
        {"fits over the anchor", {400, 300}, {100, 100, 600, 400}, area, {200, 150, 400, 300}},
        {"taller than the area", {800, 900}, area, area, {240, 0, 800, 800}},
        {"larger both ways", {2000, 2000}, {300, 200, 400, 300}, area, area},
        {"would stick out right and below", {400, 300}, {1000, 600, 400, 300}, area, {880, 500, 400, 300}},
        {"would stick out left and above", {400, 300}, {-300, -200, 400, 300}, area, {0, 0, 400, 300}},
        {"second screen below a panel", {400, 300}, {0, 0, 100, 100}, {1280, 30, 1280, 770}, {1280, 30, 400, 300}},
    };
    for (const auto &c : table)
        EXPECT_EQ(windowfit::place(c.wanted, c.anchor, c.area), c.placed) << c.what;
}

TEST(WindowFit, aDialogOpensWithinTheScreenCentredOnItsParentAndKeepsTheUsersSizeLater)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QWidget parent;
    parent.setGeometry(QRect(area.topLeft() + QPoint(40, 30), area.size() / 2));
    parent.show();
    QDialog big(&parent);
    windowfit::fitOnShow(&big, area.size() * 2);
    big.show();
    EXPECT_TRUE(area.contains(big.frameGeometry())) << big.frameGeometry().width();
    big.hide();

    QDialog small(&parent);
    windowfit::fitOnShow(&small, QSize(200, 100));
    small.show();
    EXPECT_EQ(small.size(), QSize(200, 100));
    EXPECT_LE((small.frameGeometry().center() - parent.frameGeometry().center()).manhattanLength(), 2);
    small.hide();
    small.resize(300, 150);
    small.move(area.topLeft() + QPoint(5, 5));
    small.show();
    EXPECT_EQ(small.frameGeometry().topLeft(), area.topLeft() + QPoint(5, 5));
    EXPECT_EQ(small.size(), QSize(300, 150));
}
