#include "ui/FocusStyle.h"

#include "ui/Contrast.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QPainter>
#include <QStyleOptionFocusRect>

void FocusStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                               const QWidget *widget) const
{
    if (element != PE_FrameFocusRect) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    // A widget focused by the mouse shows no frame until the keyboard is used; the current row of a
    // list always does.
    const bool itemView = qobject_cast<const QAbstractItemView *>(widget) != nullptr;
    if (!itemView && !(option->state & State_KeyboardFocusChange))
        return;
    QColor background;
    if (const auto *focus = qstyleoption_cast<const QStyleOptionFocusRect *>(option);
        focus && focus->backgroundColor.isValid())
        background = focus->backgroundColor;
    else
        background = option->palette.color(widget ? widget->backgroundRole() : QPalette::Window);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setBrush(Qt::NoBrush);
    painter->setPen(QPen(contrast::outlineAgainst(background), 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    // A small icon button has its frame at its border, where it does not cover the icon.
    const QRect rect = qobject_cast<const QAbstractButton *>(widget) ? widget->rect() : option->rect;
    painter->drawRect(QRectF(rect).adjusted(1, 1, -1, -1));
    painter->restore();
}

void FocusStyle::drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                             const QWidget *widget) const
{
    QProxyStyle::drawControl(element, option, painter, widget);
    // The focused page tab: the base style tints it only faintly.
    if (element != CE_TabBarTabLabel || !(option->state & State_HasFocus))
        return;
    QStyleOptionFocusRect focus;
    focus.QStyleOption::operator=(*option);
    focus.state |= State_KeyboardFocusChange;
    focus.rect = option->rect.adjusted(2, 2, -2, -2);
    focus.backgroundColor = option->palette.color(QPalette::Window);
    drawPrimitive(PE_FrameFocusRect, &focus, painter, nullptr);
}

void FocusStyle::install()
{
    if (!qobject_cast<FocusStyle *>(QApplication::style()))
        QApplication::setStyle(new FocusStyle);
}
