#include "ui/ArtikelFUnit.h"

#include "ui/WindowFit.h"
#include "ui_ArtikelFUnit.h"

#include <QStyle>

TArtikelForm::TArtikelForm(QWidget *parent) : QDialog(parent), m_ui(std::make_unique<Ui::TArtikelForm>())
{
    m_ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    m_ui->BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    m_ui->BitBtn2->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    windowfit::fitOnShow(this);
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
