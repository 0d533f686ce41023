// What a screen reader finds in the windows: every control named, the names telling the controls of
// one panel apart, labels linked to their fields, and the guide readable without a mouse.
#include "WindowFixture.h"
#include "ui/AboutBoxUnit.h"
#include "ui/AnleitungUnit.h"
#include "ui/ArtikelFUnit.h"
#include "ui/PrintFontDialog.h"
#include "ui_MainUnit.h"

#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QTextBrowser>
#include <QToolTip>

#include <map>
#include <set>

namespace {

// One control as a screen reader meets it: the panel it sits in, its role and its name.
struct Control {
    QString panel;
    QAccessible::Role role;
    QString name;
    QString object;
};

bool interactive(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::Button:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::SpinBox:
    case QAccessible::EditableText:
    case QAccessible::List:
    case QAccessible::Table:
    case QAccessible::Tree:
    case QAccessible::PageTab:
    case QAccessible::MenuItem:
        return true;
    default:
        return false;
    }
}

// The controls shown under iface; a group, a toolbar or a menu bar starts a panel of its own.
void collect(QAccessibleInterface *iface, QString panel, std::vector<Control> &out)
{
    if (!iface || iface->state().invisible)
        return;
    const QAccessible::Role role = iface->role();
    // The tab bar is named after its current tab: the tabs are a panel of their own.
    if (role == QAccessible::PageTabList) {
        for (int i = 0; i < iface->childCount(); ++i)
            collect(iface->child(i), QStringLiteral("tabs"), out);
        return;
    }
    if (role == QAccessible::Grouping || role == QAccessible::ToolBar || role == QAccessible::MenuBar)
        panel = QStringLiteral("%1 %2").arg(int(role)).arg(iface->text(QAccessible::Name));
    // A control is what takes part in the work (a button, a field, a list, a tab) or takes the focus.
    const auto *widget = qobject_cast<const QWidget *>(iface->object());
    if (interactive(role) || (widget && (widget->focusPolicy() & Qt::TabFocus)))
        out.push_back(
            {panel, role, iface->text(QAccessible::Name), iface->object() ? iface->object()->objectName() : QString()});
    // The rows of a list and the parts of a combo box or spin box are the control's own business.
    if (role == QAccessible::Table || role == QAccessible::Tree || role == QAccessible::List ||
        role == QAccessible::ComboBox || role == QAccessible::SpinBox)
        return;
    for (int i = 0; i < iface->childCount(); ++i)
        collect(iface->child(i), panel, out);
}

std::vector<Control> controlsOf(QWidget *window)
{
    std::vector<Control> out;
    collect(QAccessible::queryAccessibleInterface(window), window->windowTitle(), out);
    return out;
}

// Every control has a name, no two controls of one panel share theirs; returns the names per panel.
std::map<QString, std::set<QString>> expectNamedAndUnique(QWidget *window, size_t atLeast)
{
    std::map<QString, std::set<QString>> panels;
    const std::vector<Control> controls = controlsOf(window);
    EXPECT_GE(controls.size(), atLeast) << window->objectName().toStdString();
    for (const Control &c : controls) {
        SCOPED_TRACE((window->objectName() + u' ' + c.panel).toStdString());
        EXPECT_FALSE(c.name.trimmed().isEmpty()) << "role " << c.role << " " << c.object.toStdString();
        EXPECT_TRUE(panels[c.panel].insert(c.name).second) << c.name.toStdString();
    }
    return panels;
}

QString nameOf(QObject *object)
{
    return QAccessible::queryAccessibleInterface(object)->text(QAccessible::Name);
}

struct Accessibility : WindowFixture {
    void SetUp() override
    {
        createWithStarter();
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
};

} // namespace

TEST_F(Accessibility, everyWindow_namesEveryControlUniquelyWithinItsPanel)
{
    // The list page: four panels named after their strips, the buttons saying which list they act on.
    const auto lists = expectNamedAndUnique(form.get(), 28);
    const std::pair<const char *, std::set<QString>> panels[] = {
        {"Baugruppen",
         {QStringLiteral("Baugruppe hinzufügen"), QStringLiteral("Baugruppe entfernen"),
          QStringLiteral("Alle Baugruppen löschen"), QStringLiteral("Baugruppen")}},
        {"Mängel gefiltert", {QStringLiteral("Gefilterte Mängel aktualisieren"), QStringLiteral("Mängel gefiltert")}},
    };
    for (const auto &[panel, names] : panels) {
        const auto found =
            lists.find(QStringLiteral("%1 %2").arg(int(QAccessible::Grouping)).arg(QString::fromUtf8(panel)));
        ASSERT_NE(found, lists.end()) << panel;
        EXPECT_EQ(found->second, names);
    }
    EXPECT_EQ(lists.count(QStringLiteral("%1 Mängel").arg(int(QAccessible::Grouping))), 1u);
    EXPECT_EQ(lists.count(QStringLiteral("%1 Mängelliste").arg(int(QAccessible::Grouping))), 1u);

    form->ui().PageControl1->setCurrentIndex(1);
    const auto settings = expectNamedAndUnique(form.get(), 17);
    const auto page = settings.find(
        QStringLiteral("%1 Einstellungen - Schriftart und Seitenränder ändern").arg(int(QAccessible::Grouping)));
    ASSERT_NE(page, settings.end());
    EXPECT_TRUE(page->second.count(QStringLiteral("Rand oben in mm")));

    TArtikelForm edit;
    edit.show();
    expectNamedAndUnique(&edit, 3);
    TAboutBox about;
    about.show();
    expectNamedAndUnique(&about, 2);
    PrintFontDialog font{PrintFont{}};
    font.show();
    expectNamedAndUnique(&font, 8);
    TAnleitungForm guide(prompts);
    guide.show();
    expectNamedAndUnique(&guide, 1);
}

TEST_F(Accessibility, inPlaceEditor_isNamedAfterItsColumn)
{
    form->PlusLaedenBtnClick();
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(nameOf(editor), QStringLiteral("Name"));
}

TEST_F(Accessibility, iconButton_showsItsTooltipWhenTheKeyboardBringsTheFocus)
{
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->ui().PageControl1->tabBar()->setFocus(Qt::OtherFocusReason);
    // The key goes down where the focus was and comes up where it went.
    QTest::keyPress(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), form->ui().PlusLaedenBtn);
    QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_TRUE(testsupport::eventually([] { return QToolTip::isVisible(); }));
    EXPECT_EQ(QToolTip::text(), QStringLiteral("Eintrag hinzufügen"));
}

TEST_F(Accessibility, marginLabels_leadToTheirFieldsByTheirUnderlinedLetter)
{
    Ui::TMainForm &ui = form->ui();
    ui.PageControl1->setCurrentIndex(1);
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    const std::tuple<QLabel *, QSpinBox *, Qt::Key, const char *> table[] = {
        {ui.Label2, ui.leftREd, Qt::Key_L, "Rand links:"},
        {ui.Label3, ui.TopREd, Qt::Key_O, "Rand oben::"},
        {ui.Label4, ui.RightREd, Qt::Key_R, "Rand rechts:"},
        {ui.Label5, ui.BottomREd, Qt::Key_U, "Rand unten:"},
    };
    for (const auto &[label, spin, key, shown] : table) {
        SCOPED_TRACE(shown);
        EXPECT_EQ(label->text().remove(u'&'), QString::fromUtf8(shown));
        EXPECT_EQ(label->buddy(), spin);
        ui.FontBtn->setFocus();
        QTest::keyClick(form.get(), key, Qt::AltModifier);
        EXPECT_EQ(QApplication::focusWidget(), spin);
    }
}

TEST_F(Accessibility, fontDialog_combosSpeakTheirCurrentEntryAndAreLabelled)
{
    PrintFontDialog dialog{PrintFont{}};
    for (const auto &[name, label] : {std::pair{"familyBox", "Schriftart:"}, std::pair{"colorBox", "Farbe:"}}) {
        SCOPED_TRACE(name);
        auto *box = dialog.findChild<QComboBox *>(QString::fromLatin1(name));
        ASSERT_NE(box, nullptr);
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(box);
        EXPECT_EQ(iface->text(QAccessible::Value), box->currentText());
        QStringList labels;
        for (const auto &[other, relation] : iface->relations(QAccessible::Label))
            labels << other->text(QAccessible::Name);
        EXPECT_TRUE(labels.contains(QString::fromUtf8(label))) << labels.join(u',').toStdString();
    }
}

TEST_F(Accessibility, guide_isADialogWithReadablePicturesThatEscAndCtrlWClose)
{
    testsupport::writeFile(path(QStringLiteral("Anleitung.md")),
                           "# Anleitung\n\n![Das Hauptfenster](bild.png)\n\nText danach.\n");
    for (const QKeyCombination key : {QKeyCombination(Qt::Key_Escape), QKeyCombination(Qt::CTRL, Qt::Key_W)}) {
        form->Anleitung1Click();
        auto *guide = form->findChild<TAnleitungForm *>();
        ASSERT_NE(guide, nullptr);
        QAccessibleInterface *window = QAccessible::queryAccessibleInterface(guide);
        EXPECT_EQ(window->role(), QAccessible::Dialog);
        EXPECT_EQ(window->text(QAccessible::Name), QStringLiteral("Anleitung"));
        EXPECT_TRUE(guide->browser()->textInteractionFlags() & Qt::TextSelectableByKeyboard);
        EXPECT_EQ(guide->browser()->toPlainText(),
                  QStringLiteral("Anleitung\n\uFFFC\nBild: Das Hauptfenster\nText danach."));
        QApplication::setActiveWindow(guide);
        QTest::keyClick(guide->browser(), key.key(), key.keyboardModifiers());
        EXPECT_FALSE(guide->isVisible());
    }
}
