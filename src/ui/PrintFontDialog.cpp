#include "ui/PrintFontDialog.h"

#include "print/PrintFontQt.h"
#include "ui/WindowFit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

int screenPixelsPerInch(const QWidget *widget)
{
    const QScreen *screen = widget->screen() ? widget->screen() : QGuiApplication::primaryScreen();
    return screen ? int(std::lround(screen->logicalDotsPerInch())) : 96;
}

QPixmap swatch(std::int32_t color)
{
    QPixmap pixmap(16, 12);
    pixmap.fill(printfontqt::toQColor(color));
    return pixmap;
}

// The largest size the sample shows; larger fonts are shown at this size.
constexpr int kLargestSampleSize = 48;

} // namespace

PrintFontDialog::PrintFontDialog(const PrintFont &font, QWidget *parent)
    : QDialog(parent), m_choice(font, QFontDatabase::families(), screenPixelsPerInch(parent ? parent : this)),
      m_family(new QComboBox(this)), m_style(new QListWidget(this)), m_size(new QSpinBox(this)),
      m_strikeOut(new QCheckBox(QStringLiteral("&Durchgestrichen"), this)),
      m_underline(new QCheckBox(QStringLiteral("&Unterstrichen"), this)), m_color(new QComboBox(this)),
      m_sample(new QLabel(QStringLiteral("AaBbYyZz ÄäÖöÜüß"), this))
{
    setWindowTitle(QStringLiteral("Schriftart"));
    m_family->setObjectName(QStringLiteral("familyBox"));
    m_style->setObjectName(QStringLiteral("styleList"));
    m_size->setObjectName(QStringLiteral("sizeBox"));
    m_strikeOut->setObjectName(QStringLiteral("strikeOutBox"));
    m_underline->setObjectName(QStringLiteral("underlineBox"));
    m_color->setObjectName(QStringLiteral("colorBox"));
    m_sample->setObjectName(QStringLiteral("sample"));
    // The lists are named after their labels; a combo box speaks its current entry as its value.
    m_family->setAccessibleName(QStringLiteral("Schriftart"));
    m_style->setAccessibleName(QStringLiteral("Schriftschnitt"));
    m_size->setAccessibleName(QStringLiteral("Schriftgrad"));
    m_color->setAccessibleName(QStringLiteral("Farbe"));
    m_sample->setAccessibleName(QStringLiteral("Beispiel"));

    // Fill every control from the font before any change is passed on.
    m_family->addItems(m_choice.families());
    m_family->setCurrentIndex(m_choice.familyIndex());
    m_family->setMaxVisibleItems(16);
    m_style->addItems(FontChoice::styleNames());
    m_style->setCurrentRow(m_choice.styleIndex());
    m_style->setMaximumHeight(m_style->sizeHintForRow(0) * 5);
    const int size = m_choice.font().size;
    m_size->setRange(std::min(1, size), std::max(9999, size));
    m_size->setValue(size);
    m_size->setSuffix(QStringLiteral(" pt"));
    m_strikeOut->setChecked(m_choice.font().style.strikeOut);
    m_underline->setChecked(m_choice.font().style.underline);
    for (const FontChoice::Color &c : m_choice.colors())
        m_color->addItem(swatch(c.value), c.label);
    m_color->setCurrentIndex(m_choice.colorIndex());
    m_sample->setAlignment(Qt::AlignCenter);
    m_sample->setMinimumSize(320, 90);
    m_sample->setAutoFillBackground(true);

    connect(m_family, &QComboBox::currentIndexChanged, this, [this](int index) {
        const QString family = m_family->itemText(index);
        m_choice.setFamily(family, QFontDatabase::isFixedPitch(family));
        updateSample();
    });
    connect(m_style, &QListWidget::currentRowChanged, this, [this](int row) {
        m_choice.setStyleIndex(row);
        updateSample();
    });
    connect(m_size, &QSpinBox::valueChanged, this, [this](int points) {
        m_choice.setSize(points);
        updateSample();
    });
    connect(m_strikeOut, &QCheckBox::toggled, this, [this](bool on) {
        m_choice.setStrikeOut(on);
        updateSample();
    });
    connect(m_underline, &QCheckBox::toggled, this, [this](bool on) {
        m_choice.setUnderline(on);
        updateSample();
    });
    connect(m_color, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_choice.setColorIndex(index);
        updateSample();
    });

    auto *familyLabel = new QLabel(QStringLiteral("Schrift&art:"), this);
    familyLabel->setBuddy(m_family);
    auto *styleLabel = new QLabel(QStringLiteral("Schrift&schnitt:"), this);
    styleLabel->setBuddy(m_style);
    auto *sizeLabel = new QLabel(QStringLiteral("Schrift&grad:"), this);
    sizeLabel->setBuddy(m_size);
    auto *colorLabel = new QLabel(QStringLiteral("&Farbe:"), this);
    colorLabel->setBuddy(m_color);

    auto *effects = new QGroupBox(QStringLiteral("Effekte"), this);
    auto *effectsLayout = new QVBoxLayout(effects);
    effectsLayout->addWidget(m_strikeOut);
    effectsLayout->addWidget(m_underline);
    effectsLayout->addWidget(colorLabel);
    effectsLayout->addWidget(m_color);
    effectsLayout->addStretch();

    auto *sampleBox = new QGroupBox(QStringLiteral("Beispiel"), this);
    auto *sampleLayout = new QVBoxLayout(sampleBox);
    sampleLayout->addWidget(m_sample);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *grid = new QGridLayout(this);
    grid->addWidget(familyLabel, 0, 0);
    grid->addWidget(styleLabel, 0, 1);
    grid->addWidget(sizeLabel, 0, 2);
    grid->addWidget(m_family, 1, 0, Qt::AlignTop);
    grid->addWidget(m_style, 1, 1);
    grid->addWidget(m_size, 1, 2, Qt::AlignTop);
    grid->addWidget(effects, 2, 0);
    grid->addWidget(sampleBox, 2, 1, 1, 2);
    grid->addWidget(buttons, 3, 0, 1, 3);
    grid->setColumnStretch(0, 2);
    grid->setColumnStretch(1, 1);

    updateSample();
    windowfit::fitOnShow(this);
}

void PrintFontDialog::updateSample()
{
    PrintFont shown = m_choice.font();
    shown.size = std::clamp(shown.size, 1, kLargestSampleSize);
    m_sample->setFont(printfontqt::toQFont(shown));
    QPalette palette = m_sample->palette();
    palette.setColor(QPalette::WindowText, printfontqt::toQColor(shown.color));
    palette.setColor(QPalette::Window, Qt::white);
    m_sample->setPalette(palette);
}
