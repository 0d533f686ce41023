#pragma once

#include "print/PrintCanvas.h"

#include <QString>

#include <vector>

// A print canvas that records what a print run does, with simple made-up metrics.
//
// Every character is half as wide as the font's size in dots, and bold ones a quarter wider again;
// every line is lineHeight(size) tall. Page and resolution are set by the test.
class RecordingCanvas : public PrintCanvas {
public:
    enum class Op { Begin, Draw, Line, NewPage, End };

    struct Event {
        Op op;
        int page = 0; // 0-based page the event happened on
        int x = 0;
        int y = 0;
        QString text; // the drawn text, or the document name of Begin
        FontStyle style;
        int size = 0;  // point size of the font a text was drawn with
        int width = 0; // the length of a line
    };

    RecordingCanvas(int dpi, int pageWidth, int pageHeight) : m_dpi(dpi), m_width(pageWidth), m_height(pageHeight) {}

    void beginDocument(const QString &name) override { record(Op::Begin, 0, 0, name); }
    void endDocument() override { record(Op::End, 0, 0, {}); }
    void newPage() override
    {
        record(Op::NewPage, 0, 0, {});
        ++m_page;
    }

    int dpiX() const override { return m_dpi; }
    int dpiY() const override { return m_dpi; }
    int pageWidth() const override { return m_width; }
    int pageHeight() const override { return m_height; }

    void setFont(const PrintFont &font) override { m_font = font; }
    void setFontStyle(const FontStyle &style) override { m_font.style = style; }

    int textWidth(const QString &text) override
    {
        const int perChar = m_font.size * m_dpi / 144;
        return static_cast<int>(text.size()) * (m_font.style.bold ? perChar * 5 / 4 : perChar);
    }
    int textHeight(const QString &) override { return lineHeight(m_font.size); }
    void drawText(int x, int y, const QString &text) override { record(Op::Draw, x, y, text); }
    void drawHorizontalLine(int x, int y, int width) override
    {
        record(Op::Line, x, y, {});
        m_events.back().width = width;
    }

    // The line height of a font of the given size: 1.15 of its size in dots.
    int lineHeight(int size) const { return size * m_dpi * 115 / (72 * 100); }

    const std::vector<Event> &events() const { return m_events; }
    // The texts drawn, each with its page and position.
    std::vector<Event> draws() const
    {
        std::vector<Event> result;
        for (const Event &e : m_events)
            if (e.op == Op::Draw)
                result.push_back(e);
        return result;
    }
    int pageCount() const { return m_page + 1; }

private:
    void record(Op op, int x, int y, const QString &text)
    {
        m_events.push_back({op, m_page, x, y, text, m_font.style, m_font.size});
    }

    int m_dpi;
    int m_width;
    int m_height;
    int m_page = 0;
    PrintFont m_font;
    std::vector<Event> m_events;
};
