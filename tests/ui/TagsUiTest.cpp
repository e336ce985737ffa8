// The tag commands in the real main window on the offscreen platform: keys, tag-tab buttons,
// menus and pop-ups insert the same bytes into the saved page; the Custom tab over custom.dat;
// the Files tab's link and image insertion; New HTML File's block.
#include "support/MainWindowFixture.h"
#include "tags/TagCommands.h"
#include "ui/PlainTextEditWindow.h"
#include "ui/project/FilesPane.h"
#include "ui/project/ProjectUi.h"
#include "ui/shell/ActionRegistry.h"
#include "ui/shell/DrawnPictures.h"
#include "ui/tags/TFormCustom.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

class TagsWindow : public MainWindowFixture {
protected:
    void show() {
        openWindow();
        form->resize(1024, 768);
        form->show();
    }
    void showActive() {
        show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        form->editor()->setFocus();
    }
    PlainTextEditWindow& edit() { return form->editWindow(); }
    void setSelected(const QString& text) {
        edit().setText(text);
        edit().selectAll();
        form->state().document().setHtmlModified(false);
    }
    QAction* action(const char* id) const { return form->registry().action(QLatin1String(id)); }
    // The entry at the end of a path of sub-menu titles and a caption.
    static QAction* at(QMenu* menu, const QStringList& path) {
        for (QAction* a : menu->actions()) {
            if (a->text() != path.first())
                continue;
            if (path.size() == 1)
                return a;
            if (a->menu())
                return at(a->menu(), path.mid(1));
        }
        return nullptr;
    }
    QAction* tagsMenu(const QStringList& path) const {
        return at(form->registry().menu(QStringLiteral("Tags1")), path);
    }
    QAction* popup(const QStringList& path) const { return at(form->editorPopup(), path); }
    QByteArray saveAs(const QString& name) {
        chooser.queue(dir.file(name));
        action("SaveHTMLFileAs1")->trigger();
        return dir.read(name);
    }
};

const char* const table2x3 = "<TABLE>\r\n"
                             "<TR>\r\n    <TD></TD>\r\n    <TD></TD>\r\n    <TD></TD>\r\n</TR>\r\n"
                             "<TR>\r\n    <TD></TD>\r\n    <TD></TD>\r\n    <TD></TD>\r\n</TR>\r\n"
                             "</TABLE>\r\n";

} // namespace

TEST_F(TagsWindow, QuickTablesFromTheMenuAndThePopupGoBeforeTheSelection) {
    show();
    setSelected(QStringLiteral("word"));
    clipboard.setText(QStringLiteral("earlier"));
    QAction* menuEntry =
        tagsMenu({QStringLiteral("Table..."), QStringLiteral("2R X"), QStringLiteral("3C")});
    ASSERT_NE(menuEntry, nullptr);
    menuEntry->trigger();
    EXPECT_EQ(edit().text(), QLatin1String(table2x3) + QStringLiteral("word"));
    EXPECT_EQ(clipboard.text(), QLatin1String(table2x3));
    EXPECT_EQ(edit().selLength(), 0);
    EXPECT_EQ(edit().selStart(), static_cast<int>(qstrlen(table2x3)));
    EXPECT_TRUE(form->state().document().htmlModified());
    EXPECT_EQ(saveAs(QStringLiteral("table.html")), QByteArray(table2x3) + "word");

    // One undo step takes the whole table back.
    action("Undo1")->trigger();
    EXPECT_EQ(edit().text(), QStringLiteral("word"));

    // The pop-up's 2R X › 3C is the same command; its largest table is 37 lines.
    QAction* popupEntry =
        popup({QStringLiteral("Table..."), QStringLiteral("2R X"), QStringLiteral("3C")});
    ASSERT_NE(popupEntry, nullptr);
    setSelected(QStringLiteral("word"));
    popupEntry->trigger();
    EXPECT_EQ(edit().text(), QLatin1String(table2x3) + QStringLiteral("word"));
    EXPECT_EQ(popup({QStringLiteral("Table..."), QStringLiteral("1R X")}), nullptr);
    setSelected(QString());
    popup({QStringLiteral("Table..."), QStringLiteral("5R X"), QStringLiteral("5C")})->trigger();
    EXPECT_EQ(edit().lineCount(), 37);
    EXPECT_EQ(edit().line(36), QStringLiteral("</TABLE>"));
}

TEST_F(TagsWindow, BoldFromTheKeysTheTabButtonAndThePopupAndShiftEnterIsALineBreak) {
    showActive();
    QTest::keyClicks(form->editor(), QStringLiteral("word"));
    QTest::keyClick(form->editor(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(form->editor(), Qt::Key_B, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(edit().text(), QStringLiteral("<B>word</B>"));
    EXPECT_EQ(edit().selText(), QStringLiteral("<B>word</B>"));
    EXPECT_EQ(saveAs(QStringLiteral("bold.html")), QByteArray("<B>word</B>"));

    auto* button = form->findChild<QToolButton*>(QStringLiteral("ButtonBold1"));
    ASSERT_NE(button, nullptr);
    setSelected(QStringLiteral("word"));
    button->click();
    EXPECT_EQ(edit().text(), QStringLiteral("<B>word</B>"));
    EXPECT_TRUE(form->state().document().htmlModified());

    setSelected(QStringLiteral("word"));
    popup({QStringLiteral("Font..."), QStringLiteral("Bold")})->trigger();
    EXPECT_EQ(edit().text(), QStringLiteral("<B>word</B>"));

    // Shift+Return reaches Line Break: "<BR>" after the selection, nothing selected.
    setSelected(QStringLiteral("x"));
    form->editor()->setFocus();
    QTest::keyClick(form->editor(), Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(edit().text(), QStringLiteral("x<BR>"));
    EXPECT_EQ(edit().selLength(), 0);
    EXPECT_EQ(edit().selStart(), 5);
    EXPECT_TRUE(form->state().document().htmlModified());
    // A plain Return is still the editor's own line break.
    QTest::keyClick(form->editor(), Qt::Key_Return);
    EXPECT_EQ(edit().text(), QStringLiteral("x<BR>\r\n"));
}

TEST_F(TagsWindow, TagTabsShowTheirCaptionsOrPicturesWithHints) {
    show();
    QTabWidget* tabs = form->tagTabs();
    QStringList captions;
    for (int i = 0; i < tabs->count(); ++i)
        captions << tabs->tabText(i);
    EXPECT_EQ(captions, (QStringList{QStringLiteral("Common"), QStringLiteral("Font"),
                                     QStringLiteral("List"), QStringLiteral("Table"),
                                     QStringLiteral("Frames"), QStringLiteral("Custom")}));
    EXPECT_EQ(tabs->currentIndex(), 0);

    for (const SimpleTagRow& row : simpleTagRows()) {
        if (!*row.tab)
            continue;
        SCOPED_TRACE(row.id);
        auto* button =
            form->findChild<QToolButton*>(QStringLiteral("Button") + QLatin1String(row.id));
        ASSERT_NE(button, nullptr);
        EXPECT_TRUE(tabs->widget(captions.indexOf(QLatin1String(row.tab)))->isAncestorOf(button));
        if (*row.tabText) {
            EXPECT_EQ(button->text(), QString::fromUtf8(row.tabText));
            EXPECT_EQ(button->toolButtonStyle(), Qt::ToolButtonTextOnly);
        } else {
            EXPECT_FALSE(button->icon().isNull());
            EXPECT_EQ(button->toolButtonStyle(), Qt::ToolButtonIconOnly);
            EXPECT_EQ(button->toolTip(), QString::fromUtf8(row.hint));
        }
    }
    // A button with its own caption still is the one action: it follows its state and runs it.
    auto* bold = form->findChild<QToolButton*>(QStringLiteral("ButtonBold1"));
    EXPECT_EQ(bold->toolTip(), QStringLiteral("Bold"));
    action("Bold1")->setEnabled(false);
    EXPECT_FALSE(bold->isEnabled());
    action("Bold1")->setEnabled(true);
    EXPECT_TRUE(bold->isEnabled());
    int runs = 0;
    QObject::connect(action("Bold1"), &QAction::triggered, [&runs] { ++runs; });
    bold->click();
    EXPECT_EQ(runs, 1);

    for (const char* id : {"MailTo1", "PowerBODY1", "FRAMEDialog1", "AddCustomTag1"}) {
        auto* b = form->findChild<QToolButton*>(QStringLiteral("Button") + QLatin1String(id));
        ASSERT_NE(b, nullptr) << id;
        EXPECT_FALSE(b->icon().isNull()) << id;
    }
    // The tool bar's edit buttons and Show Tag Panel show pictures of ours.
    QToolBar* tools = form->findChild<QToolBar*>(QStringLiteral("ToolBar1"));
    QStringList ids;
    for (QAction* a : tools->actions())
        if (!a->isSeparator())
            ids << a->objectName();
    for (const char* id : {"Cut1", "Copy1", "Paste1", "Undo1", "SelectAll1", "ShowTagPanel1"})
        EXPECT_FALSE(action(id)->icon().isNull()) << id;
    const qsizetype cut = ids.indexOf(QStringLiteral("Cut1"));
    ASSERT_GE(cut, 0);
    EXPECT_EQ(ids.mid(cut, 5), (QStringList{QStringLiteral("Cut1"), QStringLiteral("Copy1"),
                                            QStringLiteral("Paste1"), QStringLiteral("Undo1"),
                                            QStringLiteral("SelectAll1")}));
    EXPECT_TRUE(ids.contains(QStringLiteral("ShowTagPanel1")));
}

TEST(DrawnPictures, EveryPictureHasInkAndUnknownNamesHaveNone) {
    ASSERT_GE(drawnPictureNames().size(), 20);
    for (const QString& name : drawnPictureNames()) {
        SCOPED_TRACE(name.toStdString());
        const QImage image = drawnPicture(name).pixmap(20, 20).toImage();
        ASSERT_EQ(image.size(), QSize(20, 20));
        int inked = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x)
                inked += qAlpha(image.pixel(x, y)) > 0;
        EXPECT_GT(inked, 20);
    }
    EXPECT_TRUE(drawnPicture(QStringLiteral("no-such-picture")).isNull());
}

TEST_F(TagsWindow, TheToolBarAndPopupEditCommandsUndoAndSelectAll) {
    show();
    setSelected(QStringLiteral("word"));
    action("Bold1")->trigger();
    QToolBar* tools = form->findChild<QToolBar*>(QStringLiteral("ToolBar1"));
    auto* undo = qobject_cast<QToolButton*>(tools->widgetForAction(action("Undo1")));
    ASSERT_NE(undo, nullptr);
    undo->click();
    EXPECT_EQ(edit().text(), QStringLiteral("word"));
    edit().setSelStart(1);
    QAction* selectAll = popup({QStringLiteral("Select &All")});
    ASSERT_NE(selectAll, nullptr);
    selectAll->trigger();
    EXPECT_EQ(edit().selText(), QStringLiteral("word"));
    ASSERT_NE(popup({QStringLiteral("&Undo")}), nullptr);
}

TEST_F(TagsWindow, NewHtmlFileGoesInAsTheNewBlock) {
    show();
    clipboard.setText(QStringLiteral("earlier"));
    action("NewHTMLFile1")->trigger();
    const QString skeleton =
        QStringLiteral("<!--This site and page maintained with Quillon Pro. Details at: ");
    const QString text = edit().text();
    EXPECT_TRUE(text.startsWith(skeleton)) << text.toStdString();
    EXPECT_TRUE(text.endsWith(QStringLiteral("-->\r\n<HTML>\r\n<HEAD>\r\n   <TITLE></TITLE>\r\n"
                                             "</HEAD>\r\n<BODY>\r\n\r\n</BODY>\r\n</HTML>\r\n")));
    EXPECT_EQ(edit().lineCount(), 9);
    EXPECT_EQ(clipboard.text(), text);
    EXPECT_EQ(edit().selLength(), 0);
    EXPECT_EQ(edit().selStart(), edit().length());
    EXPECT_TRUE(form->state().document().htmlModified());
    action("Undo1")->trigger();
    EXPECT_EQ(edit().text(), QString());
}

// The Custom tab ---------------------------------------------------------------------------------

namespace {

TFormCustom* customDialog() {
    return qobject_cast<TFormCustom*>(QApplication::activeModalWidget());
}
template <class T> T* child(QWidget* w, const char* name) {
    return w->findChild<T*>(QLatin1String(name));
}

} // namespace

TEST_F(TagsWindow, TheCustomTabInsertsAddsAndDeletesOverCustomDat) {
    ASSERT_TRUE(dir.write(QStringLiteral("custom.dat"),
                          "Rule * <HR>\r\nRed * <FONT COLOR=red></FONT>\r\n"));
    show();
    auto* list = form->findChild<QComboBox*>(QStringLiteral("CustomList"));
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(form->tagTabs()->widget(5)->isAncestorOf(list));
    const auto items = [list] {
        QStringList all;
        for (int i = 0; i < list->count(); ++i)
            all << list->itemText(i);
        return all;
    };
    EXPECT_EQ(items(),
              (QStringList{QStringLiteral("  Select a Custom Tag to Insert"),
                           QStringLiteral(" NONE"), QStringLiteral("Red * <FONT COLOR=red></FONT>"),
                           QStringLiteral("Rule * <HR>")}));
    EXPECT_EQ(list->currentIndex(), 0);

    setSelected(QStringLiteral("x"));
    list->setCurrentIndex(2);
    emit list->activated(2);
    EXPECT_EQ(edit().text(), QStringLiteral("<FONT COLOR=red>x</FONT>"));
    EXPECT_EQ(edit().selText(), edit().text());
    EXPECT_TRUE(form->state().document().htmlModified());
    EXPECT_EQ(list->currentIndex(), 0);
    setSelected(QStringLiteral("x"));
    emit list->activated(3);
    EXPECT_EQ(edit().text(), QStringLiteral("<HR>x"));
    EXPECT_EQ(edit().selText(), QStringLiteral("<HR>x"));
    setSelected(QStringLiteral("x"));
    emit list->activated(1);
    EXPECT_EQ(edit().text(), QStringLiteral("x"));
    EXPECT_FALSE(form->state().document().htmlModified());

    // Add: typing B over the start field completes both tags.
    QTimer::singleShot(0, form.get(), [] {
        TFormCustom* d = customDialog();
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Custom Tags"));
        auto* start = child<QLineEdit>(d, "StartTagField");
        EXPECT_EQ(start->text(), QStringLiteral("<>"));
        EXPECT_EQ(child<QLineEdit>(d, "EndTagField")->text(), QStringLiteral("</>"));
        QTest::keyClicks(child<QLineEdit>(d, "NameField"), QStringLiteral("Bold"));
        start->selectAll();
        QTest::keyClicks(start, QStringLiteral("B"));
        EXPECT_EQ(start->text(), QStringLiteral("<B>"));
        EXPECT_EQ(start->cursorPosition(), 2);
        EXPECT_EQ(child<QLineEdit>(d, "EndTagField")->text(), QStringLiteral("</B>"));
        child<QPushButton>(d, "AddTagButton")->click();
    });
    action("AddCustomTag1")->trigger();
    EXPECT_EQ(dir.read(QStringLiteral("custom.dat")),
              QByteArray("Bold * <B></B>\r\nRed * <FONT COLOR=red></FONT>\r\nRule * <HR>\r\n"));
    EXPECT_EQ(items().at(2), QStringLiteral("Bold * <B></B>"));
    EXPECT_EQ(list->currentIndex(), 0);

    // A refused name keeps the dialog open; Cancel then writes nothing.
    prompter.queue(MessageAnswer::Ok);
    QTimer::singleShot(0, form.get(), [] {
        TFormCustom* d = customDialog();
        ASSERT_NE(d, nullptr);
        child<QLineEdit>(d, "NameField")->setText(QStringLiteral(" Bold"));
        child<QLineEdit>(d, "StartTagField")->setText(QStringLiteral("<I>"));
        child<QPushButton>(d, "AddTagButton")->click();
        EXPECT_TRUE(d->isVisible());
        child<QPushButton>(d, "CancelButton")->click();
    });
    action("AddCustomTag1")->trigger();
    EXPECT_EQ(prompter.texts(),
              QStringList{QStringLiteral("The NAME may not start with a blank space.")});
    EXPECT_EQ(dir.read(QStringLiteral("custom.dat")),
              QByteArray("Bold * <B></B>\r\nRed * <FONT COLOR=red></FONT>\r\nRule * <HR>\r\n"));

    // Delete: the button and a double-click take entries out; OK writes what is left.
    QTimer::singleShot(0, form.get(), [] {
        TFormCustom* d = customDialog();
        ASSERT_NE(d, nullptr);
        auto* entries = child<QListWidget>(d, "DeleteList");
        ASSERT_EQ(entries->count(), 3);
        child<QPushButton>(d, "DeleteTagButton")->click(); // nothing selected: nothing goes
        EXPECT_EQ(entries->count(), 3);
        entries->setCurrentRow(1);
        child<QPushButton>(d, "DeleteTagButton")->click();
        entries->setCurrentRow(1);
        emit entries->itemDoubleClicked(entries->item(1));
        ASSERT_EQ(entries->count(), 1);
        EXPECT_EQ(entries->item(0)->text(), QStringLiteral("Bold * <B></B>"));
        child<QPushButton>(d, "OKButton")->click();
    });
    action("DeleteCustomTag1")->trigger();
    EXPECT_EQ(dir.read(QStringLiteral("custom.dat")), QByteArray("Bold * <B></B>\r\n"));
    EXPECT_EQ(items().size(), 3);

    // Delete All and Cancel: nothing changes.
    QTimer::singleShot(0, form.get(), [] {
        TFormCustom* d = customDialog();
        ASSERT_NE(d, nullptr);
        child<QPushButton>(d, "DeleteAllButton")->click();
        EXPECT_EQ(child<QListWidget>(d, "DeleteList")->count(), 0);
        child<QPushButton>(d, "CancelButton")->click();
    });
    action("DeleteCustomTag1")->trigger();
    EXPECT_EQ(dir.read(QStringLiteral("custom.dat")), QByteArray("Bold * <B></B>\r\n"));
    EXPECT_EQ(items().size(), 3);
}

// The Files tab ----------------------------------------------------------------------------------

namespace {

struct Analysis : PageAnalysisOpener {
    QStringList opened;
    void analyzeWebPage(const QString& folder, const QString& fileName) override {
        opened << folder + QLatin1Char('|') + fileName;
    }
};

} // namespace

TEST_F(TagsWindow, TheFilesTabInsertsLinksAndImagesAndOffersTheAnalysis) {
    QImage image(12, 9, QImage::Format_RGB32);
    image.fill(Qt::green);
    ASSERT_TRUE(dir.write(QStringLiteral("site/page.html"), "<P>page</P>"));
    ASSERT_TRUE(QDir().mkpath(dir.file(QStringLiteral("site"))));
    ASSERT_TRUE(image.save(dir.file(QStringLiteral("site/logo.jpg")), "JPEG"));
    ASSERT_TRUE(dir.write(QStringLiteral("DEFAULT.INI"),
                          QByteArray("[Files]\r\nLocation=") +
                              dir.file(QStringLiteral("site")).toUtf8() + "\r\n"));
    show();
    form->leftTabs()->setCurrentIndex(1);
    FilesPane* pane = ProjectUi::of(form->registry())->filesPane();
    ASSERT_NE(pane, nullptr);
    pane->typeBox()->setCurrentIndex(0); // all files
    QListWidget* files = pane->fileList();
    ASSERT_EQ(files->count(), 2);

    auto* button = form->findChild<QToolButton*>(QStringLiteral("InsertLinkImageButton"));
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->isVisible());
    EXPECT_EQ(button->text(), QStringLiteral("Insert Link/Image"));
    EXPECT_EQ(button->toolTip(), QStringLiteral("Insert selected graphic or HTML file as link"));
    EXPECT_GE(button->geometry().top(),
              files->mapTo(button->parentWidget(), QPoint(0, 0)).y() + files->height());

    setSelected(QStringLiteral("x"));
    button->click(); // no file chosen yet
    EXPECT_EQ(edit().text(), QStringLiteral("x"));
    files->setCurrentItem(files->findItems(QStringLiteral("logo.jpg"), Qt::MatchExactly).first());
    button->click();
    EXPECT_EQ(edit().text(), QStringLiteral("<IMG WIDTH=12 HEIGHT=9 SRC=\"logo.jpg\">x"));
    EXPECT_TRUE(form->state().document().htmlModified());

    // The right click chooses the file under the mouse, then shows the pop-up.
    const auto rightClick = [files](const QString& name, std::function<void(QMenu*)> look) {
        QListWidgetItem* item = files->findItems(name, Qt::MatchExactly).first();
        QTimer::singleShot(0, files, [look] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(menu, nullptr);
            look(menu);
            menu->close();
        });
        emit files->customContextMenuRequested(files->visualItemRect(item).center());
    };
    const auto entry = [](QMenu* menu, const char* caption) {
        for (QAction* a : menu->actions())
            if (a->text() == QLatin1String(caption))
                return a;
        return static_cast<QAction*>(nullptr);
    };
    QStringList seen;
    rightClick(QStringLiteral("page.html"), [&](QMenu* menu) {
        for (QAction* a : menu->actions())
            seen << (a->isSeparator() ? QStringLiteral("-")
                                      : a->text() + (a->isEnabled() ? "" : " (disabled)"));
    });
    // The publishing room's entry is in the same pop-up.
    EXPECT_EQ(seen, (QStringList{QStringLiteral("Insert Image"),
                                 QStringLiteral("Insert Link to HTML file"), QStringLiteral("-"),
                                 QStringLiteral("Analyze Web Page"), QStringLiteral("-"),
                                 QStringLiteral("FTP :  Add to FTP list")}));
    EXPECT_EQ(files->currentItem()->text(), QStringLiteral("page.html"));

    setSelected(QStringLiteral("x"));
    rightClick(QStringLiteral("page.html"),
               [&](QMenu* menu) { entry(menu, "Insert Link to HTML file")->trigger(); });
    EXPECT_EQ(edit().text(), QStringLiteral("<A HREF=\"page.html\"></A>x"));
    EXPECT_EQ(edit().selText(), QStringLiteral("<A HREF=\"page.html\"></A>"));

    // "Analyze Web Page" opens the analysis window for a web page only.
    Analysis analysis;
    PageAnalysisOpener* const installed = form->state().parts().pageAnalysis;
    ASSERT_NE(installed, nullptr);
    form->state().parts().pageAnalysis = &analysis;
    bool enabled = true;
    rightClick(QStringLiteral("logo.jpg"),
               [&](QMenu* menu) { enabled = entry(menu, "Analyze Web Page")->isEnabled(); });
    EXPECT_FALSE(enabled);
    rightClick(QStringLiteral("page.html"), [&](QMenu* menu) {
        QAction* analyze = entry(menu, "Analyze Web Page");
        EXPECT_TRUE(analyze->isEnabled());
        analyze->trigger();
    });
    EXPECT_EQ(analysis.opened,
              QStringList{dir.file(QStringLiteral("site")) + QStringLiteral("|page.html")});
    form->state().parts().pageAnalysis = installed;
}

// Hints, keys, the tag panel, the Mail To dialog and the case of tags --------------------------

TEST_F(TagsWindow, TheListTableAndFramesTabsWordTheirPowerHintsTheirOwnWay) {
    show();
    QTabWidget* tabs = form->tagTabs();
    const auto tip = [tabs](int tab, const char* id) {
        auto* b = tabs->widget(tab)->findChild<QToolButton*>(QStringLiteral("Button") +
                                                             QLatin1String(id));
        return b ? b->toolTip() : QStringLiteral("(no button)");
    };
    const int common = 0, list = 2, table = 3, frames = 4;
    EXPECT_EQ(tip(common, "PowerTABLE1"), QStringLiteral("Power Table Tag"));
    EXPECT_EQ(tip(table, "PowerTABLE1"), QStringLiteral("POWER Table Tag"));
    EXPECT_EQ(tip(common, "PowerLIST1"), QStringLiteral("Power LIST Tag"));
    EXPECT_EQ(tip(list, "PowerLIST1"), QStringLiteral("Power List Tag"));
    EXPECT_EQ(tip(common, "PowerFRAME1"), QStringLiteral("POWER Frame"));
    EXPECT_EQ(tip(frames, "PowerFRAME1"), QStringLiteral("POWER Frame Tag"));
    // Still the one command: its picture, its state, its run; the tip stays through a change.
    auto* tableButton = tabs->widget(table)->findChild<QToolButton*>("ButtonPowerTABLE1");
    EXPECT_FALSE(tableButton->icon().isNull());
    EXPECT_EQ(tableButton->toolButtonStyle(), Qt::ToolButtonIconOnly);
    action("PowerTABLE1")->setEnabled(false);
    EXPECT_FALSE(tableButton->isEnabled());
    action("PowerTABLE1")->setEnabled(true);
    EXPECT_EQ(tableButton->toolTip(), QStringLiteral("POWER Table Tag"));
    int runs = 0;
    QObject::connect(action("PowerTABLE1"), &QAction::triggered, [&runs] { ++runs; });
    action("PowerTABLE1")->setEnabled(false); // no dialog opens in the test
    tableButton->defaultAction()->trigger();
    EXPECT_EQ(runs, 0);
}

TEST_F(TagsWindow, FontSizeKeysTheDesktopKeepsHaveASecondKeyThatReachesTheProgram) {
    showActive();
    struct Key {
        const char* id;
        Qt::KeyboardModifiers modifiers;
        Qt::Key key;
        const char* menu;
        const char* text;
    };
    const Key keys[] = {
        {"FontSizePlus11", Qt::ShiftModifier, Qt::Key_F1, "Font Size +1\tAlt+F1, Shift+F1",
         "<FONT SIZE=\"+1\">w</FONT>"},
        {"FontSizePlus21", Qt::ShiftModifier, Qt::Key_F2, "Font Size +2\tAlt+F2, Shift+F2",
         "<FONT SIZE=\"+2\">w</FONT>"},
        {"FontSizeMinus11", Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_F1,
         "Font Size -1\tCtrl+Alt+F1, Ctrl+Shift+F1", "<FONT SIZE=\"-1\">w</FONT>"},
        {"FontSizeMinus21", Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_F2,
         "Font Size -2\tCtrl+Alt+F2, Ctrl+Shift+F2", "<FONT SIZE=\"-2\">w</FONT>"},
    };
    for (const Key& k : keys) {
        SCOPED_TRACE(k.id);
        // The menu says both keys.
        EXPECT_EQ(action(k.id)->text(), QString::fromUtf8(k.menu));
        setSelected(QStringLiteral("w"));
        form->editor()->setFocus();
        QTest::keyClick(form->editor(), k.key, k.modifiers);
        EXPECT_EQ(edit().text(), QString::fromUtf8(k.text));
    }
    // The pop-up and the tab buttons word them as before.
    EXPECT_NE(
        popup({QStringLiteral("Font..."), QStringLiteral("Size"), QStringLiteral("Font - 1")}),
        nullptr);
    auto* button = form->findChild<QToolButton*>(QStringLiteral("ButtonFontSizeMinus11"));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), QStringLiteral("F-1"));
}

TEST_F(TagsWindow, TagPanelsStayAboveThisProgramOnlyAndOpenCascaded) {
    show();
    const auto panels = [this] {
        QList<QWidget*> open;
        for (QWidget* w : form->findChildren<QWidget*>(QStringLiteral("FormSpeedBar")))
            if (w->isVisible())
                open << w;
        return open;
    };
    action("ShowTagPanel1")->trigger();
    action("ShowTagPanel1")->trigger();
    const QList<QWidget*> open = panels();
    ASSERT_EQ(open.size(), 2);
    for (QWidget* p : open) {
        EXPECT_FALSE(p->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        EXPECT_EQ(p->windowType(), Qt::Tool); // kept above the main window by the window system
        EXPECT_EQ(p->parentWidget(), form.get());
    }
    EXPECT_EQ(open[1]->pos() - open[0]->pos(), QPoint(28, 28));
    // A panel inserts into the editor.
    setSelected(QStringLiteral("x"));
    auto* list = open[1]->findChild<QListWidget*>(QStringLiteral("TagList"));
    emit list->itemDoubleClicked(list->item(9)); // "<B>.</B>"
    EXPECT_EQ(edit().text(), QStringLiteral("<B>x</B>"));
    open[0]->close();
    open[1]->close();
    QApplication::processEvents();
    action("ShowTagPanel1")->trigger(); // the first again: centred, not after the closed ones
    ASSERT_EQ(panels().size(), 1);
    const QRect screen = form->screen()->availableGeometry();
    EXPECT_LE((panels().first()->frameGeometry().center() - screen.center()).manhattanLength(), 6);
    panels().first()->close();
}

TEST_F(TagsWindow, TheMailToDialogShowsItsAddressWhole) {
    show();
    const QString address = QStringLiteral("somebody.with.a.long.name@mail.example.org");
    form->state().settings().email = address;
    setSelected(QStringLiteral("me"));
    bool seen = false;
    QTimer::singleShot(0, form.get(), [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        seen = true;
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("MailTo: Tag"));
        auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("EmailAddress"));
        ASSERT_NE(field, nullptr);
        EXPECT_EQ(field->text(), address);
        // The whole address and the field's margins fit.
        EXPECT_GE(field->width(), field->fontMetrics().horizontalAdvance(address) + 12);
        field->setText(QStringLiteral("a\"b@x.org"));
        dialog->accept();
    });
    action("MailTo1")->trigger();
    ASSERT_TRUE(seen);
    EXPECT_EQ(edit().text(), QStringLiteral("<A HREF=\"mailto:a&quot;b@x.org\">me</A>"));
}

TEST_F(TagsWindow, WriteTagsInLowerCaseIsASettingOfTheFilesTab) {
    show();
    bool seen = false;
    QTimer::singleShot(0, form.get(), [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        seen = true;
        auto* box = dialog->findChild<QCheckBox*>(QStringLiteral("CheckLowerCase"));
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text(), QStringLiteral("Write tags in lower case"));
        EXPECT_FALSE(box->isChecked());
        EXPECT_TRUE(dialog->findChild<QWidget*>(QStringLiteral("TabFiles"))->isAncestorOf(box));
        box->setChecked(true);
        dialog->findChild<QPushButton*>(QStringLiteral("ButtonApply"))->click();
        if (dialog->isVisible())
            dialog->reject();
    });
    action("Settings1")->trigger();
    ASSERT_TRUE(seen);
    EXPECT_TRUE(dir.read(QStringLiteral("DEFAULT.INI")).contains("LowerCase=1\r\n"));
    setSelected(QStringLiteral("Word"));
    action("Bold1")->trigger();
    EXPECT_EQ(edit().text(), QStringLiteral("<b>Word</b>"));
    setSelected(QStringLiteral("Word"));
    action("UnorderedList1")->trigger();
    EXPECT_EQ(edit().text(), QStringLiteral("<ul>\r\n   <li>Word\r\n</ul>"));

    // Read at the next start.
    form.reset();
    openWindow();
    EXPECT_TRUE(form->state().settings().lowerCaseTags);
}

TEST_F(TagsWindow, TheFilesTabLinksFilesAsSeenFromTheOpenPage) {
    QImage image(7, 3, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(dir.write(QStringLiteral("site/pages/p.htm"), "x"));
    ASSERT_TRUE(QDir().mkpath(dir.file(QStringLiteral("site/img"))));
    ASSERT_TRUE(image.save(dir.file(QStringLiteral("site/img/Logo.PNG")), "PNG"));
    ASSERT_TRUE(dir.write(QStringLiteral("site/img/say \"hi\".htm"), "x"));
    show();
    chooser.queue(dir.file(QStringLiteral("site/pages/p.htm")));
    action("OpenHTMLFile1")->trigger();
    form->leftTabs()->setCurrentIndex(1);
    FilesPane* pane = ProjectUi::of(form->registry())->filesPane();
    ASSERT_NE(pane, nullptr);
    pane->setFolder(dir.file(QStringLiteral("site/img")));
    pane->typeBox()->setCurrentIndex(0); // all files
    QListWidget* files = pane->fileList();
    auto* button = form->findChild<QToolButton*>(QStringLiteral("InsertLinkImageButton"));
    ASSERT_NE(button, nullptr);
    const auto insert = [&](const QString& name) {
        const auto found = files->findItems(name, Qt::MatchExactly);
        EXPECT_FALSE(found.isEmpty()) << name.toStdString();
        if (found.isEmpty())
            return QString();
        setSelected(QString());
        files->setCurrentItem(found.first());
        button->click();
        return edit().text();
    };
    EXPECT_EQ(insert(QStringLiteral("Logo.PNG")),
              QStringLiteral("<IMG WIDTH=7 HEIGHT=3 SRC=\"../img/Logo.PNG\">"));
    EXPECT_EQ(insert(QStringLiteral("say \"hi\".htm")),
              QStringLiteral("<A HREF=\"../img/say &quot;hi&quot;.htm\"></A>"));
    // The saved page holds those bytes.
    action("SaveHTMLFile1")->trigger();
    EXPECT_EQ(dir.read(QStringLiteral("site/pages/p.htm")),
              QByteArray("<A HREF=\"../img/say &quot;hi&quot;.htm\"></A>"));
}
