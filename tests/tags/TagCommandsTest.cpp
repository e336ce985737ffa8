// The tag command table walked row by row: each command sits in the Tags menu, its tag tab and
// the pop-up as its row says, and inserts exactly its texts in its mode.
#include "tags/TagCommands.h"
#include "app/AppState.h"
#include "editor/TextBuffer.h"
#include "platform/Clipboard.h"
#include "support/ScriptedFileChooser.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"
#include "tags/TagInsertion.h"

#include <gtest/gtest.h>

namespace {

struct NoDialogs : TagDialogs {
    std::optional<QString> answer;
    std::optional<QString> askMailToAddress(const QString&) override { return answer; }
    void showTagPanel(TagInserter&) override {}
    QList<PowerDialog> opened;
    PowerDialogOutcome openPowerDialog(PowerDialog which) override {
        opened << which;
        return {};
    }
};

struct Tags {
    Tags()
        : state(dir.path(), dir.path(), editor, prompter, chooser, clipboard),
          inserter(editor, clipboard, [this] { state.document().setHtmlModified(true); }),
          table(tagCommands(state, editor, inserter, dialogs,
                            [] { return QDateTime(QDate(2026, 12, 7), QTime(14, 3)); })) {
        editor.setClipboard(&clipboard);
        state.startUp();
    }
    const Command* command(const QString& id) const {
        for (const Command& c : table.commands)
            if (c.id == id)
                return &c;
        return nullptr;
    }
    // The captions leading to id in a layout's tree ("" when it is not there).
    static QString pathTo(const QList<LayoutItem>& items, const QString& id, const QString& at) {
        for (const LayoutItem& item : items) {
            if (item.kind == LayoutItem::Kind::Command && item.id == id)
                return at;
            if (item.kind == LayoutItem::Kind::SubMenu) {
                const QString p = pathTo(item.items, id, at + item.caption + QStringLiteral(" › "));
                if (!p.isEmpty())
                    return p;
            }
        }
        return {};
    }
    const Layout* layout(const QString& name) const {
        for (const Layout& l : table.layouts)
            if (l.name == name)
                return &l;
        return nullptr;
    }

    TempDir dir;
    TextBuffer editor;
    MemoryClipboard clipboard;
    ScriptedPrompter prompter;
    ScriptedFileChooser chooser;
    AppState state;
    TagInserter inserter;
    NoDialogs dialogs;
    CommandTable table;
};

TEST(TagCommands, EverySimpleRowIsPlacedAndInsertsItsTexts) {
    Tags t;
    ASSERT_EQ(simpleTagRows().size(), 43);
    for (const SimpleTagRow& row : simpleTagRows()) {
        SCOPED_TRACE(row.id);
        const Command* c = t.command(QLatin1String(row.id));
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->shortcut, QKeySequence(QLatin1String(row.shortcut)));
        EXPECT_EQ(c->hint, QString::fromUtf8(row.hint));
        const QString menuPath = QString::fromUtf8(row.menuPath);
        EXPECT_EQ(Tags::pathTo(t.layout(QStringLiteral("Tags1"))->items, c->id, {}) + c->caption,
                  menuPath);
        if (*row.tab) {
            const Layout* tab = t.layout(QLatin1String(row.tab) + QStringLiteral("Tab"));
            ASSERT_NE(tab, nullptr);
            bool found = false;
            for (const LayoutItem& item : tab->items)
                if (item.id == c->id) {
                    found = true;
                    EXPECT_EQ(item.caption, QString::fromUtf8(row.tabText));
                }
            EXPECT_TRUE(found);
        }
        if (*row.popupPath) {
            const QString p =
                Tags::pathTo(t.layout(QStringLiteral("EditorPopup"))->items, c->id, {});
            EXPECT_TRUE(QString::fromUtf8(row.popupPath).startsWith(p) && !p.isEmpty());
        }

        t.editor.setText(QStringLiteral("a\r\nb"));
        t.editor.selectAll();
        t.state.document().setHtmlModified(false);
        ASSERT_TRUE(c->run);
        c->run();
        EXPECT_TRUE(t.state.document().htmlModified());
        const QString start = QString::fromUtf8(row.start);
        const QString end = QString::fromUtf8(row.end);
        switch (row.mode) {
        case TagMode::Wrap:
            EXPECT_EQ(t.editor.text(), start + QStringLiteral("a\r\nb") + end);
            EXPECT_EQ(t.editor.selText(), t.editor.text());
            break;
        case TagMode::Point:
            EXPECT_EQ(t.editor.text(), start == QLatin1String("<BR>")
                                           ? QStringLiteral("a\r\nb<BR>")
                                           : start + QStringLiteral("a\r\nb"));
            EXPECT_EQ(t.editor.selLength(), 0);
            break;
        case TagMode::Block:
            EXPECT_EQ(t.editor.text(), blockText(start, QStringLiteral("a\r\nb")));
            break;
        }
    }
}

TEST(TagCommands, BoldAndItalicFollowTheirSettings) {
    Tags t;
    t.state.settings().strongTag = true;
    t.command(QStringLiteral("Bold1"))->run();
    EXPECT_EQ(t.editor.text(), QStringLiteral("<STRONG></STRONG>"));
    t.editor.clear();
    t.state.settings().emTag = true;
    t.command(QStringLiteral("Italic1"))->run();
    EXPECT_EQ(t.editor.text(), QStringLiteral("<EM></EM>"));
}

TEST(TagCommands, QuickTablesAndPowerEntries) {
    Tags t;
    int menu = 0;
    int popup = 0;
    for (int r = 1; r <= 5; ++r)
        for (int c = 1; c <= 5; ++c) {
            const QString id = QStringLiteral("Table%1R%2C").arg(r).arg(c);
            const Command* cmd = t.command(id);
            ASSERT_NE(cmd, nullptr);
            EXPECT_EQ(Tags::pathTo(t.layout(QStringLiteral("Tags1"))->items, id, {}) + cmd->caption,
                      QStringLiteral("Table... › %1R X › %2C").arg(r).arg(c));
            ++menu;
            if (!Tags::pathTo(t.layout(QStringLiteral("EditorPopup"))->items, id, {}).isEmpty())
                ++popup;
            t.editor.clear();
            cmd->run();
            EXPECT_EQ(t.editor.text(), tableGridText(r, c));
        }
    EXPECT_EQ(menu + popup, 41);
    const std::pair<const char*, PowerDialog> power[] = {
        {"PowerBODY1", PowerDialog::Body},      {"PowerAHREF1", PowerDialog::Anchor},
        {"PowerIMG1", PowerDialog::Image},      {"PowerTABLE1", PowerDialog::Table},
        {"PowerFRAME1", PowerDialog::Frames},   {"PowerLIST1", PowerDialog::List},
        {"HorizontalRule1", PowerDialog::Rule}, {"FRAMESETDialog1", PowerDialog::FrameSet},
        {"FRAMEDialog1", PowerDialog::Frame}};
    for (const auto& [id, dialog] : power) {
        const Command* c = t.command(QLatin1String(id));
        ASSERT_NE(c, nullptr) << id;
        t.dialogs.opened.clear();
        c->run();
        EXPECT_EQ(t.dialogs.opened, QList<PowerDialog>{dialog}) << id;
    }
    EXPECT_EQ(t.command(QStringLiteral("PowerBODY1"))->shortcut,
              QKeySequence(QStringLiteral("Ctrl+B")));
}

TEST(TagCommands, MailToStoresTheAddressOnlyWhenAccepted) {
    Tags t;
    t.dialogs.answer = std::nullopt;
    const QString before = t.state.settings().email;
    t.command(QStringLiteral("MailTo1"))->run();
    EXPECT_EQ(t.editor.text(), QString());
    EXPECT_FALSE(t.state.document().htmlModified());
    EXPECT_EQ(t.state.settings().email, before);
    t.dialogs.answer = QStringLiteral("me@host.example");
    t.command(QStringLiteral("MailTo1"))->run();
    EXPECT_EQ(t.editor.text(), QStringLiteral("<A HREF=\"mailto:me@host.example\"></A>"));
    EXPECT_EQ(t.state.settings().email, QStringLiteral("me@host.example"));
    EXPECT_TRUE(t.dir.read("OPTIONS.INI").contains("EMAIL=me@host.example"));
    t.editor.clear();
    t.command(QStringLiteral("InsertLastModified1"))->run();
    EXPECT_EQ(t.editor.text(),
              QStringLiteral("<!--Last Modified: Monday, Dec 7, 2026, at 02:03 PM-->"));
}

} // namespace
