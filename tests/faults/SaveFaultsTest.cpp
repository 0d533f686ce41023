// Saving a list file and exporting CSV where the file cannot be written: each failure shows its
// message, reports no success, and leaves the previous file exactly as it was.
#include "FaultSupport.h"
#include "WindowFixture.h"
#include "exchange/CsvExchange.h"

#include <QDataStream>
#include <QDir>
#include <QFile>

#include <sys/stat.h>

namespace {

enum class Fault { FullDisk, ProtectedFile, MissingFolder };
enum class Operation { SaveLists, WindowSave, ExportCsv };

const char *name(Fault f)
{
    switch (f) {
    case Fault::FullDisk:
        return "FullDisk";
    case Fault::ProtectedFile:
        return "ProtectedFile";
    case Fault::MissingFolder:
        return "MissingFolder";
    }
    return "";
}

const char *name(Operation o)
{
    switch (o) {
    case Operation::SaveLists:
        return "SaveLists";
    case Operation::WindowSave:
        return "WindowSave";
    case Operation::ExportCsv:
        return "ExportCsv";
    }
    return "";
}

// What an attempt left behind, in a form that also travels back from a child process.
struct Outcome {
    bool ok = true;
    QStringList captions;
    QStringList texts;
    QStringList details;
    QString title;
};

QByteArray pack(const Outcome &o)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << o.ok << o.captions << o.texts << o.details << o.title;
    return bytes;
}

Outcome unpack(const QByteArray &bytes)
{
    Outcome o;
    QDataStream in(bytes);
    in >> o.ok >> o.captions >> o.texts >> o.details >> o.title;
    return o;
}

// A document whose list file is far larger than the lowered file size limit.
QByteArray largeListFile()
{
    QByteArray bytes = "1\r\nDach\r\n0\r\n2000\r\n";
    for (int i = 0; i < 2000; ++i)
        bytes += "Riss Nummer " + QByteArray::number(i) + "\r\nDach\r\n";
    return bytes;
}

struct SaveFaults : WindowFixture, ::testing::WithParamInterface<std::tuple<Fault, Operation>> {
    QString folder;
    QString target;
    const QByteArray previous = "vorher\r\n";

    void SetUp() override
    {
        writeDefault(largeListFile());
        create();
        prompts.clear();
        const auto [fault, operation] = GetParam();
        const QString file =
            operation == Operation::ExportCsv ? QStringLiteral("liste.csv") : QStringLiteral("liste.mal");
        folder = path(fault == Fault::MissingFolder ? QStringLiteral("fehlt") : QStringLiteral("ziel"));
        target = folder + u'/' + file;
        if (fault != Fault::MissingFolder) {
            ASSERT_TRUE(QDir().mkpath(folder));
            testsupport::writeFile(target, previous);
        }
        if (fault == Fault::ProtectedFile) {
            // Only the file's own mode stands in the way: the folder may be written by anyone.
            faults::openToAll(dir.path());
            chmod(QFile::encodeName(target).constData(), 0444);
            chmod(QFile::encodeName(folder).constData(), 0777);
        }
    }
    void TearDown() override { chmod(QFile::encodeName(folder).constData(), 0755); }

    Outcome attempt(Operation operation)
    {
        Outcome o;
        switch (operation) {
        case Operation::SaveLists:
            o.ok = doc().SaveLists(target);
            break;
        case Operation::WindowSave:
            prompts.files = {target};
            prompts.answers = {Prompts::Answer::Yes}; // to the question whether to replace the file
            form->Speichernunter1Click();
            if (!prompts.messages.empty() && prompts.messages.front().caption == QStringLiteral("Speichern unter"))
                prompts.messages.erase(prompts.messages.begin()); // only the failure counts here
            o.ok = false;
            break;
        case Operation::ExportCsv:
            o.ok = exportCsv(doc().DefectList, target, prompts);
            break;
        }
        o.captions = prompts.captions();
        o.texts = prompts.texts();
        for (const Prompts::Message &m : prompts.messages)
            o.details << m.informative;
        o.title = form->windowTitle();
        return o;
    }
};

TEST_P(SaveFaults, showsTheMessageAndKeepsThePreviousFile)
{
    const auto [fault, operation] = GetParam();
    const QString titleBefore = form->windowTitle();
    Outcome o;
    if (fault == Fault::FullDisk) {
        faults::FullDisk disk(4096);
        o = attempt(operation);
    } else if (fault == Fault::ProtectedFile) {
        if (!faults::unprivilegedAvailable())
            GTEST_SKIP() << faults::kNoUnprivilegedChild;
        // Root writes any file: the attempt runs in a child without its rights.
        const std::optional<QByteArray> report = faults::unprivileged([&] { return pack(attempt(operation)); });
        ASSERT_TRUE(report) << "the unprivileged child failed";
        o = unpack(*report);
    } else {
        o = attempt(operation);
    }

    const QString caption = operation == Operation::ExportCsv ? QString() : QStringLiteral("Fehler beim Speichern");
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(o.captions, QStringList{caption});
    EXPECT_EQ(o.texts, QStringList{QStringLiteral("Konnte die Datei nicht erstellen.")});
    // The file's name and the reason: the lowered size limit fails the write as a full disk does.
    const QString reason = fault == Fault::FullDisk        ? QStringLiteral("Datei zu groß")
                           : fault == Fault::ProtectedFile ? QStringLiteral("Keine Berechtigung")
                                                           : QStringLiteral("Datei oder Verzeichnis nicht gefunden");
    EXPECT_EQ(o.details, QStringList{QFileInfo(target).fileName() + QStringLiteral(": ") + reason});
    EXPECT_EQ(o.title, titleBefore) << "the document keeps its name";
    if (fault == Fault::MissingFolder) {
        EXPECT_FALSE(QFileInfo::exists(folder)) << "no folder is made";
    } else {
        EXPECT_EQ(testsupport::readFile(target), previous);
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{QFileInfo(target).fileName()})
            << "no temporary file is left";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, SaveFaults,
    ::testing::Combine(::testing::Values(Fault::FullDisk, Fault::ProtectedFile, Fault::MissingFolder),
                       ::testing::Values(Operation::SaveLists, Operation::WindowSave, Operation::ExportCsv)),
    [](const auto &info) { return std::string(name(std::get<0>(info.param))) + "_" + name(std::get<1>(info.param)); });

} // namespace
