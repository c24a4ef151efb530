// The main window's handler registry against the menu and bar tables it is built from.
#include "WindowTest.h"

#include "shell/UiTables.h"

#include <QLineEdit>
#include <QSet>

using namespace shell;

namespace {

// Collects the registry's complaints (a name registered twice, a name run that nothing
// registered) while it lives; other messages pass on.
class HandlerComplaints
{
public:
    QStringList messages;

    HandlerComplaints()
    {
        s_sink = &messages;
        s_previous = qInstallMessageHandler(collect);
    }
    ~HandlerComplaints()
    {
        qInstallMessageHandler(s_previous);
        s_sink = nullptr;
    }

private:
    static void collect(QtMsgType type, const QMessageLogContext &context, const QString &text)
    {
        if (s_sink && qstrcmp(context.category, "kotonami.handlers") == 0)
            s_sink->append(text);
        else if (s_previous)
            s_previous(type, context, text);
    }
    static inline QStringList *s_sink = nullptr;
    static inline QtMessageHandler s_previous = nullptr;
};

// Listens from before the window is made, so registrations are heard too.
struct HandlerRegistry : testsupport::WindowTest
{
    HandlerComplaints complaints;
};

} // namespace

// Every handler a table names is registered, every registered handler is named by a table
// row, no name is registered twice, and running a name nothing registered is reported.
TEST_F(HandlerRegistry, AgreesWithTheMenuAndBarTables)
{
    EXPECT_EQ(complaints.messages, QStringList());

    QHash<QString, QStringList> rowsNaming; // handler -> the rows that run it
    for (const MenuRow &row : builtInMenus())
        if (!row.handler.isEmpty())
            rowsNaming[row.handler] << row.name;
    for (const BarRow &row : builtInBars())
        if (!row.handler.isEmpty())
            rowsNaming[row.handler] << row.name;
    for (auto it = rowsNaming.cbegin(); it != rowsNaming.cend(); ++it)
        EXPECT_TRUE(w->hasHandler(it.key()))
            << qPrintable(it.key()) << " named by " << qPrintable(it.value().join(u' '));

    // Handlers the program runs only from its own code, by name; none today. One added
    // without a table row belongs here, with the place that runs it.
    const QSet<QString> runFromCodeOnly{};
    for (const QString &name : w->handlerNames())
        EXPECT_TRUE(rowsNaming.contains(name) || runFromCodeOnly.contains(name))
            << qPrintable(name) << " is registered but no table row runs it";

    EXPECT_FALSE(w->run(QStringLiteral("New1Clik")));
    ASSERT_EQ(complaints.messages.size(), 1);
    EXPECT_TRUE(complaints.messages[0].contains(QStringLiteral("New1Clik")));
}

// A bar's edit shows its text as its hint, so a text wider than the edit can be read whole
// on hover and in the status bar; emptied, it says again what it is for.
TEST_F(HandlerRegistry, EditsShowTheirTextAsTheirHint)
{
    const QString longText = QStringLiteral("春過ぎて夏来にけらし白妙の衣ほすてふ天の香具山");
    int edits = 0;
    for (const BarRow &row : builtInBars()) {
        if (row.kind != QStringLiteral("edit"))
            continue;
        ++edits;
        QLineEdit *e = w->edit(row.name);
        ASSERT_NE(e, nullptr) << qPrintable(row.name);
        e->setText(longText);
        EXPECT_EQ(e->toolTip(), longText) << qPrintable(row.name);
        EXPECT_EQ(e->statusTip(), longText) << qPrintable(row.name);
        e->clear();
        EXPECT_EQ(e->toolTip(), row.hint) << qPrintable(row.name);
        EXPECT_EQ(e->statusTip(), row.hint) << qPrintable(row.name);
    }
    EXPECT_EQ(edits, 4);
    EXPECT_EQ(complaints.messages, QStringList());
}
