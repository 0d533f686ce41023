#include "ui/AboutBoxUnit.h"

#include "ui/WindowFit.h"
#include "ui_AboutBoxUnit.h"

#include <QDesktopServices>

TAboutBox::TAboutBox(QWidget *parent, QDate today) : QDialog(parent), m_ui(std::make_unique<Ui::TAboutBox>())
{
    m_ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    QPalette pal = m_ui->Panel1->palette();
    pal.setColor(QPalette::Window, QColor(240, 202, 166));
    m_ui->Panel1->setPalette(pal);
    QFont headline;
    headline.setFamilies({QStringLiteral("Arial Narrow"), QStringLiteral("Liberation Sans Narrow"), QStringLiteral("Liberation Sans")});
    headline.setPixelSize(24);
    headline.setBold(true);
    m_ui->ProductName->setFont(headline);
    QFont bold = m_ui->Label1->font();
    bold.setBold(true);
    m_ui->Label1->setFont(bold);
    m_ui->ProgramIcon->setPixmap(QPixmap(QStringLiteral(":/images/program.jpg")));
    m_ui->BitBtnXP1->setToolTip(webAddress().toString());
    m_openUrl = [](const QUrl &url) { QDesktopServices::openUrl(url); };
    connect(m_ui->BitBtnXP1, &QPushButton::clicked, this, &TAboutBox::BitBtnXP1Click);
    FormCreate(today.isValid() ? today : QDate::currentDate());
    windowfit::fitOnShow(this);
}

TAboutBox::~TAboutBox() = default;

QUrl TAboutBox::webAddress()
{
    return QUrl(QStringLiteral("https://www.quenbrik.example/"));
}

void TAboutBox::FormCreate(QDate today)
{
    QString text = m_ui->Copyright->text();
    const qsizetype at = text.indexOf(QStringLiteral("XXXX"));
    if (at >= 0)
        text.replace(at, 4, QString::number(today.year()));
    m_ui->Copyright->setText(text);
}

void TAboutBox::BitBtnXP1Click()
{
    // Whatever the desktop answers is of no concern here.
    if (m_openUrl)
        m_openUrl(webAddress());
}
