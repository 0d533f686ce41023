#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class TArtikelForm;
}
class QLineEdit;

// The edit dialog for the name of a catalogue defect: one text field, OK and Cancel.
class TArtikelForm : public QDialog {
    Q_OBJECT

public:
    explicit TArtikelForm(QWidget *parent = nullptr);
    ~TArtikelForm() override;

    QLineEdit *Edit1() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    // Puts the focus into the name field with its whole text selected, so that typing replaces it.
    void FormShow();

    std::unique_ptr<Ui::TArtikelForm> m_ui;
};
