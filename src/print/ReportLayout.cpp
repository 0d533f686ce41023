#include "print/ReportLayout.h"

#include "document/Cp1252.h"

#include <algorithm>
#include <string>
#include <unordered_map>

namespace reportlayout {

namespace {

const FontStyle kBold{.bold = true};

// 70 millimetres for a signature.
constexpr int kSignatureMillimetres = 70;

// The lines of a signature field: "Ort, Datum", two empty lines to write in, the line.
constexpr int kLinesAboveRule = 2;

} // namespace

std::vector<QString> wrapText(const QString &text, int width, const namewrap::Measure &measure)
{
    std::vector<QString> lines;
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return lines;
    for (const QString &line : namewrap::splitLines(trimmed))
        for (QString &part : namewrap::wrapLine(line, std::max(width, 1), measure))
            lines.push_back(std::move(part));
    while (!lines.empty() && lines.back().trimmed().isEmpty())
        lines.pop_back();
    return lines;
}

QString elide(const QString &text, int width, const namewrap::Measure &measure)
{
    if (measure(text) <= width)
        return text;
    const QChar ellipsis(u'…');
    qsizetype good = 0;
    qsizetype bad = text.size();
    while (bad - good > 1) {
        const qsizetype middle = good + (bad - good) / 2;
        (measure(text.left(middle) + ellipsis) <= width ? good : bad) = middle;
    }
    if (good == 0 && measure(ellipsis) > width)
        return {};
    return text.left(good).trimmed() + ellipsis;
}

QString headerLeft(const PageFrame &frame)
{
    const QString objekt = frame.report.objekt.simplified();
    return objekt.isEmpty() ? frame.documentName : objekt;
}

QString headerRight(const PageFrame &frame)
{
    const QString date = frame.report.begehungAm.trimmed();
    return date.isEmpty() ? frame.date : QStringLiteral("Begehung: ") + date;
}

std::vector<RowGroup> groupByAssembly(const std::vector<ListEntry> &rows)
{
    std::vector<RowGroup> groups;
    std::unordered_map<std::string_view, std::size_t> groupOf;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::string_view assembly = rows[i].subItemCount() == 0 ? std::string_view() : rows[i].subItem(0);
        const auto [it, added] = groupOf.try_emplace(assembly, groups.size());
        if (added)
            groups.push_back({assembly, {}});
        groups[it->second].rows.push_back(i);
    }
    return groups;
}

QString groupHeading(std::string_view assembly)
{
    return assembly.empty() ? QStringLiteral("Ohne Baugruppe") : cp1252::toUnicode(assembly);
}

DetailBlock prepareDetails(PrintCanvas &canvas, const PrintLayout &layout, const ReportBlock &report)
{
    const auto measure = [&canvas](const QString &text) { return canvas.textWidth(text); };
    const std::pair<const char *, const QString *> details[] = {
        {"Objekt:", &report.objekt},
        {"Anschrift:", &report.anschrift},
        {"Auftraggeber:", &report.auftraggeber},
        {"Auftragnehmer:", &report.auftragnehmer},
        {"Begehung am:", &report.begehungAm},
        {"Teilnehmer:", &report.teilnehmer},
        {"Prüfer:", &report.pruefer},
    };
    DetailBlock block;
    canvas.setFontStyle(kBold);
    int widestLabel = 0;
    for (const auto &[label, value] : details) {
        if (value->trimmed().isEmpty())
            continue;
        block.pairs.push_back({QString::fromUtf8(label), {}});
        widestLabel = std::max(widestLabel, canvas.textWidth(block.pairs.back().label));
    }
    canvas.setFontStyle(FontStyle{});
    block.firm = wrapText(report.firm, layout.right() - layout.left(), measure);
    block.valueLeft = block.pairs.empty() ? layout.left() : layout.left() + widestLabel + layout.gap();
    auto pair = block.pairs.begin();
    for (const auto &[label, value] : details) {
        if (!value->trimmed().isEmpty())
            (pair++)->lines = wrapText(*value, layout.right() - block.valueLeft, measure);
    }
    return block;
}

void printDetails(PrintCanvas &canvas, PrintLayout &layout, const DetailBlock &block)
{
    for (const DetailBlock::Pair &pair : block.pairs) {
        for (std::size_t i = 0; i < pair.lines.size(); ++i) {
            const int h = canvas.textHeight(pair.lines[i]);
            layout.makeRoom(h);
            if (i == 0) {
                canvas.setFontStyle(kBold);
                canvas.drawText(layout.left(), layout.y(), pair.label);
                canvas.setFontStyle(FontStyle{});
            }
            canvas.drawText(block.valueLeft, layout.y(), pair.lines[i]);
            layout.moveTo(layout.y() + h, false);
        }
    }
}

Closing prepareClosing(PrintCanvas &canvas, const PrintLayout &layout, const ReportBlock &report)
{
    const auto measure = [&canvas](const QString &text) { return canvas.textWidth(text); };
    Closing closing;
    closing.text = wrapText(report.schlusstext, layout.right() - layout.left(), measure);
    const int field = marginToDots(kSignatureMillimetres, canvas.dpiX());
    closing.fieldWidth = std::max(std::min(field, (layout.right() - layout.left() - layout.gap()) / 2), 1);
    closing.above = wrapText(QStringLiteral("Ort, Datum"), closing.fieldWidth, measure);
    closing.left = wrapText(report.signatureLeft, closing.fieldWidth, measure);
    closing.right = wrapText(report.signatureRight, closing.fieldWidth, measure);
    return closing;
}

namespace {

// The offsets of a signature field's rule and labels below its top, and its height.
struct FieldGeometry {
    int rule;
    int label;
    qint64 height;
};

FieldGeometry fieldGeometry(const Closing &closing, int line)
{
    const int rule = static_cast<int>(closing.above.size() + kLinesAboveRule) * line;
    const int label = rule + line / 4;
    return {rule, label, label + qint64(std::max(closing.left.size(), closing.right.size())) * line};
}

} // namespace

qint64 closingBlockHeight(PrintCanvas &canvas, const Closing &closing)
{
    const int line = canvas.textHeight(QStringLiteral(" "));
    const qint64 field = fieldGeometry(closing, line).height;
    return closing.text.empty() ? field : qint64(canvas.textHeight(closing.text.back())) + line + field;
}

void printClosing(PrintCanvas &canvas, PrintLayout &layout, const Closing &closing)
{
    const int line = canvas.textHeight(QStringLiteral(" "));
    const std::size_t textLines = closing.text.size();
    for (std::size_t i = 0; i + 1 < textLines; ++i)
        layout.PrintLine(closing.text[i]);

    const FieldGeometry field = fieldGeometry(closing, line);
    // The last line of the text comes along to the signatures' page.
    layout.makeRoom(closingBlockHeight(canvas, closing));
    if (textLines > 0) {
        layout.PrintLine(closing.text.back());
        layout.moveTo(layout.y() + line, false);
    }
    const int top = layout.y();
    const int columns[] = {layout.left(), layout.right() - closing.fieldWidth};
    const std::vector<QString> *labels[] = {&closing.left, &closing.right};
    for (int side = 0; side < 2; ++side) {
        const int x = columns[side];
        for (std::size_t i = 0; i < closing.above.size(); ++i)
            canvas.drawText(x, top + static_cast<int>(i) * line, closing.above[i]);
        canvas.drawHorizontalLine(x, top + field.rule, closing.fieldWidth);
        for (std::size_t i = 0; i < labels[side]->size(); ++i)
            canvas.drawText(x, top + field.label + static_cast<int>(i) * line, (*labels[side])[i]);
    }
    layout.moveTo(static_cast<int>(top + field.height), false);
}

} // namespace reportlayout
