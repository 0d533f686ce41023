#include "ui/ArtikelFUnit.h"

#include "ui/ThemeIcons.h"
#include "ui_ArtikelFUnit.h"

#include <QStyle>

TArtikelForm::TArtikelForm(QWidget *parent) : QDialog(parent), m_ui(std::make_unique<Ui::TArtikelForm>())
{
    m_ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    // Made right after the window's first paint: a theme that has neither icon is not loaded then.
    const auto index = themeicons::ThemeIndex::current();
    m_ui->BitBtn1->setIcon(themeicons::standardIcon(*index, *style(), QStyle::SP_DialogOkButton,
                                                    {QStringLiteral("dialog-ok")}));
    m_ui->BitBtn2->setIcon(themeicons::standardIcon(*index, *style(), QStyle::SP_DialogCancelButton,
                                                    {QStringLiteral("dialog-cancel"), QStringLiteral("process-stop")}));
}

TArtikelForm::~TArtikelForm() = default;

QLineEdit *TArtikelForm::Edit1() const
{
    return m_ui->Edit1;
}

void TArtikelForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TArtikelForm::FormShow()
{
    m_ui->Edit1->setFocus(Qt::OtherFocusReason);
    m_ui->Edit1->selectAll();
}
