// The Qt prompter and file chooser: how each request sets up its dialog, and what a box
// answers when a button is pressed or the box is closed.
#include "ui/QtClipboard.h"
#include "ui/QtFileChooser.h"
#include "ui/QtPrompter.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

TEST(QtPrompter, BoxesCarryTitleIconAndButtonSet) {
    struct Case {
        MessageKind kind;
        MessageButtons buttons;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons standard;
        QMessageBox::StandardButton escape;
    };
    const Case cases[] = {
        {MessageKind::Information, MessageButtons::Ok, QMessageBox::Information, QMessageBox::Ok,
         QMessageBox::Ok},
        {MessageKind::Confirmation, MessageButtons::YesNo, QMessageBox::Question,
         QMessageBox::Yes | QMessageBox::No, QMessageBox::No},
        {MessageKind::Warning, MessageButtons::YesNoCancel, QMessageBox::Warning,
         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Cancel},
        {MessageKind::Error, MessageButtons::Ok, QMessageBox::Critical, QMessageBox::Ok,
         QMessageBox::Ok},
    };
    for (const Case& c : cases) {
        QMessageBox box;
        QtPrompter::configure(box, c.kind, c.buttons, QStringLiteral("Delete <b>page</b>?"));
        EXPECT_EQ(box.windowTitle(), QStringLiteral("Ostra Quillon Pro"));
        EXPECT_EQ(box.text(), QStringLiteral("Delete <b>page</b>?"));
        EXPECT_EQ(box.textFormat(), Qt::PlainText);
        EXPECT_EQ(box.icon(), c.icon);
        EXPECT_EQ(box.standardButtons(), c.standard);
        EXPECT_EQ(box.escapeButton(), box.button(c.escape));
    }
}

TEST(QtPrompter, ButtonsAndClosingGiveTheAnswers) {
    using B = MessageButtons;
    using A = MessageAnswer;
    EXPECT_EQ(QtPrompter::answerFor(QMessageBox::Yes, B::YesNoCancel), A::Yes);
    EXPECT_EQ(QtPrompter::answerFor(QMessageBox::No, B::YesNo), A::No);
    EXPECT_EQ(QtPrompter::answerFor(QMessageBox::Cancel, B::YesNoCancel), A::Cancel);
    EXPECT_EQ(QtPrompter::answerFor(QMessageBox::Ok, B::Ok), A::Ok);
    // Whatever else a box returns counts as closing it.
    EXPECT_EQ(QtPrompter::answerFor(0, B::YesNo), A::No);
    EXPECT_EQ(QtPrompter::answerFor(QMessageBox::Cancel, B::YesNo), A::No);
    EXPECT_EQ(QtPrompter::answerFor(0, B::YesNoCancel), A::Cancel);
    EXPECT_EQ(QtPrompter::answerFor(QMessageBox::Yes, B::Ok), A::Ok);
}

// Runs action on the message box once it is shown by the call that follows.
void onShownBox(std::function<void(QMessageBox*)> action) {
    QTimer::singleShot(0, qApp, [action] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                action(box);
                return;
            }
        }
        onShownBox(action);
    });
}

TEST(QtPrompter, ShownBoxesAnswerForTheButtonPressedOrTheBoxClosed) {
    QtPrompter prompter;
    onShownBox([](QMessageBox* box) { box->button(QMessageBox::No)->click(); });
    EXPECT_EQ(prompter.message(MessageKind::Confirmation, MessageButtons::YesNoCancel,
                               QStringLiteral("Save changes?")),
              MessageAnswer::No);
    onShownBox([](QMessageBox* box) { box->close(); });
    EXPECT_EQ(
        prompter.message(MessageKind::Confirmation, MessageButtons::YesNo, QStringLiteral("Sure?")),
        MessageAnswer::No);
    onShownBox([](QMessageBox* box) { box->close(); });
    EXPECT_EQ(prompter.message(MessageKind::Confirmation, MessageButtons::YesNoCancel,
                               QStringLiteral("Sure?")),
              MessageAnswer::Cancel);
}

TEST(QtFileChooser, RequestsSetUpTheDialog) {
    FileDialogRequest request;
    request.title = QStringLiteral("Save HTML File As...");
    request.filter = QStringLiteral("Project File|*.out|HTML Files|*.html;*.htm|All Files|*.*");
    request.filterIndex = 2;
    request.initialDirectory = QDir::tempPath();
    request.fileName = QStringLiteral("new.html");
    request.defaultExtension = QStringLiteral("html");

    QFileDialog save;
    QtFileChooser::configure(save, request, true);
    EXPECT_EQ(save.windowTitle(), QStringLiteral("Save HTML File As..."));
    EXPECT_EQ(save.acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(save.nameFilters(), QStringList({QStringLiteral("Project File (*.out)"),
                                               QStringLiteral("HTML Files (*.html *.htm)"),
                                               QStringLiteral("All Files (*)")}));
    EXPECT_EQ(save.selectedNameFilter(), QStringLiteral("HTML Files (*.html *.htm)"));
    EXPECT_EQ(save.directory().absolutePath(), QDir(QDir::tempPath()).absolutePath());
    EXPECT_EQ(save.defaultSuffix(), QStringLiteral("html"));
    EXPECT_TRUE(save.testOption(QFileDialog::DontConfirmOverwrite));

    request.overwritePrompt = true;
    request.filterIndex = 9; // out of range: the first type
    QFileDialog open;
    QtFileChooser::configure(open, request, false);
    EXPECT_EQ(open.acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(open.fileMode(), QFileDialog::ExistingFile);
    EXPECT_EQ(open.selectedNameFilter(), QStringLiteral("Project File (*.out)"));
    EXPECT_FALSE(open.testOption(QFileDialog::DontConfirmOverwrite));
}

TEST(QtClipboard, HoldsTheTextSetAndClears) {
    QtClipboard clipboard;
    clipboard.setText(QStringLiteral("a\r\nb"));
    EXPECT_EQ(clipboard.text(), QStringLiteral("a\r\nb"));
    clipboard.clear();
    EXPECT_EQ(clipboard.text(), QString());
}

} // namespace
