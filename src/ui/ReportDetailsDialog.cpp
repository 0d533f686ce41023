#include "ui/ReportDetailsDialog.h"

#include "ui/WindowFit.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextBlock>
#include <QValidator>
#include <QVBoxLayout>

namespace {

// A text field of several lines that asks for the height of `lines` lines; with `maxLines` it holds
// no more: Return on the last line does nothing, and pasted surplus lines join the last one.
class LinesEdit : public QPlainTextEdit {
public:
    LinesEdit(int lines, int maxLines, QWidget *parent) : QPlainTextEdit(parent), m_lines(lines), m_maxLines(maxLines)
    {
        setTabChangesFocus(true);
        setSizePolicy(QSizePolicy::Expanding, maxLines > 0 ? QSizePolicy::Fixed : QSizePolicy::Preferred);
        if (maxLines > 0)
            connect(this, &QPlainTextEdit::textChanged, this, &LinesEdit::joinSurplusLines);
    }

    QSize sizeHint() const override
    {
        const int frame = 2 * frameWidth() + int(2 * document()->documentMargin());
        return {QPlainTextEdit::sizeHint().width(), fontMetrics().lineSpacing() * m_lines + frame};
    }
    QSize minimumSizeHint() const override { return {QPlainTextEdit::minimumSizeHint().width(), sizeHint().height()}; }

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        const bool newLine = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
        if (newLine && m_maxLines > 0 && document()->blockCount() >= m_maxLines && !textCursor().hasSelection()) {
            event->accept();
            return;
        }
        QPlainTextEdit::keyPressEvent(event);
    }

private:
    void joinSurplusLines()
    {
        QStringList lines = toPlainText().split(u'\n');
        if (lines.size() <= m_maxLines)
            return;
        QStringList last = lines.mid(m_maxLines - 1);
        last.removeAll(QString());
        lines = lines.mid(0, m_maxLines - 1) << last.join(QStringLiteral(", "));
        setPlainText(lines.join(u'\n'));
        moveCursor(QTextCursor::End);
    }

    int m_lines;
    int m_maxLines;
};

// Takes a date as dd.mm.yyyy (or d.m.yyyy) or nothing; digits and points on the way to one are
// intermediate, anything else is refused as it is typed.
class DateValidator : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString &input, int &) const override
    {
        const QString text = input.trimmed();
        if (text.isEmpty() || QDate::fromString(text, QStringLiteral("d.M.yyyy")).isValid())
            return Acceptable;
        static const QRegularExpression partial(QStringLiteral("^\\d{0,2}(\\.\\d{0,2}(\\.\\d{0,4})?)?$"));
        return partial.match(text).hasMatch() ? Intermediate : Invalid;
    }
};

// A scroll area as large as its content wants (QScrollArea caps its hint at a few dozen lines); the
// dialog bounds it by the screen.
class FitScrollArea : public QScrollArea {
public:
    using QScrollArea::QScrollArea;

    QSize sizeHint() const override
    {
        const int frame = 2 * frameWidth();
        const QSize content = widget() ? widget()->sizeHint() : QSize();
        return content + QSize(frame + verticalScrollBar()->sizeHint().width(), frame);
    }
};

enum class Kind { Line, Address, Date, Text };

struct Row {
    const char *label;
    Kind kind;
};

// The fields in the order of ReportDetails::fields().
const Row kRows[] = {
    {"&Objekt:", Kind::Line},         {"&Anschrift:", Kind::Address},    {"Auftra&ggeber:", Kind::Line},
    {"Auftrag&nehmer:", Kind::Line},  {"&Begehung am:", Kind::Date},     {"&Teilnehmer:", Kind::Text},
    {"&Prüfer:", Kind::Line},         {"&Schlusstext:", Kind::Text},     {"Unterschrift &links:", Kind::Line},
    {"Unterschrift &rechts:", Kind::Line},
};
static_assert(std::size(kRows) == std::tuple_size_v<std::decay_t<decltype(ReportDetails::fields())>>);

// What a screen reader calls a field: its label without the mnemonic and the colon.
QString spokenName(QString label)
{
    label.remove(u'&');
    if (label.endsWith(u':'))
        label.chop(1);
    return label;
}

QString textOf(const QWidget *field)
{
    if (const auto *line = qobject_cast<const QLineEdit *>(field))
        return line->text();
    return static_cast<const QPlainTextEdit *>(field)->toPlainText();
}

void setTextOf(QWidget *field, const QString &text)
{
    if (auto *line = qobject_cast<QLineEdit *>(field))
        line->setText(text);
    else
        static_cast<QPlainTextEdit *>(field)->setPlainText(text);
}

} // namespace

ReportDetailsDialog::ReportDetailsDialog(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Berichtsangaben"));
    auto *content = new QWidget;
    auto *form = new QFormLayout(content);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    for (const Row &row : kRows) {
        const QString text = QString::fromUtf8(row.label);
        QWidget *field = nullptr;
        switch (row.kind) {
        case Kind::Line:
            field = new QLineEdit(content);
            break;
        case Kind::Date:
            m_date = new QLineEdit(content);
            m_date->setValidator(new DateValidator(m_date));
            m_date->setPlaceholderText(QStringLiteral("TT.MM.JJJJ"));
            m_date->setToolTip(QStringLiteral("Datum der Begehung, z. B. 01.12.2026; leer: keines"));
            connect(m_date, &QLineEdit::textChanged, this, &ReportDetailsDialog::dateEdited);
            field = m_date;
            break;
        case Kind::Address:
            field = new LinesEdit(kAddressLines, kAddressLines, content);
            break;
        case Kind::Text:
            field = new LinesEdit(4, 0, content);
            break;
        }
        auto *label = new QLabel(text, content);
        label->setBuddy(field);
        field->setAccessibleName(spokenName(text));
        form->addRow(label, field);
        m_labels << label;
        m_fields << field;
        if (row.kind == Kind::Date) {
            m_dateHint = new QLabel(QStringLiteral("Bitte das Datum als TT.MM.JJJJ eingeben oder das Feld leeren."),
                                    content);
            m_dateHint->setWordWrap(true);
            m_dateHint->setVisible(false);
            form->addRow(QString(), m_dateHint);
        }
    }

    m_scroll = new FitScrollArea(this);
    m_scroll->setWidget(content);
    m_scroll->setWidgetResizable(true);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setFocusPolicy(Qt::NoFocus); // Tab goes from field to field

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_scroll);
    layout->addWidget(buttons);
    setDetails(ReportDetails{});
    m_fields.front()->setFocus(Qt::OtherFocusReason);
    windowfit::fitOnShow(this);
}

void ReportDetailsDialog::setDetails(const ReportDetails &details)
{
    m_details = details;
    for (qsizetype i = 0; i < m_fields.size(); ++i)
        setTextOf(m_fields[i], details.*ReportDetails::fields()[size_t(i)].member);
    dateEdited();
}

ReportDetails ReportDetailsDialog::details() const
{
    ReportDetails details = m_details;
    for (qsizetype i = 0; i < m_fields.size(); ++i)
        details.*ReportDetails::fields()[size_t(i)].member = textOf(m_fields[i]);
    if (const QDate date = details.inspectionDate(); date.isValid())
        details.setInspectionDate(date);
    return details;
}

void ReportDetailsDialog::dateEdited()
{
    const bool acceptable = m_date->hasAcceptableInput();
    m_dateHint->setVisible(!acceptable);
    m_ok->setEnabled(acceptable);
}

QSize ReportDetailsDialog::sizeHint() const
{
    return QDialog::sizeHint().expandedTo(QSize(480, 0));
}
