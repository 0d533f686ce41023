// A details file on a full disk, or one the user may not read or write: the list file is saved or
// opened all the same, the message names the details file and the reason, and nothing is lost.
#include "FaultSupport.h"
#include "DocumentFixture.h"
#include "document/ListDocument.h"
#include "document/ReportFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>

using testsupport::crlf;
using testsupport::readFile;
using testsupport::writeFile;

namespace {

ReportDetails details(const char *objekt)
{
    ReportDetails d;
    d.Objekt = QString::fromUtf8(objekt);
    d.Schlusstext = QStringLiteral("Wir bitten, die aufgeführten Mängel bis zum 1.12. zu beseitigen.");
    return d;
}

struct ReportFaults : DocumentFixture {
    QString list, report;

    void SetUp() override
    {
        DocumentFixture::SetUp();
        list = dir.filePath(QStringLiteral("Begehung.mal"));
        report = dir.filePath(QStringLiteral("Begehung.bericht"));
        writeFile(list, crlf({"0", "0", "1", "Riss", "Fassade"}));
        writeFile(report, reportfile::encode(details("Alt")));
    }
    // What the document did in a child without rights: whether the save worked, the messages.
    QByteArray outcome(bool saved = true) const
    {
        QByteArray out(saved ? "saved" : "failed");
        for (const Prompts::Message &m : prompts.messages)
            out += '\n' + m.text.toUtf8() + '\n' + m.informative.toUtf8();
        return out;
    }
};

TEST_F(ReportFaults, aFullDiskKeepsTheOldDetailsFileAndTheNewDetails)
{
    doc.OpenLists(list);
    doc.setReportDetails(details("Neu"));
    bool saved = true;
    {
        const faults::FullDisk full(60); // the list file fits, the details file does not
        saved = doc.SaveLists(list);
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(readFile(list), crlf({"0", "0", "1", "Riss", "Fassade"})) << "the list file is saved";
    EXPECT_EQ(readFile(report), reportfile::encode(details("Alt"))) << "the old details file is whole";
    EXPECT_EQ(doc.reportDetails(), details("Neu"));
    EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral("Die Berichtsangaben konnten nicht gespeichert werden.")});
    EXPECT_EQ(prompts.details(), QStringList{QStringLiteral("Begehung.bericht: Datei zu groß")});
}

TEST_F(ReportFaults, aDetailsFileWithoutRightsIsNamedWithTheReason)
{
    if (!faults::unprivilegedAvailable())
        GTEST_SKIP() << faults::kNoUnprivilegedChild;
    faults::openToAll(dir.path());
    ASSERT_EQ(chmod(QFile::encodeName(list).constData(), 0666), 0);

    // Unreadable: the list opens, the details stay empty and the file as it is.
    ASSERT_EQ(chmod(QFile::encodeName(report).constData(), 0), 0);
    std::optional<QByteArray> got = faults::unprivileged([&] {
        doc.OpenLists(list);
        return outcome(doc.DefectList.count() == 1 && doc.reportDetails().isEmpty() && doc.SaveLists(list));
    });
    ASSERT_TRUE(got) << "the unprivileged child failed";
    EXPECT_EQ(*got, "saved\nDie Berichtsangaben konnten nicht gelesen werden.\nBegehung.bericht: Keine Berechtigung");
    ASSERT_EQ(chmod(QFile::encodeName(report).constData(), 0444), 0);
    EXPECT_EQ(readFile(report), reportfile::encode(details("Alt")));

    // Readable, not writable: the list file is saved, the details are not.
    got = faults::unprivileged([&] {
        doc.OpenLists(list);
        ReportDetails changed = doc.reportDetails();
        changed.Objekt = QStringLiteral("Neu");
        doc.setReportDetails(changed);
        const bool saved = doc.SaveLists(list);
        return outcome(saved) + (doc.reportDetails() == changed ? "\nkept" : "\nlost");
    });
    ASSERT_TRUE(got) << "the unprivileged child failed";
    EXPECT_EQ(*got,
              "failed\nDie Berichtsangaben konnten nicht gespeichert werden.\nBegehung.bericht: Keine Berechtigung\n"
              "kept");
    EXPECT_EQ(readFile(report), reportfile::encode(details("Alt")));
}

} // namespace
