// The action registry: one action per id wherever the layouts place it, states that follow the
// model's signals, additions of later rooms, and the faults of tables it reports.
#include "ui/shell/ActionRegistry.h"
#include "ui/shell/MenuTree.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

class Model : public QObject {
    Q_OBJECT
public:
    bool on = true;
    QString name = QStringLiteral("one");
    void set(bool value) {
        on = value;
        emit changed();
    }
signals:
    void changed();
};

struct Fixture {
    QMainWindow window;
    QToolBar* tools = window.addToolBar(QStringLiteral("Tools"));
    QTabWidget* tabs = new QTabWidget(&window);
    ActionRegistry registry{&window};
    Model model;
    QStringList ran;

    Command command(const char* id, const char* caption, const char* keys = "") {
        Command c;
        c.id = QLatin1String(id);
        c.caption = QLatin1String(caption);
        c.shortcut = QKeySequence(QLatin1String(keys));
        c.run = [this, id] { ran << QLatin1String(id); };
        return c;
    }

    // A small room: a menu with a sub-menu and a check entry, a tool bar, a tag tab, a pop-up.
    CommandTable table() {
        CommandTable t;
        Command save = command("Save1", "&Save", "Alt+S");
        save.hint = QStringLiteral("Save the file");
        save.icon = QStringLiteral("file-save");
        save.enabled = [this] { return model.on; };
        save.watches = {watch(&model, &Model::changed)};
        Command wrap = command("Wrap1", "&Wrap");
        wrap.checked = [this] { return model.on; };
        wrap.watches = {watch(&model, &Model::changed)};
        Command bold = command("Bold1", "&Bold", "Ctrl+B");
        Command later = command("Later1", "Later");
        later.run = {};
        Command named = command("Named1", "");
        named.liveCaption = [this] { return QStringLiteral("1: ") + model.name; };
        named.watches = {watch(&model, &Model::changed)};
        t.commands = {save, wrap, bold, later, named};
        t.layouts = {
            Layout{LayoutPlace::MenuBar,
                   QStringLiteral("File1"),
                   QStringLiteral("&File"),
                   100,
                   {},
                   {entry("Save1"), separator(),
                    subMenu(QStringLiteral("Format1"), QStringLiteral("F&ormat"),
                            {entry("Wrap1"), group(QStringLiteral("FormatMore")),
                             group(QStringLiteral("FormatStyle")), entry("Bold1")}),
                    entry("Later1"), entry("Named1")}},
            Layout{LayoutPlace::ToolBar, QStringLiteral("ToolBar1"), {}, 0, {}, {entry("Save1")}},
            Layout{LayoutPlace::TagTab,
                   QStringLiteral("CommonTab"),
                   QStringLiteral("Common"),
                   0,
                   {},
                   {entry("Bold1"), entry("Save1")}},
            Layout{LayoutPlace::Popup,
                   QStringLiteral("EditorPopup"),
                   {},
                   0,
                   {},
                   {entry("Save1", QStringLiteral("Save it")), separator(), entry("Bold1")}},
        };
        return t;
    }
};

QToolButton* tagButton(QTabWidget* tabs, const char* id) {
    return tabs->widget(0)->findChild<QToolButton*>(QStringLiteral("Button") + QLatin1String(id));
}

} // namespace

TEST(ActionRegistry, OneActionPerIdInEveryPlace) {
    Fixture f;
    f.registry.add(f.table());
    f.registry.build(f.window.menuBar(), f.tools, f.tabs);
    EXPECT_TRUE(f.registry.problems().isEmpty()) << f.registry.problems().join(';').toStdString();

    QAction* save = f.registry.action(QStringLiteral("Save1"));
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(f.registry.menu(QStringLiteral("File1"))->actions().value(0), save);
    EXPECT_EQ(f.tools->actions().value(0), save);
    EXPECT_EQ(tagButton(f.tabs, "Save1")->defaultAction(), save);
    EXPECT_EQ(tagButton(f.tabs, "Bold1")->defaultAction(),
              f.registry.menu(QStringLiteral("Format1"))->actions().value(1));
    EXPECT_EQ(f.tabs->tabText(0), QStringLiteral("Common"));
    EXPECT_EQ(save->toolTip(), QStringLiteral("Save the file"));
    EXPECT_FALSE(save->icon().isNull());
    EXPECT_FALSE(save->isIconVisibleInMenu());

    EXPECT_EQ(describeMenuBar(f.window.menuBar()),
              QStringLiteral("&File  [File1]\n"
                             "    &Save  [Save1]  Alt+S\n"
                             "    ----\n"
                             "    F&ormat  [Format1]\n"
                             "        &Wrap  [Wrap1]  (checked)\n"
                             "        &Bold  [Bold1]  Ctrl+B\n"
                             "    Later  [Later1]  (disabled)\n"
                             "    1: one  [Named1]\n"));

    // Every place runs the one command, once.
    save->trigger();
    tagButton(f.tabs, "Save1")->click();
    QMenu* popup = f.registry.menu(QStringLiteral("EditorPopup"));
    ASSERT_NE(popup, nullptr);
    QAction* popupSave = popup->actions().value(0);
    EXPECT_EQ(popupSave->text(), QStringLiteral("Save it"));
    EXPECT_TRUE(popupSave->shortcut().isEmpty());
    popupSave->trigger();
    EXPECT_EQ(popup->actions().value(2)->text(), QStringLiteral("&Bold"));
    popup->actions().value(2)->trigger();
    EXPECT_EQ(f.ran, QStringList({"Save1", "Save1", "Save1", "Bold1"}));
}

TEST(ActionRegistry, StatesAndCaptionsFollowTheModelsSignals) {
    Fixture f;
    f.registry.add(f.table());
    f.registry.build(f.window.menuBar(), f.tools, f.tabs);
    QAction* save = f.registry.action(QStringLiteral("Save1"));
    QAction* wrap = f.registry.action(QStringLiteral("Wrap1"));
    QAction* popupSave = f.registry.menu(QStringLiteral("EditorPopup"))->actions().value(0);
    EXPECT_TRUE(save->isEnabled());
    EXPECT_TRUE(popupSave->isEnabled());
    EXPECT_TRUE(wrap->isChecked());

    f.model.name = QStringLiteral("two");
    f.model.set(false);
    EXPECT_FALSE(save->isEnabled());
    EXPECT_FALSE(popupSave->isEnabled());
    EXPECT_FALSE(tagButton(f.tabs, "Save1")->isEnabled());
    EXPECT_FALSE(wrap->isChecked());
    EXPECT_EQ(f.registry.action(QStringLiteral("Named1"))->text(), QStringLiteral("1: two"));
    // A disabled command does not run, from any place.
    popupSave->trigger();
    save->trigger();
    EXPECT_TRUE(f.ran.isEmpty());

    f.model.set(true);
    EXPECT_TRUE(popupSave->isEnabled());
    // A command nothing runs yet stays disabled whatever the model says.
    EXPECT_FALSE(f.registry.action(QStringLiteral("Later1"))->isEnabled());
}

TEST(ActionRegistry, LaterRoomsAddToTheShellsMenusToolBarAndPopUps) {
    Fixture f;
    f.registry.add(f.table());
    CommandTable spell;
    spell.commands = {f.command("SpellCheck1", "Spell Check", "F7")};
    spell.commands[0].hint = QStringLiteral("Check spelling");
    spell.commands << f.command("Tags1", "&Heading");
    spell.layouts = {
        Layout{LayoutPlace::MenuBar,
               QStringLiteral("File1"),
               {},
               0,
               QStringLiteral("FormatMore"),
               {entry("SpellCheck1")}},
        Layout{LayoutPlace::MenuBar,
               QStringLiteral("Tags1"),
               QStringLiteral("&Tags"),
               50,
               {},
               {entry("Tags1")}},
        Layout{LayoutPlace::ToolBar,
               QStringLiteral("ToolBar1"),
               {},
               0,
               {},
               {separator(), entry("SpellCheck1")}},
        Layout{
            LayoutPlace::Popup, QStringLiteral("EditorPopup"), {}, 0, {}, {entry("SpellCheck1")}},
    };
    f.registry.add(spell);
    f.registry.build(f.window.menuBar(), f.tools, f.tabs);
    EXPECT_TRUE(f.registry.problems().isEmpty()) << f.registry.problems().join(';').toStdString();

    // The Tags menu's order puts it before File.
    const QList<QAction*> menus = f.window.menuBar()->actions();
    ASSERT_EQ(menus.size(), 2);
    EXPECT_EQ(menus[0]->text(), QStringLiteral("&Tags"));
    // Added into its group inside the sub-menu, before the next group's Bold1.
    const QList<QAction*> format = f.registry.menu(QStringLiteral("Format1"))->actions();
    ASSERT_EQ(format.size(), 3);
    EXPECT_EQ(format[1], f.registry.action(QStringLiteral("SpellCheck1")));
    EXPECT_EQ(f.tools->actions().size(), 3);
    EXPECT_TRUE(f.tools->actions()[1]->isSeparator());
    EXPECT_EQ(f.tools->actions()[2]->toolTip(), QStringLiteral("Check spelling"));
    QMenu* popup = f.registry.menu(QStringLiteral("EditorPopup"));
    EXPECT_EQ(popup->actions().last()->text(), QStringLiteral("Spell Check"));
    popup->actions().last()->trigger();
    EXPECT_EQ(f.ran, QStringList({"SpellCheck1"}));
}

TEST(ActionRegistry, EntriesJoinTheirGroupWhateverOrderTheRoomsComeIn) {
    Fixture f;
    CommandTable shell;
    shell.commands = {f.command("Cut1", "Cu&t")};
    shell.layouts = {
        Layout{LayoutPlace::MenuBar,
               QStringLiteral("Edit1"),
               QStringLiteral("&Edit"),
               0,
               {},
               {entry("Cut1"), group(QStringLiteral("Pages")), group(QStringLiteral("Spelling"))}}};
    const auto room = [&f](const char* id, const char* groupName) {
        CommandTable t;
        t.commands = {f.command(id, id)};
        t.layouts = {Layout{LayoutPlace::MenuBar,
                            QStringLiteral("Edit1"),
                            {},
                            0,
                            QLatin1String(groupName),
                            {separator(), entry(QLatin1String(id))}}};
        return t;
    };
    f.registry.add(shell);
    // The spelling room comes in before the two page rooms, yet its entry ends the menu.
    f.registry.add(room("Spell1", "Spelling"));
    f.registry.add(room("Remove1", "Pages"));
    f.registry.add(room("Title1", "Pages"));
    f.registry.build(f.window.menuBar(), nullptr, nullptr);
    EXPECT_TRUE(f.registry.problems().isEmpty()) << f.registry.problems().join(';').toStdString();
    QStringList shown;
    for (const QAction* a : f.registry.menu(QStringLiteral("Edit1"))->actions())
        shown << (a->isSeparator() ? QStringLiteral("----") : a->objectName());
    EXPECT_EQ(shown, QStringList({"Cut1", "----", "Remove1", "----", "Title1", "----", "Spell1"}));
}

TEST(ActionRegistry, FaultsOfTheTablesAreReported) {
    Fixture f;
    CommandTable t;
    t.commands = {f.command("A1", "A"), f.command("A1", "again")};
    t.layouts = {
        Layout{LayoutPlace::MenuBar,
               QStringLiteral("M1"),
               QStringLiteral("M"),
               0,
               {},
               {entry("A1"), entry("Missing1")}},
        Layout{LayoutPlace::MenuBar,
               QStringLiteral("M1"),
               {},
               0,
               QStringLiteral("Nowhere1"),
               {entry("A1")}},
        Layout{LayoutPlace::Popup, QStringLiteral("P1"), {}, 0, QStringLiteral("G1"), {}},
    };
    f.registry.add(t);
    f.registry.build(f.window.menuBar(), nullptr, nullptr);
    EXPECT_EQ(f.registry.problems(),
              QStringList({"A1 is declared twice", "M1 has no group Nowhere1",
                           "M1 places Missing1, which no table declares",
                           "P1 adds to group G1 of a layout nobody declared"}));
    EXPECT_EQ(f.registry.action(QStringLiteral("A1"))->text(), QStringLiteral("A"));
}

TEST(ActionRegistry, WindowShortcutsActWithoutAMenuAndEditorShortcutsStayWithTheEditor) {
    Fixture f;
    CommandTable t;
    t.commands = {f.command("Key1", "Key", "F8"), f.command("Cut1", "Cu&t", "F9")};
    t.commands[1].shortcutContext = Qt::WidgetWithChildrenShortcut;
    f.registry.add(t);
    f.registry.build(f.window.menuBar(), nullptr, nullptr);
    f.window.show();
    f.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f.window));
    QTest::keyClick(&f.window, Qt::Key_F8);
    QTest::keyClick(&f.window, Qt::Key_F9);
    EXPECT_EQ(f.ran, QStringList({"Key1"}));
    // Only the window's own keys count as command keys, and only while the command can run.
    EXPECT_EQ(f.registry.windowShortcuts(), QList<QKeySequence>({QKeySequence(Qt::Key_F8)}));
    f.registry.action(QStringLiteral("Key1"))->setEnabled(false);
    EXPECT_TRUE(f.registry.windowShortcuts().isEmpty());
    // The set is kept between presses: a new key, a command that can run again and a table
    // added later each show in it.
    f.registry.action(QStringLiteral("Key1"))->setEnabled(true);
    f.registry.action(QStringLiteral("Key1"))->setShortcut(QKeySequence(Qt::Key_F7));
    CommandTable later;
    later.commands = {f.command("Later1", "Later", "Ctrl+F6")};
    f.registry.add(later);
    EXPECT_EQ(f.registry.windowShortcuts(),
              QList<QKeySequence>({QKeySequence(Qt::Key_F7), QKeySequence(Qt::CTRL | Qt::Key_F6)}));
}

#include "ActionRegistryTest.moc"
