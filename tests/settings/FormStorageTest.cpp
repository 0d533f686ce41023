#include "settings/FormStorage.h"
#include "TestSupport.h"
#include "settings/SettingsError.h"

#include <QDir>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <unistd.h>

using testsupport::readFile;
using testsupport::writeFile;

namespace {

const QSize kLarge{1280, 1024};
const QSize kSmall{1024, 768};

// The window as it stands before the first showing: design place, hidden.
WindowState designWindow(QSize screen = kLarge, int pixelsPerInch = 96)
{
    WindowState w;
    w.screenSize = screen;
    w.pixelsPerInch = pixelsPerInch;
    return w;
}

WindowState shownWindow(QRect normal, WindowShow show = WindowShow::Normal, QSize screen = kLarge)
{
    WindowState w = designWindow(screen);
    w.visible = true;
    w.placement.normalRect = normal;
    w.placement.show = show;
    return w;
}

// The file after the first close with start values on a 1280 x 1024 screen at 96 dpi: the 22 values
// in their fixed order, then the window's own additions.
const QByteArray kFirstSave = "[TMainForm]\n"
                              "FormVersion=0\n"
                              "Flags=0\n"
                              "ShowCmd=1\n"
                              "PixelsPerInch=96\n"
                              "MinMaxPos(1280x1024)=-1,-1,-1,-1\n"
                              "MinMaxPos=-1,-1,-1,-1\n"
                              "NormPos(1280x1024)=223,115,1222,704\n"
                              "NormPos=223,115,1222,704\n"
                              "Visible=0\n"
                              "RightREd_Value=15\n"
                              "TopREd_Value=15\n"
                              "leftREd_Value=15\n"
                              "BottomREd_Value=15\n"
                              "FontDialog1_FontCharset=0\n"
                              "FontDialog1_FontColor=-2147483640\n"
                              "FontDialog1_FontHeight=-15\n"
                              "FontDialog1_FontName=Arial\n"
                              "FontDialog1_FontPitch=fpDefault\n"
                              "FontDialog1_FontSize=11\n"
                              "FontDialog1_FontStyle=[]\n"
                              "Panel1Laeden_Width=145\n"
                              "Panel1Produkte_Width=269\n"
                              "SeitenkopfCheck_Checked=False\n"
                              "Panel11_Width=213\n"
                              "PrueferEd_Text=\n"
                              "FirmaEd_Text=\n"
                              "GliedernCheck_Checked=False\n";

class FormStorageTest : public ::testing::Test {
protected:
    QString folder() const { return m_dir.path() + QStringLiteral("/config"); }
    QByteArray raw() const { return readFile(m_store.filePath()); }
    void handWrite(const QByteArray &lines)
    {
        QDir().mkpath(folder());
        writeFile(m_store.filePath(), "[TMainForm]\n" + lines);
    }
    // A fresh run of the program on the same store.
    FormStorage &nextRun()
    {
        m_runs.push_back(std::make_unique<FormStorage>(m_store));
        return *m_runs.back();
    }

    QTemporaryDir m_dir;
    SettingsStore m_store{folder(), QStringLiteral("maengelliste")};
    FormStorage m_storage{m_store};
    std::vector<std::unique_ptr<FormStorage>> m_runs;
};

} // namespace

TEST_F(FormStorageTest, firstRunKeepsStartValuesAndTheCloseWritesAllValues)
{
    StoredProps props;
    const RestoreResult r = m_storage.RestoreSettings(designWindow(), props);
    EXPECT_EQ(props, StoredProps{});
    EXPECT_FALSE(r.placement);
    EXPECT_EQ(r.show, WindowShow::Normal);
    EXPECT_TRUE(r.errorText.isEmpty());
    EXPECT_TRUE(m_storage.restoreCompleted());
    EXPECT_EQ(raw(), QByteArray()) << "the store is created empty at the first showing";

    m_storage.SaveSettings(shownWindow(QRect(223, 115, 999, 589)), props, false);
    EXPECT_TRUE(m_storage.saved());
    EXPECT_EQ(raw(), kFirstSave);

    m_storage.SaveSettings(shownWindow(QRect(0, 0, 500, 500)), props, true);
    EXPECT_EQ(raw(), kFirstSave) << "no second save while destroying after a successful one";
}

TEST_F(FormStorageTest, aSaveKeepsForeignLinesAndTheBytesOfTextsThatDidNotChange)
{
    const QByteArray top = "TMainForm/leftREd_Value=33\n";
    const QByteArray other = "[Other]\na/b=3\n";
    QDir().mkpath(folder());
    writeFile(m_store.filePath(), top + "[TMainForm]\nLEFTRED_VALUE=20\nFontDialog1_FontName=Arial N\xe4rrow\n"
                                        "FirmaEd_Text=Gr\xfc\xdf" "e\n" + other);
    StoredProps props;
    m_storage.RestoreSettings(designWindow(), props);
    EXPECT_EQ(props.margins.left, 20) << "the name in any case, not the top-level line";
    EXPECT_EQ(props.font.name, QStringLiteral("Arial Närrow"));
    EXPECT_EQ(props.firma, QStringLiteral("Grüße"));

    m_storage.SaveSettings(shownWindow(QRect(223, 115, 999, 589)), props, false);
    QByteArray own = kFirstSave;
    own.replace("leftREd_Value=15", "leftREd_Value=20")
        .replace("FontName=Arial\n", "FontName=Arial N\xe4rrow\n")
        .replace("FirmaEd_Text=\n", "FirmaEd_Text=Gr\xfc\xdf" "e\n");
    EXPECT_EQ(raw(), top + own + other);
}

TEST_F(FormStorageTest, nothingIsWrittenBeforeARestoreNorWithoutASave)
{
    StoredProps props;
    m_storage.SaveSettings(shownWindow(QRect(1, 2, 300, 400)), props, false);
    m_storage.SaveSettings(shownWindow(QRect(1, 2, 300, 400)), props, true);
    EXPECT_FALSE(QDir(folder()).exists());

    // A refused close calls no save; the store keeps what the last run left.
    handWrite("NormPos=10,20,310,420\n");
    const QByteArray before = raw();
    m_storage.RestoreSettings(designWindow(), props);
    EXPECT_EQ(raw(), before);
}

TEST_F(FormStorageTest, destroyingWritesVisibleOneWhenTheCloseDidNotSave)
{
    StoredProps props;
    m_storage.RestoreSettings(designWindow(), props);
    m_storage.SaveSettings(shownWindow(QRect(223, 115, 999, 589)), props, true);
    QByteArray expected = kFirstSave;
    expected.replace("Visible=0", "Visible=1");
    EXPECT_EQ(raw(), expected);
}

TEST_F(FormStorageTest, everyStoredPropertyRoundTrips)
{
    StoredProps props;
    m_storage.RestoreSettings(designWindow(), props);
    props.margins = {7, 50, 0, 33};
    props.font.name = QStringLiteral("  Liberation Serif ");
    props.font.setSize(14, 96);
    props.font.style = {true, false, true, true};
    props.font.charset = 238;
    props.font.color = 0x00336699;
    props.font.pitch = FontPitch::Fixed;
    props.panel1LaedenWidth = 0;
    props.panel1ProdukteWidth = 1234;
    props.panel11Width = -5;
    props.pageFrame = true;
    props.groupByAssembly = true;
    props.pruefer = QStringLiteral("Jörg Schäfer");
    props.firma = QStringLiteral("Ingenieurbüro Schäfer = Bau");
    m_storage.SaveSettings(shownWindow(QRect(223, 115, 999, 589)), props, false);
    EXPECT_NE(raw().indexOf("FontDialog1_FontName=Liberation Serif\n"), -1) << "trimmed before writing";
    EXPECT_NE(raw().indexOf("FontDialog1_FontStyle=[fsBold,fsUnderline,fsStrikeOut]\n"), -1);
    EXPECT_NE(raw().indexOf("FontDialog1_FontPitch=fpFixed\n"), -1);

    StoredProps back;
    nextRun().RestoreSettings(designWindow(), back);
    props.font.name = QStringLiteral("Liberation Serif");
    EXPECT_EQ(back, props);
}

TEST_F(FormStorageTest, storedPropertiesReadBackByTheirRules)
{
    // One hand-written value per row; the rest of StoredProps must keep its start values.
    const struct {
        const char *line;
        std::function<void(StoredProps &)> expect;
    } rows[] = {
        {"leftREd_Value=80", [](StoredProps &p) { p.margins.left = 50; }},
        {"leftREd_Value=12.5", [](StoredProps &p) { p.margins.left = 12; }},
        {"leftREd_Value=13.5", [](StoredProps &p) { p.margins.left = 14; }},
        {"leftREd_Value=-4", [](StoredProps &p) { p.margins.left = 0; }},
        {"leftREd_Value=abc", [](StoredProps &) {}},
        {"leftREd_Value=", [](StoredProps &) {}},
        {"TopREd_Value= 20 \t", [](StoredProps &p) { p.margins.top = 20; }},
        {"RightREd_Value=1e1", [](StoredProps &p) { p.margins.right = 10; }},
        {"BottomREd_Value=3,5", [](StoredProps &p) { p.margins.bottom = 4; }}, // the German mark written by hand
        {"Panel1Laeden_Width=breit", [](StoredProps &p) { p.panel1LaedenWidth = 0; }},
        {"Panel1Laeden_Width=", [](StoredProps &p) { p.panel1LaedenWidth = 0; }},
        {"Panel1Produkte_Width= 300\r", [](StoredProps &p) { p.panel1ProdukteWidth = 300; }},
        {"Panel1Produkte_Width=3.5", [](StoredProps &p) { p.panel1ProdukteWidth = 0; }},
        {"Panel11_Width=400", [](StoredProps &p) { p.panel11Width = 400; }},
        {"Panel11_Width=schmal", [](StoredProps &p) { p.panel11Width = 0; }},
        {"FontDialog1_FontCharset=238", [](StoredProps &p) { p.font.charset = 238; }},
        {"FontDialog1_FontCharset=x", [](StoredProps &p) { p.font.charset = 0; }},
        {"FontDialog1_FontColor=255", [](StoredProps &p) { p.font.color = 255; }},
        {"FontDialog1_FontColor=red", [](StoredProps &p) { p.font.color = 0; }},
        {"FontDialog1_FontHeight=-20", [](StoredProps &p) { p.font.setHeight(-20, 96); }},
        {"FontDialog1_FontSize=14", [](StoredProps &p) { p.font.setSize(14, 96); }},
        {"FontDialog1_FontSize=gross", [](StoredProps &p) { p.font.height = 0; }}, // size 0 keeps its size
        {"FontDialog1_FontSize=-3\nFontDialog1_FontHeight=-20", [](StoredProps &p) { p.font.height = 4; }},
        {"FontDialog1_FontName=\tCourier New ", [](StoredProps &p) { p.font.name = QStringLiteral("Courier New"); }},
        {"FontDialog1_FontName=Times, Roman", [](StoredProps &p) { p.font.name = QStringLiteral("Times, Roman"); }},
        {"FontDialog1_FontName=", [](StoredProps &) {}},
        {"FontDialog1_FontPitch=FPVARIABLE", [](StoredProps &p) { p.font.pitch = FontPitch::Variable; }},
        {"FontDialog1_FontPitch=fpWide", [](StoredProps &) {}},
        {"FontDialog1_FontStyle=[fsBold, fsUnderline]",
         [](StoredProps &p) { p.font.style.bold = p.font.style.underline = true; }},
        {"FontDialog1_FontStyle=[fsFat]", [](StoredProps &) {}},
        {"FontDialog1_FontStyle=[fsItalic,fsStrikeOut]",
         [](StoredProps &p) { p.font.style.italic = p.font.style.strikeOut = true; }},
        {"Visible=1", [](StoredProps &) {}},
        {"SeitenkopfCheck_Checked=True", [](StoredProps &p) { p.pageFrame = true; }},
        {"SeitenkopfCheck_Checked= true ", [](StoredProps &p) { p.pageFrame = true; }},
        {"SeitenkopfCheck_Checked=1", [](StoredProps &) {}},
        {"SeitenkopfCheck_Checked=False", [](StoredProps &) {}},
        {"GliedernCheck_Checked=TRUE", [](StoredProps &p) { p.groupByAssembly = true; }},
        {"GliedernCheck_Checked=ja", [](StoredProps &) {}},
        {"PrueferEd_Text= Dipl.-Ing. Jörg Schäfer ", [](StoredProps &p) { p.pruefer = QStringLiteral("Dipl.-Ing. Jörg Schäfer"); }},
        {"FirmaEd_Text=Müller & Söhne GmbH", [](StoredProps &p) { p.firma = QStringLiteral("Müller & Söhne GmbH"); }},
        {"FirmaEd_Text=", [](StoredProps &) {}},
    };
    int i = 0;
    for (const auto &row : rows) {
        SettingsStore store(m_dir.path() + QStringLiteral("/row%1").arg(i++), QStringLiteral("maengelliste"));
        QDir().mkpath(store.folder());
        writeFile(store.filePath(), QByteArray("[TMainForm]\n") + row.line + '\n');
        FormStorage storage(store);
        StoredProps props, expected;
        row.expect(expected);
        const RestoreResult r = storage.RestoreSettings(designWindow(), props);
        EXPECT_EQ(props, expected) << row.line;
        EXPECT_FALSE(r.placement) << row.line;
    }
}

TEST_F(FormStorageTest, theFontSizeDecidesOverTheHeight)
{
    handWrite("FontDialog1_FontHeight=-40\nFontDialog1_FontSize=9\n");
    StoredProps props;
    m_storage.RestoreSettings(designWindow(QSize(1280, 1024), 120), props);
    EXPECT_EQ(props.font.size, 9);
    EXPECT_EQ(props.font.height, -15); // 9 pt at 120 dpi
}

TEST_F(FormStorageTest, marginsFollowTheRegionalDecimalMark)
{
    handWrite("leftREd_Value=12.5\nTopREd_Value=7,5\n");
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    StoredProps props;
    m_storage.RestoreSettings(designWindow(), props);
    QLocale::setDefault(before);
    EXPECT_EQ(props.margins.left, 12);
    EXPECT_EQ(props.margins.top, 15) << "a comma does not convert with an English mark";
}

TEST_F(FormStorageTest, maximizedWindowOpensMaximizedOverItsNormalRectangle)
{
    StoredProps props;
    m_storage.RestoreSettings(designWindow(), props);
    m_storage.SaveSettings(shownWindow(QRect(100, 50, 640, 480), WindowShow::Maximized), props, false);
    EXPECT_NE(raw().indexOf("ShowCmd=3\n"), -1);
    EXPECT_NE(raw().indexOf("NormPos=100,50,740,530\n"), -1);

    const RestoreResult r = nextRun().RestoreSettings(designWindow(), props);
    ASSERT_TRUE(r.placement);
    EXPECT_EQ(r.placement->normalRect, QRect(100, 50, 640, 480));
    EXPECT_EQ(r.show, WindowShow::Maximized);
}

TEST_F(FormStorageTest, minimizedApplicationStartsMinimized)
{
    StoredProps props;
    m_storage.RestoreSettings(designWindow(), props);
    WindowState w = shownWindow(QRect(100, 50, 640, 480), WindowShow::Maximized);
    w.applicationMinimized = true;
    w.placement.flags = 2;
    m_storage.SaveSettings(w, props, false);
    EXPECT_NE(raw().indexOf("ShowCmd=2\n"), -1);

    const RestoreResult r = nextRun().RestoreSettings(designWindow(), props);
    EXPECT_EQ(r.show, WindowShow::Minimized);
    ASSERT_TRUE(r.placement);
    EXPECT_EQ(r.placement->flags, 2);
}

TEST_F(FormStorageTest, showCommandsMapOntoThreeStates)
{
    const struct {
        const char *value;
        WindowShow show;
    } rows[] = {{"1", WindowShow::Normal},    {"5", WindowShow::Normal},    {"9", WindowShow::Normal},
                {"2", WindowShow::Minimized}, {"6", WindowShow::Minimized}, {"7", WindowShow::Minimized},
                {"3", WindowShow::Maximized}, {"0", WindowShow::Normal},    {"4", WindowShow::Normal},
                {"max", WindowShow::Normal},  {"", WindowShow::Normal}};
    int i = 0;
    for (const auto &row : rows) {
        SettingsStore store(m_dir.path() + QStringLiteral("/show%1").arg(i++), QStringLiteral("m"));
        QDir().mkpath(store.folder());
        writeFile(store.filePath(), QByteArray("[TMainForm]\nShowCmd=") + row.value + '\n');
        StoredProps props;
        EXPECT_EQ(FormStorage(store).RestoreSettings(designWindow(), props).show, row.show) << row.value;
    }
}

TEST_F(FormStorageTest, eachScreenSizeKeepsItsOwnPlace)
{
    StoredProps props;
    m_storage.RestoreSettings(designWindow(kLarge), props);
    m_storage.SaveSettings(shownWindow(QRect(400, 300, 800, 600), WindowShow::Normal, kLarge), props, false);
    FormStorage &second = nextRun();
    second.RestoreSettings(designWindow(kSmall), props);
    second.SaveSettings(shownWindow(QRect(10, 20, 640, 480), WindowShow::Normal, kSmall), props, false);
    EXPECT_NE(raw().indexOf("NormPos(1280x1024)=400,300,1200,900\n"), -1);
    EXPECT_NE(raw().indexOf("NormPos(1024x768)=10,20,650,500\n"), -1);
    EXPECT_NE(raw().indexOf("NormPos=10,20,650,500\n"), -1);

    const auto placeOn = [&](QSize screen) {
        const RestoreResult r = nextRun().RestoreSettings(designWindow(screen), props);
        return r.placement ? r.placement->normalRect : QRect();
    };
    EXPECT_EQ(placeOn(kLarge), QRect(400, 300, 800, 600));
    EXPECT_EQ(placeOn(kSmall), QRect(10, 20, 640, 480));
    EXPECT_EQ(placeOn(QSize(1920, 1080)), QRect(10, 20, 640, 480)) << "an unknown size takes the last place";
}

TEST_F(FormStorageTest, changedPixelsPerInchDropsThePlaceButKeepsStateAndProperties)
{
    handWrite("PixelsPerInch=96\nNormPos=10,20,650,500\nShowCmd=3\nPanel1Laeden_Width=200\n");
    StoredProps props;
    const RestoreResult r = m_storage.RestoreSettings(designWindow(kLarge, 120), props);
    EXPECT_FALSE(r.placement);
    EXPECT_EQ(r.show, WindowShow::Maximized);
    EXPECT_EQ(props.panel1LaedenWidth, 200);
}

TEST_F(FormStorageTest, placementWordsDefaultWordByWord)
{
    const struct {
        const char *lines;
        std::optional<QRect> normal;
        QPoint min, max;
        int flags;
    } rows[] = {
        {"NormPos= 5, 6 ,,105  206", QRect(5, 6, 100, 200), {-1, -1}, {-1, -1}, 0},
        {"NormPos=10,20", QRect(10, 20, 999 + 223 - 10, 589 + 115 - 20), {-1, -1}, {-1, -1}, 0},
        {"NormPos=a,b,500,600", QRect(223, 115, 277, 485), {-1, -1}, {-1, -1}, 0},
        {"NormPos=1300,0,1222,704", std::nullopt, {-1, -1}, {-1, -1}, 0},
        {"NormPos=0,800,1222,704", std::nullopt, {-1, -1}, {-1, -1}, 0},
        {"MinMaxPos=3,x\nFlags=2", QRect(223, 115, 999, 589), {3, 0}, {0, 0}, 2},
        {"MinMaxPos=1,2,3,4,5\nFlags=zwei", QRect(223, 115, 999, 589), {1, 2}, {3, 4}, 0},
        {"PixelsPerInch=96\nFlags=2", std::nullopt, {-1, -1}, {-1, -1}, 0},
        {"NormPos=1,2,101,102\nPixelsPerInch=viele", QRect(1, 2, 100, 100), {-1, -1}, {-1, -1}, 0},
        {"NormPos=-2147483648,0,2147483647,10", std::nullopt, {-1, -1}, {-1, -1}, 0},
    };
    int i = 0;
    for (const auto &row : rows) {
        SettingsStore store(m_dir.path() + QStringLiteral("/place%1").arg(i++), QStringLiteral("m"));
        QDir().mkpath(store.folder());
        writeFile(store.filePath(), QByteArray("[TMainForm]\n") + row.lines + '\n');
        StoredProps props;
        const RestoreResult r = FormStorage(store).RestoreSettings(designWindow(), props);
        ASSERT_EQ(r.placement.has_value(), row.normal.has_value()) << row.lines;
        if (!r.placement)
            continue;
        EXPECT_EQ(r.placement->normalRect, *row.normal) << row.lines;
        EXPECT_EQ(r.placement->minPosition, row.min) << row.lines;
        EXPECT_EQ(r.placement->maxPosition, row.max) << row.lines;
        EXPECT_EQ(r.placement->flags, row.flags) << row.lines;
    }
}

TEST_F(FormStorageTest, fixedBorderKeepsTheWindowSize)
{
    handWrite("NormPos=10,20,50,60\n");
    WindowState w = designWindow();
    w.sizeable = false;
    StoredProps props;
    const RestoreResult r = m_storage.RestoreSettings(w, props);
    ASSERT_TRUE(r.placement);
    EXPECT_EQ(r.placement->normalRect, QRect(10, 20, 999, 589));
}

TEST_F(FormStorageTest, negativeFormVersionSkipsTheRestoreAndTheNextCloseWritesAll)
{
    handWrite("FormVersion=-1\nNormPos=10,20,650,500\nShowCmd=3\nleftREd_Value=30\n");
    StoredProps props;
    const RestoreResult r = m_storage.RestoreSettings(designWindow(), props);
    EXPECT_FALSE(r.placement);
    EXPECT_FALSE(r.show);
    EXPECT_EQ(props, StoredProps{});
    EXPECT_TRUE(m_storage.restoreCompleted());

    m_storage.SaveSettings(shownWindow(QRect(223, 115, 999, 589)), props, false);
    EXPECT_EQ(raw(), kFirstSave);
}

TEST_F(FormStorageTest, garbageAndTruncatedFilesGiveStartValues)
{
    QByteArray garbage("\x00\xff[TMainForm\n=\n==\n[\n]\nNormPos\nFormVersion=\x01\x02", 40);
    for (int i = 0; i < 2000; ++i)
        garbage += char(i * 31 % 256);
    handWrite(garbage);
    StoredProps props;
    RestoreResult r = m_storage.RestoreSettings(designWindow(), props);
    EXPECT_EQ(props, StoredProps{});
    EXPECT_TRUE(r.errorText.isEmpty());

    SettingsStore cut(m_dir.path() + QStringLiteral("/cut"), QStringLiteral("m"));
    QDir().mkpath(cut.folder());
    writeFile(cut.filePath(), kFirstSave.left(kFirstSave.indexOf("NormPos=223,1") + 13)); // "NormPos=223,1"
    r = FormStorage(cut).RestoreSettings(designWindow(kSmall), props);
    ASSERT_TRUE(r.placement);
    EXPECT_EQ(r.placement->normalRect, QRect(223, 1, 999, 589 + 114));
    EXPECT_EQ(props, StoredProps{});
}

TEST_F(FormStorageTest, unreadableFileGivesStartValuesAndIsNotOverwritten)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root reads files whatever their mode";
    handWrite("leftREd_Value=30\n");
    QFile::setPermissions(m_store.filePath(), QFileDevice::Permissions());
    StoredProps props;
    const RestoreResult r = m_storage.RestoreSettings(designWindow(), props);
    EXPECT_EQ(props, StoredProps{});
    EXPECT_TRUE(r.errorText.isEmpty());
    EXPECT_THROW(m_storage.SaveSettings(shownWindow(QRect(1, 2, 3, 4)), props, false), SettingsError);
    QFile::setPermissions(m_store.filePath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(raw(), "[TMainForm]\nleftREd_Value=30\n");
}

TEST_F(FormStorageTest, saveThatCannotWriteRaisesTheTextAndIsRetriedAtDestruction)
{
    StoredProps props;
    m_storage.RestoreSettings(designWindow(), props);
    // The file turns into a folder: no value can be written, also not by root.
    QFile::remove(m_store.filePath());
    ASSERT_TRUE(QDir().mkpath(m_store.filePath()));
    try {
        m_storage.SaveSettings(shownWindow(QRect(1, 2, 3, 4)), props, false);
        FAIL() << "no error";
    } catch (const SettingsError &e) {
        EXPECT_EQ(e.text(), QStringLiteral("Konnte Daten für 'FormVersion' nicht setzen"));
    }
    EXPECT_FALSE(m_storage.saved());

    // The folder comes back before the window is destroyed: the save is tried again.
    ASSERT_TRUE(QDir().rmdir(m_store.filePath()));
    m_storage.SaveSettings(shownWindow(QRect(223, 115, 999, 589)), props, true);
    EXPECT_TRUE(m_storage.saved());
    EXPECT_NE(raw().indexOf("Visible=1\n"), -1);
}

TEST_F(FormStorageTest, storeThatCannotBeCreatedEndsTheRestoreAndBlocksSaving)
{
    writeFile(m_dir.filePath(QStringLiteral("plain")), "x");
    SettingsStore blocked(m_dir.filePath(QStringLiteral("plain/config")), QStringLiteral("maengelliste"));
    FormStorage storage(blocked);
    StoredProps props;
    const RestoreResult r = storage.RestoreSettings(designWindow(), props);
    EXPECT_EQ(r.errorText, QStringLiteral("Erzeugung von Schlüssel %1 misslungen").arg(blocked.filePath()));
    EXPECT_FALSE(r.show);
    EXPECT_FALSE(storage.restoreCompleted());
    storage.SaveSettings(shownWindow(QRect(1, 2, 3, 4)), props, false); // nothing to do, nothing thrown
    EXPECT_FALSE(storage.saved());
}

TEST_F(FormStorageTest, unwritableFileInAnUnwritableFolderRaisesTheText)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into any folder";
    StoredProps props;
    m_storage.RestoreSettings(designWindow(), props);
    // A writable file would be written in place; this one may not be written either.
    QFile::setPermissions(m_store.filePath(), QFileDevice::ReadOwner);
    QFile::setPermissions(folder(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    EXPECT_THROW(m_storage.SaveSettings(shownWindow(QRect(1, 2, 3, 4)), props, false), SettingsError);
    QFile::setPermissions(folder(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QFile::setPermissions(m_store.filePath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(raw(), QByteArray());
}

TEST_F(FormStorageTest, fontSizesPastTheRangeReadBackAsTheStartValues)
{
    const struct {
        const char *lines;
        int pixelsPerInch;
    } rows[] = {
        {"FontDialog1_FontSize=-1610612736", 96}, // its height is 2^31: one past the range
        {"FontDialog1_FontSize=2147483647", 96},
        {"FontDialog1_FontSize=-2147483648", 96},
        {"FontDialog1_FontSize=-1073741824", 144},
        {"FontDialog1_FontHeight=-2147483648", 48},
        {"FontDialog1_FontHeight=-2147483648\nFontDialog1_FontSize=-1610612736", 96},
    };
    for (const auto &row : rows) {
        SettingsStore store(m_dir.path() + QStringLiteral("/%1-%2").arg(row.pixelsPerInch).arg(qHash(row.lines)),
                            QStringLiteral("m"));
        QDir().mkpath(store.folder());
        writeFile(store.filePath(), QByteArray("[TMainForm]\n") + row.lines + '\n');
        StoredProps props;
        FormStorage(store).RestoreSettings(designWindow(kLarge, row.pixelsPerInch), props);
        EXPECT_EQ(props.font.size, 11) << row.lines;
        EXPECT_EQ(props.font.height, -15) << row.lines;
    }
    // The last sizes within the range stay as they are.
    handWrite("FontDialog1_FontSize=-1610612735\n");
    StoredProps props;
    m_storage.RestoreSettings(designWindow(), props);
    EXPECT_EQ(props.font.height, 2147483647);
}

TEST_F(FormStorageTest, aPlacementOffTheScreenOrLargerThanItIsPulledOntoIt)
{
    const struct {
        const char *normPos;
        QRect expected;
    } rows[] = {
        {"3000,2500,3800,3100", QRect(480, 424, 800, 600)},  // wholly right of and below the screen
        {"-5000,-4000,-4000,-3500", QRect(0, 0, 1000, 500)}, // wholly left of and above it
        {"100,3000,700,3400", QRect(100, 624, 600, 400)},    // below it only
        {"0,0,100000,100000", QRect(0, 0, 1280, 1024)},      // larger than the screen
        {"-100,-50,1400,600", QRect(0, 0, 1280, 650)},       // wider than the screen
        {"5000,5000,7000,6000", QRect(0, 24, 1280, 1000)},   // larger and off the screen
        {"1000,900,1800,1400", QRect(1000, 900, 800, 500)},  // partly on the screen: as stored
        {"-300,-200,200,100", QRect(-300, -200, 500, 300)},  // partly on the screen: as stored
        {"223,115,1222,704", QRect(223, 115, 999, 589)},     // on the screen
    };
    for (const auto &row : rows) {
        SettingsStore store(m_dir.path() + QStringLiteral("/%1").arg(qHash(row.normPos)), QStringLiteral("m"));
        QDir().mkpath(store.folder());
        writeFile(store.filePath(), QByteArray("[TMainForm]\nNormPos(1280x1024)=") + row.normPos + '\n');
        StoredProps props;
        const RestoreResult r = FormStorage(store).RestoreSettings(designWindow(kLarge), props);
        ASSERT_TRUE(r.placement) << row.normPos;
        EXPECT_EQ(r.placement->normalRect, row.expected) << row.normPos;
    }
}

TEST_F(FormStorageTest, theStartPlaceIsMovedAndShrunkOntoASmallScreen)
{
    const struct {
        const char *file; // the settings file's lines, if any
        QSize screen;
        std::optional<QRect> expected; // none: the start place stays
    } rows[] = {
        {nullptr, QSize(800, 600), QRect(0, 11, 800, 589)},
        {nullptr, QSize(1024, 768), QRect(25, 115, 999, 589)},
        {nullptr, QSize(640, 480), QRect(0, 0, 640, 480)},
        {nullptr, kLarge, std::nullopt},
        {"PixelsPerInch=120\nNormPos=10,20,650,500\n", QSize(800, 600), QRect(0, 11, 800, 589)},
        {"NormPos=10,20,5,500\n", QSize(800, 600), QRect(0, 11, 800, 589)},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(testing::Message() << (row.file ? row.file : "no file") << row.screen.width());
        SettingsStore store(m_dir.path() + QStringLiteral("/%1").arg(qHash(QByteArray(row.file)) ^ row.screen.width()),
                            QStringLiteral("m"));
        if (row.file) {
            QDir().mkpath(store.folder());
            writeFile(store.filePath(), QByteArray("[TMainForm]\n") + row.file);
        }
        StoredProps props;
        const RestoreResult r = FormStorage(store).RestoreSettings(designWindow(row.screen), props);
        EXPECT_EQ(r.placement ? std::optional(r.placement->normalRect) : std::nullopt, row.expected);
    }
}
