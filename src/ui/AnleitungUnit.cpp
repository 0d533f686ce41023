#include "ui/AnleitungUnit.h"

#include "document/DefaultFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextBrowser>
#include <QVBoxLayout>

TAnleitungForm::TAnleitungForm(QWidget *parent) : QWidget(parent, Qt::Window), m_browser(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("AnleitungForm"));
    setWindowTitle(QStringLiteral("Anleitung"));
    m_browser->setObjectName(QStringLiteral("AnleitungBrowser"));
    // Links to web pages open in the desktop's browser; links within the guide stay in the window.
    m_browser->setOpenExternalLinks(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    resize(760, 680);
}

QString TAnleitungForm::guideFile(const QString &programDirectory)
{
    // Beside the default list file in a program folder of its own; an install for all users keeps
    // it with the other documentation, <prefix>/share/doc/maengelliste.
    const QString beside = programDirectory + QStringLiteral("Anleitung.md");
    if (QFileInfo::exists(beside))
        return beside;
    const QString executableFolder = QCoreApplication::applicationDirPath();
    const QString installed = defaultfolder::installedGuideFile(executableFolder);
    if (QFileInfo::exists(installed) || QDir(programDirectory) != QDir(executableFolder))
        return installed;
    return beside;
}

bool TAnleitungForm::load(const QString &fileName)
{
    QFile file(fileName);
    if (!QFileInfo(fileName).isFile() || !file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    // Pictures are named relative to the guide's folder.
    m_browser->setSearchPaths({QFileInfo(fileName).absolutePath()});
    m_browser->setMarkdown(QString::fromUtf8(bytes));
    return true;
}
