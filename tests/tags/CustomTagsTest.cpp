// Custom tags: custom.dat on disk, the list's order and picks, the add dialog's checks and
// completions.
#include "tags/CustomTags.h"
#include "editor/TextBuffer.h"
#include "platform/Clipboard.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"
#include "tags/TagInsertion.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

TEST(CustomTags, PartsOfAnEntry) {
    struct Case {
        const char* entry;
        bool ok;
        const char* start;
        const char* end;
    };
    const Case cases[] = {
        {"Red * <FONT COLOR=red></FONT>", true, "<FONT COLOR=red>", "</FONT>"},
        {"Bold * <B></B>", true, "<B>", "</B>"},
        {"Rule * <HR>", true, "<HR>", ""},
        {"no tags at all", false, "", ""},
        {"half * <B", false, "", ""},
        {"gt first > * <B></B>", true, "<B>", "</B>"},
        {"open end * <B></B", true, "<B>", "</B"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        const auto parts = customTagParts(QString::fromUtf8(c.entry));
        ASSERT_EQ(parts.has_value(), c.ok);
        if (!c.ok)
            continue;
        EXPECT_EQ(parts->start, QString::fromUtf8(c.start));
        EXPECT_EQ(parts->end, QString::fromUtf8(c.end));
    }
}

TEST(CustomTags, AddWritesSortedLinesAndKeepsHandEditedOnes) {
    TempDir dir;
    ASSERT_TRUE(
        dir.write("custom.dat", "zeta * <Z></Z>\r\nhand edited, no tags\r\nAlpha * <A>\r\n"));
    ScriptedPrompter prompter;
    CustomTags list(dir.file("custom.dat"), prompter);
    list.loadCustomTags();
    EXPECT_EQ(list.entries(), (QStringList{QStringLiteral("  Select a Custom Tag to Insert"),
                                           QStringLiteral(" NONE"), QStringLiteral("Alpha * <A>"),
                                           QStringLiteral("hand edited, no tags"),
                                           QStringLiteral("zeta * <Z></Z>")}));
    EXPECT_FALSE(list.pick(0));
    EXPECT_FALSE(list.pick(1));
    EXPECT_FALSE(list.pick(3)); // the hand-edited line inserts nothing
    ASSERT_TRUE(list.pick(2));
    EXPECT_EQ(list.pick(2)->start, QStringLiteral("<A>"));

    EXPECT_TRUE(list.add(QStringLiteral("Bold"), QStringLiteral("<B>"), QStringLiteral("</B>")));
    EXPECT_EQ(dir.read("custom.dat"), QByteArray("Alpha * <A>\r\nBold * <B></B>\r\nhand edited, "
                                                 "no tags\r\nzeta * <Z></Z>\r\n"));
    EXPECT_TRUE(prompter.shown().empty());

    EXPECT_TRUE(list.replaceAll({QStringLiteral("zeta * <Z></Z>")}));
    EXPECT_EQ(dir.read("custom.dat"), QByteArray("zeta * <Z></Z>\r\n"));
    EXPECT_TRUE(list.replaceAll({}));
    EXPECT_EQ(dir.read("custom.dat"), QByteArray());
}

TEST(CustomTags, MissingFileGivesTheFixedEntriesAndAWriteFailureIsTold) {
    TempDir dir;
    ScriptedPrompter prompter;
    const QString path = dir.file("no-such-folder/custom.dat");
    CustomTags list(path, prompter);
    list.loadCustomTags();
    EXPECT_EQ(list.entries().size(), 2);
    prompter.queue(MessageAnswer::Ok);
    EXPECT_FALSE(list.add(QStringLiteral("B"), QStringLiteral("<B>"), QStringLiteral("</B>")));
    ASSERT_EQ(prompter.texts().size(), 1);
    EXPECT_TRUE(prompter.texts().first().startsWith(
        QStringLiteral("The custom tags could not be saved to \"") + path + QStringLiteral("\": ")))
        << prompter.texts().first().toStdString();
    EXPECT_EQ(list.entries().size(), 3); // kept for this run
}

TEST(CustomTags, AddChecksInOrder) {
    struct Case {
        const char* name;
        const char* start;
        const char* end;
        CustomTagCheck result;
        const char* message; // empty: none
    };
    const Case cases[] = {
        {"", "<B>", "</B>", CustomTagCheck::FocusName, "You must supply a NAME for this tag."},
        {" Bold", "<B>", "</B>", CustomTagCheck::FocusName,
         "The NAME may not start with a blank space."},
        {"a*b", "<B>", "</B>", CustomTagCheck::FocusName,
         "The NAME cannot contain any asterisk(*), \"<\", or \">\" characters. Please fix."},
        {"a<b", "<B>", "</B>", CustomTagCheck::FocusName,
         "The NAME cannot contain any asterisk(*), \"<\", or \">\" characters. Please fix."},
        {"Bold", "<>", "</B>", CustomTagCheck::FocusStart,
         "You have not entered a START tag. This is a required field."},
        {"Bold", "", "", CustomTagCheck::FocusStart,
         "You have not entered a START tag. This is a required field."},
        {"Bold", "<B>", "</B>", CustomTagCheck::Accepted, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedPrompter prompter;
        if (*c.message)
            prompter.queue(MessageAnswer::Ok);
        EXPECT_EQ(checkNewCustomTag(QString::fromUtf8(c.name), QString::fromUtf8(c.start),
                                    QString::fromUtf8(c.end), prompter),
                  c.result);
        EXPECT_EQ(prompter.texts(),
                  *c.message ? QStringList{QString::fromUtf8(c.message)} : QStringList{});
    }
    const QString question = QStringLiteral(
        "You have not entered an END tag. Do you wish to continue without a END tag?");
    ScriptedPrompter no;
    no.queue(MessageAnswer::No);
    EXPECT_EQ(checkNewCustomTag(QStringLiteral("Rule"), QStringLiteral("<HR>"), {}, no),
              CustomTagCheck::FocusEnd);
    EXPECT_EQ(no.texts(), QStringList{question});
    ScriptedPrompter yes;
    yes.queue(MessageAnswer::Yes);
    EXPECT_EQ(checkNewCustomTag(QStringLiteral("Rule"), QStringLiteral("<HR>"), {}, yes),
              CustomTagCheck::Accepted);
}

TEST(CustomTags, FieldCompletion) {
    auto s = completeStartTag(QStringLiteral("<B>"));
    ASSERT_TRUE(s);
    EXPECT_EQ(s->start.text, QStringLiteral("<B>"));
    EXPECT_EQ(s->start.caret, 2);
    EXPECT_EQ(s->end, QStringLiteral("</B>"));
    s = completeStartTag(QStringLiteral("FONT SIZE=2"));
    EXPECT_EQ(s->start.text, QStringLiteral("<FONT SIZE=2>"));
    EXPECT_EQ(s->end, QStringLiteral("</FONT SIZE=2>"));
    EXPECT_EQ(completeStartTag(QStringLiteral("<"))->start.text, QStringLiteral("<>"));
    EXPECT_FALSE(completeStartTag(QString()));

    EXPECT_EQ(completeEndTag(QStringLiteral("B"))->text, QStringLiteral("</B>"));
    EXPECT_EQ(completeEndTag(QStringLiteral("<B"))->text, QStringLiteral("</B>"));
    EXPECT_EQ(completeEndTag(QStringLiteral("</B>"))->text, QStringLiteral("</B>"));
    EXPECT_EQ(completeEndTag(QStringLiteral("</B>"))->caret, 3);
    EXPECT_EQ(completeEndTag(QStringLiteral(">"))->text, QStringLiteral("</>"));
    EXPECT_FALSE(completeEndTag(QString()));
}

TEST(CustomTags, EmptyEndTagInsertsTheStartBeforeTheSelection) {
    TextBuffer editor;
    MemoryClipboard clipboard;
    bool marked = false;
    TagInserter tags(editor, clipboard, [&] { marked = true; });
    editor.setText(QStringLiteral("x"));
    editor.selectAll();
    const auto parts = customTagParts(QStringLiteral("Rule * <HR>"));
    ASSERT_TRUE(parts);
    tags.insertCustomTag(parts->start, parts->end);
    EXPECT_EQ(editor.text(), QStringLiteral("<HR>x"));
    EXPECT_EQ(editor.selText(), QStringLiteral("<HR>x"));
    EXPECT_TRUE(marked);
}

} // namespace
