#include "settings/IniFile.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Changes = std::vector<IniFile::Change>;

IniFile::Change put(const char *section, const char *name, const QString &value)
{
    return {QString::fromUtf8(section), QString::fromUtf8(name), value};
}

IniFile::Change drop(const char *section, const char *name)
{
    return {QString::fromUtf8(section), QString::fromUtf8(name), std::nullopt};
}

QByteArray applied(const QByteArray &file, const Changes &changes)
{
    IniFile ini = IniFile::parse(file);
    ini.apply(changes);
    return ini.bytes();
}

// A file another program and a hand have been at: a byte order mark, CR LF, comments, a top-level
// key that looks like a path, a foreign section with "/" in a key and bytes that are not UTF-8,
// and the window's values in upper case and out of order.
const QByteArray kForeign = "\xEF\xBB\xBF; Einstellungen\r\n"
                            "TMainForm/leftREd_Value=33\r\n"
                            "\r\n"
                            "[Other]\r\n"
                            "a/b=3\r\n"
                            "Gr\xf6\xdf" "e=Gr\xfc\xdf" "e \r\n"
                            "\r\n"
                            "[TMAINFORM]\r\n"
                            "# von Hand\r\n"
                            "LEFTRED_VALUE=15\r\n"
                            "Eigener Wert=ja\r\n"
                            "formversion=0\r\n"
                            "FontDialog1_FontName=Arial N\xe4rrow\r\n";

} // namespace

TEST(IniFile, valuesAreFoundByTheirOwnSectionAndNameInAnyCase)
{
    const IniFile ini = IniFile::parse(kForeign);
    const struct {
        const char *section, *name;
        std::optional<QString> value;
    } rows[] = {
        {"", "TMainForm/leftREd_Value", QStringLiteral("33")},
        {"TMainForm", "leftREd_Value", QStringLiteral("15")}, // not the top-level line
        {"tmainform", "FormVersion", QStringLiteral("0")},
        {"TMainForm", "FontDialog1_FontName", QStringLiteral("Arial Närrow")},
        {"Other", "a/b", QStringLiteral("3")},
        {"Other/a", "b", std::nullopt},
        {"Other", "Gr\xc3\xb6\xc3\x9f" "e", QStringLiteral("Grüße ")},
        {"TMainForm", "; Einstellungen", std::nullopt},
        {"TMainForm", "# von Hand", std::nullopt},
    };
    for (const auto &row : rows)
        EXPECT_EQ(ini.value(QString::fromUtf8(row.section), QString::fromUtf8(row.name)), row.value) << row.name;

    const IniFile dup = IniFile::parse("[S]\nName=1\nNAME=2\n[s]\nname=\xc3\xa4\r\n[T]\nName=4\n");
    EXPECT_EQ(dup.value(u"S", u"Name"), QStringLiteral("ä")) << "the last line wins, in any case";
}

TEST(IniFile, onlyTheLinesOfChangedValuesChange)
{
    const struct {
        const char *what;
        QByteArray file;
        Changes changes;
        QByteArray expected;
    } rows[] = {
        {"nothing changed", kForeign, {}, kForeign},
        {"own values together where the first stood, in the order given and their own spelling",
         kForeign,
         {put("TMainForm", "FormVersion", QStringLiteral("0")), put("TMainForm", "leftREd_Value", QStringLiteral("20")),
          put("TMainForm", "FontDialog1_FontName", QStringLiteral("Arial Närrow")),
          put("TMainForm", "Panel11_Width", QStringLiteral("213"))},
         QByteArray(kForeign).replace("LEFTRED_VALUE=15\r\n",
                                      "FormVersion=0\r\nleftREd_Value=20\r\nFontDialog1_FontName=Arial N\xe4rrow\r\n"
                                      "Panel11_Width=213\r\n")
             .replace("formversion=0\r\nFontDialog1_FontName=Arial N\xe4rrow\r\n", "")},
        {"a changed text is UTF-8 on one line", kForeign,
         {put("TMainForm", "FontDialog1_FontName", QStringLiteral("Zwei\r\nZeilen ß"))},
         QByteArray(kForeign).replace("Arial N\xe4rrow", "Zwei  Zeilen \xc3\x9f")},
        {"a new value after the section's last", "[S]\na=1\n; Ende\n\n[T]\n",
         {put("S", "b", QStringLiteral("2"))}, "[S]\na=1\nb=2\n; Ende\n\n[T]\n"},
        {"a new value in a section without values", "[S]\n; leer\n", {put("s", "b", QStringLiteral("2"))},
         "[S]\nb=2\n; leer\n"},
        {"a new section at the end, set apart", "x=1", {put("S", "b", QStringLiteral("2"))}, "x=1\n\n[S]\nb=2\n"},
        {"a new section in an empty file", "", {put("S", "b", QStringLiteral("2"))}, "[S]\nb=2\n"},
        {"a section with nothing left goes with its blank line", "[A]\na=1\r\n\r\n[S]\r\nb=2\r\nc=3\r\n",
         {drop("S", "b"), drop("S", "C")}, "[A]\na=1\r\n"},
        {"a section keeps a foreign line", "[S]\nb=2\n; bleibt\n", {drop("S", "b")}, "[S]\n; bleibt\n"},
        {"removing what is not there changes nothing", "[S]\n", {drop("S", "b"), drop("T", "b")}, "[S]\n"},
        {"a value written twice counts once, with its last text", "[S]\n",
         {put("S", "a", QStringLiteral("1")), put("S", "b", QStringLiteral("2")), put("S", "A", QStringLiteral("3"))},
         "[S]\nA=3\nb=2\n"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(applied(row.file, row.changes), row.expected) << row.what;
}

TEST(IniFile, aRecentListAddedAndClearedLeavesTheFileAsItWas)
{
    const QByteArray file = "[TMainForm]\r\nFormVersion=0\r\n";
    IniFile ini = IniFile::parse(file);
    ini.apply({put("ZuletztGeoeffnet", "Datei1", QStringLiteral("/a.mal")),
               put("ZuletztGeoeffnet", "Datei2", QStringLiteral("/b.mal"))});
    EXPECT_EQ(ini.bytes(), file + "\r\n[ZuletztGeoeffnet]\r\nDatei1=/a.mal\r\nDatei2=/b.mal\r\n");
    ini.apply({drop("ZuletztGeoeffnet", "Datei1"), drop("ZuletztGeoeffnet", "Datei2")});
    EXPECT_EQ(ini.bytes(), file);
}
