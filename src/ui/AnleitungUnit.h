#pragma once

#include "document/FileError.h"

#include <QDialog>
#include <QSize>

#include <functional>
#include <vector>

class Prompts;
class QPushButton;
class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;
class QUrl;

// The user guide in a window of its own: the Markdown file "Anleitung.md" beside the program (or
// in the documentation folder of an install for all users), rendered with its tables and pictures,
// each picture followed by its description and no wider than the text. Beside the text, the list
// of its headings: Return on one moves the text and its cursor there. "Im Browser öffnen" shows the
// same guide as a web page ("Anleitung.html" beside the Markdown) in the desktop's browser. It is
// not modal, so the guide can stay open while the user works; Esc and Ctrl+W close it, and its text
// can be read with the keyboard's cursor.
class TAnleitungForm : public QDialog {
    Q_OBJECT

public:
    explicit TAnleitungForm(Prompts &prompts, QWidget *parent = nullptr);

    // The guide's file: in the program directory (which ends in a slash), else where an install
    // for all users puts it; when there is none, the one the program looked for first.
    static QString guideFile(const QString &programDirectory);
    // The web page made from a guide file: the same name with ".html".
    static QString webPageOf(const QString &guideFile);
    // Loads the guide; when the file cannot be read, gives the reason and the window stays as it was.
    FileResult<void> load(const QString &fileName);
    QTextBrowser *browser() const { return m_browser; }
    QTreeWidget *headings() const { return m_headings; }
    QPushButton *browserButton() const { return m_browserButton; }
    // How a web page is shown; the desktop's browser unless a test says otherwise. False: it could not be.
    void setUrlOpener(std::function<bool(const QUrl &)> opener) { m_openUrl = std::move(opener); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Picture {
        int position;
        QSize natural;
    };

    void describePictures();
    void frameTables();
    void listHeadings();
    void showHeading(const QTreeWidgetItem *item, bool moveFocus);
    void fitPictures();
    void openWebPage();

    Prompts &m_prompts;
    QTreeWidget *m_headings;
    QTextBrowser *m_browser;
    QPushButton *m_browserButton;
    QString m_fileName;
    std::vector<Picture> m_pictures;
    std::function<bool(const QUrl &)> m_openUrl;
};
