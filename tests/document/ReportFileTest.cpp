// The details file: where it lives, its text form both ways, and what a damaged one gives.
#include "document/ReportFile.h"
#include "TestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using reportfile::Fault;
using testsupport::readFile;
using testsupport::writeFile;

namespace {

// The bytes of a literal, NUL bytes included.
template <std::size_t N> QByteArray bytesOf(const char (&literal)[N])
{
    return QByteArray(literal, qsizetype(N - 1));
}

// Details with every field set, line breaks, backslashes, umlauts and a text that looks like an escape.
ReportDetails fullDetails()
{
    ReportDetails d;
    d.Objekt = QStringLiteral("Wohnhaus Lindenweg 4 = Altbau");
    d.Anschrift = QStringLiteral("Lindenweg 4\n12345 Musterstädt\nHaus B");
    d.Auftraggeber = QStringLiteral("Müller & Söhne GmbH");
    d.Auftragnehmer = QStringLiteral("Bau C:\\Wege\\neu");
    d.BegehungAm = QStringLiteral("03.11.2026");
    d.Teilnehmer = QStringLiteral("Frau Groß\n\nHerr Weiß\\n (kein Umbruch)");
    d.Pruefer = QStringLiteral("Dipl.-Ing. Jürgen Öztürk");
    d.Schlusstext = QStringLiteral("Wir bitten, die aufgeführten Mängel bis zum ... zu beseitigen.\n");
    d.UnterschriftLinks = QStringLiteral("Bauherr");
    d.UnterschriftRechts = QString();
    return d;
}

TEST(ReportFile, pathReplacesTheLastExtensionOfTheFileName)
{
    const struct {
        const char *list;
        const char *details;
    } cases[] = {
        {"/a/Begehung.mal", "/a/Begehung.bericht"},
        {"/a/liste.txt", "/a/liste.bericht"},
        {"/a/liste", "/a/liste.bericht"},
        {"/a/liste.2026.mal", "/a/liste.2026.bericht"},
        {"/ordner.alt/liste", "/ordner.alt/liste.bericht"},
        {"/a/.liste", "/a/.liste.bericht"},
        {"/a/.liste.mal", "/a/.liste.bericht"},
        {"/a/liste.", "/a/liste.bericht"},
        {"liste.mal", "liste.bericht"},
        {"/a/x.bericht", "/a/x.bericht.bericht"},
        {"/a/x.BERICHT", "/a/x.BERICHT.bericht"},
        {"/a/mängel.mal", "/a/mängel.bericht"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(reportfile::pathFor(QString::fromUtf8(c.list)), QString::fromUtf8(c.details)) << c.list;
}

TEST(ReportFile, writesEveryFieldInItsOrderAndReadsItBack)
{
    ReportDetails d = fullDetails();
    d.otherLines = {QStringLiteral("Zukunft=später\\t"), QStringLiteral("ohne Gleichheitszeichen")};
    const QByteArray bytes = reportfile::encode(d);
    EXPECT_EQ(bytes, QStringLiteral("Maengelliste-Bericht 1\n"
                                    "Objekt=Wohnhaus Lindenweg 4 = Altbau\n"
                                    "Anschrift=Lindenweg 4\\n12345 Musterstädt\\nHaus B\n"
                                    "Auftraggeber=Müller & Söhne GmbH\n"
                                    "Auftragnehmer=Bau C:\\\\Wege\\\\neu\n"
                                    "BegehungAm=03.11.2026\n"
                                    "Teilnehmer=Frau Groß\\n\\nHerr Weiß\\\\n (kein Umbruch)\n"
                                    "Pruefer=Dipl.-Ing. Jürgen Öztürk\n"
                                    "Schlusstext=Wir bitten, die aufgeführten Mängel bis zum ... zu beseitigen.\\n\n"
                                    "UnterschriftLinks=Bauherr\n"
                                    "UnterschriftRechts=\n"
                                    "Zukunft=später\\t\n"
                                    "ohne Gleichheitszeichen\n")
                         .toUtf8());
    const reportfile::Parsed back = reportfile::parse(bytes);
    EXPECT_FALSE(back.fault);
    EXPECT_EQ(back.details, d);
}

TEST(ReportFile, readsWhatAPersonMayHaveEdited)
{
    const QByteArray bytes = "\xEF\xBB\xBFMaengelliste-Bericht 1 \r\n"
                             "objekt=Halle\r\n"
                             "  PRUEFER = A\\B\\x\\\r\n"
                             "\r\n"
                             "Neu=1\r\n"
                             "Objekt=Halle 2\r\n"
                             "Anschrift=Zeile 1\\nZeile 2\r\n";
    const reportfile::Parsed p = reportfile::parse(bytes);
    EXPECT_FALSE(p.fault);
    EXPECT_EQ(p.details.Objekt, QStringLiteral("Halle 2")) << "the last of a key counts";
    EXPECT_EQ(p.details.Pruefer, QStringLiteral(" A\\B\\x\\")) << "values are not trimmed; unknown escapes stay";
    EXPECT_EQ(p.details.Anschrift, QStringLiteral("Zeile 1\nZeile 2"));
    EXPECT_EQ(p.details.otherLines, QStringList{QStringLiteral("Neu=1")});
    EXPECT_EQ(p.details.UnterschriftLinks, QStringLiteral("Auftraggeber")) << "a missing key keeps its start value";
}

TEST(ReportFile, lineBreaksOfAnyKindBecomeOne)
{
    ReportDetails d;
    d.Teilnehmer = QStringLiteral("A\r\nB\rC\nD\r");
    EXPECT_EQ(reportfile::parse(reportfile::encode(d)).details.Teilnehmer, QStringLiteral("A\nB\nC\nD\n"));
    const reportfile::Parsed oldMac = reportfile::parse("Maengelliste-Bericht 1\rObjekt=A\r\rPruefer=B\r");
    EXPECT_FALSE(oldMac.fault);
    EXPECT_EQ(oldMac.details.Objekt, QStringLiteral("A"));
    EXPECT_EQ(oldMac.details.Pruefer, QStringLiteral("B"));
}

TEST(ReportFile, damagedContentGivesStartValuesAndItsReason)
{
    const struct {
        QByteArray bytes;
        Fault::Kind fault;
        const char *reason;
    } cases[] = {
        {"Maengelliste-Bericht 2\nObjekt=X\n", Fault::UnknownVersion, "Unbekannte Formatversion"},
        {"Maengelliste-Bericht 1.5\n", Fault::UnknownVersion, "Unbekannte Formatversion"},
        {"Objekt=X\n", Fault::UnknownFormat, "Unbekanntes Dateiformat"},
        {"maengelliste-bericht 1\n", Fault::UnknownFormat, "Unbekanntes Dateiformat"},
        {"Maengelliste-Bericht 1\nObjekt=M\xe4ngel\n", Fault::NotText, "Keine UTF-8-Textdatei"},
        {bytesOf("Maengelliste-Bericht 1\nObjekt=\0\x01\x02"), Fault::NotText, "Keine UTF-8-Textdatei"},
        {bytesOf("\x7f"
                 "ELF\x02\x01\x01\x00\x00\xff\xfe"),
         Fault::NotText, "Keine UTF-8-Textdatei"},
        {QByteArray("Maengelliste-Bericht 1\n") + QByteArray(reportfile::kMaxSize, 'x'), Fault::TooLarge,
         "Größer als 1 MB"},
    };
    for (const auto &c : cases) {
        const reportfile::Parsed p = reportfile::parse(c.bytes);
        EXPECT_EQ(p.fault.kind, c.fault) << c.bytes.left(40).toStdString();
        EXPECT_EQ(p.fault.reason(), QString::fromUtf8(c.reason));
        EXPECT_TRUE(p.details.isEmpty());
    }
    EXPECT_FALSE(reportfile::parse("").fault) << "an empty file holds empty details";
    EXPECT_FALSE(reportfile::parse(" \r\n\n").fault);
}

TEST(ReportFile, aFileOnDiskRoundTripsAndAMissingOneIsEmpty)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Begehung.bericht"));
    EXPECT_FALSE(reportfile::read(path).fault);
    EXPECT_TRUE(reportfile::read(path).details.isEmpty());
    EXPECT_FALSE(reportfile::write(path, fullDetails()));
    const reportfile::Parsed back = reportfile::read(path);
    EXPECT_FALSE(back.fault);
    EXPECT_EQ(back.details, fullDetails());

    EXPECT_FALSE(reportfile::remove(path));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_FALSE(reportfile::remove(path)) << "nothing to remove is no fault";
}

TEST(ReportFile, aFileThatCannotBeReadNamesTheReason)
{
    QTemporaryDir dir;
    EXPECT_EQ(reportfile::read(dir.path()).fault.reason(), QStringLiteral("Ist ein Verzeichnis"));
    const QString huge = dir.filePath(QStringLiteral("gross.bericht"));
    writeFile(huge, QByteArray("Maengelliste-Bericht 1\nObjekt=") + QByteArray(reportfile::kMaxSize, 'x'));
    EXPECT_EQ(reportfile::read(huge).fault.kind, Fault::TooLarge);
    EXPECT_EQ(reportfile::read(QStringLiteral("/dev/zero")).fault.kind, Fault::NotText) << "not a regular file";
}

TEST(ReportFile, detailsTooLargeToReadBackAreNotWritten)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.bericht"));
    writeFile(path, "alt");
    ReportDetails d;
    d.Schlusstext = QString(reportfile::kMaxSize, u'x');
    EXPECT_EQ(reportfile::write(path, d).kind, Fault::TooLarge);
    EXPECT_EQ(readFile(path), "alt");
}

TEST(ReportDetails, emptyMeansStartValuesAndNoOtherLines)
{
    EXPECT_TRUE(ReportDetails{}.isEmpty());
    ReportDetails d;
    d.UnterschriftLinks.clear();
    EXPECT_FALSE(d.isEmpty()) << "an emptied signature label is the user's choice";
    d = {};
    d.otherLines = {QStringLiteral("Neu=1")};
    EXPECT_FALSE(d.isEmpty());
}

TEST(ReportDetails, inspectionDateReadsDayAndMonthWithOrWithoutZero)
{
    ReportDetails d;
    for (const char *text : {"03.11.2026", "3.11.2026", " 03.11.2026 "}) {
        d.BegehungAm = QString::fromUtf8(text);
        EXPECT_EQ(d.inspectionDate(), QDate(2026, 11, 3)) << text;
    }
    for (const char *text : {"", "31.02.2026", "nächste Woche", "2026-11-03"}) {
        d.BegehungAm = QString::fromUtf8(text);
        EXPECT_TRUE(d.inspectionDate().isNull()) << text;
    }
    d.setInspectionDate(QDate(2026, 1, 5));
    EXPECT_EQ(d.BegehungAm, QStringLiteral("05.01.2026"));
    d.setInspectionDate(QDate());
    EXPECT_EQ(d.BegehungAm, QString());
}

TEST(ReportDetails, thePrueferOfTheSettingsIsShownButNotStored)
{
    const QString settings = QStringLiteral("Frau Prüferin");
    ReportDetails stored;
    ReportDetails shown = effectiveDetails(stored, settings);
    EXPECT_EQ(shown.Pruefer, settings);
    EXPECT_TRUE(detailsToStore(shown, stored, settings).isEmpty()) << "left as supplied: no details";

    shown.Objekt = QStringLiteral("Halle");
    EXPECT_EQ(detailsToStore(shown, stored, settings).Pruefer, QString());
    shown.Pruefer = QStringLiteral("Herr Anders");
    EXPECT_EQ(detailsToStore(shown, stored, settings).Pruefer, QStringLiteral("Herr Anders"));

    stored.Pruefer = settings; // stored in the file: it stays there, whatever the settings say
    EXPECT_EQ(effectiveDetails(stored, QStringLiteral("X")).Pruefer, settings);
    EXPECT_EQ(detailsToStore(effectiveDetails(stored, settings), stored, settings).Pruefer, settings);
}

} // namespace
