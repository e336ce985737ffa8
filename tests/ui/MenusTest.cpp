// The program's menus, tool bar and pop-up as the command tables build them: the golden file
// tests/data/ui/menus.txt shows every change in review (QUILLON_UPDATE_GOLDEN=1 rewrites it), and
// every place of one command runs that command.
#include "support/MainWindowFixture.h"
#include "ui/TForm1.h"
#include "ui/shell/ActionRegistry.h"
#include "ui/shell/MenuTree.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QToolBar>
#include <gtest/gtest.h>

namespace {

QString goldenPath() {
    return QStringLiteral(QUILLON_TEST_DIR "/data/ui/menus.txt");
}

class Menus : public MainWindowFixture {
protected:
    void SetUp() override { openWindow(); }
    QString tree() const {
        return describeMenuBar(form->menuBar()) +
               describeToolBar(form->findChild<QToolBar*>(QStringLiteral("ToolBar1"))) +
               QStringLiteral("pop-up ") + describeMenu(form->editorPopup());
    }
    QAction* popupEntry(const QString& caption) const {
        for (QAction* a : form->editorPopup()->actions())
            if (a->text() == caption)
                return a;
        return nullptr;
    }
};

} // namespace

TEST_F(Menus, TheWholeTreeMatchesTheGoldenFile) {
    EXPECT_TRUE(form->registry().problems().isEmpty())
        << form->registry().problems().join(QLatin1Char('\n')).toStdString();
    const QByteArray now = tree().toUtf8();
    if (qEnvironmentVariableIsSet("QUILLON_UPDATE_GOLDEN")) {
        QFile out(goldenPath());
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(now);
    }
    QFile golden(goldenPath());
    ASSERT_TRUE(golden.open(QIODevice::ReadOnly)) << goldenPath().toStdString();
    EXPECT_EQ(QString::fromUtf8(golden.readAll()).toStdString(),
              QString::fromUtf8(now).toStdString());
}

TEST_F(Menus, EveryPlaceOfACommandIsTheOneCommand) {
    ActionRegistry& r = form->registry();
    QToolBar* tools = form->findChild<QToolBar*>(QStringLiteral("ToolBar1"));
    QAction* save = r.action(QStringLiteral("SaveHTMLFile1"));
    EXPECT_TRUE(tools->actions().contains(save));
    EXPECT_TRUE(form->fileMenu()->actions().contains(save));

    // The pop-up's Save saves like the menu's: a changed, named page is written at once.
    ASSERT_TRUE(dir.write(QStringLiteral("a.html"), "old"));
    chooser.queue(dir.file(QStringLiteral("a.html")));
    r.action(QStringLiteral("OpenHTMLFile1"))->trigger();
    form->editor()->setPlainText(QStringLiteral("new"));
    form->state().document().setHtmlModified(true);
    popupEntry(QStringLiteral("Save"))->trigger();
    EXPECT_EQ(dir.read(QStringLiteral("a.html")), QByteArray("new"));

    // Cut in the pop-up cuts through the clipboard and marks the page, as the Edit menu's does.
    form->editor()->selectAll();
    popupEntry(QStringLiteral("Cu&t"))->trigger();
    EXPECT_EQ(clipboard.text(), QStringLiteral("new"));
    EXPECT_EQ(form->editor()->toPlainText(), QString());
    EXPECT_TRUE(form->state().document().htmlModified());

    // The pop-up's New is the menu's New: the changed page is asked about first.
    prompter.queue(MessageAnswer::Cancel);
    popupEntry(QStringLiteral("New"))->trigger();
    EXPECT_EQ(prompter.texts(),
              QStringList({QStringLiteral("Save changes to open HTML file before closing?")}));
    EXPECT_TRUE(chooser.requests().size() == 1u);
}
