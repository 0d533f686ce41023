#pragma once

#include "print/PdfPrintout.h"

#include <QDialog>
#include <QStringList>

#include <functional>
#include <vector>

class QLabel;
class QPrinter;
class QPrintPreviewWidget;

// The print preview: the printout painted page by page on the current printer by the print layout,
// with page navigation, zoom and a button that prints. The dialog ends with PrintRequested when that
// button was pressed.
class PrintPreviewDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr int PrintRequested = 2;

    PrintPreviewDialog(QPrinter &printer, std::function<Printout()> printout, QWidget *parent = nullptr);

    QPrintPreviewWidget *view() const { return m_view; }
    int pageCount() const;
    // The texts drawn on each page by the last painting, in drawing order.
    const std::vector<QStringList> &pageTexts() const { return m_pageTexts; }
    // The error that stopped the last painting, if any.
    const QString &failure() const { return m_failure; }

private:
    void paint(QPrinter *printer);
    void showPage();

    QPrintPreviewWidget *m_view = nullptr;
    QLabel *m_pageLabel = nullptr;
    std::function<Printout()> m_printout;
    std::vector<QStringList> m_pageTexts;
    QString m_failure;
};
