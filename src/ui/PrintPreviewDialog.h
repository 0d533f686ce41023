#pragma once

#include "print/PdfPrintout.h"

#include <QDialog>
#include <QStringList>

#include <functional>
#include <vector>

class QGraphicsView;
class QLabel;
class QPrinter;
class QPrintPreviewWidget;

// The print preview: the printout painted page by page on the current printer by the print layout,
// with a bar of commands for the pages, the zoom, printing and closing, each reached by Tab and by
// its key. The page is named after the page it shows ("Seite 2 von 5") and has the focus at first.
// The dialog ends with PrintRequested when "Drucken..." was chosen.
class PrintPreviewDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr int PrintRequested = 2;

    PrintPreviewDialog(QPrinter &printer, std::function<Printout()> printout, QWidget *parent = nullptr);

    QPrintPreviewWidget *view() const { return m_view; }
    // The shown page, which has the focus.
    QGraphicsView *page() const { return m_page; }
    int pageCount() const;
    // The texts drawn on each page by the last painting, in drawing order.
    const std::vector<QStringList> &pageTexts() const { return m_pageTexts; }
    // The error that stopped the last painting, if any.
    const QString &failure() const { return m_failure; }

private:
    void paint(QPrinter *printer);
    void showPage();

    QPrintPreviewWidget *m_view = nullptr;
    QGraphicsView *m_page = nullptr;
    QLabel *m_pageLabel = nullptr;
    std::function<Printout()> m_printout;
    std::vector<QStringList> m_pageTexts;
    QString m_failure;
};
