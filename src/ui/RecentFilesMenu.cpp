#include "ui/RecentFilesMenu.h"

#include "editing/FreshHistory.h"
#include "settings/SettingsError.h"
#include "ui/HandlerGuard.h"
#include "ui/MainUnit.h"
#include "ui/WindowPrompts.h"
#include "ui_MainUnit.h"

#include <QDir>
#include <QFileInfo>
#include <QMenu>

RecentFilesMenu::RecentFilesMenu(TMainForm &form, WindowPrompts &prompts, SettingsStore store)
    : QObject(&form),
      m_form(form),
      m_prompts(prompts),
      m_files(std::move(store)),
      m_menu(new QMenu(QStringLiteral("&Zuletzt geöffnet"), &form))
{
    m_menu->setObjectName(QStringLiteral("ZuletztGeoeffnet1"));
    m_menu->setToolTipsVisible(true);
    // Directly below "&Öffnen...".
    QMenu *file = form.ui().Datei1;
    const QList<QAction *> actions = file->actions();
    const qsizetype open = actions.indexOf(form.ui().ffnen1);
    file->insertMenu(open + 1 < actions.size() ? actions[open + 1] : nullptr, m_menu);
    connect(m_menu, &QMenu::aboutToShow, this, guarded(&m_prompts, this, &RecentFilesMenu::rebuild));
    connect(&form.document(), &ListDocument::savedUnderName, this,
            [this](const QString &path) { change([&] { m_files.add(path); }); });
    // Until it first opens, the submenu is not read: the settings file stays untouched at start-up.
    fill({});
}

template <class Change>
void RecentFilesMenu::change(Change &&apply)
{
    try {
        apply();
    } catch (const SettingsError &e) {
        Application::showError(e.text(), &m_prompts);
    }
}

void RecentFilesMenu::open(const QString &path)
{
    ListDocument &document = m_form.document();
    document.OpenLists(path);
    if (document.CurrentFileName() == path)
        change([&] { m_files.add(path); });
}

void RecentFilesMenu::choose(const QString &path)
{
    if (!QFileInfo(path).isFile()) {
        m_prompts.message({QStringLiteral("Zuletzt geöffnet"), RecentFiles::missingFileText(path),
                           Prompts::Icon::Warning, Prompts::Buttons::Ok, Prompts::Answer::Ok});
        change([&] { m_files.remove(path); });
        return;
    }
    editing::FreshHistory fresh(m_form.undoHistory());
    if (m_form.SaveFirstPrompt(QStringLiteral("Datei: Öffnen...")))
        open(path);
}

void RecentFilesMenu::rebuild() { fill(m_files.paths()); }

void RecentFilesMenu::fill(const QStringList &paths)
{
    m_menu->clear();
    for (int i = 0; i < paths.size(); ++i) {
        const QString &path = paths[i];
        QAction *entry = m_menu->addAction(RecentFiles::menuText(i, path));
        entry->setStatusTip(QDir::toNativeSeparators(path));
        entry->setToolTip(QDir::toNativeSeparators(path));
        connect(entry, &QAction::triggered, this,
                [this, path] { runHandler(&m_prompts, [&] { choose(path); }); });
    }
    m_menu->addSeparator();
    QAction *clear = m_menu->addAction(QStringLiteral("Liste &leeren"));
    connect(clear, &QAction::triggered, this,
            [this] { runHandler(&m_prompts, [&] { change([&] { m_files.clear(); }); }); });
}
