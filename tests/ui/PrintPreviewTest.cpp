// The print preview as the keyboard and a screen reader meet it: its commands, their keys, the page's name.
#include "TestSupport.h"

#include "ui/PrintPreviewDialog.h"

#include <QAccessible>
#include <QApplication>
#include <QGraphicsView>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

// Every accessible object of a window, found by its name; nothing when none or several share it.
QAccessibleInterface *named(QWidget *window, const QString &name)
{
    QAccessibleInterface *found = nullptr;
    int count = 0;
    const std::function<void(QAccessibleInterface *)> walk = [&](QAccessibleInterface *iface) {
        if (iface->text(QAccessible::Name) == name && ++count == 1)
            found = iface;
        for (int i = 0; i < iface->childCount(); ++i)
            if (QAccessibleInterface *child = iface->child(i))
                walk(child);
    };
    walk(QAccessible::queryAccessibleInterface(window));
    return count == 1 ? found : nullptr;
}

QString focusedName()
{
    return QAccessible::queryAccessibleInterface(QApplication::focusWidget())->text(QAccessible::Name);
}

class PrintPreview : public ::testing::Test {
protected:
    PrintPreview()
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        for (int i = 1; i <= 200; ++i)
            rows.push_back({"Mangel " + std::to_string(i), {"Dach"}});
        dialog = std::make_unique<PrintPreviewDialog>(printer, [this] { return Printout{&rows, {}, {}, {}}; });
        dialog->show();
        QApplication::setActiveWindow(dialog.get());
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
        EXPECT_GE(dialog->pageCount(), 4);
    }
    int page() const { return dialog->view()->currentPage(); }
    QString pageName(int page) const { return QStringLiteral("Seite %1 von %2").arg(page).arg(dialog->pageCount()); }

    QPrinter printer{QPrinter::HighResolution};
    std::vector<ListEntry> rows;
    std::unique_ptr<PrintPreviewDialog> dialog;
};

const char *const kCommands[] = {"Erste Seite", "Vorige Seite", "Nächste Seite", "Letzte Seite", "Verkleinern",
                                 "Vergrößern",  "Ganze Seite",  "Seitenbreite",  "Drucken...",   "Schließen"};

} // namespace

TEST_F(PrintPreview, theFocusStartsOnThePageAndTabGoesRoundEveryNamedCommand)
{
    EXPECT_EQ(QApplication::focusWidget(), dialog->page());
    EXPECT_EQ(focusedName(), pageName(1));
    QStringList expected;
    for (const char *command : kCommands) {
        expected << QString::fromUtf8(command);
        QAccessibleInterface *button = named(dialog.get(), expected.back());
        ASSERT_NE(button, nullptr) << command;
        EXPECT_EQ(button->role(), QAccessible::Button) << command;
        EXPECT_TRUE(button->state().focusable) << command;
    }
    expected << pageName(1);
    QStringList tabbed;
    for (qsizetype i = 0; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        tabbed << focusedName();
    }
    EXPECT_EQ(tabbed, expected);
}

TEST_F(PrintPreview, theKeysTurnThePagesAndThePageTakesTheNameOfEach)
{
    // Qt tells a listening screen reader of every new name (there is none here to listen).
    const int last = dialog->pageCount();
    const struct {
        Qt::Key key;
        int page;
    } table[] = {{Qt::Key_PageDown, 2},      {Qt::Key_PageDown, 3}, {Qt::Key_End, last}, {Qt::Key_PageDown, last},
                 {Qt::Key_PageUp, last - 1}, {Qt::Key_Home, 1},     {Qt::Key_PageUp, 1}};
    for (const auto &step : table) {
        QTest::keyClick(QApplication::focusWidget(), step.key);
        EXPECT_EQ(page(), step.page) << step.key;
        EXPECT_EQ(focusedName(), pageName(step.page)) << step.key;
    }
}

TEST_F(PrintPreview, theZoomKeysAndButtonsZoomAndEscOrPrintEndIt)
{
    QPrintPreviewWidget *view = dialog->view();
    const qreal fitted = view->zoomFactor();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_GT(view->zoomFactor(), fitted);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Minus, Qt::ControlModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_LT(view->zoomFactor(), fitted);
    const auto press = [&](const char *name) {
        named(dialog.get(), QString::fromUtf8(name))
            ->actionInterface()
            ->doAction(QAccessibleActionInterface::pressAction());
    };
    press("Seitenbreite");
    EXPECT_EQ(view->zoomMode(), QPrintPreviewWidget::FitToWidth);
    press("Ganze Seite");
    EXPECT_EQ(view->zoomMode(), QPrintPreviewWidget::FitInView);

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    dialog->show();
    press("Drucken...");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), PrintPreviewDialog::PrintRequested);
}
