#pragma once

#include "document/ReportDetails.h"

#include <QDialog>
#include <QList>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;

// The dialog "Berichtsangaben": the report details of the document, one labelled field each, in the
// order of the details file. The fields scroll within a dialog that never outgrows the screen.
//
// "Begehung am:" takes a date dd.mm.yyyy (one-digit day and month too) or nothing; while it holds
// anything else, a hint says so and OK is disabled. "Anschrift:" holds at most three lines.
//
//   ReportDetailsDialog dialog(parent);
//   dialog.setDetails(shown);
//   if (dialog.exec() == QDialog::Accepted) store(dialog.details());
class ReportDetailsDialog : public QDialog {
    Q_OBJECT

public:
    explicit ReportDetailsDialog(QWidget *parent = nullptr);

    void setDetails(const ReportDetails &details);
    // The details as entered; lines of the details file that name no field stay as they were set.
    // The date comes back as dd.mm.yyyy.
    ReportDetails details() const;

    // The labels and the fields, in the dialog's order (tests and screen readers walk them).
    const QList<QLabel *> &labels() const { return m_labels; }
    const QList<QWidget *> &fields() const { return m_fields; }
    QLineEdit *dateField() const { return m_date; }
    QLabel *dateHint() const { return m_dateHint; }
    QPushButton *okButton() const { return m_ok; }

    // The most lines the address takes.
    static constexpr int kAddressLines = 3;

    // The size its fields want, at least wide enough for a comfortable line.
    QSize sizeHint() const override;

private:
    void dateEdited();

    ReportDetails m_details;
    QList<QLabel *> m_labels;
    QList<QWidget *> m_fields;
    QLineEdit *m_date = nullptr;
    QLabel *m_dateHint = nullptr;
    QPushButton *m_ok = nullptr;
    QScrollArea *m_scroll = nullptr;
};
