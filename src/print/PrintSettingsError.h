#pragma once

#include <QString>

#include <stdexcept>

// Print settings that cannot give a readable printout (margins larger than the page, a font size
// that cannot be printed). Raised before the print job begins, so nothing reaches the printer; the
// text is a complete German message for the user.
class PrintSettingsError : public std::runtime_error {
public:
    explicit PrintSettingsError(const QString &text) : std::runtime_error(text.toStdString()), m_text(text) {}

    const QString &text() const { return m_text; }

private:
    QString m_text;
};
