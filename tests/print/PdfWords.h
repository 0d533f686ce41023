#pragma once

#include <QString>

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

// Points to millimetres.
inline double ptToMm(double points)
{
    return points * 25.4 / 72.0;
}
