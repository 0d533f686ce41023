#include "WindowFixture.h"
#include "ui/AccessibleNames.h"
#include "ui_MainUnit.h"

#include <QAccessible>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLineEdit>
#include <QTest>
#include <QToolTip>
#include <QVBoxLayout>

#include <variant>

namespace {

using Views = WindowFixture;

// A two-column list view on its own, shown at the given width.
struct Columns : ::testing::Test {
    EntryList list{{QStringLiteral("Name"), QStringLiteral("Baugruppe")}};
    ListView view;

    void SetUp() override
    {
        view.setModel(&list);
        view.resize(400, 200);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    }
    int width() const { return view.viewport()->width(); }
    int first() const { return view.header()->sectionSize(0); }
    // Shows the tooltip of the cell at row 0, column c, and answers its text ("" when none shows).
    QString tipAt(int c)
    {
        QToolTip::hideText();
        EXPECT_TRUE(testsupport::eventually([] { return !QToolTip::isVisible(); }));
        const QRect cell = view.visualRect(list.index(0, c));
        QHelpEvent help(QEvent::ToolTip, cell.center(), view.viewport()->mapToGlobal(cell.center()));
        QCoreApplication::sendEvent(view.viewport(), &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    }
};

// A list view with a text field after it in the focus chain, shown in an active window.
struct InPlaceEdit : ::testing::Test {
    QWidget page;
    EntryList list{{QStringLiteral("Name"), QStringLiteral("Baugruppe")}};
    ListView *view = new ListView(&page);
    QLineEdit *after = new QLineEdit(&page);
    QStringList warnings;

    void SetUp() override
    {
        auto *layout = new QVBoxLayout(&page);
        layout->addWidget(view);
        layout->addWidget(after);
        view->setModel(&list);
        list.appendEntries({{"Riss", {"Dach"}}, {"Loch", {"Dach"}}, {"Ziegel", {"Dach"}}});
        page.show();
        QApplication::setActiveWindow(&page);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&page));
        s_warnings = &warnings;
        s_previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &context, const QString &text) {
            if (type == QtWarningMsg)
                s_warnings->append(text);
            s_previous(type, context, text);
        });
    }
    void TearDown() override { qInstallMessageHandler(s_previous); }

    // Keys typed while the program was busy come in one burst: each reaches the widget that has the
    // focus when it is delivered, and nothing posted meanwhile runs between them.
    using Typed = std::variant<Qt::Key, QString>;
    void typeInOneBurst(const std::vector<Typed> &keys)
    {
        for (const Typed &typed : keys) {
            QMetaObject::invokeMethod(
                &page,
                [typed] {
                    QWidget *focus = QApplication::focusWidget();
                    if (const Qt::Key *key = std::get_if<Qt::Key>(&typed))
                        QTest::keyClick(focus, *key);
                    else
                        QTest::keyClicks(focus, std::get<QString>(typed));
                },
                Qt::QueuedConnection);
        }
        bool delivered = false;
        QMetaObject::invokeMethod(&page, [&delivered] { delivered = true; }, Qt::QueuedConnection);
        ASSERT_TRUE(testsupport::eventually([&delivered] { return delivered; }));
        QCoreApplication::processEvents(); // what the keys left to run afterwards
    }

    static inline QStringList *s_warnings = nullptr;
    static inline QtMessageHandler s_previous = nullptr;
};

// The same view, with what it tells a screen reader about its rows recorded.
struct Announcements : InPlaceEdit {
    struct Heard {
        QObject *object;
        QString name;
        bool selected;
    };
    std::vector<Heard> heard;

    void SetUp() override
    {
        InPlaceEdit::SetUp();
        accessiblenames::setAnnouncementListener([this](QAccessibleEvent &event) {
            QAccessibleInterface *row = event.type() == QAccessible::Focus && event.child() >= 0
                                            ? event.accessibleInterface()
                                            : nullptr;
            if (row)
                heard.push_back({event.object(), row->text(QAccessible::Name), bool(row->state().selected)});
        });
    }
    void TearDown() override
    {
        accessiblenames::setAnnouncementListener({});
        InPlaceEdit::TearDown();
    }
    // The last row heard of, once the events waiting have run.
    void expectHeard(const char *name, bool selected)
    {
        QCoreApplication::processEvents();
        ASSERT_FALSE(heard.empty());
        EXPECT_EQ(heard.back().object, view);
        EXPECT_EQ(heard.back().name, QString::fromUtf8(name));
        EXPECT_EQ(heard.back().selected, selected);
    }
};

void clickHeader(ListView *view, int column)
{
    QHeaderView *h = view->header();
    const QPoint at(h->sectionViewportPosition(column) + h->sectionSize(column) / 2, h->height() / 2);
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, at);
}

} // namespace

TEST_F(Views, header_showsTheSortStateAfterEachClick)
{
    createWithStarter();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    for (ListView *v : {form->ListView1(), form->ListView2(), form->ListView3()})
        EXPECT_EQ(v->header()->sortIndicatorSection(), -1) << "no order is shown before a click";
    // The filtered view shows the order of its last rebuild, which a click on it does not change.
    const int filteredSection = form->ListView4()->header()->sortIndicatorSection();

    struct Step {
        ListView *clicked;
        int column;
        std::vector<ListView *> showing; // the views sorted by the click
        int section;
        Qt::SortOrder order;
    };
    ListView *v1 = form->ListView1(), *v2 = form->ListView2(), *v3 = form->ListView3(), *v4 = form->ListView4();
    const Step steps[] = {
        {v1, 0, {v1}, 0, Qt::DescendingOrder}, // the state starts at "Name", ascending
        {v1, 0, {v1}, 0, Qt::AscendingOrder},
        {v2, 1, {v2}, 1, Qt::AscendingOrder},
        {v4, 1, {v2}, 1, Qt::DescendingOrder},
        {v4, 0, {v2}, 0, Qt::AscendingOrder},
        {v3, 1, {v3}, 1, Qt::AscendingOrder},
        {v3, 1, {v3}, 1, Qt::DescendingOrder},
    };
    int n = 0;
    for (const Step &s : steps) {
        SCOPED_TRACE(n++);
        clickHeader(s.clicked, s.column);
        for (ListView *v : s.showing) {
            EXPECT_EQ(v->header()->sortIndicatorSection(), s.section) << v->objectName().toStdString();
            EXPECT_EQ(v->header()->sortIndicatorOrder(), s.order) << v->objectName().toStdString();
        }
        EXPECT_EQ(v4->header()->sortIndicatorSection(), filteredSection);
    }
    EXPECT_EQ(captions(doc().DefectList), std::vector<std::string>{"Alt"});
    EXPECT_EQ(captions(doc().AssemblyList), (std::vector<std::string>{"Dach", "Fassade"}));
}

TEST_F(Columns, sharesTheWidthAndKeepsTheUsersShareWhenResized)
{
    EXPECT_NEAR(first(), width() / 2, 1);
    EXPECT_NEAR(view.header()->sectionSize(1), width() - first(), 1);

    // A drag of the header edge: the first column takes a quarter.
    view.header()->resizeSection(0, width() / 4);
    view.resize(800, 200);
    QCoreApplication::processEvents();
    EXPECT_NEAR(first(), width() / 4, 1);
    EXPECT_NEAR(view.header()->sectionSize(0) + view.header()->sectionSize(1), width(), 1);
    EXPECT_NEAR(view.columnShares()[0], 0.25, 0.01);

    // A drag past the edge leaves the last column in sight.
    view.header()->resizeSection(0, width() + 200);
    EXPECT_EQ(first(), width() - view.header()->minimumSectionSize());
}

TEST_F(Columns, aCellThatCutsItsTextShowsItWhole)
{
    const std::string longName(300, 'W');
    list.append({longName, {"Dach"}});
    EXPECT_EQ(tipAt(0), QString::fromStdString(longName));
    EXPECT_EQ(tipAt(1), QString()) << "the whole text shows, no tooltip";

    const QString huge(ListView::kMaxTipLength + 500, u'x');
    EXPECT_EQ(ListView::cutTextTip(huge), huge.left(ListView::kMaxTipLength) + QStringLiteral("…"));
    EXPECT_EQ(ListView::cutTextTip(QStringLiteral("Riss")), QStringLiteral("Riss"));
}

// Return and Tab end an edit on the entry it was opened on, before the keys that follow them in the
// same burst arrive: Tab then moves on to the next widget, as from the view (here the only other one). Neither opens the
// editor on another entry nor moves the selection.
TEST_F(InPlaceEdit, keysTypedInOneBurstEndTheEditOnItsOwnEntry)
{
    const struct {
        const char *name;
        std::vector<Typed> keys;
    } cases[] = {
        {"Return, then Tab", {QStringLiteral("Wand"), Qt::Key_Return, Qt::Key_Tab, QStringLiteral("x")}},
        {"Tab", {QStringLiteral("Wand"), Qt::Key_Tab, QStringLiteral("x")}},
        {"Backtab", {QStringLiteral("Wand"), Qt::Key_Backtab, QStringLiteral("x")}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        list.setCaption(1, "Loch");
        after->clear();
        warnings.clear();
        view->openEditor(1);
        ASSERT_TRUE(view->isEditing());
        typeInOneBurst(c.keys);
        EXPECT_EQ(testsupport::captions(list), (std::vector<std::string>{"Riss", "Wand", "Ziegel"}));
        EXPECT_FALSE(view->isEditing());
        EXPECT_EQ(view->selectedRow(), 1);
        EXPECT_EQ(after->text(), QStringLiteral("x")) << "the key after Tab goes to the next widget";
        EXPECT_TRUE(warnings.isEmpty()) << warnings.join(u'\n').toStdString();
    }
}

// The editor opens on a name up to the editable length and holds it whole; on a longer one it does not
// open, the view names the length instead, and the name stays whole.
TEST_F(InPlaceEdit, aNameTooLongToEditKeepsItsTextAndIsNamedInsteadOfFreezing)
{
    std::vector<qsizetype> noticed;
    view->setTooLongNotice([&noticed](qsizetype length) { noticed.push_back(length); });
    for (const qsizetype length : {ListView::kMaxEditLength, ListView::kMaxEditLength + 1, qsizetype(5'000'000)}) {
        SCOPED_TRACE(length);
        const bool editable = length <= ListView::kMaxEditLength;
        list.setCaption(1, std::string(std::size_t(length), 'x'));
        noticed.clear();
        view->openEditor(1);
        ASSERT_EQ(view->isEditing(), editable);
        if (editable) {
            auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
            ASSERT_NE(editor, nullptr);
            EXPECT_EQ(editor->text().size(), length);
            QTest::keyClick(editor, Qt::Key_Return);
        }
        EXPECT_EQ(noticed, editable ? std::vector<qsizetype>{} : std::vector<qsizetype>{length});
        EXPECT_EQ(list.entries()[1].caption().size(), std::size_t(length));
    }
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join(u'\n').toStdString();
    EXPECT_EQ(ListView::tooLongText(5'000'000),
              QStringLiteral("Der Name ist zu lang, um ihn hier zu bearbeiten: Er hat 5.000.000 Zeichen, bearbeiten "
                             "lassen sich bis zu 32.767. Der Name bleibt, wie er ist."));
}

// Entering the view names its current row; removing the current row leaves nothing selected and
// makes the next row (the one before, at the end) current, which a screen reader hears of as not
// selected; the space bar selects it.
TEST_F(Announcements, enteringTheViewOrRemovingItsCurrentRowNamesTheCurrentRow)
{
    view->selectRow(1);
    after->setFocus(Qt::TabFocusReason);
    view->setFocus(Qt::TabFocusReason);
    expectHeard("Loch", true);

    const struct {
        int removed;
        const char *next; // nullptr: none left
        int nextRow;
    } table[] = {{1, "Ziegel", 1}, {1, "Riss", 0}, {0, nullptr, -1}};
    for (const auto &row : table) {
        SCOPED_TRACE(row.next ? row.next : "none left");
        view->selectRow(row.removed);
        heard.clear();
        list.removeAt(row.removed);
        EXPECT_EQ(view->selectedRow(), -1);
        EXPECT_EQ(view->currentIndex().row(), row.nextRow);
        if (!row.next) {
            QCoreApplication::processEvents();
            EXPECT_TRUE(heard.empty());
            continue;
        }
        expectHeard(row.next, false);
        QTest::keyClick(view, Qt::Key_Space);
        EXPECT_EQ(view->selectedRow(), row.nextRow);
    }
}
