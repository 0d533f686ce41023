#include "document/LocaleNumber.h"
#include "document/StatusLine.h"

#include <gtest/gtest.h>

using statusline::CountPhrase;

namespace {
const QChar kComma(u','), kPoint(u'.');
}

TEST(LocaleNumber, readsTheRegionalNotation)
{
    using localenumber::parse;
    EXPECT_EQ(parse(u"2,5", kComma), 2.5);
    EXPECT_EQ(parse(u" -3 ", kComma), -3.0);
    EXPECT_EQ(parse(u"+1,5E2", kComma), 150.0);
    EXPECT_EQ(parse(u"1,", kComma), 1.0);
    EXPECT_EQ(parse(u"2.5", kPoint), 2.5);
    for (const char16_t *bad : {u"", u" ", u"2.5", u"1,2,3", u"1e", u"abc", u"3 Stück", u"--1", u","})
        EXPECT_FALSE(parse(bad, kComma)) << QString::fromUtf16(bad).toStdString();
}

TEST(LocaleNumber, formatsTwoDecimals)
{
    EXPECT_EQ(localenumber::formatFixed2(0, kComma), QStringLiteral("0,00"));
    EXPECT_EQ(localenumber::formatFixed2(-0.0, kComma), QStringLiteral("0,00"));
    EXPECT_EQ(localenumber::formatFixed2(25, kComma), QStringLiteral("25,00"));
    EXPECT_EQ(localenumber::formatFixed2(-12.5, kPoint), QStringLiteral("-12.50"));
    EXPECT_EQ(localenumber::formatFixed2(1e16, kComma), QStringLiteral("1E16"));
}

TEST(StatusLine, totalFallsBackToZeroEuroWithoutPrices)
{
    EXPECT_EQ(statusline::totalPrice({}, kComma), QStringLiteral("0,00"));
    const std::vector<ListEntry> three{{"3", {"Dach"}}, {"2,5", {"Dach"}}, {"Riss", {"Wand"}}};
    EXPECT_EQ(statusline::totalPrice(three, kComma), QStringLiteral("0,00 EUR"));
    EXPECT_EQ(statusline::totalPrice(three, kPoint), QStringLiteral("0.00 EUR"));
}

TEST(StatusLine, totalSumsQuantityTimesPriceWhereEntriesCarryOne)
{
    const std::vector<ListEntry> priced{{"2", {"A", "", "12,50 EUR"}}};
    EXPECT_EQ(statusline::totalPrice(priced, kComma), QStringLiteral("25,00 EUR"));
    const std::vector<ListEntry> mixed{{"x", {"A", "", "3,00 CHF"}}, {"2", {"A", "", "1,5"}}};
    EXPECT_EQ(statusline::totalPrice(mixed, kComma), QStringLiteral("6,00")) << "currency of the last entry";
}

TEST(StatusLine, bothFormsOfTheCountPhrase)
{
    EXPECT_EQ(statusline::countPhraseText(CountPhrase::Closed).size(), 27);
    EXPECT_EQ(statusline::countPhraseText(CountPhrase::Open).size(), 28);
    EXPECT_EQ(statusline::text(3, CountPhrase::Open, QStringLiteral("0,00 EUR")),
              QStringLiteral("3 Mängel auf der Mängelliste ; Gesamtpreis: 0,00 EUR"));
    EXPECT_EQ(statusline::text(1, CountPhrase::Closed, QStringLiteral("0,00 EUR")),
              QStringLiteral("1 Mängel auf der Mängelliste; Gesamtpreis: 0,00 EUR"));
}

TEST(StatusLine, quantityFormsThatReadAsNumbers)
{
    // quantity texts against the total for a price of 2,00
    const std::pair<const char *, const char *> cases[] = {
        {"3", "6,00 EUR"},      {" -3 ", "-6,00 EUR"}, {"+,5", "1,00 EUR"},  {",5", "1,00 EUR"},
        {"1,5E1", "30,00 EUR"}, {"Riss", "2,00 EUR"},  {"- 3", "2,00 EUR"},  {"", "2,00 EUR"},
        {"  ", "2,00 EUR"},     {".5", "2,00 EUR"},    {"\xe4", "2,00 EUR"},
    };
    for (const auto &[quantity, total] : cases) {
        const std::vector<ListEntry> one{{quantity, {"A", "", "2,00 EUR"}}};
        EXPECT_EQ(statusline::totalPrice(one, kComma), QString::fromLatin1(total)) << '"' << quantity << '"';
    }
    const std::vector<ListEntry> point{{".5", {"A", "", "2.00 EUR"}}};
    EXPECT_EQ(statusline::totalPrice(point, kPoint), QStringLiteral("1.00 EUR"));
}

TEST(StatusLine, hugeQuantityTextsReadAsNumbersOnlyWhereTheTotalCanUseThem)
{
    // quantity texts of many megabytes against the total for a price of 2,00; a number beyond the
    // range of the total is no number, so the quantity falls back to 1
    const std::string mb20(20'000'000, '9');
    const std::string zeros(20'000'000, '0');
    const std::string blanks(20'000'000, ' ');
    const std::pair<std::string, const char *> cases[] = {
        {mb20, "2,00 EUR"},
        {mb20 + "x", "2,00 EUR"},
        {"1," + zeros, "2,00 EUR"},
        {"0," + zeros + "5", "0,00 EUR"},
        {blanks + "3" + blanks, "6,00 EUR"},
        {"1" + std::string(400, '0') + "E-400", "2,00 EUR"},
        {"1E" + mb20, "2,00 EUR"},
        {"1E-" + mb20, "0,00 EUR"},
        {"1E400", "2,00 EUR"},
        {"-1E400", "2,00 EUR"},
    };
    for (const auto &[quantity, total] : cases) {
        const std::vector<ListEntry> one{{quantity, {"A", "", "2,00 EUR"}}};
        EXPECT_EQ(statusline::totalPrice(one, kComma), QString::fromLatin1(total)) << quantity.substr(0, 40);
    }
}
