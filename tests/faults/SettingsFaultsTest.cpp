// Settings files that are damaged, cut off, closed to the program or written by hand: the window
// opens without a message, with the start value wherever a stored value cannot be used, and a file
// it cannot read is not replaced.
#include "FaultSupport.h"
#include "WindowFixture.h"
#include "ui_MainUnit.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QScreen>
#include <QTemporaryDir>

#include <sys/stat.h>

using Answer = Prompts::Answer;

namespace {

// What the settings decide about a window.
struct Snapshot {
    QRect geometry;
    bool maximized = false;
    int margins[4] = {};
    PrintFont font;
    int panelWidths[2] = {};

    bool operator==(const Snapshot &o) const
    {
        return geometry == o.geometry && maximized == o.maximized && std::equal(margins, margins + 4, o.margins) &&
               font == o.font && panelWidths[0] == o.panelWidths[0] && panelWidths[1] == o.panelWidths[1];
    }
};

Snapshot snapshot(TMainForm &form)
{
    Snapshot s;
    s.geometry = form.isMaximized() ? form.normalGeometry() : form.geometry();
    s.maximized = form.isMaximized();
    Ui::TMainForm &ui = form.ui();
    s.margins[0] = ui.leftREd->value();
    s.margins[1] = ui.TopREd->value();
    s.margins[2] = ui.RightREd->value();
    s.margins[3] = ui.BottomREd->value();
    s.font = form.printFont();
    // What shows of the panels (a collapsed panel keeps its own width out of sight).
    s.panelWidths[0] = ui.PanelSplitter->sizes().at(0);
    s.panelWidths[1] = ui.PanelSplitter->sizes().at(1);
    return s;
}

void PrintTo(const Snapshot &s, std::ostream *os)
{
    *os << "geometry " << s.geometry.x() << ',' << s.geometry.y() << ' ' << s.geometry.width() << 'x'
        << s.geometry.height() << (s.maximized ? " maximized" : "") << ", margins " << s.margins[0] << ','
        << s.margins[1] << ',' << s.margins[2] << ',' << s.margins[3] << ", font " << s.font.name.toStdString() << ' '
        << s.font.size << "pt height " << s.font.height << ", panels " << s.panelWidths[0] << ',' << s.panelWidths[1];
}

QByteArray pack(const Snapshot &s, const QStringList &texts)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << s.geometry << s.maximized << s.margins[0] << s.margins[1] << s.margins[2] << s.margins[3] << s.font.name
        << s.font.size << s.font.height << s.panelWidths[0] << s.panelWidths[1] << texts;
    return bytes;
}

struct SettingsFaults : WindowFixture {
    void SetUp() override
    {
        writeDefault(starter());
        QDir().mkpath(dir.filePath(QStringLiteral("config")));
    }
    // A window over the settings file as it is, shown as at the start of the program.
    std::unique_ptr<TMainForm> shown()
    {
        auto f = std::make_unique<TMainForm>(prompts, dir.path(), makeStore());
        prompts.clear();
        f->show();
        return f;
    }
    // The values of a window that finds no settings at all.
    Snapshot startValues()
    {
        const QByteArray saved = QFile::exists(settingsFile()) ? testsupport::readFile(settingsFile()) : QByteArray();
        QFile::remove(settingsFile());
        const Snapshot s = snapshot(*shown());
        testsupport::writeFile(settingsFile(), saved);
        prompts.clear();
        return s;
    }
    static int pixelsPerInch() { return int(std::lround(QGuiApplication::primaryScreen()->logicalDotsPerInch())); }
};

struct UnusableFile {
    const char *name;
    QByteArray bytes;
    bool integersReadAsZero = false; // stored integers that are no numbers read as 0, not as start values
};

QByteArray noise(int size, quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray bytes(size, '\0');
    for (char &c : bytes)
        c = char(random.bounded(256));
    return bytes;
}

// A literal that holds NUL bytes, all of it.
template <std::size_t N> QByteArray withNul(const char (&text)[N])
{
    return QByteArray(text, N - 1);
}

std::vector<UnusableFile> unusableFiles()
{
    return {
        {"noise", noise(16384, 7)},
        {"noiseInTheSection", "[TMainForm]\n" + noise(16384, 8)},
        {"nulBytes", QByteArray(4096, '\0')},
        {"nulInValues", withNul("[TMainForm]\nNormPos=1\0\x30,2,3,4\nleftREd_Value=\0\nFontDialog1_FontName=\0\n")},
        {"valuesOfNoUse",
         "[TMainForm]\n"
         "FormVersion=zero\n"
         "Flags=--1\n"
         "ShowCmd=99999999999999999999\n"
         "PixelsPerInch=\n"
         "MinMaxPos=x,y\n"
         "NormPos=\xff\xfe,,,\n"
         "leftREd_Value=nan\n"
         "TopREd_Value=-inf\n"
         "RightREd_Value=15 mm\n"
         "BottomREd_Value=0x10\n"
         "FontDialog1_FontName=\n"
         "FontDialog1_FontHeight=99999999999\n"
         "FontDialog1_FontSize=\n"
         "FontDialog1_FontPitch=fpWide\n"
         "FontDialog1_FontStyle=[fsFat\n"
         "Panel1Laeden_Width=-145\n"
         "Panel1Produkte_Width=99999999999\n",
         true},
        {"rectangleOutOfRange", "[TMainForm]\nNormPos=2147483647,2147483647,-2147483648,-2147483648\n"
                                "MinMaxPos=-2147483649,0,0,0\n"},
    };
}

TEST_F(SettingsFaults, unusableValuesGiveTheStartValues)
{
    const Snapshot start = startValues();
    for (const UnusableFile &file : unusableFiles()) {
        SCOPED_TRACE(file.name);
        testsupport::writeFile(settingsFile(), file.bytes);
        auto form = shown();
        Snapshot expected = start;
        if (file.integersReadAsZero) {
            expected.font.height = 0;
            expected.panelWidths[0] = expected.panelWidths[1] = 0;
            // Placement words that are no numbers stand for the window's current place, which is then
            // stored: on the test screen (800 x 800) the design width of 999 is shrunk to the screen.
            const QRect g = start.geometry;
            testsupport::writeFile(settingsFile(), QStringLiteral("[TMainForm]\nNormPos=%1,%2,%3,%4\n")
                                                       .arg(g.left())
                                                       .arg(g.top())
                                                       .arg(g.left() + g.width())
                                                       .arg(g.top() + g.height())
                                                       .toUtf8());
            expected.geometry = snapshot(*shown()).geometry;
            testsupport::writeFile(settingsFile(), file.bytes);
        }
        EXPECT_EQ(snapshot(*form), expected);
        EXPECT_TRUE(prompts.messages.empty()) << prompts.texts().join(u'|').toStdString();
    }
}

TEST_F(SettingsFaults, aFileCutOffAnywhereOpensWithWhatWasComplete)
{
    const Snapshot start = startValues();
    // A file as the window writes it, with values that all differ from the start values.
    {
        auto first = shown();
        first->setGeometry(100, 120, 800, 500);
        first->ui().leftREd->setValue(20);
        first->ui().TopREd->setValue(21);
        first->ui().RightREd->setValue(22);
        first->ui().BottomREd->setValue(23);
        first->printFont().name = QStringLiteral("Liberation Serif");
        first->printFont().size = 14;
        StoredProps props = first->currentProps();
        props.panel1LaedenWidth = 180;
        first->applyProps(props);
        prompts.answers = {Answer::No};
        ASSERT_TRUE(first->close());
    }
    const QByteArray whole = testsupport::readFile(settingsFile());
    ASSERT_GT(whole.count('\n'), 20);
    for (qsizetype cut = 0; cut < whole.size(); cut += 7) {
        SCOPED_TRACE(whole.left(cut).toStdString());
        testsupport::writeFile(settingsFile(), whole.left(cut));
        auto form = shown();
        const Snapshot s = snapshot(*form);
        EXPECT_TRUE(prompts.messages.empty());
        for (int i = 0; i < 4; ++i) {
            EXPECT_GE(s.margins[i], 0);
            EXPECT_LE(s.margins[i], 50);
        }
        EXPECT_GT(s.font.size, 0);
        EXPECT_GT(s.geometry.width(), 0);
        EXPECT_GT(s.geometry.height(), 0);
        // Cut at a line end: every value before the cut is back, every value after it has its start value.
        if (cut > 0 && whole[cut - 1] == '\n') {
            const QByteArray kept = whole.left(cut);
            EXPECT_EQ(s.margins[0], kept.contains("leftREd_Value=") ? 20 : start.margins[0]);
            EXPECT_EQ(s.font.name, kept.contains("FontName=") ? QStringLiteral("Liberation Serif") : start.font.name);
            EXPECT_EQ(s.panelWidths[0], kept.contains("Laeden_Width=") ? 180 : start.panelWidths[0]);
        }
        form.reset();
    }
}

TEST_F(SettingsFaults, aHandWrittenFileIsReadAsWritten)
{
    // Notepad style: a byte order mark, CR LF, a comment, blanks around "=" and after the commas.
    const QByteArray text = "\xEF\xBB\xBF[TMainForm]\r\n"
                            "; von Hand geschrieben\r\n"
                            "NormPos = 100, 120, 900, 620\r\n"
                            "PixelsPerInch=" +
                            QByteArray::number(pixelsPerInch()) +
                            "\r\n"
                            "leftREd_Value = 20\r\n"
                            "FontDialog1_FontName=Liberation Serif\r\n"
                            "FontDialog1_FontStyle=[fsBold,fsItalic]\r\n"
                            "Panel1Laeden_Width=180\r\n";
    testsupport::writeFile(settingsFile(), text);
    auto form = shown();
    const Snapshot s = snapshot(*form);
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(s.geometry, QRect(100, 120, 800, 500));
    EXPECT_EQ(s.margins[0], 20);
    EXPECT_EQ(s.font.name, QStringLiteral("Liberation Serif"));
    EXPECT_TRUE(s.font.style.bold);
    EXPECT_TRUE(s.font.style.italic);
    EXPECT_EQ(s.panelWidths[0], 180);
}

TEST_F(SettingsFaults, anUnreadableFileGivesTheStartValuesAndIsNotReplaced)
{
    if (!faults::unprivilegedAvailable())
        GTEST_SKIP() << faults::kNoUnprivilegedChild;
    const Snapshot start = startValues();
    const QByteArray text = "[TMainForm]\nleftREd_Value=20\nFontDialog1_FontName=Liberation Serif\n";
    testsupport::writeFile(settingsFile(), text);
    chmod(QFile::encodeName(settingsFile()).constData(), 0);
    faults::openToAll(dir.path());
    // The folder is open to the child, so that only the file's own mode keeps it out.
    chmod(QFile::encodeName(dir.filePath(QStringLiteral("config"))).constData(), 0777);
    const std::optional<QByteArray> report = faults::unprivileged([&] {
        auto form = shown();
        const Snapshot s = snapshot(*form);
        prompts.answers = {Answer::No};
        form->close();
        form.reset();
        return pack(s, prompts.texts());
    });
    chmod(QFile::encodeName(settingsFile()).constData(), 0644);
    ASSERT_TRUE(report) << "the unprivileged child failed";
    QDataStream in(*report);
    Snapshot s;
    QStringList texts;
    in >> s.geometry >> s.maximized >> s.margins[0] >> s.margins[1] >> s.margins[2] >> s.margins[3] >> s.font.name >>
        s.font.size >> s.font.height >> s.panelWidths[0] >> s.panelWidths[1] >> texts;
    EXPECT_EQ(s.geometry, start.geometry);
    EXPECT_EQ(s.margins[0], start.margins[0]);
    EXPECT_EQ(s.font.name, start.font.name);
    EXPECT_EQ(testsupport::readFile(settingsFile()), text) << "the file the program could not read is kept";
    const QString notSaved = QStringLiteral("Konnte Daten für 'FormVersion' nicht setzen.");
    EXPECT_EQ(texts,
              (QStringList{QStringLiteral("Wollen Sie die nicht gesicherten Daten speichern?"), notSaved, notSaved}))
        << "the close and the destruction each tell that the settings were not saved";
}

} // namespace

namespace {

TEST(SettingsStoreRights, aWritableFileInAFolderThatTakesNoNewFileIsWrittenInPlace)
{
    if (!faults::unprivilegedAvailable() || geteuid() != 0)
        GTEST_SKIP() << "needs root to set up a folder the saving user may not write";
    QTemporaryDir dir;
    faults::openToAll(dir.path());
    SettingsStore store(dir.path(), QStringLiteral("prog"));
    testsupport::writeFile(store.filePath(), "[TMainForm]\nFlags=1\n");
    chmod(QFile::encodeName(store.filePath()).constData(), 0666);
    const std::optional<QByteArray> report = faults::unprivileged([&] {
        store.write(QStringLiteral("TMainForm"), QStringLiteral("FormVersion"), QStringLiteral("0"));
        store.flush();
        return QByteArray("ok");
    });
    ASSERT_TRUE(report) << "the flush failed";
    EXPECT_EQ(testsupport::readFile(store.filePath()), "[TMainForm]\nFlags=1\nFormVersion=0\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("prog.ini")});
}

} // namespace
