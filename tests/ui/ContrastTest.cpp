// How well what matters stands out: the selection of the lists, focus frames and the icons, measured
// as contrast ratios of the colours the window paints.
#include "ui/Contrast.h"
#include "WindowFixture.h"
#include "ui/FocusStyle.h"
#include "ui_MainUnit.h"

#include <QDirIterator>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QTabBar>
#include <QTest>

#include <algorithm>
#include <iostream>

namespace {

QColor hex(const char *name)
{
    return QColor(QString::fromLatin1(name));
}

// The pixel of rect that stands out most against background, as its ratio.
double strongest(const QImage &image, const QRect &rect, const QColor &background)
{
    double best = 1;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            best = std::max(best, contrast::ratio(image.pixelColor(x, y), background));
    return best;
}

// How the outline of rect in image stands out against the pixels of other offset pixels further
// out (negative: further in), each pixel against its own counterpart; the median, so that a line
// shows all along and not in a few pixels. The corners are left out.
double outlineContrast(const QImage &image, const QRect &rect, const QImage &other, int offset)
{
    std::vector<double> ratios;
    const auto compare = [&](int x, int y, int dx, int dy) {
        ratios.push_back(contrast::ratio(image.pixelColor(x, y), other.pixelColor(x + dx * offset, y + dy * offset)));
    };
    for (int x = rect.left() + 4; x <= rect.right() - 4; ++x) {
        compare(x, rect.top(), 0, -1);
        compare(x, rect.bottom(), 0, 1);
    }
    for (int y = rect.top() + 4; y <= rect.bottom() - 4; ++y) {
        compare(rect.left(), y, -1, 0);
        compare(rect.right(), y, 1, 0);
    }
    std::nth_element(ratios.begin(), ratios.begin() + long(ratios.size() / 2), ratios.end());
    return ratios[ratios.size() / 2];
}

// The part of the window around widget, margin pixels wide.
QImage grabAround(QWidget *window, QWidget *widget, int margin)
{
    const QRect around(widget->mapTo(window, QPoint(-margin, -margin)), widget->size() + QSize(2 * margin, 2 * margin));
    return window->grab(around).toImage();
}

} // namespace

TEST(Contrast, ratio_followsTheGuidelinesFormula)
{
    const struct {
        const char *a, *b;
        double ratio;
    } table[] = {
        {"#000000", "#ffffff", 21.0}, {"#ffffff", "#ffffff", 1.0},  {"#777777", "#ffffff", 4.48},
        {"#308cc6", "#ffffff", 3.69}, {"#ffffff", "#1f5f9e", 6.59}, {"#000000", "#8c8c8c", 6.25},
    };
    for (const auto &row : table)
        EXPECT_NEAR(contrast::ratio(hex(row.a), hex(row.b)), row.ratio, 0.01) << row.a << " " << row.b;
    for (const char *background : {"#000000", "#767676", "#777777", "#1f5f9e", "#ffffff", "#f0caa6"})
        EXPECT_GE(contrast::ratio(contrast::outlineAgainst(hex(background)), hex(background)), 4.58) << background;
}

TEST(Contrast, focusFrame_standsOutAgainstEveryBackgroundItIsDrawnOn)
{
    FocusStyle style;
    // Window, list, caption strip, settings picture panel, both selections.
    for (const QColor &background : {hex("#efefef"), hex("#ffffff"), hex("#f0caa6"), hex("#c0dcc0"),
                                     contrast::kFocusedSelection, contrast::kSelection}) {
        QImage image(40, 20, QImage::Format_RGB32);
        image.fill(background);
        QStyleOptionFocusRect option;
        option.rect = image.rect();
        option.state = QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange;
        option.backgroundColor = background;
        QPainter painter(&image);
        style.drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter);
        painter.end();
        const double frame = std::min({contrast::ratio(image.pixelColor(1, 10), background),
                                       contrast::ratio(image.pixelColor(20, 1), background),
                                       contrast::ratio(image.pixelColor(38, 10), background)});
        std::cout << "focus frame on " << background.name().toStdString() << ": " << frame << ":1\n";
        EXPECT_GE(frame, 3.0) << background.name().toStdString();
    }
}

struct ListContrast : WindowFixture {
    void SetUp() override
    {
        FocusStyle::install();
        createWithStarter();
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
};

TEST_F(ListContrast, selection_readableAndFocusedListApartFromTheOthers)
{
    ListView *view = form->ListView2();
    const QColor base = view->palette().color(QPalette::Base);
    const struct {
        bool focused;
        QColor fill;
    } table[] = {{true, contrast::kFocusedSelection}, {false, contrast::kSelection}};
    for (const auto &row : table) {
        SCOPED_TRACE(row.focused);
        view->selectRow(0);
        (row.focused ? static_cast<QWidget *>(view) : form->ListView3())->setFocus(Qt::TabFocusReason);
        ASSERT_EQ(view->hasFocus(), row.focused);
        const QImage image = view->viewport()->grab().toImage();
        const QRect cell = view->visualRect(view->model()->index(0, 0));
        // Right of the text and clear of the focus frame: the selection's fill.
        const QColor fill = image.pixelColor(cell.right() - 4, cell.center().y());
        EXPECT_LT(contrast::ratio(fill, row.fill), 1.02) << fill.name().toStdString();
        const double text = strongest(image, cell.adjusted(3, 3, -3, -3), fill);
        std::cout << (row.focused ? "focused" : "unfocused") << " selection: text " << text << ":1, fill on the list "
                  << contrast::ratio(fill, base) << ":1\n";
        EXPECT_GE(text, 4.5);
        EXPECT_GE(contrast::ratio(fill, base), 3.0);
    }
}

TEST_F(ListContrast, focusedList_isFramedAgainstItsSurroundingsEmptyOrNot)
{
    ListView *view = form->ListView3();
    for (const bool empty : {false, true}) {
        SCOPED_TRACE(empty);
        if (empty)
            doc().DefectList.clear();
        form->ListView2()->setFocus(Qt::TabFocusReason);
        const QImage before = grabAround(form.get(), view, 3);
        view->setFocus(Qt::TabFocusReason);
        const QImage image = grabAround(form.get(), view, 3);
        // The frame's outer pixels against the window beside them, its inner ones against the list.
        const QRect edge(QPoint(3, 3), view->size());
        const double outside = outlineContrast(image, edge, image, 1);
        const double inside = outlineContrast(image, edge.adjusted(1, 1, -1, -1), image, -1);
        const double change = outlineContrast(image, edge, before, 0);
        std::cout << (empty ? "empty" : "filled") << " focused list: frame " << outside << ":1 outside, " << inside
                  << ":1 inside, " << change << ":1 against the unfocused border\n";
        EXPECT_GE(outside, 3.0);
        EXPECT_GE(inside, 3.0);
        EXPECT_GE(change, 3.0);
    }
}

TEST_F(ListContrast, currentRowFrame_standsOutOnTheRowSelectedOrNot)
{
    ListView *view = form->ListView2();
    const struct {
        bool selected;
        QColor fill;
    } table[] = {{true, contrast::kFocusedSelection}, {false, view->palette().color(QPalette::Base)}};
    for (const auto &row : table) {
        SCOPED_TRACE(row.selected);
        view->selectRow(1);
        view->setFocus(Qt::TabFocusReason);
        if (!row.selected)
            view->selectionModel()->clearSelection(); // as after Entf: current, not selected
        ASSERT_EQ(view->currentIndex().row(), 1);
        const QImage image = view->viewport()->grab().toImage();
        const QRect cell = view->visualRect(view->model()->index(1, 0));
        const QColor fill = image.pixelColor(cell.right() - 4, cell.center().y());
        EXPECT_LT(contrast::ratio(fill, row.fill), 1.02) << fill.name().toStdString();
        const double frame = strongest(image, QRect(cell.center().x(), cell.top(), 1, 2), fill);
        std::cout << (row.selected ? "selected" : "unselected") << " current row: frame " << frame << ":1\n";
        EXPECT_GE(frame, 3.0);
    }
}

TEST_F(ListContrast, focusedPageTab_isFramedNotOnlyTinted)
{
    QTabBar *tabs = form->ui().PageControl1->tabBar();
    form->ui().PlusLaedenBtn->setFocus(Qt::OtherFocusReason);
    const QImage unfocused = tabs->grab().toImage();
    QTest::keyClick(form->ui().PlusLaedenBtn, Qt::Key_Backtab);
    ASSERT_EQ(QApplication::focusWidget(), tabs);
    const QImage focused = tabs->grab().toImage();
    // The frame runs inside the tab's edge; each of its pixels against the same pixel unfocused.
    const double frame = outlineContrast(focused, tabs->tabRect(tabs->currentIndex()).adjusted(3, 3, -3, -3), unfocused, 0);
    std::cout << "focused page tab: frame " << frame << ":1 against the tab unfocused\n";
    EXPECT_GE(frame, 3.0);
}

TEST_F(ListContrast, icons_standOutAgainstTheWindow)
{
    const QColor window = form->palette().color(QPalette::Window);
    QDirIterator it(QStringLiteral(":/icons"));
    int icons = 0;
    while (it.hasNext()) {
        const QString file = it.next();
        if (file.startsWith(QStringLiteral(":/icons/maengelliste")))
            continue; // the program's own picture, not a control
        const QImage icon = QIcon(file).pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
        QImage shown(icon.size(), QImage::Format_RGB32);
        shown.fill(window);
        QPainter(&shown).drawImage(0, 0, icon);
        // The outline of the icon: mostly opaque pixels beside mostly transparent ones, as shown on the
        // window's colour.
        const auto opaque = [&](int x, int y) {
            return x >= 0 && y >= 0 && x < icon.width() && y < icon.height() && icon.pixelColor(x, y).alphaF() >= 0.5;
        };
        std::vector<double> edge;
        for (int y = 0; y < icon.height(); ++y) {
            for (int x = 0; x < icon.width(); ++x) {
                if (opaque(x, y) && !(opaque(x - 1, y) && opaque(x + 1, y) && opaque(x, y - 1) && opaque(x, y + 1)))
                    edge.push_back(contrast::ratio(shown.pixelColor(x, y), window));
            }
        }
        ASSERT_FALSE(edge.empty()) << file.toStdString();
        std::nth_element(edge.begin(), edge.begin() + long(edge.size() / 2), edge.end());
        const double median = edge[edge.size() / 2];
        std::cout << file.toStdString() << ": " << median << ":1\n";
        EXPECT_GE(median, 3.0) << file.toStdString();
        ++icons;
    }
    EXPECT_GE(icons, 15);
}
