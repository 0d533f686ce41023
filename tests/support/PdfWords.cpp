#include "PdfWords.h"

#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>

std::vector<PdfWord> pdfWords(const QString &pdfPath)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdfPath, QStringLiteral("-")});
    if (!pdftotext.waitForFinished(60000) || pdftotext.exitCode() != 0)
        return {};
    const QString html = QString::fromUtf8(pdftotext.readAllStandardOutput());

    // <page width=".." height=".."> ... <word xMin="56.7" yMin="60.1" xMax="110.2" yMax="72.4">Wort</word>
    static const QRegularExpression tag(QStringLiteral(
        R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    std::vector<PdfWord> words;
    int page = -1;
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(0) == QStringLiteral("<page ")) {
            ++page;
            continue;
        }
        words.push_back({page, m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                         m.captured(4).toDouble(), m.captured(5)});
    }
    for (PdfWord &w : words) // undo the HTML escapes of &, <, >, "
        w.text.replace(QStringLiteral("&lt;"), QStringLiteral("<"))
            .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
            .replace(QStringLiteral("&quot;"), QStringLiteral("\""))
            .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return words;
}

const PdfWord *findWord(const std::vector<PdfWord> &words, const QString &text, int page)
{
    const auto it = std::find_if(words.begin(), words.end(), [&](const PdfWord &w) {
        return (page < 0 || w.page == page) && w.text == text;
    });
    return it == words.end() ? nullptr : &*it;
}

void PdfTest::SetUp()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext is not installed (apt-get install poppler-utils)";
    ASSERT_TRUE(m_dir.isValid());
    if (m_queues == Queues::Hidden) {
        qputenv("CUPS_SERVER", m_dir.filePath(QStringLiteral("keine-cups.sock")).toUtf8());
        ASSERT_TRUE(QPrinterInfo::availablePrinterNames().isEmpty()) << "a print queue is visible";
    }
}
