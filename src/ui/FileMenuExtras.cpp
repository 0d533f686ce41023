#include "ui/FileMenuExtras.h"

#include "document/CatalogMerge.h"
#include "editing/FreshHistory.h"
#include "editing/StepNames.h"
#include "editing/UndoStep.h"
#include "ui/HandlerGuard.h"
#include "ui/ListController.h"
#include "ui/MainUnit.h"
#include "ui/RecentFilesMenu.h"
#include "ui/WindowPrompts.h"
#include "ui_MainUnit.h"

#include <QAction>
#include <QMenu>

FileMenuExtras::FileMenuExtras(TMainForm &form, WindowPrompts &prompts)
    : QObject(&form),
      m_form(form),
      m_prompts(prompts),
      m_newWithCatalog(new QAction(QStringLiteral("Neue &Liste mit Katalog"), &form)),
      m_takeOver(new QAction(QStringLiteral("&Katalog übernehmen..."), &form))
{
    m_newWithCatalog->setObjectName(QStringLiteral("NeueListeMitKatalog1"));
    m_takeOver->setObjectName(QStringLiteral("KatalogUebernehmen1"));
    // Directly below "&Neu...".
    QMenu *menu = form.ui().Datei1;
    menu->insertActions(form.ui().ffnen1, {m_newWithCatalog, m_takeOver});
    connect(m_newWithCatalog, &QAction::triggered, this, guarded(&m_prompts, this, &FileMenuExtras::newListWithCatalog));
    connect(m_takeOver, &QAction::triggered, this, guarded(&m_prompts, this, &FileMenuExtras::takeOverCatalog));
}

void FileMenuExtras::newListWithCatalog()
{
    editing::FreshHistory fresh(m_form.undoHistory());
    if (!m_form.SaveFirstPrompt(QStringLiteral("Datei: Neu...")))
        return;
    m_form.document().newDocumentWithCatalog();
    m_form.UpdateFilteredView();
}

void FileMenuExtras::takeOverCatalog()
{
    ListDocument &document = m_form.document();
    const std::optional<QString> name =
        m_prompts.openFileName(ListDocument::listFileDialog(false, document.CurrentFileName()));
    if (!name)
        return;
    std::optional<catalogmerge::Counts> counts;
    {
        editing::UndoStep step(m_form.undoHistory(), editing::stepname::takeOverCatalog());
        counts = catalogmerge::takeOver(document, *name, m_prompts);
        if (counts && counts->any())
            m_form.UpdateFilteredView();
    }
    if (counts)
        catalogmerge::report(m_prompts, *counts);
}

void TMainForm::setUpFileExtras()
{
    m_fileExtras = new FileMenuExtras(*this, m_prompts);
    m_recent = new RecentFilesMenu(*this, m_prompts, SettingsStore(m_store->folder(), m_store->programName()));
    // Insert adds an entry as the list's "+" button does; in the filtered view as the catalogue's.
    m_assemblies->setInsert([this] { PlusLaedenBtnClick(); });
    m_catalog->setInsert([this] { PlusProdukteBtnClick(); });
    m_defects->setInsert([this] { PlusEinkaufBtnClick(); });
}
