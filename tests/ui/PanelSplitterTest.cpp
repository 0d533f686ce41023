// The list page's splitter: the panels' widths, dragging its handles, keeping them from one run to
// the next, and a window on a small or highly scaled screen (run once as it comes and once at 200 %).
#include "WindowFixture.h"
#include "ui_MainUnit.h"

#include <QScreen>
#include <QSplitter>
#include <QTest>

namespace {

struct PanelSplitter : WindowFixture {
    std::vector<int> widths() const
    {
        const Ui::TMainForm &ui = form->ui();
        return {ui.Panel1Laeden->width(), ui.Panel1Produkte->width(), ui.Panel11->width()};
    }
    std::vector<int> stored() const
    {
        const StoredProps props = form->currentProps();
        return {props.panel1LaedenWidth, props.panel1ProdukteWidth, props.panel11Width};
    }
    // Drags the handle right of panel `index` by dx pixels, as a user does.
    void drag(int index, int dx) const
    {
        QSplitterHandle *handle = form->ui().PanelSplitter->handle(index + 1);
        const QPoint from(1, handle->height() / 2), to = from + QPoint(dx, 0);
        QTest::mousePress(handle, Qt::LeftButton, {}, from);
        QTest::mouseMove(handle, to);
        QTest::mouseRelease(handle, Qt::LeftButton, {}, to);
    }
    void showAt(int width)
    {
        form->show();
        form->resize(width, 500);
        ASSERT_TRUE(testsupport::eventually([&] { return form->width() == width; })) << form->width();
    }
};

} // namespace

TEST_F(PanelSplitter, draggedWidthsSurviveARestartAndOnlyTheDefectListFollowsTheWindow)
{
    createWithStarter();
    showAt(1100);
    EXPECT_EQ(widths(), std::vector<int>({145, 269, 213}));
    EXPECT_EQ(stored(), std::vector<int>({145, 269, 213}));

    // Each handle widens or narrows the panel on its left; the panels on its right move along.
    const int moves[] = {30, -40, 60};
    std::vector<int> expected = {145, 269, 213};
    for (int i = 0; i < 3; ++i) {
        drag(i, moves[i]);
        expected[size_t(i)] += moves[i];
        for (size_t j = 0; j < 3; ++j)
            EXPECT_NEAR(widths()[j], expected[j], 1) << "after dragging handle " << i << ", panel " << j;
    }
    const std::vector<int> dragged = widths();
    EXPECT_EQ(stored(), dragged);
    const int defects = form->ui().Panel7->width();
    showAt(1000);
    EXPECT_EQ(widths(), dragged) << "the window narrows the defect list only";
    EXPECT_EQ(form->ui().Panel7->width(), defects - 100);

    prompts.answers = {Prompts::Answer::No};
    ASSERT_TRUE(form->close());
    const QByteArray text = testsupport::readFile(settingsFile());
    const char *names[] = {"Panel1Laeden_Width", "Panel1Produkte_Width", "Panel11_Width"};
    for (size_t i = 0; i < 3; ++i)
        EXPECT_TRUE(text.contains(QByteArray(names[i]) + '=' + QByteArray::number(dragged[i]) + '\n')) << names[i];
    create();
    showAt(1000); // a scaled test screen is narrower than the stored place
    EXPECT_EQ(stored(), dragged);
    EXPECT_EQ(widths(), dragged);
}

TEST_F(PanelSplitter, aNarrowWindowFitsTheScreenKeepsTheDefectButtonsAndStoresTheWideWidths)
{
    createWithStarter();
    const QSize area = form->screen()->availableGeometry().size();
    const QSize least = form->minimumSizeHint().expandedTo(form->minimumSize());
    EXPECT_LE(least.width(), area.width());
    EXPECT_LE(least.height(), area.height());

    const Ui::TMainForm &ui = form->ui();
    showAt(std::min(area.width(), 600));
    EXPECT_LT(ui.Panel1Laeden->width() + ui.Panel1Produkte->width() + ui.Panel11->width(), 145 + 269 + 213);
    EXPECT_LT(ui.DelList3->geometry().right(), ui.Panel7->width()) << "the defect list's last button shows";
    EXPECT_EQ(stored(), std::vector<int>({145, 269, 213})) << "what is stored is the width a wide window shows";
}
