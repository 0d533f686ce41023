#include "settings/FormStorage.h"

#include "document/LocaleNumber.h"
#include "settings/SettingsError.h"
#include "settings/SettingsText.h"

#include <algorithm>
#include <functional>
#include <limits>

using namespace settingstext;

namespace {

// Closes the store when a restore or a save ends, also by an error.
class CloseOnExit {
public:
    explicit CloseOnExit(SettingsStore &store) : m_store(store) {}
    ~CloseOnExit() { m_store.close(); }
    CloseOnExit(const CloseOnExit &) = delete;
    CloseOnExit &operator=(const CloseOnExit &) = delete;

private:
    SettingsStore &m_store;
};

QString screenSuffix(QSize screen)
{
    return QStringLiteral("(%1x%2)").arg(screen.width()).arg(screen.height());
}

QString fourNumbers(qint64 a, qint64 b, qint64 c, qint64 d)
{
    return QStringLiteral("%1,%2,%3,%4").arg(a).arg(b).arg(c).arg(d);
}

// Show commands of the placement values: 1 normal, 2 minimized, 3 maximized.
int showCommand(WindowShow show)
{
    switch (show) {
    case WindowShow::Minimized:
        return 2;
    case WindowShow::Maximized:
        return 3;
    case WindowShow::Normal:
        break;
    }
    return 1;
}

// 1, 5 and 9 show normal, 2, 6 and 7 minimized, 3 maximized; anything else normal.
WindowShow showFromCommand(int command)
{
    switch (command) {
    case 2:
    case 6:
    case 7:
        return WindowShow::Minimized;
    case 3:
        return WindowShow::Maximized;
    default:
        return WindowShow::Normal;
    }
}

// The window shrunk to the area's size where it is larger, and moved by the shortest way to lie
// wholly on it. On an 800 x 600 area: (223, 115, 999 x 589) => (0, 11, 800 x 589).
QRect movedInto(const QRect &area, QRect window)
{
    if (area.isEmpty())
        return window;
    window.setSize(window.size().boundedTo(area.size()));
    window.moveLeft(std::clamp(window.left(), area.left(), area.left() + area.width() - window.width()));
    window.moveTop(std::clamp(window.top(), area.top(), area.top() + area.height() - window.height()));
    return window;
}

// A window wholly outside `area`, or wider or taller than it, shrunk to the area's size and moved into it
// by the shortest way; any other window as it is. On a 1280 x 1024 area:
//   (3000, 2500, 800 x 600) => (480, 424, 800 x 600);  (0, 0, 99999 x 99999) => (0, 0, 1280 x 1024)
//   (1000, 900, 800 x 500) => unchanged (partly on the area)
QRect pulledOnto(const QRect &area, QRect window)
{
    const bool larger = window.width() > area.width() || window.height() > area.height();
    if (area.isEmpty() || (!larger && window.intersects(area)))
        return window;
    return movedInto(area, window);
}

} // namespace

FormStorage::FormStorage(SettingsStore &store, QString section) : m_store(store), m_section(std::move(section))
{
}

std::optional<QString> FormStorage::read(const QString &name)
{
    return m_store.read(m_section, name);
}

int FormStorage::readInt(const QString &name, int fallback)
{
    const std::optional<QString> text = read(name);
    if (!text)
        return fallback;
    return parseInt(*text).value_or(fallback);
}

void FormStorage::write(const QString &name, const QString &value)
{
    m_store.write(m_section, name, value);
}

RestoreResult FormStorage::RestoreSettings(const WindowState &current, StoredProps &props)
{
    RestoreResult result;
    m_saved = false;
    CloseOnExit closer(m_store);
    try {
        m_store.open();
        if (readInt(QStringLiteral("FormVersion"), 0) >= 0) {
            restorePlacement(current, result);
            result.show = restoreShow();
            m_restoreCompleted = true;
            restoreProps(props, current.pixelsPerInch);
        }
        m_restoreCompleted = true;
    } catch (const SettingsError &e) {
        result.errorText = e.text();
    }
    return result;
}

void FormStorage::restorePlacement(const WindowState &current, RestoreResult &result)
{
    WindowPlacement record = current.placement;
    if (const std::optional<QString> flags = read(QStringLiteral("Flags"))) {
        if (const std::optional<int> value = parseInt(*flags))
            record.flags = *value;
    }

    const QString suffix = screenSuffix(current.screenSize);
    const auto readEither = [&](const QString &name) {
        std::optional<QString> text = read(name + suffix);
        return text ? text : read(name);
    };

    const std::optional<QString> minMax = readEither(QStringLiteral("MinMaxPos"));
    if (minMax) {
        const QStringList w = words(*minMax);
        const auto word = [&](int i) { return i < w.size() ? parseInt(w[i]).value_or(0) : 0; };
        record.minPosition = QPoint(word(0), word(1));
        record.maxPosition = QPoint(word(2), word(3));
    }

    const QRect now = current.placement.normalRect;
    qint64 left = now.left(), top = now.top();
    qint64 right = left + now.width(), bottom = top + now.height();
    const std::optional<QString> normal = readEither(QStringLiteral("NormPos"));
    if (normal) {
        const QStringList w = words(*normal);
        const auto word = [&](int i, qint64 fallback) -> qint64 {
            const std::optional<int> value = i < w.size() ? parseInt(w[i]) : std::nullopt;
            return value ? *value : fallback;
        };
        left = word(0, left);
        top = word(1, top);
        right = word(2, right);
        bottom = word(3, bottom);
    }

    const QRect area = current.workArea.isEmpty() ? QRect(QPoint(0, 0), current.screenSize) : current.workArea;
    // Without a usable stored place the window keeps its start place, but wholly on the work area: on
    // a small screen the start size would put the lists and the status line beyond its edge.
    const auto startPlace = [&] {
        const QRect fitted = movedInto(area, now);
        if (fitted == now)
            return;
        WindowPlacement start = current.placement;
        start.normalRect = fitted;
        result.placement = start;
    };
    const int pixelsPerInch = readInt(QStringLiteral("PixelsPerInch"), current.pixelsPerInch);
    if ((!minMax && !normal) || pixelsPerInch != current.pixelsPerInch)
        return startPlace();
    if (!current.sizeable) {
        right = left + now.width();
        bottom = top + now.height();
    }
    // A rectangle without width or height is no place for the window, nor one past the coordinate range.
    const auto fits = [](qint64 v) {
        return v >= std::numeric_limits<int>::min() && v <= std::numeric_limits<int>::max();
    };
    if (right > left && bottom > top && fits(left) && fits(top) && fits(right) && fits(bottom) && fits(right - left) &&
        fits(bottom - top)) {
        record.normalRect = pulledOnto(area, QRect(int(left), int(top), int(right - left), int(bottom - top)));
        result.placement = record;
    } else {
        startPlace();
    }
}

WindowShow FormStorage::restoreShow()
{
    return showFromCommand(readInt(QStringLiteral("ShowCmd"), 0));
}

void FormStorage::restoreProps(StoredProps &props, int pixelsPerInch)
{
    // Each property on its own: one that cannot be read or used leaves the others unaffected.
    const auto take = [this](const QString &name, const std::function<void(const QString &)> &apply) {
        try {
            if (const std::optional<QString> text = read(name))
                apply(trimmed(*text));
        } catch (const SettingsError &) {
        }
    };
    const QChar decimalMark = localenumber::decimalSeparator();
    const auto margin = [&](const QString &name, int &field) {
        take(name, [&](const QString &text) {
            if (const std::optional<double> value = parseMargin(text, decimalMark))
                field = int(spinEditValue(*value));
        });
    };
    const auto integer = [&](const QString &name, const std::function<void(int)> &apply) {
        take(name, [&](const QString &text) { apply(parseInt(text).value_or(0)); });
    };
    PrintFont &font = props.font;
    const PrintFont before = font;
    bool sizeInRange = true;
    const QString f = QStringLiteral("FontDialog1_Font");

    margin(QStringLiteral("RightREd_Value"), props.margins.right);
    margin(QStringLiteral("TopREd_Value"), props.margins.top);
    margin(QStringLiteral("leftREd_Value"), props.margins.left);
    margin(QStringLiteral("BottomREd_Value"), props.margins.bottom);
    integer(f + QStringLiteral("Charset"), [&](int v) { font.charset = v & 0xFF; });
    integer(f + QStringLiteral("Color"), [&](int v) { font.color = v; });
    // The height first, so that the size decides.
    integer(f + QStringLiteral("Height"), [&](int v) { sizeInRange = font.setHeight(v, pixelsPerInch); });
    // A font needs a face name: an empty one keeps the present name.
    take(f + QStringLiteral("Name"), [&](const QString &text) {
        if (!text.isEmpty())
            font.name = text;
    });
    take(f + QStringLiteral("Pitch"), [&](const QString &text) {
        if (const std::optional<FontPitch> pitch = parsePitch(text))
            font.pitch = *pitch;
    });
    integer(f + QStringLiteral("Size"), [&](int v) { sizeInRange = font.setSize(v, pixelsPerInch); });
    take(f + QStringLiteral("Style"), [&](const QString &text) { parseStyle(text, font.style); });
    if (!sizeInRange) {
        // The size decides; one whose height is past the 32-bit range (or a height whose size is, when no
        // size is stored) leaves both as they were.
        font.size = before.size;
        font.height = before.height;
    } else if (font.size <= 0) {
        // A size that cannot be printed stays as it was.
        font.size = before.size;
    }
    integer(QStringLiteral("Panel1Laeden_Width"), [&](int v) { props.panel1LaedenWidth = v; });
    integer(QStringLiteral("Panel1Produkte_Width"), [&](int v) { props.panel1ProdukteWidth = v; });
    // A yes-or-no value is an enumeration: "False" or "True", in any case; another word changes nothing.
    const auto yesNo = [&](const QString &name, bool &value) {
        take(name, [&](const QString &text) {
            if (text.compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0)
                value = true;
            else if (text.compare(QStringLiteral("False"), Qt::CaseInsensitive) == 0)
                value = false;
        });
    };
    yesNo(QStringLiteral("SeitenkopfCheck_Checked"), props.pageFrame);
    integer(QStringLiteral("Panel11_Width"), [&](int v) { props.panel11Width = v; });
    take(QStringLiteral("PrueferEd_Text"), [&](const QString &text) { props.pruefer = text; });
    take(QStringLiteral("FirmaEd_Text"), [&](const QString &text) { props.firma = text; });
    yesNo(QStringLiteral("GliedernCheck_Checked"), props.groupByAssembly);
}

void FormStorage::SaveSettings(const WindowState &current, const StoredProps &props, bool destroying)
{
    if (!m_restoreCompleted || (destroying && m_saved))
        return;
    CloseOnExit closer(m_store);
    m_store.open();
    write(QStringLiteral("FormVersion"), QStringLiteral("0"));

    const WindowPlacement &record = current.placement;
    const int show = current.applicationMinimized ? 2 : showCommand(record.show);
    write(QStringLiteral("Flags"), formatInt(record.flags));
    write(QStringLiteral("ShowCmd"), formatInt(show));
    write(QStringLiteral("PixelsPerInch"), formatInt(current.pixelsPerInch));
    const QString suffix = screenSuffix(current.screenSize);
    const QString minMax =
        fourNumbers(record.minPosition.x(), record.minPosition.y(), record.maxPosition.x(), record.maxPosition.y());
    write(QStringLiteral("MinMaxPos") + suffix, minMax);
    write(QStringLiteral("MinMaxPos"), minMax);
    const QRect &r = record.normalRect;
    const QString normal = fourNumbers(r.left(), r.top(), qint64(r.left()) + r.width(), qint64(r.top()) + r.height());
    write(QStringLiteral("NormPos") + suffix, normal);
    write(QStringLiteral("NormPos"), normal);
    write(QStringLiteral("Visible"), destroying ? QStringLiteral("1") : QStringLiteral("0"));

    const auto prop = [this](const QString &name, const QString &text) { write(name, trimmed(text)); };
    const PrintFont &font = props.font;
    const QString f = QStringLiteral("FontDialog1_Font");
    prop(QStringLiteral("RightREd_Value"), formatMargin(props.margins.right));
    prop(QStringLiteral("TopREd_Value"), formatMargin(props.margins.top));
    prop(QStringLiteral("leftREd_Value"), formatMargin(props.margins.left));
    prop(QStringLiteral("BottomREd_Value"), formatMargin(props.margins.bottom));
    prop(f + QStringLiteral("Charset"), formatInt(font.charset));
    prop(f + QStringLiteral("Color"), formatInt(font.color));
    prop(f + QStringLiteral("Height"), formatInt(font.height));
    prop(f + QStringLiteral("Name"), font.name);
    prop(f + QStringLiteral("Pitch"), formatPitch(font.pitch));
    prop(f + QStringLiteral("Size"), formatInt(font.size));
    prop(f + QStringLiteral("Style"), formatStyle(font.style));
    prop(QStringLiteral("Panel1Laeden_Width"), formatInt(props.panel1LaedenWidth));
    prop(QStringLiteral("Panel1Produkte_Width"), formatInt(props.panel1ProdukteWidth));
    prop(QStringLiteral("SeitenkopfCheck_Checked"), props.pageFrame ? QStringLiteral("True") : QStringLiteral("False"));
    prop(QStringLiteral("Panel11_Width"), formatInt(props.panel11Width));
    prop(QStringLiteral("PrueferEd_Text"), props.pruefer);
    prop(QStringLiteral("FirmaEd_Text"), props.firma);
    prop(QStringLiteral("GliedernCheck_Checked"), props.groupByAssembly ? QStringLiteral("True") : QStringLiteral("False"));
    m_store.flush();
    m_saved = true;
}
