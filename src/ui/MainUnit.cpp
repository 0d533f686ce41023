#include "ui/MainUnit.h"

#include <QCoreApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QStatusBar>
#include <QTreeView>

TMainForm::TMainForm(Prompts *prompts, QWidget *parent)
    : QMainWindow(parent),
      m_ownPrompts(this),
      m_prompts(prompts ? *prompts : m_ownPrompts),
      m_document(m_prompts)
{
    setWindowTitle(m_document.BaseTitle);
    resize(999, 589);
    auto *central = new QWidget(this);
    auto *layout = new QHBoxLayout(central);
    ListView1 = new QTreeView(central);
    ListView2 = new QTreeView(central);
    ListView3 = new QTreeView(central);
    ListView1->setModel(&m_document.AssemblyList);
    ListView2->setModel(&m_document.DefectCatalog);
    ListView3->setModel(&m_document.DefectList);
    for (QTreeView *v : {ListView1, ListView2, ListView3}) {
        v->setRootIsDecorated(false);
        v->setUniformRowHeights(true);
        layout->addWidget(v);
    }
    setCentralWidget(central);
    connect(&m_document, &ListDocument::titleChanged, this, &QWidget::setWindowTitle);
    connect(&m_document, &ListDocument::statusTextChanged, statusBar(), [this](const QString &t) { statusBar()->showMessage(t); });
}

void TMainForm::FormCreate()
{
    QString dir = QCoreApplication::applicationDirPath();
    if (!dir.endsWith(u'/'))
        dir += u'/';
    m_document.ProgramDirectory = dir;
    m_document.setTitle(m_document.BaseTitle);
    m_document.OpenLists(m_document.defaultListFile());
}
