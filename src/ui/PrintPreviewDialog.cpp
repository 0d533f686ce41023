#include "ui/PrintPreviewDialog.h"

#include "document/OutOfMemory.h"
#include "print/ForwardingCanvas.h"
#include "print/QPrinterCanvas.h"
#include "ui/AccessibleNames.h"
#include "ui/WindowFit.h"

#include <QAction>
#include <QGraphicsView>
#include <QIcon>
#include <QLabel>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>
#include <new>

namespace {

// Paints on the preview's printer and notes the texts of every page.
class TextNotingCanvas : public ForwardingCanvas {
public:
    TextNotingCanvas(PrintCanvas &canvas, std::vector<QStringList> &pages) : ForwardingCanvas(canvas), m_pages(pages)
    {
        m_pages.assign(1, {});
    }

    void newPage() override
    {
        ForwardingCanvas::newPage();
        m_pages.emplace_back();
    }
    void drawText(int x, int y, const QString &text) override
    {
        ForwardingCanvas::drawText(x, y, text);
        m_pages.back() << text;
    }

private:
    std::vector<QStringList> &m_pages;
};

} // namespace

PrintPreviewDialog::PrintPreviewDialog(QPrinter &printer, std::function<Printout()> printout, QWidget *parent)
    : QDialog(parent), m_printout(std::move(printout))
{
    setWindowTitle(QStringLiteral("Seitenansicht"));
    m_view = new QPrintPreviewWidget(&printer, this);
    connect(m_view, &QPrintPreviewWidget::paintRequested, this, &PrintPreviewDialog::paint);
    connect(m_view, &QPrintPreviewWidget::previewChanged, this, &PrintPreviewDialog::showPage);
    // The page itself is what the keyboard and a screen reader meet first: it is named after the
    // page it shows, and its arrow keys scroll it.
    m_page = m_view->findChild<QGraphicsView *>();
    Q_ASSERT(m_page);
    m_view->setFocusProxy(m_page);

    auto *bar = new QToolBar(this);
    bar->setIconSize(QSize(20, 20));
    // The preview tells of a new page only when scrolling brought it, not when it was asked for one.
    const auto page = [this](int number) {
        m_view->setCurrentPage(std::clamp(number, 1, m_view->pageCount()));
        showPage();
    };
    // Every command is a button of the bar that Tab reaches, with its key; the buttons that show a
    // picture only say their name and key in their tooltip, which also shows on keyboard focus.
    enum class Then { Nothing, PageNumber, Separator };
    struct Command {
        const char *name;
        const char *icon;
        QKeySequence key;
        const char *keyName;
        bool withText;
        Then then;
        std::function<void()> run;
    };
    const Command commands[] = {
        {"Erste Seite", "first", QKeySequence(Qt::Key_Home), "Pos1", false, Then::Nothing, [page] { page(1); }},
        {"Vorige Seite", "previous", QKeySequence(Qt::Key_PageUp), "Bild↑", false, Then::PageNumber,
         [this, page] { page(m_view->currentPage() - 1); }},
        {"Nächste Seite", "next", QKeySequence(Qt::Key_PageDown), "Bild↓", false, Then::Nothing,
         [this, page] { page(m_view->currentPage() + 1); }},
        {"Letzte Seite", "last", QKeySequence(Qt::Key_End), "Ende", false, Then::Separator,
         [this, page] { page(m_view->pageCount()); }},
        {"Verkleinern", "zoomout", QKeySequence(Qt::CTRL | Qt::Key_Minus), "Strg+-", false, Then::Nothing,
         [this] { m_view->zoomOut(); }},
        {"Vergrößern", "zoomin", QKeySequence(Qt::CTRL | Qt::Key_Plus), "Strg++", false, Then::Separator,
         [this] { m_view->zoomIn(); }},
        {"Ganze Seite", "fitpage", {}, "", false, Then::Nothing, [this] { m_view->fitInView(); }},
        {"Seitenbreite", "fitwidth", {}, "", false, Then::Separator, [this] { m_view->fitToWidth(); }},
        {"Drucken...", "print", {}, "", true, Then::Nothing, [this] { done(PrintRequested); }},
        {"Schließen", "exit", QKeySequence(Qt::Key_Escape), "Esc", true, Then::Nothing, [this] { reject(); }},
    };
    for (const Command &command : commands) {
        const QString name = QString::fromUtf8(command.name);
        QAction *action =
            bar->addAction(QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(command.icon))), name);
        action->setIconText(name);
        connect(action, &QAction::triggered, this, command.run);
        action->setShortcut(command.key);
        const QString keyName = QString::fromUtf8(command.keyName);
        action->setToolTip(keyName.isEmpty() ? name : QStringLiteral("%1 (%2)").arg(name, keyName));
        auto *button = qobject_cast<QToolButton *>(bar->widgetForAction(action));
        button->setFocusPolicy(Qt::TabFocus);
        button->setAccessibleName(name);
        accessiblenames::showTipOnKeyboardFocus(button);
        if (command.withText)
            button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        if (command.then == Then::PageNumber)
            bar->addWidget(m_pageLabel = new QLabel(bar));
        else if (command.then == Then::Separator)
            bar->addSeparator();
    }
    m_pageLabel->setAlignment(Qt::AlignCenter);
    m_pageLabel->setContentsMargins(6, 0, 6, 0);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(m_view);
    windowfit::fitOnShow(this, QSize(800, 900));
    m_view->fitInView();
    m_view->updatePreview();
    m_page->setFocus(Qt::OtherFocusReason);
}

int PrintPreviewDialog::pageCount() const
{
    return m_view->pageCount();
}

void PrintPreviewDialog::paint(QPrinter *printer)
{
    // No exception may leave a slot: a failure ends the painting and is kept for the caller.
    m_failure.clear();
    try {
        QPrinterCanvas canvas(*printer, QPrinterCanvas::Target::Preview);
        TextNotingCanvas noting(canvas, m_pageTexts);
        const Printout printout = m_printout();
        static const std::vector<ListEntry> kNoRows;
        printDefectList(noting, printout.rows ? *printout.rows : kNoRows, printout.margins, printout.font,
                        printout.frame);
    } catch (const std::bad_alloc &) {
        m_failure = outofmemory::text();
    } catch (const std::exception &e) {
        m_failure = QString::fromUtf8(e.what());
    } catch (...) {
        m_failure = QStringLiteral("Die Seitenansicht konnte nicht erstellt werden.");
    }
}

void PrintPreviewDialog::showPage()
{
    // Setting the name tells a screen reader of the change, so that it says the new page.
    const QString text = QStringLiteral("Seite %1 von %2").arg(m_view->currentPage()).arg(m_view->pageCount());
    m_pageLabel->setText(text);
    if (m_page->accessibleName() != text)
        m_page->setAccessibleName(text);
}
