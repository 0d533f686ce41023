// The guide's window as a document: its headings to jump by, real tables, pictures that fit, the web page.
#include "ScriptedPrompts.h"
#include "TestSupport.h"

#include "ui/AnleitungUnit.h"

#include <QAccessible>
#include <QApplication>
#include <QImage>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QTreeWidget>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

class GuideWindow : public ::testing::Test {
protected:
    GuideWindow()
    {
        guide.setUrlOpener([this](const QUrl &url) {
            opened << url;
            return opens;
        });
    }
    QString path(const QString &name) const { return dir.filePath(name); }
    void load(const QByteArray &markdown)
    {
        testsupport::writeFile(path(QStringLiteral("Anleitung.md")), markdown);
        ASSERT_TRUE(guide.load(path(QStringLiteral("Anleitung.md"))));
        guide.show();
        QApplication::setActiveWindow(&guide);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&guide));
    }
    QString headingAtCursor() const { return guide.browser()->textCursor().block().text(); }

    QTemporaryDir dir;
    ScriptedPrompts prompts;
    TAnleitungForm guide{prompts};
    QList<QUrl> opened;
    bool opens = true;
};

// The headings list as indented lines, "A|  B|    C|  D".
QString outline(const QTreeWidget *tree)
{
    QStringList lines;
    const std::function<void(QTreeWidgetItem *, int)> walk = [&](QTreeWidgetItem *item, int depth) {
        lines << QString(depth * 2, u' ') + item->text(0);
        for (int i = 0; i < item->childCount(); ++i)
            walk(item->child(i), depth + 1);
    };
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        walk(tree->topLevelItem(i), 0);
    return lines.join(u'|');
}

} // namespace

TEST_F(GuideWindow, theHeadingsListIsNamedReachedByTabAndReturnMovesTheTextThere)
{
    load("# Anleitung\n\nText.\n\n## Dateien\n\nMehr.\n\n### Speichern\n\nNoch mehr.\n\n#### Tief\n\n## "
         "Drucken\n\nEnde.\n");
    QTreeWidget *headings = guide.headings();
    EXPECT_EQ(outline(headings), QStringLiteral("Anleitung|  Dateien|    Speichern|      Tief|  Drucken"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(headings)->text(QAccessible::Name),
              QStringLiteral("Inhalt der Anleitung"));

    // The text has the focus first; Tab goes on to the button, then to the headings.
    EXPECT_EQ(QApplication::focusWidget(), guide.browser());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), guide.browserButton());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), headings);

    // Moving through the list shows each heading; Return puts the cursor and the focus on it.
    headings->setCurrentItem(headings->topLevelItem(0));
    QTest::keyClick(headings, Qt::Key_End);
    EXPECT_EQ(headingAtCursor(), QStringLiteral("Drucken"));
    EXPECT_EQ(QApplication::focusWidget(), headings);
    QTest::keyClick(headings, Qt::Key_Up);
    QTest::keyClick(headings, Qt::Key_Return);
    EXPECT_EQ(headingAtCursor(), QStringLiteral("Tief"));
    EXPECT_EQ(QApplication::focusWidget(), guide.browser());
    EXPECT_TRUE(guide.isVisible()) << "Return belongs to the list, not to a default button";
}

TEST_F(GuideWindow, tablesAreFramedTablesWithAHeaderRowAndPicturesFitTheText)
{
    QImage(2000, 100, QImage::Format_RGB32).save(path(QStringLiteral("breit.png")));
    QImage(50, 20, QImage::Format_RGB32).save(path(QStringLiteral("klein.png")));
    load("# T\n\n| Taste | Befehl |\n|---|---|\n| F1 | Anleitung |\n| Strg+S | Speichern |\n\n"
         "![Breit](breit.png)\n\n![Klein](klein.png)\n");
    QTextDocument *document = guide.browser()->document();
    const QList<QTextFrame *> frames = document->rootFrame()->childFrames();
    ASSERT_EQ(frames.size(), 1);
    auto *table = qobject_cast<QTextTable *>(frames[0]);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rows(), 3);
    EXPECT_EQ(table->columns(), 2);
    EXPECT_EQ(table->format().headerRowCount(), 1);
    EXPECT_GT(table->format().border(), 0);
    EXPECT_EQ(table->cellAt(2, 1).firstCursorPosition().block().text(), QStringLiteral("Speichern"));

    const auto widths = [&] {
        std::map<QString, double> found;
        for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
            for (auto it = block.begin(); !it.atEnd(); ++it)
                if (const QTextCharFormat f = it.fragment().charFormat(); f.isImageFormat())
                    found[f.toImageFormat().name()] = f.toImageFormat().width();
        return found;
    };
    for (const int windowWidth : {500, 1200}) {
        guide.resize(windowWidth, 400);
        QApplication::processEvents();
        const int room = guide.browser()->viewport()->width();
        EXPECT_LE(widths()[QStringLiteral("breit.png")], room) << windowWidth;
        EXPECT_GT(widths()[QStringLiteral("breit.png")], room / 2) << windowWidth;
        EXPECT_EQ(widths()[QStringLiteral("klein.png")], 50) << windowWidth;
    }
}

TEST_F(GuideWindow, theBrowserButtonOpensTheWebPageBesideTheGuideOrSaysWhatIsWrong)
{
    load("# Anleitung\n");
    const QString page = path(QStringLiteral("Anleitung.html"));
    guide.browserButton()->click();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text,
              QStringLiteral("Die Anleitung als Webseite „%1“ wurde nicht gefunden.").arg(page));
    EXPECT_TRUE(opened.isEmpty());

    testsupport::writeFile(page, "<!DOCTYPE html>");
    prompts.messages.clear();
    QTest::keyClick(&guide, Qt::Key_B, Qt::AltModifier); // the button clicks a moment later
    ASSERT_TRUE(testsupport::eventually([&] { return !opened.isEmpty(); }));
    EXPECT_EQ(opened, QList<QUrl>{QUrl::fromLocalFile(page)});
    EXPECT_TRUE(prompts.messages.empty());

    opens = false;
    guide.browserButton()->click();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(testsupport::fields(prompts.messages[0]),
              (testsupport::MessageFields{
                  QStringLiteral("Anleitung"),
                  QStringLiteral("Der Webbrowser konnte nicht gestartet werden, um die Anleitung zu zeigen.")}));
}
