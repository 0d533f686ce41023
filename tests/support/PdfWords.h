#pragma once

#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <vector>

// One word of a PDF as pdftotext -bbox reports it: page (0-based) and box in points from the
// top-left corner of the paper.
struct PdfWord {
    int page = 0;
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    QString text;
};

// The words of a PDF file in reading order; empty when pdftotext is missing or fails.
std::vector<PdfWord> pdfWords(const QString &pdfPath);

// The first word `text` on `page`, or on any page when `page` is -1; null when there is none.
const PdfWord *findWord(const std::vector<PdfWord> &words, const QString &text, int page = -1);

// A test of printouts read back from the PDF files it writes into a temporary folder; skipped where
// pdftotext is missing. With Queues::Hidden the CUPS client of the process finds no scheduler, as on
// a system without any print queue.
class PdfTest : public ::testing::Test {
protected:
    enum class Queues { Visible, Hidden };
    explicit PdfTest(Queues queues = Queues::Visible) : m_queues(queues) {}
    void SetUp() override;

    QTemporaryDir m_dir;

private:
    Queues m_queues;
};

// Points to millimetres.
inline double ptToMm(double points)
{
    return points * 25.4 / 72.0;
}
