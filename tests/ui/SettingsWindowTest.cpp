#include "WindowFixture.h"
#include "ui_MainUnit.h"

#include <QDir>
#include <QFile>
#include <QScreen>
#include <QSettings>

using Answer = Prompts::Answer;

namespace {

struct SettingsWindow : WindowFixture {
    void SetUp() override { writeDefault(starter()); }
    std::unique_ptr<TMainForm> newForm() { return std::make_unique<TMainForm>(prompts, dir.path(), makeStore()); }
    QByteArray settingsText() const
    {
        return QFile::exists(settingsFile()) ? testsupport::readFile(settingsFile()) : QByteArray();
    }
    QString value(const char *name) const
    {
        for (const QByteArray &line : settingsText().split('\n')) {
            if (line.startsWith(QByteArray(name) + '='))
                return QString::fromUtf8(line.mid(qsizetype(qstrlen(name)) + 1));
        }
        return {};
    }
};

} // namespace

TEST_F(SettingsWindow, firstRunStartsWithTheDesignAndTheCloseWritesEveryValue)
{
    auto first = newForm();
    EXPECT_FALSE(QFile::exists(settingsFile()));
    first->show();
    EXPECT_TRUE(QFile::exists(settingsFile())) << "the store is created at the first showing";
    EXPECT_EQ(value("FormVersion"), QString()) << "but holds no values yet";
    // The design place (223, 115, 999 x 589), moved and shrunk onto the test screen where it is smaller.
    const QRect area = first->screen()->availableVirtualGeometry();
    EXPECT_TRUE(area.contains(first->geometry())) << "the whole window is on the screen";
    EXPECT_EQ(first->size(), QSize(999, 589).boundedTo(area.size()));
    first->setGeometry(10, 20, 780, 600); // within the test screen (800 x 800), which the design is wider than
    const QRect g = first->geometry();    // stored as the inner rectangle, left, top, right, bottom

    first->ui().leftREd->setValue(20);
    first->printFont().name = QStringLiteral("Liberation Serif");
    first->printFont().size = 12;
    first->printFont().style.bold = true;
    prompts.answers = {Answer::No};
    EXPECT_TRUE(first->close());
    int values = 0;
    for (const QByteArray &line : settingsText().split('\n'))
        values += line.contains('=') ? 1 : 0;
    EXPECT_EQ(values, 27) << "22 values, the page header options, the filtered view's width, Prüfer and firm";
    EXPECT_EQ(value("leftREd_Value"), QStringLiteral("20"));
    EXPECT_EQ(value("Panel1Laeden_Width"), QStringLiteral("145"));
    EXPECT_EQ(value("Panel11_Width"), QStringLiteral("213"));
    EXPECT_EQ(value("FontDialog1_FontName"), QStringLiteral("Liberation Serif"));
    EXPECT_EQ(value("FontDialog1_FontStyle"), QStringLiteral("[fsBold]"));
    EXPECT_EQ(value("Visible"), QStringLiteral("0"));
    EXPECT_EQ(value("NormPos"),
              QStringLiteral("%1,%2,%3,%4").arg(g.left()).arg(g.top()).arg(g.left() + 780).arg(g.top() + 600));
    first.reset();
    EXPECT_EQ(value("Visible"), QStringLiteral("0")) << "no second save after a successful one";

    auto second = newForm();
    second->show();
    EXPECT_EQ(second->ui().leftREd->value(), 20);
    EXPECT_EQ(second->printFont().name, QStringLiteral("Liberation Serif"));
    EXPECT_EQ(second->printFont().size, 12);
    EXPECT_TRUE(second->printFont().style.bold);
    EXPECT_EQ(second->geometry(), g) << "back at its place";
}

TEST_F(SettingsWindow, aRefusedCloseWritesNothingAndDestructionSavesOnce)
{
    auto form = newForm();
    form->show();
    prompts.answers = {Answer::Cancel};
    EXPECT_FALSE(form->close());
    EXPECT_EQ(value("FormVersion"), QString());
    form.reset();
    EXPECT_EQ(value("Visible"), QStringLiteral("1")) << "saved while the window is destroyed";
}

TEST_F(SettingsWindow, aWindowClosedMaximizedOpensMaximizedOverItsNormalRectangle)
{
    auto form = newForm();
    form->show();
    form->setGeometry(100, 120, 800, 500);
    form->showMaximized();
    QCoreApplication::processEvents();
    prompts.answers = {Answer::No};
    form->close();
    EXPECT_EQ(value("ShowCmd"), QStringLiteral("3"));
    EXPECT_EQ(value("NormPos"), QStringLiteral("100,120,900,620"));

    auto again = newForm();
    again->show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(again->isMaximized());
    again->showNormal();
    QCoreApplication::processEvents();
    EXPECT_EQ(again->geometry(), QRect(100, 120, 800, 500));
}

TEST_F(SettingsWindow, damagedValuesFallBackToUsableOnes)
{
    QDir().mkpath(dir.filePath(QStringLiteral("config")));
    testsupport::writeFile(settingsFile(), "[TMainForm]\n"
                                           "leftREd_Value=80\n"
                                           "TopREd_Value=12.5\n"
                                           "RightREd_Value=abc\n"
                                           "Panel1Laeden_Width=breit\n"
                                           "FontDialog1_FontSize=0\n"
                                           "FontDialog1_FontHeight=-20\n"
                                           "FontDialog1_FontStyle=[fsBold, fsUnderline]\n");
    auto form = newForm();
    form->show();
    EXPECT_EQ(form->ui().leftREd->value(), 50);
    EXPECT_EQ(form->ui().TopREd->value(), 12);
    EXPECT_EQ(form->ui().RightREd->value(), 15);
    EXPECT_EQ(form->ui().PanelSplitter->sizes().at(0), 0) << "the panel is out of sight";
    EXPECT_EQ(form->printFont().size, 11) << "a font size that cannot print keeps the start size";
    EXPECT_TRUE(form->printFont().style.bold);
    EXPECT_TRUE(form->printFont().style.underline);
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(SettingsWindow, aStoredPlaceOffTheScreenOrLargerThanItOpensOnTheScreen)
{
    QDir().mkpath(dir.filePath(QStringLiteral("config")));
    for (const char *normPos : {"3000,2500,3800,3100", "0,0,100000,100000"}) {
        testsupport::writeFile(settingsFile(), QByteArray("[TMainForm]\nNormPos=") + normPos + '\n');
        auto form = newForm();
        form->show();
        const QRect screen = form->screen()->availableGeometry();
        EXPECT_TRUE(screen.intersects(form->geometry())) << normPos;
        EXPECT_LE(form->width(), screen.width()) << normPos;
        EXPECT_LE(form->height(), screen.height()) << normPos;
    }
}
