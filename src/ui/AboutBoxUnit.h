#pragma once

#include <QDate>
#include <QDialog>
#include <QUrl>

#include <functional>
#include <memory>

namespace Ui {
class TAboutBox;
}

// The information dialog: the program's picture, the maker's texts with the current year, and a
// button that opens the maker's web page.
class TAboutBox : public QDialog {
    Q_OBJECT

public:
    // today: the date whose year goes into the notice (the current date when invalid).
    explicit TAboutBox(QWidget *parent = nullptr, QDate today = {});
    ~TAboutBox() override;

    Ui::TAboutBox &ui() { return *m_ui; }
    static QUrl webAddress();
    // Opens a web address in the desktop's browser; tests replace it.
    void setUrlOpener(std::function<void(const QUrl &)> opener) { m_openUrl = std::move(opener); }

    void BitBtnXP1Click();

private:
    void FormCreate(QDate today);

    std::unique_ptr<Ui::TAboutBox> m_ui;
    std::function<void(const QUrl &)> m_openUrl;
};
