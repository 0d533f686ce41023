#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <array>

// What a report says about the inspection besides its defects: the object, the parties, the date,
// the closing text and the labels under the signature lines. Texts are Unicode, as the dialog and
// the details file hold them; line breaks are '\n'.
struct ReportDetails {
    QString Objekt;
    QString Anschrift;
    QString Auftraggeber;
    QString Auftragnehmer;
    // The inspection date as written, "dd.mm.yyyy", or empty; inspectionDate() reads it.
    QString BegehungAm;
    QString Teilnehmer;
    QString Pruefer;
    QString Schlusstext;
    QString UnterschriftLinks = QStringLiteral("Auftraggeber");
    QString UnterschriftRechts = QStringLiteral("Auftragnehmer");
    // Lines of a details file that name no field of this program, as they stood and in their order,
    // so that a file written by a later version keeps what it holds.
    QStringList otherLines;

    // The inspection date; null when BegehungAm is empty or no date ("12.3.2026" is read too).
    QDate inspectionDate() const;
    // Sets BegehungAm to date as "dd.mm.yyyy", or empties it for a null date.
    void setInspectionDate(const QDate &date);

    // Nothing the user entered: every field at its start value, no other lines. Such details need
    // no file.
    bool isEmpty() const;

    bool operator==(const ReportDetails &) const = default;

    // The fields with the keys of the details file, in the file's order.
    struct Field {
        const char *key;
        QString ReportDetails::*member;
    };
    static const std::array<Field, 10> &fields();
};

// What the dialog and the printout show: the details, with the Prüfer of the user's settings where
// they name none.
ReportDetails effectiveDetails(const ReportDetails &details, const QString &settingsPruefer);

// What the document keeps after the user confirmed `edited`, shown as effectiveDetails(stored,
// settingsPruefer): a Prüfer the settings supplied and the user left as it was stays unstored, so
// that it alone makes no details file and follows the settings.
ReportDetails detailsToStore(const ReportDetails &edited, const ReportDetails &stored, const QString &settingsPruefer);
