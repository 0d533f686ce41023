#pragma once

#include "print/PrintCanvas.h"

// A canvas that passes every call on to another one. Canvases that watch or leave out part of a print
// run derive from it and override only what they change.
class ForwardingCanvas : public PrintCanvas {
public:
    explicit ForwardingCanvas(PrintCanvas &target) : m_target(target) {}

    void beginDocument(const QString &documentName) override { m_target.beginDocument(documentName); }
    void endDocument() override { m_target.endDocument(); }
    void newPage() override { m_target.newPage(); }
    int dpiX() const override { return m_target.dpiX(); }
    int dpiY() const override { return m_target.dpiY(); }
    int pageWidth() const override { return m_target.pageWidth(); }
    int pageHeight() const override { return m_target.pageHeight(); }
    void setFont(const PrintFont &font) override { m_target.setFont(font); }
    void setFontStyle(const FontStyle &style) override { m_target.setFontStyle(style); }
    int textWidth(const QString &text) override { return m_target.textWidth(text); }
    int textHeight(const QString &text) override { return m_target.textHeight(text); }
    void drawText(int x, int y, const QString &text) override { m_target.drawText(x, y, text); }
    void drawHorizontalLine(int x, int y, int width) override { m_target.drawHorizontalLine(x, y, width); }

private:
    PrintCanvas &m_target;
};
