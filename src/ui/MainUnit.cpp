#include "ui/MainUnit.h"

#include "document/Cp1252.h"
#include "document/Headroom.h"
#include "document/OutOfMemory.h"
#include "document/Prompts.h"
#include "editing/CompareRules.h"
#include "editing/FilteredView.h"
#include "editing/FreshHistory.h"
#include "editing/SortRules.h"
#include "editing/StepNames.h"
#include "editing/UndoStep.h"
#include "exchange/CsvExchange.h"
#include "settings/SettingsError.h"
#include "ui/Application.h"
#include "ui/HandlerGuard.h"
#include "ui/ListController.h"
#include "print/PrintLayout.h"
#include "ui/AboutBoxUnit.h"
#include "ui/AnleitungUnit.h"
#include "ui/EditMenu.h"
#include "ui/ListView.h"
#include "ui/PrintCommands.h"
#include "ui/ReportCommands.h"
#include "ui/WindowPrompts.h"
#include "ui_MainUnit.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QWindow>
#include <QCoreApplication>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QTimer>

#include <cmath>
#include <QPrinter>
#include <QStatusBar>
#include <QToolButton>

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
      m_print(std::make_unique<PrintCommands>(
          prompts, [this]() -> QPrinter & { return printer(); }, [this] { return printout(); }, this))
{
    initResources();
    m_ui->setupUi(this);
    m_report = std::make_unique<ReportCommands>(*m_ui, m_prompts, m_undo, m_document);
    setUpWidgets();
    setUpIcons();
    setUpControllers();
    wire();
    setUpUndo();
    FormCreate(programDirectory, startFile);
}

TMainForm::~TMainForm()
{
    SaveSettings(true);
}

ListView *TMainForm::ListView1() const { return m_ui->ListView1; }
ListView *TMainForm::ListView2() const { return m_ui->ListView2; }
ListView *TMainForm::ListView3() const { return m_ui->ListView3; }
ListView *TMainForm::ListView4() const { return m_ui->ListView4; }

QToolButton *TMainForm::toolButton(int number) const
{
    for (QToolButton *b : m_toolButtons) {
        if (b->objectName() == QStringLiteral("ToolButton%1").arg(number))
            return b;
    }
    return nullptr;
}

void TMainForm::setUpControllers()
{
    m_ui->ListView1->setModel(&m_document.AssemblyList);
    m_ui->ListView2->setModel(&m_document.DefectCatalog);
    m_ui->ListView3->setModel(&m_document.DefectList);
    m_ui->ListView4->setModel(&m_filtered);
    // A load shows each list in its own view (the filtered one starts empty); the views' layout
    // cannot survive running out of memory, so the load makes sure first that theirs is there. The
    // filtered view's rebuild and the CSV import ask the same check (checkShow).
    m_document.setShowCheck([](const ListDocument::RowCounts &rows) {
        headroom::probe({ListView::layoutBytes(rows[0]), ListView::layoutBytes(rows[1]), ListView::layoutBytes(rows[2])});
    });

    // Each list sorts with its rule; the pairwise compare and the state's token let a drop into a
    // sorted list place the moved entry without sorting everything again.
    auto token = [](const SortState &state) {
        return [&state] { return state.SortColumn * 2 + (state.Descending ? 1 : 0); };
    };
    m_document.AssemblyList.setSortRule(
        editing::assemblySortRule(AssemblySort, &m_document.AssemblyList),
        [this](const ListEntry &a, const ListEntry &b) { return ListView1Compare(a, b); }, token(AssemblySort));
    m_document.DefectCatalog.setSortRule(
        editing::catalogSortRule(CatalogSort, &m_document.DefectCatalog),
        [this](const ListEntry &a, const ListEntry &b) { return ListView2Compare(a, b); }, token(CatalogSort));
    m_filtered.setSortRule(editing::catalogSortRule(CatalogSort, &m_filtered));
    m_document.DefectList.setSortRule(
        editing::defectListSortRule(DefectListSort, &m_document.DefectList),
        [this](const ListEntry &a, const ListEntry &b) { return ListView3Compare(a, b); }, token(DefectListSort));

    const auto make = [this](ListView *view, EntryList &list, SortState &sort, bool reports) {
        ListController::Changed changed;
        if (reports)
            changed = [this, &list](CountPhrase phrase) { listChanged(list, phrase); };
        return std::make_unique<ListController>(*view, list, sort, m_undo, m_prompts, std::move(changed));
    };
    // Removing or clearing assemblies leaves the filtered view as it is: it follows the selection.
    m_assemblies = make(m_ui->ListView1, m_document.AssemblyList, AssemblySort, false);
    m_catalog = make(m_ui->ListView2, m_document.DefectCatalog, CatalogSort, true);
    m_defects = make(m_ui->ListView3, m_document.DefectList, DefectListSort, true);
    m_catalog->setActivate([this] { PlusEinkaufBtnClick(); });
    m_catalog->setFilteredView(*m_ui->ListView4, m_filtered, [this] { Hinzu2BtnClick(); });
}

template <class... Args> auto TMainForm::guarded(void (TMainForm::*handler)(Args...))
{
    return [this, handler](Args... args) { runHandler(&m_prompts, [&] { (this->*handler)(args...); }); };
}

void TMainForm::wire()
{
    connect(&m_document, &ListDocument::titleChanged, this, &QWidget::setWindowTitle);
    connect(&m_document, &ListDocument::statusTextChanged, m_statusText, &QLabel::setText);

    connect(m_ui->Neu1, &QAction::triggered, this, guarded(&TMainForm::Neu1Click));
    connect(m_ui->ffnen1, &QAction::triggered, this, guarded(&TMainForm::ffnen1Click));
    connect(m_ui->Speichern1, &QAction::triggered, this, guarded(&TMainForm::Speichern1Click));
    connect(m_ui->Speichernunter1, &QAction::triggered, this, guarded(&TMainForm::Speichernunter1Click));
    connect(m_ui->CSVExport1, &QAction::triggered, this, guarded(&TMainForm::CSVExport1Click));
    connect(m_ui->CSVImport1, &QAction::triggered, this, guarded(&TMainForm::CSVImport1Click));
    connect(m_ui->Druckereinrichten1, &QAction::triggered, this, guarded(&TMainForm::Druckereinrichten1Click));
    connect(m_ui->Drucken1, &QAction::triggered, this, guarded(&TMainForm::Drucken1Click));
    connect(m_ui->Berichtsangaben1, &QAction::triggered, this, guarded(&TMainForm::Berichtsangaben1Click));
    connect(m_ui->Seitenansicht1, &QAction::triggered, this, guarded(&TMainForm::Seitenansicht1Click));
    connect(m_ui->AlsPDFspeichern1, &QAction::triggered, this, guarded(&TMainForm::AlsPDFspeichern1Click));
    connect(m_ui->Beenden1, &QAction::triggered, this, guarded(&TMainForm::Beenden1Click));
    connect(m_ui->berdasProgramm1, &QAction::triggered, this, guarded(&TMainForm::berdasProgramm1Click));
    connect(m_ui->Anleitung1, &QAction::triggered, this, guarded(&TMainForm::Anleitung1Click));

    connect(m_ui->PlusLaedenBtn, &QToolButton::clicked, this, guarded(&TMainForm::PlusLaedenBtnClick));
    connect(m_ui->MinusLaedenBtn, &QToolButton::clicked, this, guarded(&TMainForm::MinusLaedenBtnClick));
    connect(m_ui->DelList1, &QToolButton::clicked, this, guarded(&TMainForm::DelList1Click));
    connect(m_ui->PlusProdukteBtn, &QToolButton::clicked, this, guarded(&TMainForm::PlusProdukteBtnClick));
    connect(m_ui->MinusProdukteBtn, &QToolButton::clicked, this, guarded(&TMainForm::MinusProdukteBtnClick));
    connect(m_ui->DelList2, &QToolButton::clicked, this, guarded(&TMainForm::DelList2Click));
    connect(m_ui->PropEd, &QToolButton::clicked, this, guarded(&TMainForm::PropEdClick));
    connect(m_ui->PlusEinkaufBtn, &QToolButton::clicked, this, guarded(&TMainForm::PlusEinkaufBtnClick));
    connect(m_ui->Hinzu2Btn, &QToolButton::clicked, this, guarded(&TMainForm::Hinzu2BtnClick));
    connect(m_ui->MinusEinkaufBtn, &QToolButton::clicked, this, guarded(&TMainForm::MinusEinkaufBtnClick));
    connect(m_ui->DelList3, &QToolButton::clicked, this, guarded(&TMainForm::DelList3Click));
    connect(m_ui->UpdateFilterBtn, &QToolButton::clicked, this, guarded(&TMainForm::UpdateFilterBtnClick));
    connect(m_ui->FontBtn, &QPushButton::clicked, this, guarded(&TMainForm::FontBtnClick));
    connect(&m_timer, &QTimer::timeout, this, guarded(&TMainForm::Timer1Timer));

    // Change reports: a caption set (also on an entry just added) or a change of the selection.
    EntryList &assemblies = m_document.AssemblyList;
    connect(&assemblies, &QAbstractItemModel::dataChanged, this, guarded(&TMainForm::ListView1Change));
    connect(&assemblies, &QAbstractItemModel::rowsInserted, this, guarded(&TMainForm::ListView1Change));
    connect(m_ui->ListView1->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            guarded(&TMainForm::ListView1Change));
    EntryList &defects = m_document.DefectList;
    connect(&defects, &QAbstractItemModel::dataChanged, this, guarded(&TMainForm::ListView3Change));
    connect(&defects, &QAbstractItemModel::rowsInserted, this, guarded(&TMainForm::ListView3Change));
    connect(m_ui->ListView3->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            guarded(&TMainForm::ListView3Change));

    // ListView4 shares the handlers of ListView2 but for its double-click and keys.
    connect(m_ui->ListView1, &ListView::columnClick, this, guarded(&TMainForm::ListView1ColumnClick));
    connect(m_ui->ListView2, &ListView::columnClick, this, guarded(&TMainForm::ListView2ColumnClick));
    connect(m_ui->ListView4, &ListView::columnClick, this, guarded(&TMainForm::ListView2ColumnClick));
    connect(m_ui->ListView3, &ListView::columnClick, this, guarded(&TMainForm::ListView3ColumnClick));
    connect(m_ui->ListView1, &ListView::dblClick, this, guarded(&TMainForm::ListView1DblClick));
    connect(m_ui->ListView2, &ListView::dblClick, this, guarded(&TMainForm::ListView2DblClick));
    connect(m_ui->ListView4, &ListView::dblClick, this, guarded(&TMainForm::ListView4DblClick));
    connect(m_ui->ListView3, &ListView::dblClick, this, guarded(&TMainForm::ListView3DblClick));
    connect(m_ui->ListView1, &ListView::keyDown, this, guarded(&TMainForm::ListView1KeyDown));
    connect(m_ui->ListView2, &ListView::keyDown, this, guarded(&TMainForm::ListView2KeyDown));
    connect(m_ui->ListView4, &ListView::keyDown, this, guarded(&TMainForm::ListView4KeyDown));
    connect(m_ui->ListView3, &ListView::keyDown, this, guarded(&TMainForm::ListView3KeyDown));
    m_ui->ListView2->setChangeApprover([this] { return ListView2Changing(); });
    m_ui->ListView4->setChangeApprover([this] { return ListView2Changing(); });

    ListView *v1 = m_ui->ListView1, *v2 = m_ui->ListView2, *v3 = m_ui->ListView3, *v4 = m_ui->ListView4;
    v1->setDropAcceptor([this](QObject *source) { return ListView1DragOver(source); });
    v2->setDropAcceptor([this, v2](QObject *source) { return ListView2DragOver(v2, source); });
    v4->setDropAcceptor([this, v4](QObject *source) { return ListView2DragOver(v4, source); });
    v3->setDropAcceptor([this](QObject *source) { return ListView3DragOver(source); });
    for (ListView *v : {v1, v2, v3, v4}) {
        connect(v, &ListView::dropped, this, [this, v](QPoint pos, QObject *source) {
            runHandler(&m_prompts, [&] { ListView2DragDrop(v, pos, source); });
        });
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
    // After an undo or redo what depends on the lists follows as after the change itself.
    connect(&m_undo, &editing::UndoRecorder::replayed, this, [this](const QList<EntryList *> &lists) {
        runHandler(&m_prompts, [&] { listsChanged({lists.begin(), lists.end()}); });
    });
    // The entry an undo or redo brought back, renamed or moved is the selected and current one.
    connect(&m_undo, &editing::UndoRecorder::rowReplayed, this, [this](EntryList *list, int row) {
        runHandler(&m_prompts, [&] {
            for (ListView *view : {m_ui->ListView1, m_ui->ListView2, m_ui->ListView3}) {
                if (view->model() == list)
                    view->selectRow(row);
            }
        });
    });
}

// ---- Start-up, file commands and the watch ----

void TMainForm::FormCreate(const QString &programDirectory, const QString &startFile)
{
    m_document.setUp(programDirectory.isEmpty() ? QCoreApplication::applicationDirPath() : programDirectory,
                     windowTitle());
    FreshHistory fresh(m_undo);
    // Any load refreshes the stamp of the default list file, so the watch starts from it also
    // when another file is opened.
    m_document.OpenLists(startFile.isEmpty() ? m_document.defaultListFile() : startFile);
    m_timer.start();
}

std::optional<QString> TMainForm::chooseListFile(bool save)
{
    const Prompts::FileDialog dialog = ListDocument::listFileDialog(save, m_document.CurrentFileName());
    return save ? m_prompts.saveFileName(dialog) : m_prompts.openFileName(dialog);
}

bool TMainForm::SaveFirstPrompt(const QString &caption)
{
    return m_document.SaveFirstPrompt(caption);
}

void TMainForm::Neu1Click()
{
    FreshHistory fresh(m_undo);
    if (!SaveFirstPrompt(QStringLiteral("Datei: Neu...")))
        return;
    m_document.newDocument();
}

void TMainForm::ffnen1Click()
{
    FreshHistory fresh(m_undo);
    if (!SaveFirstPrompt(QStringLiteral("Datei: Öffnen...")))
        return;
    if (const std::optional<QString> name = chooseListFile(false))
        m_document.OpenLists(*name);
}

void TMainForm::Speichern1Click()
{
    m_document.Save();
}

void TMainForm::Speichernunter1Click()
{
    m_document.SaveAs();
}

void TMainForm::Beenden1Click()
{
    close();
}

bool TMainForm::FormCloseQuery()
{
    return SaveFirstPrompt(QStringLiteral("Datei: Beenden..."));
}

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
        if (QWindow *window = windowHandle())
            window->installEventFilter(this);
        runHandler(&m_prompts, [this] { RestoreSettings(); });
    }
    QMainWindow::showEvent(event);
}

bool TMainForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Expose && watched == windowHandle() && windowHandle()->isExposed()) {
        // The window paints while it handles the expose: finish once that is done.
        watched->removeEventFilter(this);
        QTimer::singleShot(0, this, [this] { runHandler(&m_prompts, [this] { finishStartUp(); }); });
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::finishStartUp()
{
    if (m_startUpFinished)
        return;
    m_startUpFinished = true;
    setUpHiddenLook();
    emit firstPainted();
}

void TMainForm::prepareSortsLater()
{
    // Once the window has caught up, the sort rules rank the new texts, so that the first header
    // click sorts as quickly as the ones after it. A very long list is left to that click: ranking
    // it takes long enough to hold up the window unasked. A failure here is left for that click to
    // report.
    constexpr int kPreparedEntries = 250'000;
    QTimer::singleShot(0, this, [this] {
        try {
            for (const EntryList *list : {&m_document.AssemblyList, &m_document.DefectCatalog, &m_document.DefectList}) {
                if (list->count() <= kPreparedEntries)
                    list->prepareSort();
            }
        } catch (...) {
        }
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
        Application::showError(e.text(), &m_prompts);
    } catch (...) {
        // Also runs from the destructor, which must not throw.
        Application::showCurrentException(&m_prompts);
    }
}

// ---- Exchange, printing and help ----

void TMainForm::CSVExport1Click()
{
    const std::optional<Prompts::FileChoice> choice =
        m_prompts.saveFileChoice(csvFileDialog(m_csvExportName, CsvDirection::Export, m_csvExportEncoding));
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
    importCsv(m_document.DefectList, *name, m_prompts,
              [this](std::size_t rows) { m_document.checkShow({0, 0, rows}); });
}

QPrinter &TMainForm::printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

PrintMargins TMainForm::printMargins() const
{
    return {m_ui->leftREd->value(), m_ui->TopREd->value(), m_ui->RightREd->value(), m_ui->BottomREd->value()};
}

void TMainForm::Druckereinrichten1Click()
{
    m_print->setup();
}

void TMainForm::FontBtnClick()
{
    m_prompts.chooseFont(m_printFont);
}

void TMainForm::Drucken1Click()
{
    m_print->print();
}

void TMainForm::Berichtsangaben1Click() { m_report->edit(); }

void TMainForm::Seitenansicht1Click()
{
    m_print->preview();
}

void TMainForm::AlsPDFspeichern1Click()
{
    m_print->savePdf();
}

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
        guide = new TAnleitungForm(this);
    const QString file = TAnleitungForm::guideFile(m_document.ProgramDirectory());
    if (!guide->load(file)) {
        if (created)
            delete guide;
        m_prompts.error(QStringLiteral("Anleitung"),
                        QStringLiteral("Die Anleitung „%1“ wurde nicht gefunden oder kann nicht gelesen werden.")
                            .arg(QDir::toNativeSeparators(file)));
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

void TMainForm::copyDefect(ListView *source, const EntryList &list)
{
    UndoStep step(m_undo, stepname::copyDefect());
    const int row = source->selectedRow();
    if (row < 0) {
        m_prompts.error(QStringLiteral("Kein Mangel ausgewählt"), QStringLiteral("Sie haben keinen Mangel ausgewählt."));
    } else {
        const ListEntry &from = list.at(row);
        ListEntry copy{from.caption(), {from.subItemCount() == 0 ? std::string_view() : from.subItem(0)}};
        m_document.DefectList.append(std::move(copy));
        m_ui->ListView3->openEditor(m_document.DefectList.count() - 1);
    }
    listChanged(m_document.DefectList, CountPhrase::Open);
}

void TMainForm::UpdateFilteredView()
{
    const int assembly = m_ui->ListView1->selectedRow();
    const std::string selected(assembly >= 0 ? m_document.AssemblyList.caption(assembly) : std::string_view());
    const std::string *key = assembly >= 0 ? &selected : nullptr;
    std::vector<ListEntry> rows = editing::filterCatalog(m_document.DefectCatalog.entries(), key);
    // Without an assembly the view shows the whole catalogue: its layout is checked as the
    // catalogue's is at a load, before the view changes.
    m_document.checkShow({0, rows.size(), 0});
    m_filtered.beginUpdate();
    m_filtered.assign(std::move(rows));
    m_filtered.endUpdate();
}

void TMainForm::listChanged(const EntryList &list, CountPhrase phrase)
{
    listsChanged({&list}, phrase);
}

void TMainForm::listsChanged(const QList<const EntryList *> &lists, CountPhrase phrase)
{
    bool filtered = false, status = false;
    for (const EntryList *list : lists) {
        filtered = filtered || list == &m_document.AssemblyList || list == &m_document.DefectCatalog;
        status = status || list == &m_document.DefectList;
    }
    if (filtered)
        UpdateFilteredView();
    if (status)
        m_document.UpdateStatusLine(phrase);
}

// ---- Handlers by the names of their controls: each list's own are its controller's ----

void TMainForm::MinusLaedenBtnClick() { m_assemblies->remove(); }
void TMainForm::DelList1Click() { m_assemblies->clear(); }
void TMainForm::MinusProdukteBtnClick() { m_catalog->remove(); }
void TMainForm::DelList2Click() { m_catalog->clear(); }
void TMainForm::PlusEinkaufBtnClick() { copyDefect(m_ui->ListView2, m_document.DefectCatalog); }
void TMainForm::Hinzu2BtnClick() { copyDefect(m_ui->ListView4, m_filtered); }
void TMainForm::MinusEinkaufBtnClick() { m_defects->remove(); }
void TMainForm::DelList3Click() { m_defects->clear(); }
void TMainForm::UpdateFilterBtnClick() { UpdateFilteredView(); }

void TMainForm::ListView1Change() { listChanged(m_document.AssemblyList); }
void TMainForm::ListView3Change() { listChanged(m_document.DefectList, CountPhrase::Open); }
bool TMainForm::ListView2Changing() { return true; }

void TMainForm::ListView1ColumnClick(int column) { m_assemblies->columnClick(column); }
void TMainForm::ListView2ColumnClick(int column) { m_catalog->columnClick(column); }
void TMainForm::ListView3ColumnClick(int column) { m_defects->columnClick(column); }

int TMainForm::ListView1Compare(const ListEntry &item1, const ListEntry &item2) const
{
    return editing::ListView1Compare(item1, item2, AssemblySort);
}
int TMainForm::ListView2Compare(const ListEntry &item1, const ListEntry &item2) const
{
    return editing::ListView2Compare(item1, item2, CatalogSort);
}
int TMainForm::ListView3Compare(const ListEntry &item1, const ListEntry &item2) const
{
    return editing::ListView3Compare(item1, item2, DefectListSort);
}

void TMainForm::ListView1DblClick() { m_assemblies->dblClick(); }
void TMainForm::ListView2DblClick() { m_catalog->dblClick(); }
void TMainForm::ListView3DblClick() { m_defects->dblClick(); }
void TMainForm::ListView4DblClick() { m_catalog->filteredDblClick(); }

void TMainForm::ListView1KeyDown(int key) { m_assemblies->keyDown(key); }
void TMainForm::ListView2KeyDown(int key) { m_catalog->keyDown(key); }
void TMainForm::ListView3KeyDown(int key) { m_defects->keyDown(key); }
void TMainForm::ListView4KeyDown(int key) { m_catalog->filteredKeyDown(key); }

bool TMainForm::ListView1DragOver(QObject *) const { return m_assemblies->acceptsDrop(m_ui->ListView1); }
bool TMainForm::ListView2DragOver(QObject *sender, QObject *) const { return m_catalog->acceptsDrop(sender); }
bool TMainForm::ListView3DragOver(QObject *) const { return m_defects->acceptsDrop(m_ui->ListView3); }

void TMainForm::ListView2DragDrop(ListView *target, QPoint pos, QObject *source)
{
    controllerOf(target).drop(target, pos, source);
}

ListController &TMainForm::controllerOf(ListView *view) const
{
    if (view == m_ui->ListView1)
        return *m_assemblies;
    if (view == m_ui->ListView3)
        return *m_defects;
    return *m_catalog; // ListView2 and the filtered view
}
