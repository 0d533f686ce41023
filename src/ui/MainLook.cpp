#include "ui/MainUnit.h"

#include "ui/AccessibleNames.h"
#include "ui/ListView.h"
#include "ui_MainUnit.h"

#include <QLabel>
#include <QSplitter>
#include <QStatusBar>
#include <QToolButton>

// The window's look: colours, fonts, icons, the toolbar, the status line and the accessible names.

namespace {

QIcon resourceIcon(const char *name)
{
    return QIcon(QStringLiteral(":/icons/") + QString::fromLatin1(name) + QStringLiteral(".svg"));
}

// The heavy face of the caption strips and the settings page's title: a heavy one where the system has
// it, else the metric twin of the common sans face, else the sans face every system here has.
QFont headingFont(int pixelSize)
{
    QFont font;
    font.setFamilies({QStringLiteral("Arial Black"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    font.setPixelSize(pixelSize);
    font.setWeight(QFont::Black);
    return font;
}

void setBackground(QWidget *widget, const QColor &color)
{
    widget->setAutoFillBackground(true);
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window, color);
    widget->setPalette(pal);
}

} // namespace

void TMainForm::setUpWidgets()
{
    setAttribute(Qt::WA_AlwaysShowToolTips);
    resize(999, 589);
    move(223, 115);

    // Caption strips: raised, in the strip colour, the caption centred in a heavy face.
    const QFont stripFont = headingFont(16);
    for (QLabel *strip : {m_ui->Panel1LaedenStrip, m_ui->Panel1ProdukteStrip, m_ui->Panel11Strip, m_ui->Panel7Strip})
        strip->setFont(stripFont);
    for (QFrame *strip : std::initializer_list<QFrame *>{m_ui->Panel1LaedenStrip, m_ui->Panel1ProdukteStrip,
                                                         m_ui->Panel11Strip, m_ui->Panel7Strip, m_ui->Panel10})
        setBackground(strip, QColor(240, 202, 166));
    QFont bold = m_ui->Label1->font();
    bold.setBold(true);
    m_ui->Label1->setFont(bold);

    setBackground(m_ui->Panel6, QColor(192, 220, 192));
    m_ui->Label6->setFont(headingFont(19));
    QPalette maroonPal = m_ui->Label6->palette();
    maroonPal.setColor(QPalette::WindowText, QColor(128, 0, 0));
    m_ui->Label6->setPalette(maroonPal);

    // The three left-hand panels keep their widths until a handle is dragged (down to nothing, as a
    // stored width of 0 gives); only the defect list widens and narrows with the window, and it keeps
    // room for its row of buttons, which are placed without a layout.
    QSplitter *splitter = m_ui->PanelSplitter;
    m_ui->Panel7->setMinimumWidth(m_ui->Panel7Buttons->childrenRect().right() + 1);
    splitter->setStretchFactor(3, 1);
    splitter->setCollapsible(3, false);
    // A handle changes the width of the panel on its left; the panels on its right move along.
    connect(splitter, &QSplitter::splitterMoved, this, [this](int, int handle) {
        std::array<int, 3> widths = m_panelWidths;
        widths.at(size_t(handle - 1)) = m_ui->PanelSplitter->sizes().at(handle - 1);
        setPanelWidths(widths);
    });
    const StoredProps start;
    setPanelWidths({start.panel1LaedenWidth, start.panel1ProdukteWidth, start.panel11Width});

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

void TMainForm::setPanelWidths(const std::array<int, 3> &widths)
{
    for (size_t i = 0; i < widths.size(); ++i)
        m_panelWidths[i] = std::clamp(widths[i], 0, QWIDGETSIZE_MAX);
    m_ui->PanelSplitter->setSizes({m_panelWidths[0], m_panelWidths[1], m_panelWidths[2], 0});
}

void TMainForm::setUpIcons()
{
    // The program's own icons, the same on every desktop; a command's tool button shows its icon.
    const QIcon newIcon = resourceIcon("new"), open = resourceIcon("open"), save = resourceIcon("save"),
                saveAs = resourceIcon("saveas"), print = resourceIcon("print"), exit = resourceIcon("exit");
    const std::pair<const char *, QIcon> tools[] = {
        {"ToolButton1", newIcon}, {"ToolButton2", open},  {"ToolButton3", save},
        {"ToolButton4", saveAs},  {"ToolButton7", print}, {"ToolButton11", exit},
    };
    for (const auto &[name, icon] : tools) {
        for (QToolButton *b : m_toolButtons) {
            if (b->objectName() == QLatin1String(name))
                b->setIcon(icon);
        }
    }
    m_ui->Neu1->setIcon(newIcon);
    m_ui->ffnen1->setIcon(open);
    m_ui->Speichern1->setIcon(save);
    m_ui->Speichernunter1->setIcon(saveAs);
    m_ui->Drucken1->setIcon(print);
    m_ui->Beenden1->setIcon(exit);

    const QIcon add = resourceIcon("add"), remove = resourceIcon("remove"), clear = resourceIcon("clear");
    for (QToolButton *b : {m_ui->PlusLaedenBtn, m_ui->PlusProdukteBtn, m_ui->PlusEinkaufBtn})
        b->setIcon(add);
    for (QToolButton *b : {m_ui->MinusLaedenBtn, m_ui->MinusProdukteBtn, m_ui->MinusEinkaufBtn})
        b->setIcon(remove);
    for (QToolButton *b : {m_ui->DelList1, m_ui->DelList2, m_ui->DelList3})
        b->setIcon(clear);
    m_ui->PropEd->setIcon(resourceIcon("edit"));
    m_ui->Hinzu2Btn->setIcon(resourceIcon("addfiltered"));
    m_ui->UpdateFilterBtn->setIcon(resourceIcon("refresh"));
    m_ui->PageControl1->setTabIcon(0, resourceIcon("lists"));
    m_ui->PageControl1->setTabIcon(1, resourceIcon("settings"));
    m_ui->FontBtn->setIcon(resourceIcon("font"));
    m_ui->Image1->setPixmap(QPixmap(QStringLiteral(":/images/program.jpg")));

    m_ui->ListView1->setRowIcon(resourceIcon("assembly"));
    m_ui->ListView2->setRowIcon(resourceIcon("defect"));
    m_ui->ListView4->setRowIcon(resourceIcon("defect"));
    m_ui->ListView3->setRowIcon(resourceIcon("listentry"));

    accessiblenames::nameMainWindow(*m_ui);
}
