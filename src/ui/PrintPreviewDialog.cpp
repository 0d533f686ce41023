#include "ui/PrintPreviewDialog.h"

#include "document/OutOfMemory.h"
#include "print/ForwardingCanvas.h"
#include "print/QPrinterCanvas.h"

#include <QAction>
#include <QLabel>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QToolBar>
#include <QVBoxLayout>

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

    auto *bar = new QToolBar(this);
    const auto add = [&](const QString &text, const QString &tip, auto slot) {
        QAction *action = bar->addAction(text, this, slot);
        action->setToolTip(tip);
        return action;
    };
    add(QStringLiteral("◀"), QStringLiteral("Vorige Seite"), [this] { m_view->setCurrentPage(m_view->currentPage() - 1); });
    m_pageLabel = new QLabel(bar);
    m_pageLabel->setMinimumWidth(110);
    m_pageLabel->setAlignment(Qt::AlignCenter);
    bar->addWidget(m_pageLabel);
    add(QStringLiteral("▶"), QStringLiteral("Nächste Seite"), [this] { m_view->setCurrentPage(m_view->currentPage() + 1); });
    bar->addSeparator();
    add(QStringLiteral("−"), QStringLiteral("Verkleinern"), [this] { m_view->zoomOut(); });
    add(QStringLiteral("+"), QStringLiteral("Vergrößern"), [this] { m_view->zoomIn(); });
    add(QStringLiteral("Ganze Seite"), QStringLiteral("Ganze Seite zeigen"), [this] { m_view->fitInView(); });
    add(QStringLiteral("Seitenbreite"), QStringLiteral("Seitenbreite zeigen"), [this] { m_view->fitToWidth(); });
    bar->addSeparator();
    auto *print = new QPushButton(QStringLiteral("&Drucken..."), bar);
    connect(print, &QPushButton::clicked, this, [this] { done(PrintRequested); });
    bar->addWidget(print);
    auto *close = new QPushButton(QStringLiteral("Schl&ießen"), bar);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    bar->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(m_view);
    resize(800, 900);
    m_view->fitInView();
    m_view->updatePreview();
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
    m_pageLabel->setText(QStringLiteral("Seite %1 von %2").arg(m_view->currentPage()).arg(m_view->pageCount()));
}
