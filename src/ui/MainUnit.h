#pragma once

#include "document/EntryList.h"
#include "document/ListDocument.h"
#include "document/PrintFont.h"
#include "document/PrintMargins.h"
#include "document/StatusLine.h"
#include "editing/SortState.h"
#include "editing/UndoRecorder.h"
#include "exchange/CsvExchange.h"
#include "print/PdfPrintout.h"
#include "settings/FormStorage.h"
#include "settings/SettingsStore.h"

#include <QMainWindow>
#include <QPoint>
#include <QTimer>

#include <array>
#include <memory>

namespace Ui {
class TMainForm;
}
class EditMenu;
class FileMenuExtras;
class RecentFilesMenu;
class RecoveryCopy;
class ListController;
class SearchField;
class ListView;
class QLabel;
class QPrinter;
class QSpinBox;
class QToolButton;
class PrintCommands;
class ReportCommands;
class TAboutBox;
class WindowPrompts;

// The main window: the assembly list, the defect catalogue, the filtered catalogue and the defect
// list side by side, the print settings page, menu, toolbar and status line. It owns the document
// for the whole run; every command and list event is handled by one of its methods below, named
// after the control and the event.
class TMainForm : public QMainWindow {
    Q_OBJECT

public:
    // Creating the window runs FormCreate: it loads the default list file from programDirectory
    // (the executable's folder when empty), or startFile when one is given, and starts the watch.
    // The settings go to store (the program's own store in the user's configuration folder when
    // null).
    explicit TMainForm(WindowPrompts &prompts, const QString &programDirectory = {},
                       std::unique_ptr<SettingsStore> store = nullptr, const QString &startFile = {},
                       QWidget *parent = nullptr);
    ~TMainForm() override;

    ListDocument &document() { return m_document; }
    EntryList &FilteredDefects() { return m_filtered; }
    Ui::TMainForm &ui() { return *m_ui; }
    QTimer &Timer1() { return m_timer; }
    QLabel *StatusBar1Text() const { return m_statusText; }
    QToolButton *toolButton(int number) const;
    void setAboutBox(TAboutBox *about) { m_aboutBox = about; }
    // The undo history of the three lists and its menu "Bearbeiten".
    editing::UndoRecorder &undoHistory() { return m_undo; }
    EditMenu *Bearbeiten1() const { return m_editMenu; }
    // The Datei menu's commands for the next building and its submenu of recently used files.
    FileMenuExtras *fileMenuExtras() const { return m_fileExtras; }
    RecentFilesMenu *recentFiles() const { return m_recent; }
    // The copy of unsaved changes that a later start offers when this run does not end normally.
    RecoveryCopy &recoveryCopy() { return *m_recovery; }

    ListView *ListView1() const;
    ListView *ListView2() const;
    ListView *ListView3() const;
    ListView *ListView4() const;
    // The search field over the catalogue.
    SearchField *searchField() const { return m_search; }

    // The print settings: the font of the font dialog and the margins of the settings page.
    PrintFont &printFont() { return m_printFont; }
    PrintMargins printMargins() const;
    // The printer of this run: the system's default until a print or setup dialog chooses another.
    QPrinter &printer();

    // The settings store and what the window hands it.
    FormStorage &FormStorage1() { return *m_formStorage; }
    WindowState currentWindowState() const;
    StoredProps currentProps() const;
    void applyProps(const StoredProps &props);
    void RestoreSettings();
    // destroying: the save while the window is destroyed, which runs only when no save succeeded.
    void SaveSettings(bool destroying);

    SortState AssemblySort;
    SortState CatalogSort;
    SortState DefectListSort;

    // Start-up, file commands and the watch.
    // startFile: the list file named on the command line, opened instead of the default list file.
    void FormCreate(const QString &programDirectory, const QString &startFile = {});
    void Neu1Click();
    void ffnen1Click();
    void Speichern1Click();
    void Speichernunter1Click();
    void Beenden1Click();
    bool FormCloseQuery();
    // Asks whether to save first; true: go on, false: stop.
    bool SaveFirstPrompt(const QString &caption);
    void Timer1Timer();

    // Exchange, printing and help.
    void CSVExport1Click();
    void CSVImport1Click();
    void Druckereinrichten1Click();
    void Drucken1Click();
    // The dialog "Berichtsangaben" (see ReportCommands).
    void Berichtsangaben1Click();
    void Seitenansicht1Click();
    void AlsPDFspeichern1Click();
    // What the print commands print: the defect list in view order with the settings page's choices.
    Printout printout() const;
    PrintCommands &printCommands() { return *m_print; }
    void FontBtnClick();
    void berdasProgramm1Click();
    // Shows the user guide beside the program in its window, or says that it is missing.
    void Anleitung1Click();

    // Entry operations.
    void PlusLaedenBtnClick();
    void MinusLaedenBtnClick();
    void DelList1Click();
    void PlusProdukteBtnClick();
    void MinusProdukteBtnClick();
    void DelList2Click();
    void PropEdClick();
    void PlusEinkaufBtnClick();
    void Hinzu2BtnClick();
    void MinusEinkaufBtnClick();
    void DelList3Click();
    void UpdateFilterBtnClick();
    void UpdateFilteredView();

    // List events.
    void ListView1Change();
    void ListView3Change();
    bool ListView2Changing();
    void ListView1ColumnClick(int column);
    void ListView2ColumnClick(int column);
    void ListView3ColumnClick(int column);
    void ListView1DblClick();
    void ListView2DblClick();
    void ListView3DblClick();
    void ListView1KeyDown(int key);
    void ListView2KeyDown(int key);
    void ListView3KeyDown(int key);
    bool ListView1DragOver(QObject *source) const;
    bool ListView2DragOver(QObject *sender, QObject *source) const;
    bool ListView3DragOver(QObject *source) const;
    // Moves the dragged entry within its own view to the drop point; drops from another view and
    // drops on the filtered view change nothing.
    void ListView2DragDrop(ListView *target, QPoint pos, QObject *source);


protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

signals:
    // The close query allowed the window to close (the settings are saved then).
    void closeAllowed();

private:
    void prepareSortsLater();
    void setUpWidgets();
    // Gives the three left-hand panels these widths; the defect list takes the rest.
    void setPanelWidths(const std::array<int, 3> &widths);
    void setUpIcons();
    void setUpControllers();
    void wire();
    void setUpUndo();
    // The next building's commands, the recent files and the Insert key of the lists (FileMenuExtras.cpp).
    void setUpFileExtras();
    // Appends a copy of the defect at row of list (a catalogue or the filtered view) to the defect list
    // as one step; edit opens the caption editor on the copy, otherwise the copy is only selected.
    void copyDefect(const EntryList &list, int row, bool edit);
    // A list changed: the change reports of the assemblies and the defect list (ListView1Change,
    // ListView3Change), every command that changes a list and the undo history's replay end here, and
    // what depends on the lists follows: the filtered view is rebuilt after the assemblies and the
    // catalogue, the status line is rewritten after the defect list in the form phrase (the reports
    // and the copying commands ask for the open one).
    void listChanged(const EntryList &list, statusline::CountPhrase phrase = statusline::CountPhrase::Closed);

    std::unique_ptr<Ui::TMainForm> m_ui;
    WindowPrompts &m_prompts;
    ListDocument m_document;
    EntryList m_filtered;
    editing::UndoRecorder m_undo; // after the lists: it lets go of them when it ends
    // The lists' own handlers: the assemblies, the catalogue (and the filtered view), the defect list.
    std::unique_ptr<ListController> m_assemblies;
    std::unique_ptr<ListController> m_catalog;
    std::unique_ptr<ListController> m_defects;
    EditMenu *m_editMenu = nullptr;
    FileMenuExtras *m_fileExtras = nullptr;
    RecentFilesMenu *m_recent = nullptr;
    SearchField *m_search = nullptr;
    // The widths of the three left-hand panels as set or dragged; the splitter's own sizes shrink
    // with a window too narrow for them.
    std::array<int, 3> m_panelWidths{};
    QTimer m_timer;
    QLabel *m_statusText = nullptr;
    TAboutBox *m_aboutBox = nullptr;
    QList<QToolButton *> m_toolButtons;
    PrintFont m_printFont;
    std::unique_ptr<SettingsStore> m_store;
    std::unique_ptr<FormStorage> m_formStorage;
    std::unique_ptr<PrintCommands> m_print;
    std::unique_ptr<ReportCommands> m_report;
    std::unique_ptr<RecoveryCopy> m_recovery;
    bool m_firstShowDone = false;
    QString m_csvExportName;
    CsvEncoding m_csvExportEncoding = CsvEncoding::Windows1252;
    QString m_csvImportName;
};
