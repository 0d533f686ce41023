#pragma once

#include "document/FileError.h"

#include <QDialog>

class QTextBrowser;

// The user guide in a window of its own: the Markdown file "Anleitung.md" beside the program (or
// in the documentation folder of an install for all users), rendered with its pictures, each
// followed by its description. It is not modal, so the guide can stay open while the user works; Esc
// and Ctrl+W close it, and its text can be read with the keyboard's cursor.
class TAnleitungForm : public QDialog {
    Q_OBJECT

public:
    explicit TAnleitungForm(QWidget *parent = nullptr);

    // The guide's file: in the program directory (which ends in a slash), else where an install
    // for all users puts it; when there is none, the one the program looked for first.
    static QString guideFile(const QString &programDirectory);
    // Loads the guide; when the file cannot be read, gives the reason and the window stays as it was.
    FileResult<void> load(const QString &fileName);
    QTextBrowser *browser() const { return m_browser; }

private:
    void describePictures();

    QTextBrowser *m_browser;
};
