#include "ui/MainUnit.h"

#include "document/Cp1252.h"
#include "document/DefaultFolder.h"
#include "document/OutOfMemory.h"
#include "editing/CompareRules.h"
#include "editing/FilteredView.h"
#include "editing/FreshHistory.h"
#include "editing/SortRules.h"
#include "editing/StepNames.h"
#include "editing/UndoStep.h"
#include "settings/SettingsError.h"
#include "ui/AboutBoxUnit.h"
#include "ui/AnleitungUnit.h"
#include "ui/EditMenu.h"
#include "ui/HandlerGuard.h"
#include "ui/InterruptedSaveOffer.h"
#include "ui/ListController.h"
#include "ui/ListView.h"
#include "ui/PrintCommands.h"
#include "ui/RecentFilesMenu.h"
#include "ui/ReportCommands.h"
#include "ui/SearchField.h"
#include "ui/WindowPrompts.h"
#include "ui_MainUnit.h"

#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

#include <cmath>

using editing::FreshHistory;
using editing::UndoStep;
using statusline::CountPhrase;
namespace stepname = editing::stepname;

static void initResources()
{
    // The icons and pictures live in the ui library; make sure the linker keeps them.
    Q_INIT_RESOURCE(resources);
}

TMainForm::TMainForm(WindowPrompts &prompts, const QString &programDirectory, std::unique_ptr<SettingsStore> store,
                     const QString &startFile, QWidget *parent)
    : QMainWindow(parent),
      m_ui(std::make_unique<Ui::TMainForm>()),
      m_prompts(prompts),
      m_document(prompts),
      m_filtered(ListDocument::defectColumnTitles()),
      m_store(store ? std::move(store) : std::make_unique<SettingsStore>(SettingsStore::forThisProgram())),
      m_formStorage(std::make_unique<FormStorage>(*m_store)),
      m_print(std::make_unique<PrintCommands>(prompts, [this] { return printout(); }, this))
{
    initResources();
    m_ui->setupUi(this);
    m_report = std::make_unique<ReportCommands>(*m_ui, m_prompts, m_undo, m_document);
    setUpWidgets();
    setUpIcons();
    setUpControllers();
    wire();
    setUpUndo();
    setUpFileExtras();
    FormCreate(programDirectory, startFile);
}

TMainForm::~TMainForm() { SaveSettings(true); }

ListView *TMainForm::ListView1() const { return m_ui->ListView1; }
ListView *TMainForm::ListView2() const { return m_ui->ListView2; }
ListView *TMainForm::ListView3() const { return m_ui->ListView3; }
ListView *TMainForm::ListView4() const { return m_ui->ListView4; }

QToolButton *TMainForm::toolButton(int number) const
{
    return findChild<QToolButton *>(QStringLiteral("ToolButton%1").arg(number));
}

void TMainForm::setUpControllers()
{

    // Each controller wires its views. Removing, clearing or moving assemblies leaves the filtered
    // view as it is: it follows the assemblies' change reports (ListView1Change).
    const auto make = [this](ListView *view, EntryList &list, SortState &sort, ListController::Sorting sorting,
                             bool refreshes) {
        ListController::Changed changed;
        if (refreshes)
            changed = [this, &list](CountPhrase phrase) { listChanged(list, phrase); };
        return std::make_unique<ListController>(*view, list, sort, sorting, m_undo, m_prompts, std::move(changed));
    };
    using namespace editing;
    m_assemblies = make(m_ui->ListView1, m_document.AssemblyList, AssemblySort, {assemblySortRule, ListView1Compare},
                        false);
    m_catalog = make(m_ui->ListView2, m_document.DefectCatalog, CatalogSort, {catalogSortRule, ListView2Compare}, true);
    m_defects =
        make(m_ui->ListView3, m_document.DefectList, DefectListSort, {defectListSortRule, ListView3Compare}, true);
    m_catalog->setActivate([this] { PlusEinkaufBtnClick(); });
    m_catalog->setFilteredView(*m_ui->ListView4, m_filtered, [this] { Hinzu2BtnClick(); });
    m_catalog->setChangeApprover([this] { return ListView2Changing(); });
    m_search = new SearchField(*m_ui->ListView2, m_document.DefectCatalog, this);
}

void TMainForm::wire()
{
    connect(&m_document, &ListDocument::titleChanged, this, &QWidget::setWindowTitle);
    connect(&m_document, &ListDocument::statusTextChanged, m_statusText, &QLabel::setText);

    using Handler = void (TMainForm::*)();
    const std::pair<QAction *, Handler> commands[] = {
        {m_ui->Neu1, &TMainForm::Neu1Click},           {m_ui->ffnen1, &TMainForm::ffnen1Click},
        {m_ui->Speichern1, &TMainForm::Speichern1Click}, {m_ui->Speichernunter1, &TMainForm::Speichernunter1Click},
        {m_ui->CSVExport1, &TMainForm::CSVExport1Click}, {m_ui->CSVImport1, &TMainForm::CSVImport1Click},
        {m_ui->Druckereinrichten1, &TMainForm::Druckereinrichten1Click}, {m_ui->Drucken1, &TMainForm::Drucken1Click},
        {m_ui->Berichtsangaben1, &TMainForm::Berichtsangaben1Click},
        {m_ui->Seitenansicht1, &TMainForm::Seitenansicht1Click},
        {m_ui->AlsPDFspeichern1, &TMainForm::AlsPDFspeichern1Click},
        {m_ui->Beenden1, &TMainForm::Beenden1Click},   {m_ui->berdasProgramm1, &TMainForm::berdasProgramm1Click},
        {m_ui->Anleitung1, &TMainForm::Anleitung1Click}};
    for (const auto &[action, handler] : commands)
        connect(action, &QAction::triggered, this, guarded(&m_prompts, this, handler));
    const std::pair<QAbstractButton *, Handler> buttons[] = {
        {m_ui->PlusLaedenBtn, &TMainForm::PlusLaedenBtnClick}, {m_ui->MinusLaedenBtn, &TMainForm::MinusLaedenBtnClick},
        {m_ui->DelList1, &TMainForm::DelList1Click},           {m_ui->PropEd, &TMainForm::PropEdClick},
        {m_ui->PlusProdukteBtn, &TMainForm::PlusProdukteBtnClick},
        {m_ui->MinusProdukteBtn, &TMainForm::MinusProdukteBtnClick},
        {m_ui->DelList2, &TMainForm::DelList2Click},           {m_ui->Hinzu2Btn, &TMainForm::Hinzu2BtnClick},
        {m_ui->PlusEinkaufBtn, &TMainForm::PlusEinkaufBtnClick},
        {m_ui->MinusEinkaufBtn, &TMainForm::MinusEinkaufBtnClick},
        {m_ui->DelList3, &TMainForm::DelList3Click},           {m_ui->FontBtn, &TMainForm::FontBtnClick},
        {m_ui->UpdateFilterBtn, &TMainForm::UpdateFilterBtnClick}};
    for (const auto &[button, handler] : buttons)
        connect(button, &QAbstractButton::clicked, this, guarded(&m_prompts, this, handler));
    connect(&m_timer, &QTimer::timeout, this, guarded(&m_prompts, this, &TMainForm::Timer1Timer));
    connect(m_search, &SearchField::picked, this,
            [this](int row) { runHandler(&m_prompts, [&] { copyDefect(m_document.DefectCatalog, row, false); }); });

    // Change reports of the assemblies and the defect list: a caption set (also on an entry just
    // added) or a change of the selection. The catalogue's reports start nothing.
    for (const auto &[view, handler] : {std::pair<ListView *, Handler>{m_ui->ListView1, &TMainForm::ListView1Change},
                                        {m_ui->ListView3, &TMainForm::ListView3Change}}) {
        connect(view->model(), &QAbstractItemModel::dataChanged, this, guarded(&m_prompts, this, handler));
        connect(view->model(), &QAbstractItemModel::rowsInserted, this, guarded(&m_prompts, this, handler));
        connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                guarded(&m_prompts, this, handler));
    }
}

void TMainForm::setUpUndo()
{
    for (EntryList *list : {&m_document.AssemblyList, &m_document.DefectCatalog, &m_document.DefectList})
        m_undo.watch(*list);
    m_editMenu = new EditMenu(m_undo, menuBar(), m_ui->Hilfe1, &m_prompts);
    // A step that could not be kept for want of memory was taken back where nothing could throw.
    connect(
        &m_undo, &editing::UndoRecorder::stepLost, this,
        [this] { runHandler(&m_prompts, [this] { outofmemory::show(m_prompts); }); }, Qt::QueuedConnection);
    connect(&m_document, &ListDocument::documentReplaced, &m_undo, &editing::UndoRecorder::clearHistory);
    connect(&m_document, &ListDocument::documentReplaced, this, &TMainForm::prepareSortsLater);
    // After an undo or redo what depends on the lists follows as after a command (closed form).
    connect(&m_undo, &editing::UndoRecorder::replayed, this, [this](const QList<EntryList *> &lists) {
        runHandler(&m_prompts, [&] {
            for (const EntryList *list : lists)
                listChanged(*list);
        });
    });
}

// ---- Start-up, file commands and the watch ----

void TMainForm::FormCreate(const QString &programDirectory, const QString &startFile)
{
    m_document.setUp(programDirectory.isEmpty() ? defaultfolder::executableFolder() : programDirectory,
                     windowTitle());
    FreshHistory fresh(m_undo);
    // Any load refreshes the stamp of the default list file, so the watch starts from it also
    // when another file is opened.
    // A file named on the command line enters the recently used files; the default file does not.
    // A list file whose save was cut short and is written back now is opened instead.
    const QString file = interruptedsaveoffer::ask(m_prompts, startFile);
    if (file.isEmpty())
        m_document.OpenLists(m_document.defaultListFile());
    else
        m_recent->open(file);
    m_timer.start();
}

void TMainForm::Neu1Click()
{
    FreshHistory fresh(m_undo);
    if (SaveFirstPrompt(QStringLiteral("Datei: Neu...")))
        m_document.newDocument();
}

void TMainForm::ffnen1Click()
{
    FreshHistory fresh(m_undo);
    if (!SaveFirstPrompt(QStringLiteral("Datei: Öffnen...")))
        return;
    if (const auto name = m_prompts.openFileName(ListDocument::listFileDialog(false, m_document.CurrentFileName())))
        m_recent->open(*name);
}

void TMainForm::Speichern1Click() { m_document.Save(); }
void TMainForm::Speichernunter1Click() { m_document.SaveAs(); }
void TMainForm::Beenden1Click() { close(); }
bool TMainForm::SaveFirstPrompt(const QString &caption) { return m_document.SaveFirstPrompt(caption); }
bool TMainForm::FormCloseQuery() { return SaveFirstPrompt(QStringLiteral("Datei: Beenden...")); }

void TMainForm::closeEvent(QCloseEvent *event)
{
    // A failure while asking or saving keeps the window open with its message: the work is not
    // thrown away unsaved.
    bool allowed = false;
    runHandler(&m_prompts, [&] { allowed = FormCloseQuery(); });
    if (!allowed) {
        event->ignore();
        return;
    }
    emit closeAllowed();
    SaveSettings(false);
    event->accept();
}

void TMainForm::showEvent(QShowEvent *event)
{
    if (!m_firstShowDone) {
        m_firstShowDone = true;
        runHandler(&m_prompts, [this] { RestoreSettings(); });
    }
    QMainWindow::showEvent(event);
}

void TMainForm::prepareSortsLater()
{
    // Once the window has caught up, the sort rules rank the new texts, so that the first header
    // click sorts as quickly as the ones after it. A very long list is left to that click: ranking
    // it takes long enough to hold up the window unasked. Memory running out here is left for that
    // click to report, since nobody asked for this work; anything else reaches the handler guard.
    constexpr int kPreparedEntries = 250'000;
    QTimer::singleShot(0, this, [this] {
        runHandler(&m_prompts, [this] {
            try {
                for (const EntryList *list : {&m_document.AssemblyList, &m_document.DefectCatalog, &m_document.DefectList}) {
                    if (list->count() <= kPreparedEntries)
                        list->prepareSort();
                }
            } catch (const std::bad_alloc &) {
                // The ranks are only a head start: the click ranks anew and reports what fails then.
            }
        });
    });
}

void TMainForm::Timer1Timer()
{
    FreshHistory fresh(m_undo);
    m_document.checkDefaultFile();
}

// ---- Settings ----

WindowState TMainForm::currentWindowState() const
{
    WindowState state;
    const bool minimized = isMinimized(), maximized = isMaximized();
    state.placement.show = minimized ? WindowShow::Minimized : maximized ? WindowShow::Maximized : WindowShow::Normal;
    state.placement.flags = minimized && maximized ? 2 : 0;
    state.placement.normalRect = (minimized || maximized) && normalGeometry().isValid() ? normalGeometry() : geometry();
    state.visible = isVisible();
    state.applicationMinimized = minimized;
    state.sizeable = true;
    if (const QScreen *s = screen()) {
        state.screenSize = s->size();
        state.workArea = s->availableVirtualGeometry();
        state.pixelsPerInch = static_cast<int>(std::lround(s->logicalDotsPerInch()));
    }
    return state;
}

StoredProps TMainForm::currentProps() const
{
    StoredProps props;
    props.margins = printMargins();
    props.font = m_printFont;
    props.pageFrame = m_ui->SeitenkopfCheck->isChecked();
    props.panel1LaedenWidth = m_panelWidths[0];
    props.panel1ProdukteWidth = m_panelWidths[1];
    props.panel11Width = m_panelWidths[2];
    m_report->storeProps(props);
    return props;
}

void TMainForm::applyProps(const StoredProps &props)
{
    m_ui->RightREd->setValue(props.margins.right);
    m_ui->TopREd->setValue(props.margins.top);
    m_ui->leftREd->setValue(props.margins.left);
    m_ui->BottomREd->setValue(props.margins.bottom);
    m_printFont = props.font;
    m_ui->SeitenkopfCheck->setChecked(props.pageFrame);
    setPanelWidths({props.panel1LaedenWidth, props.panel1ProdukteWidth, props.panel11Width});
    m_report->applyProps(props);
}

void TMainForm::RestoreSettings()
{
    StoredProps props = currentProps();
    RestoreResult result;
    try {
        result = m_formStorage->RestoreSettings(currentWindowState(), props);
    } catch (const SettingsError &e) {
        result.errorText = e.text();
    }
    applyProps(props);
    if (result.placement)
        setGeometry(result.placement->normalRect);
    if (result.show == WindowShow::Maximized) {
        setWindowState(Qt::WindowMaximized);
    } else if (result.show == WindowShow::Minimized) {
        setWindowState(Qt::WindowNoState);
        QTimer::singleShot(0, this, &QWidget::showMinimized);
    } else if (result.show) {
        setWindowState(Qt::WindowNoState);
    }
    if (!result.errorText.isEmpty())
        Application::showError(result.errorText, &m_prompts);
}

void TMainForm::SaveSettings(bool destroying)
{
    try {
        m_formStorage->SaveSettings(currentWindowState(), currentProps(), destroying);
    } catch (const SettingsError &e) {
        showFailure(m_prompts, Application::title(), Application::errorText(e.text()), e.path(), e.reason());
    } catch (...) {
        // Also runs from the destructor, which must not throw.
        Application::showCurrentException(&m_prompts);
    }
}

// ---- Exchange, printing and help ----

void TMainForm::CSVExport1Click()
{
    const std::optional<Prompts::FileChoice> choice =
        m_prompts.chooseSaveFile(csvFileDialog(m_csvExportName, CsvDirection::Export, m_csvExportEncoding));
    if (!choice)
        return;
    m_csvExportName = choice->path;
    m_csvExportEncoding = choice->type == 1 ? CsvEncoding::Utf8 : CsvEncoding::Windows1252;
    exportCsv(m_document.DefectList, choice->path, m_prompts, m_csvExportEncoding);
}

void TMainForm::CSVImport1Click()
{
    const std::optional<QString> name = m_prompts.openFileName(csvFileDialog(m_csvImportName, CsvDirection::Import));
    if (!name)
        return;
    m_csvImportName = *name;
    UndoStep step(m_undo, stepname::csvImport());
    importCsv(m_document.DefectList, *name, m_prompts);
}

QPrinter &TMainForm::printer() { return m_print->printer(); }

PrintMargins TMainForm::printMargins() const
{
    return {m_ui->leftREd->value(), m_ui->TopREd->value(), m_ui->RightREd->value(), m_ui->BottomREd->value()};
}

void TMainForm::Druckereinrichten1Click() { m_print->setup(); }
void TMainForm::Drucken1Click() { m_print->print(); }
void TMainForm::Berichtsangaben1Click() { m_report->edit(); }
void TMainForm::Seitenansicht1Click() { m_print->preview(); }
void TMainForm::AlsPDFspeichern1Click() { m_print->savePdf(); }
void TMainForm::FontBtnClick() { m_prompts.chooseFont(m_printFont); }

Printout TMainForm::printout() const
{
    Printout p;
    p.rows = &m_document.DefectList.entries();
    p.margins = printMargins();
    p.font = m_printFont;
    p.frame = m_report->pageFrame(pageFrameName(m_document.CurrentFileName()));
    return p;
}

void TMainForm::berdasProgramm1Click()
{
    if (m_aboutBox)
        m_aboutBox->exec();
}

void TMainForm::Anleitung1Click()
{
    // One guide window for the run: a second F1 brings it to the front with the file read anew.
    auto *guide = findChild<TAnleitungForm *>();
    const bool created = !guide;
    if (created)
        guide = new TAnleitungForm(m_prompts, this);
    const QString file = TAnleitungForm::guideFile(m_document.ProgramDirectory());
    if (const FileResult<void> loaded = guide->load(file); !loaded) {
        if (created)
            delete guide;
        showFailure(m_prompts, QStringLiteral("Anleitung"),
                    QStringLiteral("Die Anleitung „%1“ wurde nicht gefunden oder kann nicht gelesen werden.")
                        .arg(QDir::toNativeSeparators(file)),
                    file, loaded.error());
        return;
    }
    guide->show();
    guide->raise();
    guide->activateWindow();
}

// ---- Entry operations ----

void TMainForm::PlusLaedenBtnClick()
{
    UndoStep step(m_undo, stepname::add());
    m_document.AssemblyList.append({"Baugruppe", {}});
    m_ui->ListView1->openEditor(m_document.AssemblyList.count() - 1);
}

void TMainForm::PlusProdukteBtnClick()
{
    UndoStep step(m_undo, stepname::add());
    const int assembly = m_ui->ListView1->selectedRow();
    if (assembly < 0) {
        m_prompts.error(QStringLiteral("Kein Laden ausgewählt"), QStringLiteral("Sie haben keine Baugruppe ausgewählt."));
        return;
    }
    EntryList &catalog = m_document.DefectCatalog;
    catalog.append({"Mangel", {m_document.AssemblyList.caption(assembly)}});
    // An edit still open in the assembly list ends here and stores its text; the new defect keeps
    // the caption read above.
    m_ui->ListView1->setFocus(Qt::OtherFocusReason);
    m_ui->ListView1->finishEditing();
    m_ui->ListView2->openEditor(catalog.count() - 1);
    listChanged(catalog);
}

void TMainForm::PropEdClick()
{
    UndoStep step(m_undo, stepname::editDefect());
    const int row = m_ui->ListView2->selectedRow();
    if (row < 0)
        return;
    // Held across the dialog: a reload while it is open takes the entry away, and then the name goes
    // nowhere.
    const QPersistentModelIndex entry(m_document.DefectCatalog.index(row, 0));
    const std::optional<QString> name =
        m_prompts.editDefectName(cp1252::toUnicode(m_document.DefectCatalog.caption(row)));
    if (!name || !entry.isValid())
        return;
    m_document.DefectCatalog.setCaption(entry.row(), cp1252::fromUnicode(*name));
    listChanged(m_document.DefectCatalog);
}

void TMainForm::copyDefect(const EntryList &list, int row, bool edit)
{
    UndoStep step(m_undo, stepname::copyDefect());
    if (row < 0) {
        m_prompts.error(QStringLiteral("Kein Mangel ausgewählt"), QStringLiteral("Sie haben keinen Mangel ausgewählt."));
    } else {
        const ListEntry &from = list.at(row);
        m_document.DefectList.append({from.caption(), {from.subItemCount() ? from.subItem(0) : std::string_view()}});
        const int added = m_document.DefectList.count() - 1;
        edit ? m_ui->ListView3->openEditor(added) : m_ui->ListView3->selectRow(added);
    }
    listChanged(m_document.DefectList, CountPhrase::Open);
}

void TMainForm::UpdateFilteredView()
{
    const int assembly = m_ui->ListView1->selectedRow();
    const std::string selected(assembly >= 0 ? m_document.AssemblyList.caption(assembly) : std::string_view());
    const std::string *key = assembly >= 0 ? &selected : nullptr;
    std::vector<ListEntry> rows = editing::filterCatalog(m_document.DefectCatalog.entries(), key);
    m_filtered.beginUpdate();
    m_filtered.assign(std::move(rows));
    m_filtered.endUpdate();
}

void TMainForm::listChanged(const EntryList &list, CountPhrase phrase)
{
    if (&list == &m_document.DefectList)
        m_document.UpdateStatusLine(phrase);
    else if (&list == &m_document.AssemblyList || &list == &m_document.DefectCatalog)
        UpdateFilteredView();
}

// ---- Handlers by the names of their controls: each list's own are its controller's ----

void TMainForm::MinusLaedenBtnClick() { m_assemblies->remove(); }
void TMainForm::DelList1Click() { m_assemblies->clear(); }
void TMainForm::MinusProdukteBtnClick() { m_catalog->remove(); }
void TMainForm::DelList2Click() { m_catalog->clear(); }
void TMainForm::PlusEinkaufBtnClick() { copyDefect(m_document.DefectCatalog, m_ui->ListView2->selectedRow(), true); }
void TMainForm::Hinzu2BtnClick() { copyDefect(m_filtered, m_ui->ListView4->selectedRow(), true); }
void TMainForm::MinusEinkaufBtnClick() { m_defects->remove(); }
void TMainForm::DelList3Click() { m_defects->clear(); }
void TMainForm::UpdateFilterBtnClick() { UpdateFilteredView(); }

void TMainForm::ListView1Change() { listChanged(m_document.AssemblyList); }
void TMainForm::ListView3Change() { listChanged(m_document.DefectList, CountPhrase::Open); }
bool TMainForm::ListView2Changing() { return true; }

void TMainForm::ListView1ColumnClick(int column) { m_assemblies->columnClick(column); }
void TMainForm::ListView2ColumnClick(int column) { m_catalog->columnClick(column); }
void TMainForm::ListView3ColumnClick(int column) { m_defects->columnClick(column); }

void TMainForm::ListView1DblClick() { m_assemblies->dblClick(); }
void TMainForm::ListView2DblClick() { m_catalog->dblClick(); }
void TMainForm::ListView3DblClick() { m_defects->dblClick(); }

void TMainForm::ListView1KeyDown(int key) { m_assemblies->keyDown(key); }
void TMainForm::ListView2KeyDown(int key) { m_catalog->keyDown(key); }
void TMainForm::ListView3KeyDown(int key) { m_defects->keyDown(key); }

bool TMainForm::ListView1DragOver(QObject *) const { return m_assemblies->acceptsDrop(m_ui->ListView1); }
bool TMainForm::ListView2DragOver(QObject *sender, QObject *) const { return m_catalog->acceptsDrop(sender); }
bool TMainForm::ListView3DragOver(QObject *) const { return m_defects->acceptsDrop(m_ui->ListView3); }

void TMainForm::ListView2DragDrop(ListView *target, QPoint pos, QObject *source)
{
    ListController &controller = target == m_ui->ListView1 ? *m_assemblies
                                 : target == m_ui->ListView3 ? *m_defects
                                                             : *m_catalog; // ListView2 and the filtered view
    controller.drop(target, pos, source);
}
