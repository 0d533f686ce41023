#include "ui/AccessibleNames.h"

#include "ui/ListView.h"
#include "ui_MainUnit.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QSpinBox>
#include <QToolButton>
#include <QToolTip>

namespace accessiblenames {

namespace {

const char *const kPanelProperty = "malPanel";

QAccessibleInterface *panelInterface(const QString &key, QObject *object)
{
    // Asked for the object's own class first, so a marked frame or page never reaches the defaults.
    Q_UNUSED(key);
    if (object && object->isWidgetType() && object->property(kPanelProperty).toBool())
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Grouping);
    return nullptr;
}

// Shows a widget's tooltip when the keyboard brings the focus to it. A tooltip hides at the next key
// event, the release of the very key that moved the focus included, so it shows (again) then.
class FocusTip : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *widget = static_cast<QWidget *>(watched);
        switch (event->type()) {
        case QEvent::FocusIn: {
            const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
            m_byKeyboard =
                reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason;
            if (m_byKeyboard)
                show(widget);
            break;
        }
        case QEvent::KeyRelease:
            if (m_byKeyboard && !static_cast<QKeyEvent *>(event)->isAutoRepeat()) {
                m_byKeyboard = false;
                show(widget);
            }
            break;
        case QEvent::FocusOut:
            m_byKeyboard = false;
            QToolTip::hideText();
            break;
        default:
            break;
        }
        return false;
    }

private:
    static void show(QWidget *widget)
    {
        if (!widget->toolTip().isEmpty())
            QToolTip::showText(widget->mapToGlobal(QPoint(0, widget->height())), widget->toolTip(), widget);
    }

    bool m_byKeyboard = false;
};

std::function<void(QAccessibleEvent &)> &announcementListener()
{
    static std::function<void(QAccessibleEvent &)> listener;
    return listener;
}

} // namespace

bool listening()
{
    return announcementListener() || QAccessible::isActive();
}

void announce(QAccessibleEvent &event)
{
    if (announcementListener())
        announcementListener()(event);
    else
        QAccessible::updateAccessibility(&event);
}

void setAnnouncementListener(std::function<void(QAccessibleEvent &)> listener)
{
    announcementListener() = std::move(listener);
}

void markPanel(QWidget *panel, const QString &name)
{
    static const bool installed = (QAccessible::installFactory(panelInterface), true);
    Q_UNUSED(installed);
    panel->setProperty(kPanelProperty, true);
    panel->setAccessibleName(name);
}

void showTipOnKeyboardFocus(QWidget *widget)
{
    auto *tip = new FocusTip(widget);
    widget->installEventFilter(tip);
}

void nameMainWindow(Ui::TMainForm &ui)
{
    // The panels by the captions of their strips.
    const std::pair<QWidget *, QLabel *> panels[] = {{ui.Panel1Laeden, ui.Panel1LaedenStrip},
                                                     {ui.Panel1Produkte, ui.Panel1ProdukteStrip},
                                                     {ui.Panel11, ui.Panel11Strip},
                                                     {ui.Panel7, ui.Panel7Strip},
                                                     {ui.TabSheet2, ui.Label1}};
    for (const auto &[panel, strip] : panels)
        markPanel(panel, strip->text());

    // The speed buttons say what they do to which list; their tooltips stay as they are.
    const std::pair<QToolButton *, const char *> buttons[] = {
        {ui.PlusLaedenBtn, "Baugruppe hinzufügen"},
        {ui.MinusLaedenBtn, "Baugruppe entfernen"},
        {ui.DelList1, "Alle Baugruppen löschen"},
        {ui.PlusProdukteBtn, "Mangel in den Katalog aufnehmen"},
        {ui.MinusProdukteBtn, "Mangel aus dem Katalog entfernen"},
        {ui.DelList2, "Alle Mängel des Katalogs löschen"},
        {ui.PropEd, "Mangel im Katalog bearbeiten"},
        {ui.UpdateFilterBtn, "Gefilterte Mängel aktualisieren"},
        {ui.PlusEinkaufBtn, "Mangel aus dem Katalog in die Mängelliste übernehmen"},
        {ui.Hinzu2Btn, "Mangel aus der gefilterten Liste in die Mängelliste übernehmen"},
        {ui.MinusEinkaufBtn, "Eintrag aus der Mängelliste entfernen"},
        {ui.DelList3, "Ganze Mängelliste löschen"},
    };
    for (const auto &[button, name] : buttons) {
        button->setAccessibleName(QString::fromUtf8(name));
        showTipOnKeyboardFocus(button);
    }

    const std::pair<ListView *, const char *> views[] = {{ui.ListView1, "Baugruppen"},
                                                         {ui.ListView2, "Mängel"},
                                                         {ui.ListView4, "Mängel gefiltert"},
                                                         {ui.ListView3, "Mängelliste"}};
    for (const auto &[view, name] : views)
        view->setAccessibleName(QString::fromUtf8(name));

    ui.PageControl1->setAccessibleName(QStringLiteral("Seiten"));

    // The margins: the label names the field (and its underlined letter jumps there), the name
    // carries the unit that stands to the right of the field.
    const std::tuple<QLabel *, QSpinBox *, const char *> margins[] = {
        {ui.Label2, ui.leftREd, "Rand links in mm"},
        {ui.Label3, ui.TopREd, "Rand oben in mm"},
        {ui.Label4, ui.RightREd, "Rand rechts in mm"},
        {ui.Label5, ui.BottomREd, "Rand unten in mm"},
    };
    for (const auto &[label, spin, name] : margins) {
        label->setBuddy(spin);
        spin->setAccessibleName(QString::fromUtf8(name));
    }
    ui.FontBtn->setAccessibleName(QStringLiteral("Schriftart für den Ausdruck"));
    ui.Image1->setAccessibleName(QStringLiteral("Bild: ein Haus neben einer Prüfliste"));
}

} // namespace accessiblenames
