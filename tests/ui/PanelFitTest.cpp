// The window on a small or highly scaled screen: the panels give way so that the window fits.
#include "ui/PanelFit.h"
#include "WindowFixture.h"
#include "ui_MainUnit.h"

#include <QScreen>
#include <QTest>

#include <iostream>

TEST(PanelFit, fit_keepsTheStoredWidthsWhileTheyFitElseShrinksThemInProportion)
{
    const struct {
        std::vector<int> stored;
        int room;
        std::vector<int> widths;
    } table[] = {
        {{145, 269, 213}, 1000, {145, 269, 213}}, {{145, 269, 213}, 627, {145, 269, 213}},
        {{145, 269, 213}, 626, {144, 268, 212}},  {{145, 269, 213}, 314, {72, 134, 106}},
        {{145, 269, 213}, 0, {1, 1, 1}},          {{145, 269, 213}, -20, {1, 1, 1}},
        {{0, 2147483647, 213}, 500, {1, 499, 1}},
    };
    for (const auto &row : table)
        EXPECT_EQ(PanelFit::fit(row.stored, row.room), row.widths) << row.room;
}

struct PanelFitWindow : WindowFixture {};

// Run once as it comes and once at 200 % on a 1280 x 1024 screen.
TEST_F(PanelFitWindow, window_fitsTheWorkAreaAndThePanelsGiveWayInProportion)
{
    createWithStarter();
    const QSize area = form->screen()->availableGeometry().size();
    const QSize least = form->minimumSizeHint().expandedTo(form->minimumSize());
    std::cout << "work area " << area.width() << "x" << area.height() << ", window at least " << least.width() << "x"
              << least.height() << "\n";
    EXPECT_LE(least.width(), area.width());
    EXPECT_LE(least.height(), area.height());

    Ui::TMainForm &ui = form->ui();
    for (const int width : {std::min(area.width(), 600), 1000}) {
        SCOPED_TRACE(width);
        form->resize(width, std::min(area.height(), 500));
        form->show();
        EXPECT_TRUE(testsupport::eventually([&] { return form->width() == width; })) << form->width();
        EXPECT_TRUE(testsupport::eventually([&] { return ui.Panel7->geometry().right() < ui.TabSheet1->width(); }));
        EXPECT_GE(ui.Panel7->width(), ui.Panel7->minimumSizeHint().width());
        EXPECT_LT(ui.DelList3->geometry().right(), ui.Panel7->width()) << "the defect list's last button shows";
        const int laeden = ui.Panel1Laeden->width(), produkte = ui.Panel1Produkte->width(),
                  gefiltert = ui.Panel11->width();
        if (width >= 1000) {
            EXPECT_EQ(std::vector<int>({laeden, produkte, gefiltert}), std::vector<int>({145, 269, 213}));
        } else {
            EXPECT_LT(laeden, 145);
            EXPECT_NEAR(double(produkte) / laeden, 269.0 / 145, 0.05);
            EXPECT_NEAR(double(gefiltert) / laeden, 213.0 / 145, 0.05);
        }
        // What is stored is the width a wide window shows.
        EXPECT_EQ(form->currentProps().panel1LaedenWidth, 145);
        EXPECT_EQ(form->currentProps().panel1ProdukteWidth, 269);
    }
}
