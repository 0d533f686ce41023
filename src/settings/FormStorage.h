#pragma once

#include "settings/RestoreResult.h"
#include "settings/SettingsStore.h"
#include "settings/StoredProps.h"
#include "settings/WindowState.h"

#include <QString>

// Keeps the main window's placement and its stored properties (margins, print font, panel widths) in the
// settings store from one run to the next.
//
// The window hands over and applies plain values; the store never touches a widget. Use it like this:
//
//   SettingsStore m_store = SettingsStore::forThisProgram();   // must outlive FormStorage1
//   FormStorage FormStorage1{m_store};
//
//   // at the first showing of the window, before it appears:
//   StoredProps props = currentProps();                 // start values of the controls
//   RestoreResult r = FormStorage1.RestoreSettings(currentWindowState(), props);
//   applyProps(props);                                  // spin edits, font dialog, panel widths
//   if (r.placement) setGeometry(r.placement->normalRect);
//   if (r.show == WindowShow::Maximized) showMaximized();
//   if (r.show == WindowShow::Minimized) QTimer::singleShot(0, this, &QWidget::showMinimized);
//   if (!r.errorText.isEmpty()) showError(r.errorText);
//
//   // in closeEvent, once FormCloseQuery allowed the close (never when it refused):
//   try { FormStorage1.SaveSettings(currentWindowState(), currentProps(), false); }
//   catch (const SettingsError &e) { showError(e.text()); }   // the window closes all the same
//
//   // in the destructor; does nothing when the save at the close succeeded:
//   try { FormStorage1.SaveSettings(currentWindowState(), currentProps(), true); }
//   catch (const SettingsError &e) { showError(e.text()); }
//
// Values of section "TMainForm", all texts, written in this order (the file keeps it): FormVersion, Flags, ShowCmd,
// PixelsPerInch, MinMaxPos(WxH), MinMaxPos, NormPos(WxH), NormPos, Visible, RightREd_Value,
// TopREd_Value, leftREd_Value, BottomREd_Value, FontDialog1_FontCharset, FontDialog1_FontColor,
// FontDialog1_FontHeight, FontDialog1_FontName, FontDialog1_FontPitch, FontDialog1_FontSize,
// FontDialog1_FontStyle, Panel1Laeden_Width, Panel1Produkte_Width, SeitenkopfCheck_Checked,
// Panel11_Width, PrueferEd_Text, FirmaEd_Text, GliedernCheck_Checked. WxH is the screen size in pixels, e.g. "NormPos(1280x1024)" = "223,115,1222,704"
// (left, top, right, bottom).
class FormStorage {
public:
    explicit FormStorage(SettingsStore &store, QString section = QStringLiteral("TMainForm"));

    // Reads the placement, the state and the stored properties back.
    //
    // The placement (from the values named with the current screen size, else the plain ones) is only
    // given when it was saved at the current pixels per inch; a place wholly off the work area, or larger
    // than it, comes back shrunk to it and moved onto it. The properties are set in `props`; a value
    // that is missing leaves its property as it is, and one that cannot be read or used is skipped. A font
    // size whose height does not fit in 32 bits leaves size and height as they were, and a size of 0 or
    // less leaves the size as it was.
    // "FormVersion" below 0 skips everything. A failure while reading the placement or the state ends the
    // restore with `errorText`; then the restore does not count as completed and nothing is saved in this
    // run. Clears the saved mark.
    RestoreResult RestoreSettings(const WindowState &current, StoredProps &props);

    // Writes all values. Does nothing before a completed restore, and nothing while `destroying` when a
    // save has already succeeded since the restore. "Visible" is "1" while destroying, else "0".
    // All values go to the file in one step. Throws SettingsError when the store cannot be created or the
    // values cannot be written; the file then keeps what it held, and the saved mark stays clear so that
    // the save at destruction runs again.
    void SaveSettings(const WindowState &current, const StoredProps &props, bool destroying);

    // A restore has completed in this run (never cleared).
    bool restoreCompleted() const { return m_restoreCompleted; }
    // A save has succeeded since the last restore.
    bool saved() const { return m_saved; }

private:
    std::optional<QString> read(const QString &name);
    int readInt(const QString &name, int fallback);
    void restorePlacement(const WindowState &current, RestoreResult &result);
    WindowShow restoreShow();
    void restoreProps(StoredProps &props, int pixelsPerInch);
    void write(const QString &name, const QString &value);

    SettingsStore &m_store;
    QString m_section;
    bool m_restoreCompleted = false;
    bool m_saved = false;
};
