#include "ui/AnleitungUnit.h"

#include "document/DefaultFolder.h"
#include "document/Prompts.h"
#include "document/SafeFile.h"
#include "ui/WindowFit.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImageReader>
#include <QKeySequence>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QSplitter>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include <cerrno>

namespace {

// Calls f(fragment) for every picture of the document, in the order of the text.
template <class F> void forEachPicture(const QTextDocument *document, F f)
{
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                f(it.fragment());
}

void frameTablesIn(QTextFrame *frame)
{
    for (QTextFrame *child : frame->childFrames()) {
        if (auto *table = qobject_cast<QTextTable *>(child)) {
            QTextTableFormat format = table->format();
            format.setBorder(1);
            format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
            format.setBorderBrush(QColor(0x76, 0x76, 0x76));
            format.setBorderCollapse(true);
            format.setCellSpacing(0);
            format.setCellPadding(4);
            format.setHeaderRowCount(1);
            table->setFormat(format);
        }
        frameTablesIn(child);
    }
}

} // namespace

TAnleitungForm::TAnleitungForm(Prompts &prompts, QWidget *parent)
    : QDialog(parent, Qt::Window), m_prompts(prompts), m_headings(new QTreeWidget(this)),
      m_browser(new QTextBrowser(this)), m_browserButton(new QPushButton(QStringLiteral("Im &Browser öffnen"), this))
{
    setObjectName(QStringLiteral("AnleitungForm"));
    setWindowTitle(QStringLiteral("Anleitung"));
    setAccessibleName(QStringLiteral("Anleitung"));

    m_headings->setObjectName(QStringLiteral("AnleitungInhalt"));
    m_headings->setAccessibleName(QStringLiteral("Inhalt der Anleitung"));
    m_headings->setHeaderHidden(true);
    m_headings->setFocusPolicy(Qt::StrongFocus);
    m_headings->setIndentation(12);
    // Moving through the headings shows each in the text; Return (or a double click) also puts the
    // cursor there, so that a screen reader reads on from the heading.
    connect(m_headings, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem *item) { showHeading(item, false); });
    connect(m_headings, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem *item) { showHeading(item, true); });

    m_browser->setObjectName(QStringLiteral("AnleitungBrowser"));
    m_browser->setAccessibleName(QStringLiteral("Text der Anleitung"));
    // Links to web pages open in the desktop's browser; links within the guide stay in the window.
    m_browser->setOpenExternalLinks(true);
    // A text cursor, so that the arrow keys read the guide line by line and word by word.
    m_browser->setTextInteractionFlags(Qt::TextBrowserInteraction | Qt::TextSelectableByKeyboard);
    m_browser->document()->setUndoRedoEnabled(false);
    m_browser->viewport()->installEventFilter(this);

    // Not a default button: Return belongs to the list of headings and to the text.
    m_browserButton->setAutoDefault(false);
    m_browserButton->setToolTip(QStringLiteral("Die Anleitung als Webseite im Webbrowser zeigen"));
    connect(m_browserButton, &QPushButton::clicked, this, &TAnleitungForm::openWebPage);
    m_openUrl = [](const QUrl &url) { return QDesktopServices::openUrl(url); };

    auto *split = new QSplitter(Qt::Horizontal, this);
    split->setChildrenCollapsible(false);
    split->addWidget(m_headings);
    split->addWidget(m_browser);
    split->setStretchFactor(1, 1);
    split->setSizes({220, 540});
    auto *buttons = new QHBoxLayout;
    buttons->setContentsMargins(6, 0, 6, 6);
    buttons->addStretch();
    buttons->addWidget(m_browserButton);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(split, 1);
    layout->addLayout(buttons);
    setTabOrder(m_headings, m_browser);
    setTabOrder(m_browser, m_browserButton);

    // Esc closes the dialog by itself; Ctrl+W as in other document windows.
    auto *close = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_W), this);
    connect(close, &QShortcut::activated, this, &QDialog::reject);
    windowfit::fitOnShow(this, QSize(900, 700));
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

QString TAnleitungForm::webPageOf(const QString &guideFile)
{
    const QFileInfo info(guideFile);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(".html"));
}

FileResult<void> TAnleitungForm::load(const QString &fileName)
{
    const FileResult<QByteArray> bytes = safefile::readAll(fileName);
    if (!bytes)
        return bytes.error();
    m_fileName = fileName;
    // Pictures are named relative to the guide's folder.
    m_browser->setSearchPaths({QFileInfo(fileName).absolutePath()});
    m_browser->setMarkdown(QString::fromUtf8(*bytes));
    describePictures();
    frameTablesIn(m_browser->document()->rootFrame());
    fitPictures();
    listHeadings();
    m_browser->setFocus(Qt::OtherFocusReason);
    return {};
}

void TAnleitungForm::describePictures()
{
    // A picture is one character to a screen reader and to the cursor: its alternative text follows
    // it as a caption of its own, and shows as its tooltip.
    QTextDocument *document = m_browser->document();
    std::vector<std::pair<int, QString>> described; // end of each picture, its text
    forEachPicture(document, [&](const QTextFragment &fragment) {
        const QString alt = fragment.charFormat().stringProperty(QTextFormat::ImageAltText);
        if (!alt.isEmpty())
            described.emplace_back(fragment.position() + fragment.length(), alt);
    });
    // From the last to the first, so that the earlier positions stay true.
    for (auto it = described.rbegin(); it != described.rend(); ++it) {
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
    // Every picture with the size of its file, for fitting it to the text's width.
    const QDir folder = QFileInfo(m_fileName).absoluteDir();
    m_pictures.clear();
    forEachPicture(document, [&](const QTextFragment &fragment) {
        const QString name = fragment.charFormat().toImageFormat().name();
        const QSize natural = QImageReader(folder.filePath(QUrl(name).path())).size();
        for (int i = 0; i < fragment.length() && natural.isValid(); ++i)
            m_pictures.push_back({fragment.position() + i, natural});
    });
}

void TAnleitungForm::fitPictures()
{
    // No picture wider than the text: a screenshot of the main window would else run off a window
    // that fits a small or magnified screen.
    QTextDocument *document = m_browser->document();
    const int room = std::max(40, m_browser->viewport()->width() - 2 * int(document->documentMargin()) - 4);
    for (const Picture &picture : m_pictures) {
        const int width = std::min(picture.natural.width(), room);
        QTextCursor cursor(document);
        cursor.setPosition(picture.position);
        cursor.setPosition(picture.position + 1, QTextCursor::KeepAnchor);
        QTextImageFormat format = cursor.charFormat().toImageFormat();
        if (int(format.width()) == width)
            continue;
        format.setWidth(width);
        format.setHeight(double(picture.natural.height()) * width / picture.natural.width());
        cursor.setCharFormat(format);
    }
}

void TAnleitungForm::listHeadings()
{
    m_headings->clear();
    std::vector<QTreeWidgetItem *> open; // the last item of each level above
    for (QTextBlock block = m_browser->document()->begin(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        if (level <= 0 || block.text().trimmed().isEmpty())
            continue;
        while (!open.empty() && open.back()->data(0, Qt::UserRole + 1).toInt() >= level)
            open.pop_back();
        auto *item = open.empty() ? new QTreeWidgetItem(m_headings) : new QTreeWidgetItem(open.back());
        item->setText(0, block.text().trimmed());
        item->setToolTip(0, item->text(0)); // a long heading shows whole
        item->setData(0, Qt::UserRole, block.position());
        item->setData(0, Qt::UserRole + 1, level);
        open.push_back(item);
    }
    m_headings->expandAll();
}

void TAnleitungForm::showHeading(const QTreeWidgetItem *item, bool moveFocus)
{
    if (!item)
        return;
    const QTextBlock block = m_browser->document()->findBlock(item->data(0, Qt::UserRole).toInt());
    QTextCursor cursor(block);
    m_browser->setTextCursor(cursor);
    // The heading at the top of the text, not just somewhere on the screen.
    const QRectF at = m_browser->document()->documentLayout()->blockBoundingRect(block);
    m_browser->verticalScrollBar()->setValue(int(at.top()));
    if (moveFocus)
        m_browser->setFocus(Qt::OtherFocusReason);
}

bool TAnleitungForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_browser->viewport() && event->type() == QEvent::Resize)
        fitPictures();
    return QDialog::eventFilter(watched, event);
}

void TAnleitungForm::openWebPage()
{
    const QString page = webPageOf(m_fileName);
    if (!QFileInfo::exists(page)) {
        showFailure(
            m_prompts, QStringLiteral("Anleitung"),
            QStringLiteral("Die Anleitung als Webseite „%1“ wurde nicht gefunden.").arg(QDir::toNativeSeparators(page)),
            page, FileError{ENOENT});
        return;
    }
    if (!m_openUrl(QUrl::fromLocalFile(page)))
        m_prompts.error(QStringLiteral("Anleitung"),
                        QStringLiteral("Der Webbrowser konnte nicht gestartet werden, um die Anleitung zu zeigen."));
}
