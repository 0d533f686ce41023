#pragma once

#include <QProxyStyle>

// The application's style with a focus frame that can be seen: two pixels wide, black or white,
// whichever stands out more against what lies under it, also round the label of the focused page
// tab. Everything else is the base style's.
class FocusStyle : public QProxyStyle {
    Q_OBJECT

public:
    using QProxyStyle::QProxyStyle;

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget = nullptr) const override;

    // Puts the style on the application (once; a second call keeps the first).
    static void install();
};
