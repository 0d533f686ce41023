// Loads that cannot read their file, or break off, at the document level: special files in place
// of a list file, memory running out, a file that changes while it is read, and the save that must
// not cut a partly read file down.
#include "DocumentFixture.h"
#include "TestSupport.h"
#include "document/ListDocument.h"
#include "document/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <cstring>
#include <deque>
#include <gtest/gtest.h>
#include <new>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using testsupport::crlf;
using testsupport::readFile;
using testsupport::writeFile;
using Answer = Prompts::Answer;

namespace {

const QString kBase = QStringLiteral("Quenbrik Mängelliste 1.0");
const QString kOpenCaption = QStringLiteral("Fehler beim Öffnen");
const QString kOpenFailed = QStringLiteral("Konnte die Datei nicht öffnen.");
const QString kBadFormat = QStringLiteral("Fehler beim Öffnen der Datei (Ungültiges Format?).");
const QString kReload = QStringLiteral("Neu laden");
const QString kOutOfMemory = QStringLiteral("Nicht genügend Arbeitsspeicher, um den Befehl auszuführen.");
const QByteArray kExample = crlf({"2", "Dach", "Fassade", "1", "Riss", "Fassade", "1", "Loch", "Dach"});

using testsupport::captions;
using testsupport::fields;
using testsupport::MessageFields;
using testsupport::setFileTime;

QByteArray encoded(const QString &path)
{
    return QFile::encodeName(path);
}

struct DocumentFaults : DocumentFixture {
    int socketFd = -1;

    void TearDown() override
    {
        if (socketFd >= 0)
            close(socketFd);
    }
    QString defaultFile() const { return doc.defaultListFile(); }
    // The document as loaded from the default file, with nothing shown yet.
    void loadDefault()
    {
        writeFile(defaultFile(), kExample);
        doc.OpenLists(defaultFile());
        ASSERT_TRUE(prompts.messages.empty());
        ASSERT_EQ(doc.AssemblyList.count(), 2);
    }
    // The document is the example, still named after the default file, which it may no longer match.
    void expectUnchanged()
    {
        EXPECT_EQ(doc.AssemblyList.count(), 2);
        EXPECT_EQ(doc.DefectCatalog.count(), 1);
        ASSERT_EQ(doc.DefectList.count(), 1);
        EXPECT_EQ(doc.DefectList.caption(0), "Loch");
        EXPECT_EQ(doc.CurrentFileName(), defaultFile());
        EXPECT_EQ(doc.title(), kBase + QStringLiteral(" - mängel.mal"));
        EXPECT_TRUE(doc.incompleteLoad()) << "the file may hold what the lists do not";
    }
    // A reload of the default file that fails: one question, one message, and no question again
    // at the next tick while the file stays as it is.
    void expectFailedReload(const QString &caption, const QString &text)
    {
        QSignalSpy replaced(&doc, &ListDocument::documentReplaced);
        doc.checkDefaultFile(); // the question's default answer is Yes
        EXPECT_EQ(prompts.captions(), (QStringList{kReload, caption}));
        ASSERT_EQ(prompts.messages.size(), 2u);
        EXPECT_EQ(fields(prompts.messages[1]), (MessageFields{caption, text}));
        EXPECT_EQ(replaced.count(), 0);
        expectUnchanged();
        doc.checkDefaultFile();
        EXPECT_EQ(prompts.messages.size(), 2u) << "the failed reload is not offered again";
    }
};

// ---- Special files in the place of the default list file ----

enum class Special { Fifo, DevZeroLink, Folder, Socket, LinkLoop };

const char *specialName(Special s)
{
    static const char *const names[] = {"Fifo", "DevZeroLink", "Folder", "Socket", "LinkLoop"};
    return names[int(s)];
}

struct SpecialFiles : DocumentFaults, ::testing::WithParamInterface<Special> {
    // Replaces the default file by the special file; false when this system cannot make it.
    bool makeSpecial()
    {
        const QByteArray file = encoded(defaultFile());
        unlink(file.constData());
        switch (GetParam()) {
        case Special::Fifo:
            return mkfifo(file.constData(), 0644) == 0;
        case Special::DevZeroLink:
            return symlink("/dev/zero", file.constData()) == 0;
        case Special::Folder:
            return mkdir(file.constData(), 0755) == 0;
        case Special::LinkLoop:
            return symlink(file.constData(), file.constData()) == 0;
        case Special::Socket: {
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            if (file.size() >= qsizetype(sizeof address.sun_path))
                return false;
            std::memcpy(address.sun_path, file.constData(), size_t(file.size()));
            socketFd = socket(AF_UNIX, SOCK_STREAM, 0);
            return socketFd >= 0 && bind(socketFd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
        }
        }
        return false;
    }
};

TEST_P(SpecialFiles, areNotReadAndLeaveTheDocumentAsItWas)
{
    loadDefault();
    setFileTime(defaultFile(), 1'000'000'000); // a change the watch notices, also for a link to it
    if (!makeSpecial())
        GTEST_SKIP() << "this system cannot make the special file";
    if (GetParam() == Special::DevZeroLink || GetParam() == Special::Socket || GetParam() == Special::Fifo) {
        // Whatever the watch sees of these, an explicit open must refuse them too.
        doc.OpenLists(defaultFile());
        EXPECT_EQ(prompts.texts(), QStringList{kOpenFailed});
        expectUnchanged();
        prompts.clear();
        doc.DefaultFileAge = FileStamp(); // as if the file had been there before
        doc.DefaultFileAge.exists = true;
    }
    expectFailedReload(kOpenCaption, kOpenFailed);
}

INSTANTIATE_TEST_SUITE_P(Faults, SpecialFiles,
                         ::testing::Values(Special::Fifo, Special::DevZeroLink, Special::Folder, Special::Socket,
                                           Special::LinkLoop),
                         [](const auto &info) { return std::string(specialName(info.param)); });

// ---- Loads that break off ----

enum class Break { OutOfMemoryInTheParser, OutOfMemoryAfterPartOfTheLists };
const char *const kBreakNames[] = {"InTheParser", "AfterPartOfTheLists"};

struct LoadFailures : DocumentFaults, ::testing::WithParamInterface<Break> {};

TEST_P(LoadFailures, outOfMemoryLeavesEverythingAsItWasAndTellsSo)
{
    loadDefault();
    writeFile(defaultFile(), crlf({"1", "Neu", "0", "0"}));
    setFileTime(defaultFile(), 1'000'000'000);
    const Break kind = GetParam();
    doc.setParser([kind](std::string_view bytes) -> listfile::Content {
        if (kind == Break::OutOfMemoryAfterPartOfTheLists)
            listfile::parse(bytes); // lists made and thrown away
        throw std::bad_alloc();
    });
    expectFailedReload(QStringLiteral("Tessarol 1.2"), kOutOfMemory);

    // The close question's default answer then asks for a name, proposing the file's and guarded
    // by the overwrite question, instead of writing the kept lists over the newer file.
    doc.setParser(&listfile::parse);
    prompts.clear();
    EXPECT_FALSE(doc.SaveFirstPrompt(QStringLiteral("Datei: Beenden..."))) << "the dialog was cancelled";
    ASSERT_EQ(prompts.dialogs.size(), 1u);
    EXPECT_EQ(prompts.dialogs[0].startPath, defaultFile());
    EXPECT_TRUE(prompts.dialogs[0].confirmOverwrite);
    EXPECT_EQ(readFile(defaultFile()), crlf({"1", "Neu", "0", "0"}));
}

INSTANTIATE_TEST_SUITE_P(Faults, LoadFailures,
                         ::testing::Values(Break::OutOfMemoryInTheParser, Break::OutOfMemoryAfterPartOfTheLists),
                         [](const auto &info) { return std::string(kBreakNames[int(info.param)]); });

TEST_F(DocumentFaults, aChangeThatLandsWhileTheFileIsReadIsOfferedAtTheNextTick)
{
    loadDefault();
    doc.setParser([this](std::string_view bytes) {
        // Another program writes the file while it is being read.
        writeFile(defaultFile(), crlf({"1", "Später", "0", "0"}));
        setFileTime(defaultFile(), 1'200'000'000);
        return listfile::parse(bytes);
    });
    setFileTime(defaultFile(), 1'000'000'000);
    doc.checkDefaultFile();
    EXPECT_EQ(prompts.captions(), QStringList{kReload});
    doc.setParser(&listfile::parse);
    doc.checkDefaultFile();
    EXPECT_EQ(prompts.captions(), (QStringList{kReload, kReload})) << "the later write is offered";
    EXPECT_EQ(captions(doc.AssemblyList), std::vector<std::string>{"Später"});
}

// ---- A partly read file is not cut down by a plain save ----

struct IncompleteLoad : DocumentFaults {
    const QByteArray damaged = crlf({"1", "Dach", "x", "Riss", "Dach", "1", "Loch", "Dach"});
    QString file;

    void SetUp() override
    {
        DocumentFaults::SetUp();
        file = path(QStringLiteral("kaputt.mal"));
        writeFile(file, damaged);
        doc.OpenLists(file);
        ASSERT_EQ(prompts.texts(), QStringList{kBadFormat});
        prompts.clear();
    }
    // The save dialog was shown once, proposing the damaged file and guarding it.
    void expectDialogProposingTheFile()
    {
        ASSERT_EQ(prompts.dialogs.size(), 1u);
        EXPECT_EQ(prompts.dialogs[0].startPath, file);
        EXPECT_TRUE(prompts.dialogs[0].confirmOverwrite);
        EXPECT_EQ(readFile(file), damaged);
    }
};

// Save proposes the damaged file's own name, also where it is not UTF-8, and taking it asks first.
TEST_F(IncompleteLoad, aNameThatIsNotUtf8IsProposedAsItIsAndTakingItAsks)
{
    testsupport::NativeNames names(dir.path());
    const QString latin1 = names.path("\xe4nderung.mal");
    ASSERT_TRUE(safefile::writeAll(latin1, damaged));
    doc.OpenLists(latin1);
    ASSERT_EQ(prompts.texts(), QStringList{kBadFormat});
    prompts.clear();
    prompts.files = {latin1};
    prompts.answers = {Answer::No};
    EXPECT_FALSE(doc.Save());
    ASSERT_EQ(prompts.dialogs.size(), 2u) << "No returns to the dialog";
    EXPECT_EQ(prompts.dialogs[0].startPath, latin1);
    EXPECT_EQ(prompts.captions(), QStringList{QStringLiteral("Speichern unter")});
    EXPECT_EQ(*safefile::readAll(latin1), damaged);
}

TEST_F(IncompleteLoad, keepsWhatWasReadAndTheNameButSaveAsksForTheName)
{
    EXPECT_TRUE(doc.incompleteLoad());
    EXPECT_EQ(doc.AssemblyList.count(), 1);
    EXPECT_EQ(doc.CurrentFileName(), file);
    EXPECT_EQ(doc.title(), kBase + QStringLiteral(" - kaputt.mal"));

    EXPECT_FALSE(doc.Save()) << "the dialog was cancelled";
    expectDialogProposingTheFile();
    prompts.clear();
    EXPECT_FALSE(doc.SaveFirstPrompt(QStringLiteral("Datei: Beenden..."))) << "cancelling the dialog stops the command";
    expectDialogProposingTheFile();

    // Saved under a name the user chose (the file itself, after the question whether to replace it):
    // from then on a plain save writes without asking.
    prompts.clear();
    prompts.files = {file};
    prompts.answers = {Answer::Yes};
    EXPECT_TRUE(doc.Save());
    EXPECT_EQ(prompts.captions(), QStringList{QStringLiteral("Speichern unter")});
    EXPECT_FALSE(doc.incompleteLoad());
    EXPECT_EQ(readFile(file), crlf({"1", "Dach", "0", "0"}));
    prompts.clear();
    EXPECT_TRUE(doc.Save());
    EXPECT_TRUE(prompts.dialogs.empty());
}

TEST_F(IncompleteLoad, aCompleteLoadOrNewClearsTheMark)
{
    writeFile(path(QStringLiteral("gut.mal")), kExample);
    doc.OpenLists(path(QStringLiteral("gut.mal")));
    EXPECT_FALSE(doc.incompleteLoad());
    doc.OpenLists(file);
    EXPECT_TRUE(doc.incompleteLoad());
    doc.OpenLists(path(QStringLiteral("fehlt.mal")));
    EXPECT_TRUE(doc.incompleteLoad()) << "a failed open changes nothing";
    doc.OpenLists(path(QStringLiteral("gut.mal")));
    QFile::remove(path(QStringLiteral("gut.mal")));
    doc.OpenLists(path(QStringLiteral("gut.mal")));
    EXPECT_TRUE(doc.incompleteLoad()) << "the document's own file could not be read again";
    QSignalSpy replaced(&doc, &ListDocument::documentReplaced);
    doc.newDocument();
    EXPECT_FALSE(doc.incompleteLoad());
    EXPECT_EQ(replaced.count(), 1);
}

// ---- The reload of the default file over each kind of open document ----

enum class OpenDoc { DefaultFile, OtherFile, Unnamed };
const QString kSaveCaption = QStringLiteral("Datei: Neu laden...");

struct ReloadRow {
    const char *name;
    OpenDoc open;
    std::deque<Answer> answers; // to the reload question, then to the save question
    std::optional<QString> saveAsName; // chosen in the save dialog, relative to the folder
    bool failLoad = false;             // memory runs out while the default file is read
    QStringList captions;              // of the messages shown
    bool reloaded = false;
    bool saved = false; // the document's lists were written (to its file or the chosen name)
};

const QString kOom = QStringLiteral("Tessarol 1.2");
const ReloadRow kReloadRows[] = {
    {"defaultFileYes", OpenDoc::DefaultFile, {Answer::Yes}, {}, false, {kReload}, true, false},
    {"defaultFileNo", OpenDoc::DefaultFile, {Answer::No}, {}, false, {kReload}, false, false},
    {"defaultFileYesLoadFails", OpenDoc::DefaultFile, {Answer::Yes}, {}, true, {kReload, kOom}, false, false},
    {"otherFileYesYes", OpenDoc::OtherFile, {Answer::Yes, Answer::Yes}, {}, false, {kReload, kSaveCaption}, true, true},
    {"otherFileYesNo", OpenDoc::OtherFile, {Answer::Yes, Answer::No}, {}, false, {kReload, kSaveCaption}, true, false},
    {"otherFileYesCancel", OpenDoc::OtherFile, {Answer::Yes, Answer::Cancel}, {}, false, {kReload, kSaveCaption}, false, false},
    {"otherFileYesClosed", OpenDoc::OtherFile, {Answer::Yes, Answer::Closed}, {}, false, {kReload, kSaveCaption}, false, false},
    {"otherFileCancel", OpenDoc::OtherFile, {Answer::Cancel}, {}, false, {kReload}, false, false},
    {"otherFileYesNoLoadFails", OpenDoc::OtherFile, {Answer::Yes, Answer::No}, {}, true, {kReload, kSaveCaption, kOom}, false, false},
    {"unnamedYesYesSaveAs", OpenDoc::Unnamed, {Answer::Yes, Answer::Yes}, QStringLiteral("neu.mal"), false, {kReload, kSaveCaption}, true, true},
    {"unnamedYesYesDialogCancelled", OpenDoc::Unnamed, {Answer::Yes, Answer::Yes}, {}, false, {kReload, kSaveCaption}, false, false},
    {"unnamedYesNo", OpenDoc::Unnamed, {Answer::Yes, Answer::No}, {}, false, {kReload, kSaveCaption}, true, false},
};

struct Reloads : DocumentFaults, ::testing::WithParamInterface<ReloadRow> {};

TEST_P(Reloads, askToSaveADocumentOfAnotherFileFirst)
{
    const ReloadRow &row = GetParam();
    const QString other = path(QStringLiteral("Begehung.mal"));
    writeFile(defaultFile(), kExample);
    writeFile(other, kExample);
    doc.OpenLists(row.open == OpenDoc::OtherFile ? other : defaultFile());
    if (row.open == OpenDoc::Unnamed) {
        doc.newDocument();
        doc.AssemblyList.append(ListEntry{"Dach", {}});
    }
    doc.AssemblyList.append(ListEntry{"Gerüst", {}}); // the unsaved work
    const QByteArray work = listfile::encode(doc.AssemblyList.entries(), doc.DefectCatalog.entries(),
                                             doc.DefectList.entries());
    const QString name = doc.CurrentFileName();
    prompts.clear();
    const QByteArray rewritten = crlf({"1", "Neu", "0", "0"});
    writeFile(defaultFile(), rewritten); // by another program
    setFileTime(defaultFile(), 1'000'000'000);
    if (row.failLoad)
        doc.setParser([](std::string_view) -> listfile::Content { throw std::bad_alloc(); });
    prompts.answers = row.answers;
    if (row.saveAsName)
        prompts.files = {path(*row.saveAsName)};

    doc.checkDefaultFile();
    EXPECT_EQ(prompts.captions(), row.captions);
    const std::vector<std::string> assemblies = captions(doc.AssemblyList);
    EXPECT_EQ(assemblies.back(), row.reloaded ? "Neu" : "Gerüst") << "reloaded, or the work kept";
    EXPECT_EQ(doc.CurrentFileName(), row.reloaded ? defaultFile() : name);
    const QString savedTo = row.saveAsName ? path(*row.saveAsName) : other;
    if (row.saved || row.open == OpenDoc::OtherFile) {
        EXPECT_EQ(readFile(savedTo), row.saved ? work : kExample);
    }
    EXPECT_EQ(readFile(defaultFile()), rewritten) << "the newer default file is never written over";
    EXPECT_EQ(doc.incompleteLoad(), row.failLoad && row.open == OpenDoc::DefaultFile);

    prompts.clear();
    doc.checkDefaultFile();
    EXPECT_TRUE(prompts.messages.empty()) << "not asked again until the file changes again";
}

INSTANTIATE_TEST_SUITE_P(Faults, Reloads, ::testing::ValuesIn(kReloadRows),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
