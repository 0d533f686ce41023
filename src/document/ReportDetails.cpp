#include "document/ReportDetails.h"

const std::array<ReportDetails::Field, 10> &ReportDetails::fields()
{
    static const std::array<Field, 10> table{{
        {"Objekt", &ReportDetails::Objekt},
        {"Anschrift", &ReportDetails::Anschrift},
        {"Auftraggeber", &ReportDetails::Auftraggeber},
        {"Auftragnehmer", &ReportDetails::Auftragnehmer},
        {"BegehungAm", &ReportDetails::BegehungAm},
        {"Teilnehmer", &ReportDetails::Teilnehmer},
        {"Pruefer", &ReportDetails::Pruefer},
        {"Schlusstext", &ReportDetails::Schlusstext},
        {"UnterschriftLinks", &ReportDetails::UnterschriftLinks},
        {"UnterschriftRechts", &ReportDetails::UnterschriftRechts},
    }};
    return table;
}

QDate ReportDetails::inspectionDate() const
{
    // "d.M.yyyy" takes one or two digits for day and month.
    return QDate::fromString(BegehungAm.trimmed(), QStringLiteral("d.M.yyyy"));
}

void ReportDetails::setInspectionDate(const QDate &date)
{
    BegehungAm = date.isValid() ? date.toString(QStringLiteral("dd.MM.yyyy")) : QString();
}

bool ReportDetails::isEmpty() const
{
    return *this == ReportDetails{};
}

ReportDetails effectiveDetails(const ReportDetails &details, const QString &settingsPruefer)
{
    ReportDetails shown = details;
    if (shown.Pruefer.isEmpty())
        shown.Pruefer = settingsPruefer;
    return shown;
}

ReportDetails detailsToStore(const ReportDetails &edited, const ReportDetails &stored, const QString &settingsPruefer)
{
    ReportDetails kept = edited;
    if (stored.Pruefer.isEmpty() && edited.Pruefer == settingsPruefer)
        kept.Pruefer.clear();
    return kept;
}
