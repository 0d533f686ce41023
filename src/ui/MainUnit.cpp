#include "ui/MainUnit.h"

#include "document/Cp1252.h"
#include "document/Prompts.h"
#include "editing/CompareRules.h"
#include "editing/FilteredView.h"
#include "editing/SortRules.h"
#include "exchange/CsvExchange.h"
#include "settings/SettingsError.h"
#include "ui/Application.h"
#include "print/PrintLayout.h"
#include "print/QPrinterCanvas.h"
#include "ui/AboutBoxUnit.h"
#include "ui/AnleitungUnit.h"
#include "ui/ListView.h"
#include "ui/WindowPrompts.h"
#include "ui_MainUnit.h"

#include <QCloseEvent>
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

using statusline::CountPhrase;

namespace {

const QStringList kDefectColumns{QStringLiteral("Name"), QStringLiteral("Baugruppe")};
const QString kSaveQuestion = QStringLiteral("Wollen Sie die nicht gesicherten Daten speichern?");

QIcon themed(const char *themeName, const char *fallback)
{
    return QIcon::fromTheme(QString::fromLatin1(themeName), QIcon(QStringLiteral(":/icons/") + QString::fromLatin1(fallback) + QStringLiteral(".svg")));
}

QIcon resourceIcon(const char *name)
{
    return QIcon(QStringLiteral(":/icons/") + QString::fromLatin1(name) + QStringLiteral(".svg"));
}

void setBackground(QWidget *widget, const QColor &color)
{
    widget->setAutoFillBackground(true);
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window, color);
    widget->setPalette(pal);
}

// Clears a flag when the scope ends, also when an exception leaves it.
struct FlagGuard {
    bool &flag;
    explicit FlagGuard(bool &f) : flag(f) { flag = true; }
    ~FlagGuard() { flag = false; }
};

} // namespace

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
      m_filtered(kDefectColumns),
      m_store(store ? std::move(store) : std::make_unique<SettingsStore>(SettingsStore::forThisProgram())),
      m_formStorage(std::make_unique<FormStorage>(*m_store))
{
    initResources();
    m_ui->setupUi(this);
    setUpWidgets();
    setUpIcons();
    wire();
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

void TMainForm::setUpWidgets()
{
    setAttribute(Qt::WA_AlwaysShowToolTips);
    resize(999, 589);
    move(223, 115);

    // Caption strips: raised, in the strip colour, the caption centred in a heavy face.
    QFont stripFont;
    stripFont.setFamilies({QStringLiteral("Arial Black"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    stripFont.setPixelSize(16);
    stripFont.setWeight(QFont::Black);
    for (QLabel *strip : {m_ui->Panel1LaedenStrip, m_ui->Panel1ProdukteStrip, m_ui->Panel11Strip, m_ui->Panel7Strip})
        strip->setFont(stripFont);
    for (QFrame *strip : std::initializer_list<QFrame *>{m_ui->Panel1LaedenStrip, m_ui->Panel1ProdukteStrip,
                                                         m_ui->Panel11Strip, m_ui->Panel7Strip, m_ui->Panel10})
        setBackground(strip, QColor(240, 202, 166));
    QFont bold = m_ui->Label1->font();
    bold.setBold(true);
    m_ui->Label1->setFont(bold);

    setBackground(m_ui->Panel6, QColor(192, 220, 192));
    QFont maroon;
    maroon.setFamilies({QStringLiteral("Arial Black"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    maroon.setPixelSize(19);
    maroon.setWeight(QFont::Black);
    m_ui->Label6->setFont(maroon);
    QPalette maroonPal = m_ui->Label6->palette();
    maroonPal.setColor(QPalette::WindowText, QColor(128, 0, 0));
    m_ui->Label6->setPalette(maroonPal);
    m_ui->Image1->setPixmap(QPixmap(QStringLiteral(":/images/program.jpg")));

    m_ui->Splitter1->setControlled(m_ui->Panel1Laeden);
    m_ui->Splitter2->setControlled(m_ui->Panel1Produkte);

    m_ui->ListView1->setModel(&m_document.AssemblyList);
    m_ui->ListView2->setModel(&m_document.DefectCatalog);
    m_ui->ListView3->setModel(&m_document.DefectList);
    m_ui->ListView4->setModel(&m_filtered);

    // Each list sorts with its rule; the pairwise compare and the state's token let a drop into a
    // sorted list place the moved entry without sorting everything again.
    auto token = [](const SortState &state) {
        return [&state] { return state.SortColumn * 2 + (state.Descending ? 1 : 0); };
    };
    m_document.AssemblyList.setSortRule(
        editing::assemblySortRule(AssemblySort),
        [this](const ListEntry &a, const ListEntry &b) { return ListView1Compare(a, b); }, token(AssemblySort));
    m_document.DefectCatalog.setSortRule(
        editing::catalogSortRule(CatalogSort),
        [this](const ListEntry &a, const ListEntry &b) { return ListView2Compare(a, b); }, token(CatalogSort));
    m_filtered.setSortRule(editing::catalogSortRule(CatalogSort));
    m_document.DefectList.setSortRule(
        editing::defectListSortRule(DefectListSort),
        [this](const ListEntry &a, const ListEntry &b) { return ListView3Compare(a, b); }, token(DefectListSort));

    // Status bar in single-text mode: one text across its whole width.
    m_statusText = new QLabel(this);
    m_statusText->setObjectName(QStringLiteral("StatusBar1Text"));
    m_ui->StatusBar1->addWidget(m_statusText, 1);
    m_ui->StatusBar1->setFixedHeight(std::max(19, m_ui->StatusBar1->sizeHint().height()));

    // Toolbar: New | Open, Save, Save As | Print | Exit.
    struct Tool {
        int number;
        const char *hint;
        QAction *action;
    };
    const Tool tools[] = {{1, "Neu", m_ui->Neu1},           {0, nullptr, nullptr},
                          {2, "Öffnen...", m_ui->ffnen1},    {3, "Speichern", m_ui->Speichern1},
                          {4, "Speichern unter...", m_ui->Speichernunter1}, {0, nullptr, nullptr},
                          {7, "Drucken...", m_ui->Drucken1}, {0, nullptr, nullptr},
                          {11, "Beenden", m_ui->Beenden1}};
    for (const Tool &t : tools) {
        if (t.number == 0) {
            m_ui->ToolBar1->addSeparator();
            continue;
        }
        auto *button = new QToolButton(m_ui->ToolBar1);
        button->setObjectName(QStringLiteral("ToolButton%1").arg(t.number));
        button->setToolTip(QString::fromUtf8(t.hint));
        button->setAccessibleName(QString::fromUtf8(t.hint));
        button->setAutoRaise(true);
        m_ui->ToolBar1->addWidget(button);
        QAction *action = t.action;
        connect(button, &QToolButton::clicked, action, &QAction::trigger);
        m_toolButtons << button;
    }

    m_timer.setObjectName(QStringLiteral("Timer1"));
    m_timer.setInterval(1000);
}

void TMainForm::setUpIcons()
{
    const std::pair<const char *, QIcon> tools[] = {
        {"ToolButton1", themed("document-new", "new")},       {"ToolButton2", themed("document-open", "open")},
        {"ToolButton3", themed("document-save", "save")},     {"ToolButton4", themed("document-save-as", "saveas")},
        {"ToolButton7", themed("document-print", "print")},   {"ToolButton11", themed("application-exit", "exit")},
    };
    for (const auto &[name, icon] : tools) {
        for (QToolButton *b : m_toolButtons) {
            if (b->objectName() == QLatin1String(name))
                b->setIcon(icon);
        }
    }
    m_ui->Neu1->setIcon(themed("document-new", "new"));
    m_ui->ffnen1->setIcon(themed("document-open", "open"));
    m_ui->Speichern1->setIcon(themed("document-save", "save"));
    m_ui->Speichernunter1->setIcon(themed("document-save-as", "saveas"));
    m_ui->Drucken1->setIcon(themed("document-print", "print"));
    m_ui->Beenden1->setIcon(themed("application-exit", "exit"));

    const QIcon add = themed("list-add", "add"), remove = themed("list-remove", "remove"),
                clear = themed("edit-delete", "clear");
    for (QToolButton *b : {m_ui->PlusLaedenBtn, m_ui->PlusProdukteBtn, m_ui->PlusEinkaufBtn})
        b->setIcon(add);
    for (QToolButton *b : {m_ui->MinusLaedenBtn, m_ui->MinusProdukteBtn, m_ui->MinusEinkaufBtn})
        b->setIcon(remove);
    for (QToolButton *b : {m_ui->DelList1, m_ui->DelList2, m_ui->DelList3})
        b->setIcon(clear);
    m_ui->PropEd->setIcon(themed("document-edit", "edit"));
    m_ui->Hinzu2Btn->setIcon(themed("go-next", "addfiltered"));
    m_ui->UpdateFilterBtn->setIcon(themed("view-refresh", "refresh"));
    m_ui->FontBtn->setIcon(themed("preferences-desktop-font", "font"));
    m_ui->PageControl1->setTabIcon(0, resourceIcon("lists"));
    m_ui->PageControl1->setTabIcon(1, themed("preferences-system", "settings"));

    m_ui->ListView1->setRowIcon(resourceIcon("assembly"));
    m_ui->ListView2->setRowIcon(resourceIcon("defect"));
    m_ui->ListView4->setRowIcon(resourceIcon("defect"));
    m_ui->ListView3->setRowIcon(resourceIcon("listentry"));

    // Every button, list and spin edit carries its caption or hint as its accessible name.
    for (QToolButton *b : findChildren<QToolButton *>()) {
        if (b->accessibleName().isEmpty())
            b->setAccessibleName(b->toolTip());
    }
    const std::pair<ListView *, const char *> views[] = {{m_ui->ListView1, "Baugruppen"},
                                                         {m_ui->ListView2, "Mängel"},
                                                         {m_ui->ListView4, "Mängel gefiltert"},
                                                         {m_ui->ListView3, "Mängelliste"}};
    for (const auto &[view, name] : views)
        view->setAccessibleName(QString::fromUtf8(name));
    const std::pair<QSpinBox *, const char *> spins[] = {{m_ui->leftREd, "Rand links"},
                                                         {m_ui->TopREd, "Rand oben"},
                                                         {m_ui->RightREd, "Rand rechts"},
                                                         {m_ui->BottomREd, "Rand unten"}};
    for (const auto &[spin, name] : spins)
        spin->setAccessibleName(QString::fromUtf8(name));
    m_ui->FontBtn->setAccessibleName(QStringLiteral("Schriftart"));
}

void TMainForm::wire()
{
    connect(&m_document, &ListDocument::titleChanged, this, &QWidget::setWindowTitle);
    connect(&m_document, &ListDocument::statusTextChanged, m_statusText, &QLabel::setText);

    connect(m_ui->Neu1, &QAction::triggered, this, &TMainForm::Neu1Click);
    connect(m_ui->ffnen1, &QAction::triggered, this, &TMainForm::ffnen1Click);
    connect(m_ui->Speichern1, &QAction::triggered, this, &TMainForm::Speichern1Click);
    connect(m_ui->Speichernunter1, &QAction::triggered, this, &TMainForm::Speichernunter1Click);
    connect(m_ui->CSVExport1, &QAction::triggered, this, &TMainForm::CSVExport1Click);
    connect(m_ui->CSVImport1, &QAction::triggered, this, &TMainForm::CSVImport1Click);
    connect(m_ui->Druckereinrichten1, &QAction::triggered, this, &TMainForm::Druckereinrichten1Click);
    connect(m_ui->Drucken1, &QAction::triggered, this, &TMainForm::Drucken1Click);
    connect(m_ui->Beenden1, &QAction::triggered, this, &TMainForm::Beenden1Click);
    connect(m_ui->berdasProgramm1, &QAction::triggered, this, &TMainForm::berdasProgramm1Click);
    connect(m_ui->Anleitung1, &QAction::triggered, this, &TMainForm::Anleitung1Click);

    connect(m_ui->PlusLaedenBtn, &QToolButton::clicked, this, &TMainForm::PlusLaedenBtnClick);
    connect(m_ui->MinusLaedenBtn, &QToolButton::clicked, this, &TMainForm::MinusLaedenBtnClick);
    connect(m_ui->DelList1, &QToolButton::clicked, this, &TMainForm::DelList1Click);
    connect(m_ui->PlusProdukteBtn, &QToolButton::clicked, this, &TMainForm::PlusProdukteBtnClick);
    connect(m_ui->MinusProdukteBtn, &QToolButton::clicked, this, &TMainForm::MinusProdukteBtnClick);
    connect(m_ui->DelList2, &QToolButton::clicked, this, &TMainForm::DelList2Click);
    connect(m_ui->PropEd, &QToolButton::clicked, this, &TMainForm::PropEdClick);
    connect(m_ui->PlusEinkaufBtn, &QToolButton::clicked, this, &TMainForm::PlusEinkaufBtnClick);
    connect(m_ui->Hinzu2Btn, &QToolButton::clicked, this, &TMainForm::Hinzu2BtnClick);
    connect(m_ui->MinusEinkaufBtn, &QToolButton::clicked, this, &TMainForm::MinusEinkaufBtnClick);
    connect(m_ui->DelList3, &QToolButton::clicked, this, &TMainForm::DelList3Click);
    connect(m_ui->UpdateFilterBtn, &QToolButton::clicked, this, &TMainForm::UpdateFilterBtnClick);
    connect(m_ui->FontBtn, &QPushButton::clicked, this, &TMainForm::FontBtnClick);
    connect(&m_timer, &QTimer::timeout, this, &TMainForm::Timer1Timer);

    // Change reports: a caption set (also on an entry just added) or a change of the selection.
    EntryList &assemblies = m_document.AssemblyList;
    connect(&assemblies, &QAbstractItemModel::dataChanged, this, &TMainForm::ListView1Change);
    connect(&assemblies, &QAbstractItemModel::rowsInserted, this, &TMainForm::ListView1Change);
    connect(m_ui->ListView1->selectionModel(), &QItemSelectionModel::selectionChanged, this, &TMainForm::ListView1Change);
    EntryList &defects = m_document.DefectList;
    connect(&defects, &QAbstractItemModel::dataChanged, this, &TMainForm::ListView3Change);
    connect(&defects, &QAbstractItemModel::rowsInserted, this, &TMainForm::ListView3Change);
    connect(m_ui->ListView3->selectionModel(), &QItemSelectionModel::selectionChanged, this, &TMainForm::ListView3Change);

    // ListView4 shares every handler of ListView2.
    connect(m_ui->ListView1, &ListView::columnClick, this, &TMainForm::ListView1ColumnClick);
    connect(m_ui->ListView2, &ListView::columnClick, this, &TMainForm::ListView2ColumnClick);
    connect(m_ui->ListView4, &ListView::columnClick, this, &TMainForm::ListView2ColumnClick);
    connect(m_ui->ListView3, &ListView::columnClick, this, &TMainForm::ListView3ColumnClick);
    connect(m_ui->ListView1, &ListView::dblClick, this, &TMainForm::ListView1DblClick);
    connect(m_ui->ListView2, &ListView::dblClick, this, &TMainForm::ListView2DblClick);
    connect(m_ui->ListView4, &ListView::dblClick, this, &TMainForm::ListView2DblClick);
    connect(m_ui->ListView3, &ListView::dblClick, this, &TMainForm::ListView3DblClick);
    connect(m_ui->ListView1, &ListView::keyDown, this, &TMainForm::ListView1KeyDown);
    connect(m_ui->ListView2, &ListView::keyDown, this, &TMainForm::ListView2KeyDown);
    connect(m_ui->ListView4, &ListView::keyDown, this, &TMainForm::ListView2KeyDown);
    connect(m_ui->ListView3, &ListView::keyDown, this, &TMainForm::ListView3KeyDown);
    m_ui->ListView2->setChangeApprover([this] { return ListView2Changing(); });
    m_ui->ListView4->setChangeApprover([this] { return ListView2Changing(); });

    ListView *v1 = m_ui->ListView1, *v2 = m_ui->ListView2, *v3 = m_ui->ListView3, *v4 = m_ui->ListView4;
    v1->setDropAcceptor([this](QObject *source) { return ListView1DragOver(source); });
    v2->setDropAcceptor([this, v2](QObject *source) { return ListView2DragOver(v2, source); });
    v4->setDropAcceptor([this, v4](QObject *source) { return ListView2DragOver(v4, source); });
    v3->setDropAcceptor([this](QObject *source) { return ListView3DragOver(source); });
    for (ListView *v : {v1, v2, v3, v4}) {
        connect(v, &ListView::dropped, this, [this, v](QPoint pos, QObject *source) { ListView2DragDrop(v, pos, source); });
    }
}

// ---- Start-up, file commands and the watch ----

void TMainForm::FormCreate(const QString &programDirectory, const QString &startFile)
{
    QString dir = programDirectory.isEmpty() ? QCoreApplication::applicationDirPath() : programDirectory;
    if (!dir.endsWith(u'/'))
        dir += u'/';
    m_document.ProgramDirectory = dir;
    m_document.BaseTitle = windowTitle();
    m_document.setTitle(m_document.BaseTitle);
    // Any load refreshes the stamp of the default list file, so the watch starts from it also
    // when another file is opened.
    m_document.OpenLists(startFile.isEmpty() ? m_document.defaultListFile() : startFile);
    m_timer.start();
}

std::optional<QString> TMainForm::chooseListFile(bool save)
{
    Prompts::FileDialog dialog;
    dialog.filter = QStringLiteral("Mängellisten (*.mal)");
    dialog.defaultSuffix = QStringLiteral("mal");
    dialog.confirmOverwrite = save;
    dialog.startPath = m_document.CurrentFileName;
    return save ? m_prompts.saveFileName(dialog) : m_prompts.openFileName(dialog);
}

bool TMainForm::SaveFirstPrompt(const QString &caption)
{
    const Prompts::Answer answer = m_prompts.message(
        {caption, kSaveQuestion, Prompts::Icon::Question, Prompts::Buttons::YesNoCancel, Prompts::Answer::Yes});
    if (answer == Prompts::Answer::No)
        return true;
    if (answer != Prompts::Answer::Yes)
        return false;
    if (!m_document.CurrentFileName.isEmpty())
        return m_document.SaveLists(m_document.CurrentFileName);
    const std::optional<QString> name = chooseListFile(true);
    // A save that fails stops the command: the work the user wanted to keep is not thrown away.
    return name && m_document.SaveLists(*name);
}

void TMainForm::Neu1Click()
{
    if (!SaveFirstPrompt(QStringLiteral("Datei: Neu...")))
        return;
    m_document.CurrentFileName.clear();
    m_document.setTitle(m_document.BaseTitle + QStringLiteral(" - Kein Name"));
    m_document.clearLists();
    m_document.UpdateStatusLine(CountPhrase::Closed);
}

void TMainForm::ffnen1Click()
{
    if (!SaveFirstPrompt(QStringLiteral("Datei: Öffnen...")))
        return;
    if (const std::optional<QString> name = chooseListFile(false))
        m_document.OpenLists(*name);
}

void TMainForm::Speichern1Click()
{
    if (m_document.CurrentFileName.isEmpty())
        Speichernunter1Click();
    else
        m_document.SaveLists(m_document.CurrentFileName);
}

void TMainForm::Speichernunter1Click()
{
    if (const std::optional<QString> name = chooseListFile(true))
        m_document.SaveLists(*name);
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
    if (!FormCloseQuery()) {
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
        RestoreSettings();
    }
    QMainWindow::showEvent(event);
}

void TMainForm::Timer1Timer()
{
    if (m_document.WatchBusy)
        return;
    FlagGuard busy(m_document.WatchBusy);
    const QString file = m_document.defaultListFile();
    if (FileStamp::of(file) == m_document.DefaultFileAge)
        return;
    const Prompts::Answer answer = m_prompts.message(
        {QStringLiteral("Neu laden"),
         QStringLiteral("Die Datei mängel.mal im Programmverzeichnis wurde geändert. Soll die geänderte Datei geladen werden?"),
         Prompts::Icon::None, Prompts::Buttons::YesNoCancel, Prompts::Answer::Yes});
    if (answer == Prompts::Answer::Yes)
        m_document.OpenLists(file);
    else
        m_document.refreshDefaultFileAge();
}

// ---- Settings ----

namespace {

StoredFont toStored(const PrintFont &f)
{
    StoredFont s;
    s.name = f.name;
    s.height = f.height;
    s.size = f.size;
    s.bold = f.style.bold;
    s.italic = f.style.italic;
    s.underline = f.style.underline;
    s.strikeOut = f.style.strikeOut;
    s.charset = f.charset;
    s.color = f.color;
    s.pitch = static_cast<StoredPitch>(f.pitch);
    return s;
}

PrintFont fromStored(const StoredFont &s, const PrintFont &previous)
{
    PrintFont f;
    f.name = s.name.isEmpty() ? previous.name : s.name;
    f.height = s.height;
    // A size that cannot be printed (from a damaged file) follows the height, or stays as it was.
    f.size = s.size > 0 ? s.size : (s.height < 0 ? std::max(1, int(std::lround(-s.height * 72.0 / 96.0))) : previous.size);
    f.style = {s.bold, s.italic, s.underline, s.strikeOut};
    f.charset = s.charset;
    f.color = s.color;
    f.pitch = static_cast<FontPitch>(s.pitch);
    return f;
}

// A spin edit keeps its value within 0 to 50 and takes the nearest whole number, a half going to
// the even neighbour.
int spinValue(double v)
{
    if (!std::isfinite(v))
        return 0;
    return static_cast<int>(std::clamp(std::nearbyint(v), 0.0, 50.0));
}

} // namespace

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
        state.pixelsPerInch = static_cast<int>(std::lround(s->logicalDotsPerInch()));
    }
    return state;
}

StoredProps TMainForm::currentProps() const
{
    StoredProps props;
    props.rightREd = m_ui->RightREd->value();
    props.topREd = m_ui->TopREd->value();
    props.leftREd = m_ui->leftREd->value();
    props.bottomREd = m_ui->BottomREd->value();
    props.font = toStored(m_printFont);
    props.panel1LaedenWidth = m_ui->Panel1Laeden->width();
    props.panel1ProdukteWidth = m_ui->Panel1Produkte->width();
    return props;
}

void TMainForm::applyProps(const StoredProps &props)
{
    m_ui->RightREd->setValue(spinValue(props.rightREd));
    m_ui->TopREd->setValue(spinValue(props.topREd));
    m_ui->leftREd->setValue(spinValue(props.leftREd));
    m_ui->BottomREd->setValue(spinValue(props.bottomREd));
    m_printFont = fromStored(props.font, m_printFont);
    m_ui->Panel1Laeden->setFixedWidth(std::clamp(props.panel1LaedenWidth, 0, QWIDGETSIZE_MAX));
    m_ui->Panel1Produkte->setFixedWidth(std::clamp(props.panel1ProdukteWidth, 0, QWIDGETSIZE_MAX));
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
    }
}

// ---- Exchange, printing and help ----

void TMainForm::CSVExport1Click()
{
    const std::optional<QString> name = m_prompts.saveFileName(csvFileDialog(m_csvExportName));
    if (!name)
        return;
    m_csvExportName = *name;
    exportCsv(m_document.DefectList, *name, m_prompts);
}

void TMainForm::CSVImport1Click()
{
    const std::optional<QString> name = m_prompts.openFileName(csvFileDialog(m_csvImportName));
    if (!name)
        return;
    m_csvImportName = *name;
    importCsv(m_document.DefectList, *name, m_prompts);
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
    m_prompts.printerSetupDialog(printer());
}

void TMainForm::FontBtnClick()
{
    m_prompts.chooseFont(m_printFont);
}

void TMainForm::Drucken1Click()
{
    if (!m_prompts.printDialog(printer()))
        return;
    // Errors of the printer layer end the command in the general error display.
    QPrinterCanvas canvas(printer());
    printDefectList(canvas, m_document.DefectList.entries(), printMargins(), m_printFont);
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
    const QString file = TAnleitungForm::guideFile(m_document.ProgramDirectory);
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

TMainForm::Removal TMainForm::removeSelected(ListView *view, EntryList &list)
{
    const int row = view->selectedRow();
    if (row < 0) {
        m_prompts.error(QStringLiteral("Kein Eintrag ausgewählt"), QStringLiteral("Sie haben keinen Eintrag ausgewählt."));
        return Removal::NoSelection;
    }
    const Prompts::Answer answer = m_prompts.message({QStringLiteral("Eintrag löschen"),
                                                      QStringLiteral("Wollen Sie den Eintrag löschen?"),
                                                      Prompts::Icon::Question, Prompts::Buttons::YesNo,
                                                      Prompts::Answer::Yes});
    if (answer != Prompts::Answer::Yes)
        return Removal::Declined;
    list.removeAt(row);
    return Removal::Removed;
}

bool TMainForm::confirmClear(EntryList &list)
{
    const Prompts::Answer answer = m_prompts.message({QStringLiteral("Liste löschen"),
                                                      QStringLiteral("Wollen Sie die komplette Liste löschen?"),
                                                      Prompts::Icon::Question, Prompts::Buttons::YesNo,
                                                      Prompts::Answer::Yes});
    if (answer != Prompts::Answer::Yes)
        return false;
    list.clear();
    return true;
}

void TMainForm::PlusLaedenBtnClick()
{
    m_document.AssemblyList.append({"Baugruppe", {}});
    m_ui->ListView1->openEditor(m_document.AssemblyList.count() - 1);
}

void TMainForm::MinusLaedenBtnClick()
{
    removeSelected(m_ui->ListView1, m_document.AssemblyList);
}

void TMainForm::DelList1Click()
{
    confirmClear(m_document.AssemblyList);
}

void TMainForm::PlusProdukteBtnClick()
{
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
    UpdateFilteredView();
}

void TMainForm::MinusProdukteBtnClick()
{
    if (removeSelected(m_ui->ListView2, m_document.DefectCatalog) != Removal::NoSelection)
        UpdateFilteredView();
}

void TMainForm::DelList2Click()
{
    confirmClear(m_document.DefectCatalog);
    UpdateFilteredView();
}

void TMainForm::PropEdClick()
{
    const int row = m_ui->ListView2->selectedRow();
    if (row < 0)
        return;
    const std::optional<QString> name =
        m_prompts.editDefectName(cp1252::toUnicode(m_document.DefectCatalog.caption(row)));
    if (!name)
        return;
    m_document.DefectCatalog.setCaption(row, cp1252::fromUnicode(*name));
    UpdateFilteredView();
}

void TMainForm::copyDefect(ListView *source, const EntryList &list)
{
    const int row = source->selectedRow();
    if (row < 0) {
        m_prompts.error(QStringLiteral("Kein Mangel ausgewählt"), QStringLiteral("Sie haben keinen Mangel ausgewählt."));
    } else {
        const ListEntry &from = list.at(row);
        ListEntry copy{from.caption, {from.subItems.empty() ? std::string() : from.subItems.front()}};
        m_document.DefectList.append(std::move(copy));
        m_ui->ListView3->openEditor(m_document.DefectList.count() - 1);
    }
    m_document.UpdateStatusLine(CountPhrase::Open);
}

void TMainForm::PlusEinkaufBtnClick()
{
    copyDefect(m_ui->ListView2, m_document.DefectCatalog);
}

void TMainForm::Hinzu2BtnClick()
{
    copyDefect(m_ui->ListView4, m_filtered);
}

void TMainForm::MinusEinkaufBtnClick()
{
    removeSelected(m_ui->ListView3, m_document.DefectList);
    m_document.UpdateStatusLine(CountPhrase::Closed);
}

void TMainForm::DelList3Click()
{
    confirmClear(m_document.DefectList);
    m_document.UpdateStatusLine(CountPhrase::Closed);
}

void TMainForm::UpdateFilterBtnClick()
{
    UpdateFilteredView();
}

void TMainForm::UpdateFilteredView()
{
    m_filtered.beginUpdate();
    const int assembly = m_ui->ListView1->selectedRow();
    const std::string *key = assembly >= 0 ? &m_document.AssemblyList.caption(assembly) : nullptr;
    m_filtered.assign(editing::filterCatalog(m_document.DefectCatalog.entries(), key));
    m_filtered.endUpdate();
}

// ---- List events ----

void TMainForm::ListView1Change()
{
    UpdateFilteredView();
}

void TMainForm::ListView3Change()
{
    m_document.UpdateStatusLine(CountPhrase::Open);
}

bool TMainForm::ListView2Changing()
{
    return true;
}

void TMainForm::ListView1ColumnClick(int column)
{
    editing::applyHeaderClick(AssemblySort, column);
    m_document.AssemblyList.beginUpdate();
    m_document.AssemblyList.endUpdate();
    m_ui->ListView1->showSortIndicator(AssemblySort);
}

void TMainForm::ListView2ColumnClick(int column)
{
    // Also for a click on the filtered view: the catalogue is re-sorted, the filtered view keeps its
    // order until its next rebuild.
    editing::applyHeaderClick(CatalogSort, column);
    m_document.DefectCatalog.beginUpdate();
    m_document.DefectCatalog.endUpdate();
    m_ui->ListView2->showSortIndicator(CatalogSort);
    m_ui->ListView4->showSortIndicator(CatalogSort);
}

void TMainForm::ListView3ColumnClick(int column)
{
    editing::applyHeaderClick(DefectListSort, column);
    m_document.DefectList.beginUpdate();
    m_document.DefectList.endUpdate();
    m_ui->ListView3->showSortIndicator(DefectListSort);
}

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

void TMainForm::ListView1DblClick()
{
    const int row = m_ui->ListView1->selectedRow();
    if (row >= 0)
        m_ui->ListView1->openEditor(row);
}

void TMainForm::ListView2DblClick()
{
    PlusEinkaufBtnClick();
}

void TMainForm::ListView3DblClick()
{
    const int row = m_ui->ListView3->selectedRow();
    if (row >= 0)
        m_ui->ListView3->openEditor(row);
}

void TMainForm::handleKey(ListView *view, int key, void (TMainForm::*remove)())
{
    // While the view edits a caption in place, Delete and Return belong to the editor.
    if (view->isEditing())
        return;
    if (key == Qt::Key_Delete)
        (this->*remove)();
    else if (key == Qt::Key_Return && view->selectedRow() >= 0)
        view->openEditor(view->selectedRow());
}

void TMainForm::ListView1KeyDown(int key)
{
    handleKey(m_ui->ListView1, key, &TMainForm::MinusLaedenBtnClick);
}

void TMainForm::ListView2KeyDown(int key)
{
    // Also for keys in the filtered view: they act on the catalogue.
    handleKey(m_ui->ListView2, key, &TMainForm::MinusProdukteBtnClick);
}

void TMainForm::ListView3KeyDown(int key)
{
    handleKey(m_ui->ListView3, key, &TMainForm::MinusEinkaufBtnClick);
}

bool TMainForm::ListView1DragOver(QObject *) const
{
    return true;
}

bool TMainForm::ListView2DragOver(QObject *sender, QObject *) const
{
    return sender != m_ui->ListView4;
}

bool TMainForm::ListView3DragOver(QObject *) const
{
    return true;
}

EntryList *TMainForm::listOf(ListView *view)
{
    if (view == m_ui->ListView1)
        return &m_document.AssemblyList;
    if (view == m_ui->ListView2)
        return &m_document.DefectCatalog;
    if (view == m_ui->ListView3)
        return &m_document.DefectList;
    return nullptr;
}

void TMainForm::ListView2DragDrop(ListView *target, QPoint pos, QObject *source)
{
    EntryList *list = listOf(target);
    if (!list || source != target)
        return;
    list->beginUpdate();
    const QModelIndex at = target->indexAt(pos);
    int selected = target->selectedRow();
    if (selected >= 0) {
        ListEntry copy = list->at(selected);
        if (at.isValid()) {
            list->insert(at.row(), std::move(copy));
            if (selected >= at.row())
                ++selected;
        } else {
            list->append(std::move(copy));
        }
        list->removeAt(selected);
    }
    list->endUpdate();
    if (list == &m_document.DefectList)
        m_document.UpdateStatusLine(CountPhrase::Closed);
}
