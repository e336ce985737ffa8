// The Qt prompter and file chooser: how each request sets up its dialog, and what a box
// answers when a button is pressed or the box is closed.
#include "ui/QtClipboard.h"
#include "ui/QtFileChooser.h"
#include "ui/QtPrompter.h"

#include "support/FifoWatch.h"
#include "support/QtPrinters.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QFileSystemModel>
#include <QFontMetrics>
#include <QInputDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

#include <sys/inotify.h>
#include <unistd.h>

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

TEST(QtPrompter, AShortMessageStillLeavesRoomForTheWholeTitle) {
    QMessageBox box;
    QtPrompter::configure(box, MessageKind::Information, MessageButtons::Ok, QStringLiteral("OK?"));
    box.show();
    QApplication::processEvents();
    QFont bold = box.font();
    bold.setBold(true);
    // The title in a bold face beside a title bar's icon and three buttons of about 20 pixels.
    EXPECT_GE(box.width(), QFontMetrics(bold).horizontalAdvance(box.windowTitle()) + 4 * 24)
        << box.width();
    box.close();
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

TEST(QtPrompter, InputBoxesShowOkAndCancelAndAnswerTheTextOrNothing) {
    QtPrompter prompter;
    QStringList seen;
    const auto look = [&seen](bool accept, const QString& typed) {
        QTimer::singleShot(0, [&seen, accept, typed] {
            auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            seen << dialog->windowTitle() << dialog->labelText();
            QStringList buttons;
            for (QPushButton* b : dialog->findChildren<QPushButton*>())
                buttons << b->text();
            buttons.sort();
            seen << buttons.join(QLatin1Char('|'));
            if (!typed.isEmpty())
                QTest::keyClicks(dialog->findChild<QLineEdit*>(), typed);
            const QString wanted = accept ? QStringLiteral("&Ok") : QStringLiteral("&Cancel");
            for (QPushButton* b : dialog->findChildren<QPushButton*>())
                if (b->text() == wanted)
                    b->click();
        });
    };
    look(true, QStringLiteral("images"));
    EXPECT_EQ(prompter.input(QStringLiteral("Create Directory"),
                             QStringLiteral("Enter new directory name:"), {}),
              std::optional<QString>(QStringLiteral("images")));
    look(false, QStringLiteral("x.html"));
    EXPECT_EQ(prompter.input(QStringLiteral("Rename File"), QStringLiteral("Enter new File name:"),
                             QStringLiteral("a.html")),
              std::nullopt);
    EXPECT_EQ(seen, QStringList({"Create Directory", "Enter new directory name:", "&Cancel|&Ok",
                                 "Rename File", "Enter new File name:", "&Cancel|&Ok"}));
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

// Names of the files (not folders) opened in a folder while the watch was on.
class OpenWatch {
public:
    explicit OpenWatch(const QString& folder) {
        m_fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (m_fd >= 0)
            inotify_add_watch(m_fd, QFile::encodeName(folder).constData(), IN_OPEN | IN_ACCESS);
    }
    ~OpenWatch() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool valid() const { return m_fd >= 0; }
    QStringList openedFiles() {
        alignas(inotify_event) char buffer[4096];
        for (;;) {
            const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
            if (n <= 0)
                break;
            for (ssize_t at = 0; at < n;) {
                const auto* e = reinterpret_cast<const inotify_event*>(buffer + at);
                if (e->len > 0 && !(e->mask & IN_ISDIR) && !m_opened.contains(e->name))
                    m_opened << QString::fromLocal8Bit(e->name);
                at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
            }
        }
        return m_opened;
    }

private:
    int m_fd = -1;
    QStringList m_opened;
};

TEST(QtFileChooser, DialogsListAFolderWithoutOpeningItsFiles) {
    TempDir dir;
    ASSERT_TRUE(dir.write(QStringLiteral("index.html"), "<HTML>"));
    ASSERT_TRUE(dir.write(QStringLiteral("notes"), "no extension to tell its type"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("images")));
    const FifoWatch fifo(dir.file(QStringLiteral("pipe")));
    ASSERT_TRUE(fifo.made());
    OpenWatch watch(dir.path());
    ASSERT_TRUE(watch.valid());

    FileDialogRequest request;
    request.title = QStringLiteral("Save HTML File As...");
    request.filter = QStringLiteral("HTML Files|*.html|All Files|*.*");
    request.filterIndex = 2;
    request.initialDirectory = dir.path();
    for (const bool save : {true, false}) {
        QFileDialog dialog;
        QtFileChooser::configure(dialog, request, save);
        EXPECT_TRUE(dialog.testOption(QFileDialog::DontUseNativeDialog));
        auto* model = dialog.findChild<QFileSystemModel*>();
        ASSERT_NE(model, nullptr);
        QSignalSpy loaded(model, &QFileSystemModel::directoryLoaded);
        dialog.show();
        if (loaded.isEmpty())
            loaded.wait(5000);
        // Let the gatherer deliver icons and types, and ask for them as the view would.
        QTest::qWait(300);
        const QModelIndex root = model->index(QDir(dir.path()).absolutePath());
        // Pipes, devices and sockets are not listed at all.
        ASSERT_EQ(model->rowCount(root), 3);
        QStringList types;
        for (int row = 0; row < model->rowCount(root); ++row) {
            const QModelIndex name = model->index(row, 0, root);
            (void)model->data(name, Qt::DecorationRole);
            types << model->fileName(name) + QStringLiteral(": ") +
                         model->data(model->index(row, 2, root)).toString();
        }
        types.sort();
        EXPECT_EQ(types, QStringList({QStringLiteral("images: Folder"),
                                      QStringLiteral("index.html: HTML document"),
                                      QStringLiteral("notes: File")}));
        // Typing a path in the name field completes from the same model.
        auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        QTest::keyClicks(name, dir.path() + QStringLiteral("pipe"));
        QTest::qWait(300);
        dialog.reject();
    }
    EXPECT_EQ(watch.openedFiles(), QStringList());
    EXPECT_FALSE(fifo.opened());
}

TEST(QtClipboard, HoldsTheTextSetAndClears) {
    QtClipboard clipboard;
    clipboard.setText(QStringLiteral("a\r\nb"));
    EXPECT_EQ(clipboard.text(), QStringLiteral("a\r\nb"));
    clipboard.clear();
    EXPECT_EQ(clipboard.text(), QString());
}

} // namespace
