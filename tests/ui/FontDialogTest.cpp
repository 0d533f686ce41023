// The print font dialog as the user meets it: it opens on the font it is given and gives back exactly
// what the user chose.
#include "document/PrintFont.h"
#include "ui/DialogPrompts.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Runs `act` on the next modal dialog once it is open.
void onNextDialog(std::function<void(QDialog &)> act)
{
    QTimer::singleShot(0, [act = std::move(act)] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        act(*dialog);
    });
}

PrintFont boldUnderlined()
{
    PrintFont f;
    f.size = 14;
    f.height = -19;
    f.style.bold = f.style.underline = true;
    return f;
}

PrintFont unusual()
{
    PrintFont f;
    f.name = QStringLiteral("Keine Solche Schrift");
    f.size = 200;
    f.height = -267;
    f.style = {false, true, false, true};
    f.charset = 238;
    f.color = 0x008000;
    f.pitch = FontPitch::Fixed;
    return f;
}

} // namespace

TEST(PrintFontDialog, okWithoutAChangeKeepsTheFontAsItWas)
{
    for (const PrintFont &given : {PrintFont{}, boldUnderlined(), unusual()}) {
        DialogPrompts prompts;
        PrintFont font = given;
        onNextDialog([](QDialog &d) { d.accept(); });
        EXPECT_TRUE(prompts.chooseFont(font));
        EXPECT_EQ(font, given) << given.name.toStdString() << " " << given.size;
    }
}

TEST(PrintFontDialog, opensOnTheFontAndGivesBackTheUsersChoice)
{
    DialogPrompts prompts;
    PrintFont font = boldUnderlined();
    onNextDialog([](QDialog &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Schriftart"));
        auto *family = d.findChild<QComboBox *>(QStringLiteral("familyBox"));
        auto *style = d.findChild<QListWidget *>(QStringLiteral("styleList"));
        auto *size = d.findChild<QSpinBox *>(QStringLiteral("sizeBox"));
        auto *underline = d.findChild<QCheckBox *>(QStringLiteral("underlineBox"));
        auto *strikeOut = d.findChild<QCheckBox *>(QStringLiteral("strikeOutBox"));
        auto *color = d.findChild<QComboBox *>(QStringLiteral("colorBox"));
        auto *buttons = d.findChild<QDialogButtonBox *>();
        ASSERT_TRUE(family && style && size && underline && strikeOut && color && buttons);
        EXPECT_EQ(family->currentText(), QStringLiteral("Arial")) << "not the family the system puts in its place";
        EXPECT_EQ(style->currentItem()->text(), QStringLiteral("Fett"));
        EXPECT_EQ(size->value(), 14);
        EXPECT_TRUE(underline->isChecked());
        EXPECT_FALSE(strikeOut->isChecked());
        EXPECT_EQ(color->currentText(), QStringLiteral("Fenstertext"));
        EXPECT_EQ(buttons->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Abbrechen"));

        style->setCurrentRow(3);
        color->setCurrentIndex(color->findText(QStringLiteral("Rot")));
        strikeOut->click();
        buttons->button(QDialogButtonBox::Ok)->click();
    });
    ASSERT_TRUE(prompts.chooseFont(font));
    PrintFont expected = boldUnderlined();
    expected.style = {true, true, true, true};
    expected.color = 0x0000FF;
    EXPECT_EQ(font, expected);

    onNextDialog([](QDialog &d) {
        d.findChild<QSpinBox *>(QStringLiteral("sizeBox"))->setValue(30);
        d.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Cancel)->click();
    });
    EXPECT_FALSE(prompts.chooseFont(font));
    EXPECT_EQ(font, expected) << "Abbrechen keeps the font";
}
