#include "ui/AnleitungUnit.h"

#include "document/DefaultFolder.h"
#include "document/SafeFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeySequence>
#include <QShortcut>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

#include <vector>

TAnleitungForm::TAnleitungForm(QWidget *parent) : QDialog(parent, Qt::Window), m_browser(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("AnleitungForm"));
    setWindowTitle(QStringLiteral("Anleitung"));
    setAccessibleName(QStringLiteral("Anleitung"));
    m_browser->setObjectName(QStringLiteral("AnleitungBrowser"));
    m_browser->setAccessibleName(QStringLiteral("Text der Anleitung"));
    // Links to web pages open in the desktop's browser; links within the guide stay in the window.
    m_browser->setOpenExternalLinks(true);
    // A text cursor, so that the arrow keys read the guide line by line and word by word.
    m_browser->setTextInteractionFlags(Qt::TextBrowserInteraction | Qt::TextSelectableByKeyboard);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    // Esc closes the dialog by itself; Ctrl+W as in other document windows.
    auto *close = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_W), this);
    connect(close, &QShortcut::activated, this, &QDialog::reject);
    resize(760, 680);
}

QString TAnleitungForm::guideFile(const QString &programDirectory)
{
    // Beside the default list file in a program folder of its own; an install for all users keeps
    // it with the other documentation, <prefix>/share/doc/maengelliste.
    const QString beside = programDirectory + QStringLiteral("Anleitung.md");
    if (QFileInfo::exists(beside))
        return beside;
    const QString executableFolder = defaultfolder::executableFolder();
    const QString installed = defaultfolder::installedGuideFile(executableFolder);
    if (QFileInfo::exists(installed) || QDir(programDirectory) != QDir(executableFolder))
        return installed;
    return beside;
}

FileResult<void> TAnleitungForm::load(const QString &fileName)
{
    const FileResult<QByteArray> bytes = safefile::readAll(fileName);
    if (!bytes)
        return bytes.error();
    // Pictures are named relative to the guide's folder.
    m_browser->setSearchPaths({QFileInfo(fileName).absolutePath()});
    m_browser->setMarkdown(QString::fromUtf8(*bytes));
    describePictures();
    m_browser->setFocus(Qt::OtherFocusReason);
    return {};
}

void TAnleitungForm::describePictures()
{
    // A picture is one character to a screen reader and to the cursor: its alternative text follows
    // it as a caption of its own, and shows as its tooltip.
    QTextDocument *document = m_browser->document();
    std::vector<std::pair<int, QString>> pictures; // end of each picture, its text
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isImageFormat())
                continue;
            const QString alt = fragment.charFormat().stringProperty(QTextFormat::ImageAltText);
            if (!alt.isEmpty())
                pictures.emplace_back(fragment.position() + fragment.length(), alt);
        }
    }
    // From the last to the first, so that the earlier positions stay true.
    for (auto it = pictures.rbegin(); it != pictures.rend(); ++it) {
        QTextCursor cursor(document);
        cursor.setPosition(it->first - 1);
        cursor.setPosition(it->first, QTextCursor::KeepAnchor);
        QTextImageFormat picture = cursor.charFormat().toImageFormat();
        picture.setToolTip(it->second);
        cursor.setCharFormat(picture);
        cursor.clearSelection();
        QTextCharFormat caption;
        caption.setFontItalic(true);
        cursor.insertBlock(cursor.blockFormat(), caption);
        cursor.insertText(QStringLiteral("Bild: ") + it->second, caption);
    }
}
