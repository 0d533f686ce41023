#pragma once

#include "print/FontChoice.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QSpinBox;

// The print font dialog: family, style, size, strike-out, underline and colour, with a sample.
//
// It opens on the font it is given, families the system lacks included, and its result is that font
// with the user's changes and nothing else (see FontChoice).
class PrintFontDialog : public QDialog {
    Q_OBJECT

public:
    explicit PrintFontDialog(const PrintFont &font, QWidget *parent = nullptr);

    // The font as chosen so far; after OK, the chosen font.
    const PrintFont &font() const { return m_choice.font(); }

private:
    void updateSample();

    FontChoice m_choice;
    QComboBox *m_family;
    QListWidget *m_style;
    QSpinBox *m_size;
    QCheckBox *m_strikeOut;
    QCheckBox *m_underline;
    QComboBox *m_color;
    QLabel *m_sample;
};
