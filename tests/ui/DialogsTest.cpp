#include "TestSupport.h"
#include "document/NativeName.h"
#include "document/SafeFile.h"
#include "ui/AboutBoxUnit.h"
#include "ui/ArtikelFUnit.h"
#include "ui/DialogPrompts.h"
#include "ui_AboutBoxUnit.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <deque>

#include <gtest/gtest.h>

namespace {

struct SeenBox {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

// Answers the next modal message box with `press` and records what it showed.
void answerNextBox(SeenBox &seen, QMessageBox::StandardButton press)
{
    QTimer::singleShot(0, [&seen, press] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        seen.buttons = box->standardButtons();
        seen.defaultButton = box->standardButton(box->defaultButton());
        box->button(press)->click();
    });
}

} // namespace

TEST(RealMessageBoxes, showCaptionTextIconButtonsAndDefault)
{
    DialogPrompts prompts;
    SeenBox seen;
    answerNextBox(seen, QMessageBox::No);
    const auto answer = prompts.message({QStringLiteral("Datei: Neu..."),
                                         QStringLiteral("Wollen Sie die nicht gesicherten Daten speichern?"),
                                         Prompts::Icon::Question, Prompts::Buttons::YesNoCancel, Prompts::Answer::Yes});
    EXPECT_EQ(answer, Prompts::Answer::No);
    EXPECT_EQ(seen.title, QStringLiteral("Datei: Neu..."));
    EXPECT_EQ(seen.icon, QMessageBox::Question);
    EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(seen.defaultButton, QMessageBox::Yes);

    answerNextBox(seen, QMessageBox::Ok);
    prompts.error(QStringLiteral("Fehler beim Öffnen"), QStringLiteral("Konnte die Datei nicht öffnen."));
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_EQ(seen.buttons, QMessageBox::Ok);
    EXPECT_EQ(seen.text, QStringLiteral("Konnte die Datei nicht öffnen."));

    answerNextBox(seen, QMessageBox::Yes);
    EXPECT_EQ(prompts.message({QStringLiteral("Neu laden"), QStringLiteral("?"), Prompts::Icon::None,
                               Prompts::Buttons::YesNoCancel, Prompts::Answer::Yes}),
              Prompts::Answer::Yes);
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
}

// The real save dialog on an existing file, once named in UTF-8 and once not: the program asks once
// per choice (the dialog itself never does), No returns to the dialog on the name, Yes takes it.
TEST(RealFileDialogs, theProgramAsksBeforeReplacingAFileAndNoReturnsToTheDialog)
{
    QTemporaryDir dir;
    testsupport::NativeNames names(dir.path());
    for (const QByteArray &name : {QByteArray("liste.csv"), QByteArray("\xe4nderung.csv")}) {
        SCOPED_TRACE(name.toStdString());
        const QString existing = names.path(name);
        ASSERT_TRUE(safefile::writeAll(existing, "alt"));
        DialogPrompts prompts;
        Prompts::FileDialog options;
        options.filter = QStringLiteral("CSV Dateien (*.csv)");
        options.defaultSuffix = QStringLiteral("csv");
        options.confirmOverwrite = true;
        options.startPath = existing;

        // Takes the name each dialog proposes, and answers the questions No, then Yes.
        std::deque<QMessageBox::StandardButton> presses{QMessageBox::No, QMessageBox::Yes};
        QStringList seen;
        QTimer driver;
        QObject::connect(&driver, &QTimer::timeout, [&] {
            QWidget *shown = QApplication::activeModalWidget();
            if (auto *dialog = qobject_cast<QFileDialog *>(shown)) {
                seen << QStringLiteral("Dialog");
                QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
            } else if (auto *box = qobject_cast<QMessageBox *>(shown)) {
                seen << box->text();
                if (presses.empty()) {
                    box->close();
                    return;
                }
                box->button(presses.front())->click();
                presses.pop_front();
            }
        });
        driver.start(50);
        const std::optional<Prompts::FileChoice> choice = prompts.chooseSaveFile(options);
        driver.stop();
        ASSERT_TRUE(choice);
        EXPECT_EQ(nativename::toNative(choice->path), nativename::toNative(existing));
        const QString question = QStringLiteral("Die Datei „%1“ gibt es schon. Soll sie ersetzt werden?")
                                     .arg(nativename::fromNative(name));
        EXPECT_EQ(seen, (QStringList{QStringLiteral("Dialog"), question, QStringLiteral("Dialog"), question}));
    }
}

// A save dialog with several file types opens on the one selected and returns the one chosen.
TEST(RealFileDialogs, offerTheFileTypesAndReturnTheOneChosen)
{
    QTemporaryDir dir;
    DialogPrompts prompts;
    Prompts::FileDialog options;
    options.filter = QStringLiteral("CSV (Trennzeichen-getrennt) (*.csv);;CSV UTF-8 (Trennzeichen-getrennt) (*.csv)");
    options.defaultSuffix = QStringLiteral("csv");
    options.selectedType = 1;
    for (const int chosen : {0, 1}) {
        QStringList types;
        QString openedOn;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            types = dialog->nameFilters();
            openedOn = dialog->selectedNameFilter();
            dialog->selectNameFilter(types.value(chosen));
            dialog->selectFile(dir.filePath(QStringLiteral("liste")));
            QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
        });
        const std::optional<Prompts::FileChoice> choice = prompts.saveFileChoice(options);
        ASSERT_TRUE(choice);
        EXPECT_EQ(types.size(), 2);
        EXPECT_EQ(openedOn, QStringLiteral("CSV UTF-8 (Trennzeichen-getrennt) (*.csv)"));
        EXPECT_EQ(choice->type, chosen);
        EXPECT_EQ(choice->path, dir.filePath(QStringLiteral("liste.csv")));
    }
}

TEST(EditDialog, isLaidOutAndReturnsTheEditedName)
{
    TArtikelForm form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Mangel bearbeiten"));
    EXPECT_EQ(form.size(), QSize(275, 168));
    DialogPrompts prompts;
    prompts.setArtikelForm(&form);

    QTimer::singleShot(0, [&form] {
        EXPECT_TRUE(form.Edit1()->hasSelectedText()) << "typing replaces the whole name";
        EXPECT_EQ(form.Edit1()->selectedText(), QStringLiteral("Riss"));
        form.Edit1()->setText(QString());
        QTest::keyClick(&form, Qt::Key_Return); // OK is the default button
    });
    EXPECT_EQ(prompts.editDefectName(QStringLiteral("Riss")), std::optional<QString>(QString()));

    QTimer::singleShot(0, [&form] { QTest::keyClick(&form, Qt::Key_Escape); });
    EXPECT_EQ(prompts.editDefectName(QStringLiteral("Riss")), std::nullopt);
}

TEST(EditDialog, isMadeWhenFirstNeededAsAChildOfTheWindow)
{
    QWidget window;
    TArtikelForm *made = nullptr;
    {
        DialogPrompts prompts(&window);
        EXPECT_TRUE(window.findChildren<TArtikelForm *>().isEmpty());
        for (int round = 0; round < 2; ++round) {
            QTimer::singleShot(0, [&made] {
                QWidget *shown = QApplication::activeModalWidget();
                made = qobject_cast<TArtikelForm *>(shown);
                EXPECT_TRUE(made);
                if (made) {
                    EXPECT_FALSE(made->findChild<QPushButton *>(QStringLiteral("BitBtn1"))->icon().isNull());
                }
                if (shown)
                    QTest::keyClick(shown, Qt::Key_Return);
            });
            EXPECT_EQ(prompts.editDefectName(QStringLiteral("Riss")), std::optional<QString>(QStringLiteral("Riss")));
            EXPECT_EQ(window.findChildren<TArtikelForm *>(), QList<TArtikelForm *>{made}) << "one dialog, reused";
        }
    }
    EXPECT_TRUE(window.findChildren<TArtikelForm *>().isEmpty()) << "it goes with the prompts that made it";
}

TEST(AboutDialog, putsTheYearInPlaceOfThePlaceholderAndOpensTheWebAddress)
{
    TAboutBox about(nullptr, QDate(2031, 12, 31));
    EXPECT_EQ(about.windowTitle(), QStringLiteral("Info"));
    EXPECT_EQ(about.size(), QSize(664, 453));
    const QString notice = about.ui().Copyright->text();
    EXPECT_FALSE(notice.contains(QStringLiteral("XXXX")));
    EXPECT_TRUE(notice.contains(QStringLiteral("2031")));
    EXPECT_FALSE(about.ui().ProgramIcon->pixmap().isNull()) << "the JPEG picture decodes";

    QUrl opened;
    about.setUrlOpener([&opened](const QUrl &url) { opened = url; });
    about.ui().BitBtnXP1->click();
    EXPECT_EQ(opened, TAboutBox::webAddress());
}
