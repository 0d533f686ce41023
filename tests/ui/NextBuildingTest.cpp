#include "WindowFixture.h"
#include "settings/RecentFiles.h"
#include "ui/FileMenuExtras.h"
#include "ui/RecentFilesMenu.h"
#include "ui_MainUnit.h"

#include <QFileInfo>
#include <QMenu>
#include <QTest>

using namespace Qt::StringLiterals;

// The Datei menu's commands for the next building, its recently used files and Insert in the lists.
struct NextBuilding : WindowFixture {
    void SetUp() override { createWithStarter(); }
    RecentFiles recent() const { return RecentFiles(SettingsStore(dir.filePath(QStringLiteral("config")),
                                                                  QStringLiteral("maengelliste"))); }
    QStringList recentPaths() const { return recent().paths(); }
    QString writeList(const QString &name, const QByteArray &bytes) const
    {
        testsupport::writeFile(path(name), bytes);
        return path(name);
    }
    // The submenu's entries as the user sees them when it opens.
    QList<QAction *> recentEntries()
    {
        QMenu *menu = form->recentFiles()->menu();
        emit menu->aboutToShow();
        return menu->actions();
    }
};

TEST_F(NextBuilding, theFileMenuHasTheNewCommandsInPlace)
{
    QStringList texts;
    for (QAction *action : form->ui().Datei1->actions().mid(0, 6))
        texts << action->text();
    EXPECT_EQ(texts, (QStringList{u"&Neu..."_s, u"Neue &Liste mit Katalog"_s, u"&Katalog übernehmen..."_s, u"&Öffnen..."_s,
                                  u"&Zuletzt geöffnet"_s, u"&Speichern"_s}));
}

TEST_F(NextBuilding, newListWithCatalogAsksFirstAndKeepsTheCatalogue)
{
    form->PlusLaedenBtnClick(); // a step in the history
    form->ListView1()->finishEditing();
    prompts.answers = {Prompts::Answer::Cancel};
    form->fileMenuExtras()->newWithCatalogAction()->trigger();
    EXPECT_EQ(prompts.captions(), QStringList{u"Datei: Neu..."_s});
    EXPECT_EQ(doc().DefectList.count(), 1) << "Cancel keeps the document";

    form->ListView1()->selectRow(0);
    form->FilteredDefects().clear();
    prompts.answers = {Prompts::Answer::No};
    form->fileMenuExtras()->newWithCatalogAction()->trigger();
    EXPECT_EQ(captions(doc().AssemblyList), (std::vector<std::string>{"Dach", "Fassade", "Baugruppe"}));
    EXPECT_EQ(doc().DefectCatalog.count(), 3);
    EXPECT_EQ(doc().DefectList.count(), 0);
    EXPECT_TRUE(doc().CurrentFileName().isEmpty());
    EXPECT_EQ(captions(form->FilteredDefects()), (std::vector<std::string>{"Loch", "Ziegel"})) << "rebuilt";
    EXPECT_EQ(form->undoHistory().stack().count(), 0);
}

TEST_F(NextBuilding, takeOverReportsWhatCameAndBadFilesChangeNothing)
{
    const QString other = writeList(QStringLiteral("b.mal"),
                                    testsupport::crlf({"2", "Dach", "Keller", "2", "Riss", "Keller", "Loch", "Dach",
                                                       "0"}));
    const QString broken = writeList(QStringLiteral("c.mal"), QByteArray("x\r\n"));
    const struct {
        QString file;
        QString caption;
        QString text;
        int assemblies;
    } table[] = {
        {other, u"Katalog übernehmen"_s, u"1 Baugruppe und 1 Mangel übernommen."_s, 3},
        {other, u"Katalog übernehmen"_s, u"Der Katalog enthält nichts Neues."_s, 3},
        {broken, u"Fehler beim Öffnen"_s, {}, 3},
        {path(QStringLiteral("fehlt.mal")), u"Fehler beim Öffnen"_s, {}, 3},
    };
    for (const auto &row : table) {
        SCOPED_TRACE(row.file.toStdString());
        prompts.clear();
        prompts.files = {row.file};
        form->fileMenuExtras()->takeOverAction()->trigger();
        ASSERT_EQ(prompts.messages.size(), 1u);
        EXPECT_EQ(prompts.captions()[0], row.caption);
        if (!row.text.isEmpty()) {
            EXPECT_EQ(prompts.texts()[0], row.text);
            EXPECT_EQ(prompts.messages[0].icon, Prompts::Icon::Information);
        } else {
            EXPECT_TRUE(prompts.messages[0].informative.startsWith(QFileInfo(row.file).fileName() + u": "_s))
                << prompts.messages[0].informative.toStdString();
        }
        EXPECT_EQ(doc().AssemblyList.count(), row.assemblies);
        EXPECT_EQ(form->undoHistory().stack().count(), 1) << "one step, none when nothing changed";
    }
    EXPECT_EQ(form->undoHistory().stack().undoText(), QStringLiteral("Katalog übernehmen"));
    EXPECT_EQ(doc().DefectCatalog.count(), 4);
    EXPECT_EQ(form->FilteredDefects().count(), 4);
}

TEST_F(NextBuilding, recentFilesEnterOnOpenAndSaveAsButNotAtTheDefaultLoad)
{
    EXPECT_TRUE(recentPaths().isEmpty()) << "the default file's load";
    const QString a = writeList(QStringLiteral("a.mal"), starter());
    const QString b = path(QStringLiteral("b.mal"));
    prompts.answers = {Prompts::Answer::No};
    prompts.files = {a};
    form->ffnen1Click();
    prompts.files = {b};
    form->Speichernunter1Click();
    EXPECT_EQ(recentPaths(), (QStringList{b, a}));

    const QList<QAction *> entries = recentEntries();
    ASSERT_EQ(entries.size(), 4);
    EXPECT_EQ(entries[0]->text(), QStringLiteral("&1 b.mal"));
    EXPECT_EQ(entries[1]->text(), QStringLiteral("&2 a.mal"));
    EXPECT_EQ(entries[1]->statusTip(), a);
    EXPECT_EQ(entries[1]->toolTip(), a);
    EXPECT_TRUE(entries[2]->isSeparator());
    EXPECT_EQ(entries[3]->text(), QStringLiteral("Liste &leeren"));

    // Back to a, after the save question of Öffnen.
    prompts.clear();
    prompts.answers = {Prompts::Answer::No};
    entries[1]->trigger();
    EXPECT_EQ(prompts.captions(), QStringList{u"Datei: Öffnen..."_s});
    EXPECT_EQ(doc().CurrentFileName(), a);
    EXPECT_EQ(recentPaths(), (QStringList{a, b}));

    // A file that is gone: the warning, and it leaves the list.
    QFile::remove(b);
    prompts.clear();
    recentEntries()[1]->trigger();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.captions()[0], QStringLiteral("Zuletzt geöffnet"));
    EXPECT_EQ(prompts.texts()[0], QStringLiteral("Die Datei „b.mal“ gibt es nicht mehr."));
    EXPECT_EQ(prompts.messages[0].icon, Prompts::Icon::Warning);
    EXPECT_EQ(doc().CurrentFileName(), a);
    EXPECT_EQ(recentPaths(), QStringList{a});

    recentEntries().last()->trigger();
    EXPECT_TRUE(recentPaths().isEmpty());
    EXPECT_EQ(recentEntries().size(), 2) << "the separator and Liste leeren";
}

TEST_F(NextBuilding, aFileNamedOnTheCommandLineEntersTheRecentFiles)
{
    const QString a = writeList(QStringLiteral("a.mal"), starter());
    form = std::make_unique<TMainForm>(prompts, dir.path(), makeStore(), a);
    EXPECT_EQ(recentPaths(), QStringList{a});
}

TEST_F(NextBuilding, insertAddsAsTheListsPlusButton)
{
    form->show();
    const struct {
        ListView *view;
        const EntryList *grows;
    } table[] = {
        {form->ListView1(), &doc().AssemblyList},
        {form->ListView2(), &doc().DefectCatalog},
        {form->ListView3(), &doc().DefectList},
        {form->ListView4(), &doc().DefectCatalog},
    };
    for (const auto &row : table) {
        SCOPED_TRACE(row.view->objectName().toStdString());
        form->ListView1()->selectRow(0);
        form->ListView2()->selectRow(0);
        form->UpdateFilterBtnClick();
        const int before = row.grows->count();
        row.view->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(row.view, Qt::Key_Insert);
        EXPECT_EQ(row.grows->count(), before + 1);
        for (ListView *view : {form->ListView1(), form->ListView2(), form->ListView3()})
            view->finishEditing();
    }
    // The catalogue's needs a selected assembly, as its button does.
    form->ListView1()->clearSelection();
    prompts.clear();
    QTest::keyClick(form->ListView2(), Qt::Key_Insert);
    EXPECT_EQ(prompts.captions(), QStringList{u"Kein Laden ausgewählt"_s});
}
