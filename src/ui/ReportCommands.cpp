#include "ui/ReportCommands.h"

#include "document/ListDocument.h"
#include "editing/ReportDetailsStep.h"
#include "settings/StoredProps.h"
#include "ui/WindowPrompts.h"
#include "ui_MainUnit.h"

#include <QDate>

ReportCommands::ReportCommands(Ui::TMainForm &ui, WindowPrompts &prompts, editing::UndoRecorder &undo,
                               ListDocument &document)
    : m_ui(ui), m_prompts(prompts), m_undo(undo), m_document(document)
{
    // Grouping is part of the framed printout: without the header it has nothing to act on.
    const auto follow = [this](bool framed) { m_ui.GliedernCheck->setEnabled(framed); };
    QObject::connect(m_ui.SeitenkopfCheck, &QCheckBox::toggled, m_ui.GliedernCheck, follow);
    follow(m_ui.SeitenkopfCheck->isChecked());
}

ReportDetails ReportCommands::shownDetails() const
{
    return effectiveDetails(m_document.reportDetails(), m_ui.PrueferEd->text().trimmed());
}

void ReportCommands::edit()
{
    const std::optional<ReportDetails> entered = m_prompts.editReportDetails(shownDetails());
    if (!entered)
        return;
    // Compared with the document as it is now: a reload while the dialog was open has replaced it.
    editing::changeReportDetails(
        m_undo, m_document, detailsToStore(*entered, m_document.reportDetails(), m_ui.PrueferEd->text().trimmed()));
}

std::optional<PageFrame> ReportCommands::pageFrame(const QString &documentName) const
{
    if (!m_ui.SeitenkopfCheck->isChecked())
        return std::nullopt;
    return PageFrame{documentName, QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")),
                     reportBlockOf(shownDetails(), m_ui.FirmaEd->text().trimmed()), m_ui.GliedernCheck->isChecked()};
}

void ReportCommands::storeProps(StoredProps &props) const
{
    props.pruefer = m_ui.PrueferEd->text();
    props.firma = m_ui.FirmaEd->text();
    props.groupByAssembly = m_ui.GliedernCheck->isChecked();
}

void ReportCommands::applyProps(const StoredProps &props)
{
    m_ui.PrueferEd->setText(props.pruefer);
    m_ui.FirmaEd->setText(props.firma);
    m_ui.GliedernCheck->setChecked(props.groupByAssembly);
}
