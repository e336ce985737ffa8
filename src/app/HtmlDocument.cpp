// HtmlDocument: the open HTML document and its commands.
#include "app/HtmlDocument.h"

#include "app/ChangedList.h"
#include "app/HtmlExtensions.h"
#include "app/Settings.h"
#include "app/SettingsTable.h"
#include "editor/EditWindow.h"
#include "platform/Clipboard.h"
#include "platform/FileChooser.h"
#include "platform/LongStep.h"
#include "platform/PieceWrite.h"

#include <QFileInfo>

#include <atomic>
#include <chrono>
#include <thread>

HtmlDocument::HtmlDocument(EditWindow& editor, Prompter& prompter, FileChooser& chooser,
                           Clipboard& clipboard, Settings& settings, const SettingsStore& store,
                           ChangedList& changedList, QString programDirectory, QObject* parent)
    : QObject(parent), m_editor(editor), m_prompter(prompter), m_chooser(chooser),
      m_clipboard(clipboard), m_settings(settings), m_store(store), m_changedList(changedList),
      m_programDirectory(std::move(programDirectory)) {
}

void HtmlDocument::setHtmlModified(bool modified) {
    if (modified == m_htmlModified)
        return;
    m_htmlModified = modified;
    emit modifiedChanged(modified);
}

void HtmlDocument::setFileName(const QString& path) {
    if (path == m_currentHtmlFile)
        return;
    m_currentHtmlFile = path;
    emit fileNameChanged(path);
}

void HtmlDocument::changeText(const std::function<void()>& edit) {
    edit();
    setHtmlModified(true);
}

QString HtmlDocument::productAddress() {
    return QStringLiteral("https://www.quillon.example/");
}

QString HtmlDocument::newPageSkeleton() {
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("<!--This site and page maintained with Quillon Pro. Details at: ") +
           productAddress() + QStringLiteral("-->") + crlf + QStringLiteral("<HTML>") + crlf +
           QStringLiteral("<HEAD>") + crlf + QStringLiteral("   <TITLE></TITLE>") + crlf +
           QStringLiteral("</HEAD>") + crlf + QStringLiteral("<BODY>") + crlf + crlf +
           QStringLiteral("</BODY>") + crlf + QStringLiteral("</HTML>") + crlf;
}

QString HtmlDocument::statusText(const QString& path) {
    return QStringLiteral("Open HTML File:  ") + path;
}
QString HtmlDocument::saveAsTitle() {
    return QStringLiteral("Save HTML File As...");
}
QString HtmlDocument::askSaveChangesText() {
    return QStringLiteral("Save changes to open HTML file before closing?");
}
QString HtmlDocument::noTemplateText() {
    return QStringLiteral("You have not selected a Template file yet. Go to the OPTIONS screen and "
                          "select one from the Files tab.");
}
QString HtmlDocument::cannotOpenLinkedFileText() {
    return QStringLiteral("Cannot open this file. Has it been moved, renamed, or deleted? Please "
                          "right-click it and select \"Change file link\" to re-establish the file "
                          "link.");
}

QString HtmlDocument::savedAsUtf8Text(const QString& path) {
    return QStringLiteral("\"%1\" was read as Latin-1 text, but it now holds characters that "
                          "Latin-1 cannot store. It is saved as UTF-8 so that none of them is "
                          "lost.")
        .arg(path);
}

QString HtmlDocument::untitledName() const {
    return m_programDirectory + QStringLiteral("new.") + m_settings.ext;
}

void HtmlDocument::setHelpPageMode(bool on) {
    m_helpPageMode = on;
    enableSaveCommands(!on);
}

void HtmlDocument::startUntitled() {
    setHtmlModified(false);
    m_untitled = true;
    setFileName(untitledName());
    m_encoding = TextEncoding::Utf8;
    m_toldSavedAsUtf8 = false;
    showStatus();
}

std::optional<QString> HtmlDocument::askSaveName() {
    FileDialogRequest r;
    r.title = saveAsTitle();
    r.filter = sharedSaveFilter();
    r.filterIndex = 2;
    r.defaultExtension = m_settings.ext;
    r.fileName = QFileInfo(m_currentHtmlFile).fileName();
    // An untitled document sits in the program folder only by name; offer the user's folder.
    r.initialDirectory = m_currentHtmlFile.isEmpty() || isUntitled()
                             ? m_settings.lastHtmlDirectory
                             : QFileInfo(m_currentHtmlFile).absolutePath();
    r.overwritePrompt = true;
    return m_chooser.saveFile(r);
}

namespace {

// Pages from this size on (characters or bytes) are read and saved beside the window.
constexpr qsizetype StepSaveFrom = 1 << 20;

// Runs work on a thread of its own while the window shows the step's progress and goes on
// drawing; returns false when the user cancelled (the work still ends first). progress, set by
// the work, counts in thousandths.
bool runBesideTheWindow(LongStep& steps, const QString& label, const std::function<void()>& work,
                        const std::atomic<qint64>& progress) {
    std::atomic<bool> finished{false};
    bool cancelled = false;
    // The window gets its first turn before the work starts, so a Cancel pressed at once is seen
    // before the first piece, however fast the work would be.
    steps.begin(label, 1000);
    if (!steps.advance(0))
        cancelled = true;
    std::thread worker([&] {
        work();
        finished = true;
    });
    while (!finished) {
        if (!steps.advance(progress))
            cancelled = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    worker.join();
    steps.end();
    return !cancelled;
}

QString stepLabel(const char* what, const QString& path) {
    return QStringLiteral("%1 %2 ...")
        .arg(QLatin1String(what), path.mid(path.lastIndexOf(QLatin1Char('/')) + 1));
}

// A big text is written on a thread of its own while the window shows the progress and goes on
// drawing; Cancel stops it at its next piece, with the old file untouched.
PieceWriteResult writeText(LongStep* steps, const QString& path, const QString& text,
                           TextEncoding encoding) {
    if (!steps || text.size() < StepSaveFrom)
        return {writeTextFile(path, text, encoding)};
    std::atomic<qint64> done{0};
    std::atomic<bool> stop{false};
    PieceWriteResult result;
    const auto write = [&] {
        result = writeTextFileInPieces(path, text, encoding, [&](qint64 written, qint64 total) {
            done = total > 0 ? written * 1000 / total : 1000;
            return !stop.load();
        });
    };
    struct Stopping : LongStep {
        LongStep& steps;
        std::atomic<bool>& stop;
        Stopping(LongStep& s, std::atomic<bool>& f) : steps(s), stop(f) {}
        void begin(const QString& label, qint64 total) override { steps.begin(label, total); }
        bool advance(qint64 at) override {
            if (!steps.advance(at))
                stop = true;
            return !stop;
        }
        void end() override { steps.end(); }
    } stopping(*steps, stop);
    runBesideTheWindow(stopping, stepLabel("Saving", path), write, done);
    return result;
}

// Reads a page; a big one on a thread of its own while the window goes on drawing. nullopt: the
// user cancelled.
std::optional<TextReadResult> readPage(LongStep* steps, const QString& path) {
    if (!steps || QFileInfo(path).size() < StepSaveFrom)
        return readTextFile(path);
    TextReadResult file;
    const std::atomic<qint64> unknown{0};
    if (!runBesideTheWindow(
            *steps, stepLabel("Loading", path), [&] { file = readTextFile(path); }, unknown))
        return std::nullopt;
    return file;
}

} // namespace

bool HtmlDocument::writeTo(const QString& path) {
    LongStep* steps = m_parts ? m_parts->longSteps : nullptr;
    const bool check = m_encoding == TextEncoding::Latin1 && !m_toldSavedAsUtf8;
    QString text;
    bool fits = true;
    if (steps && m_editor.length() >= StepSaveFrom) {
        // Only a copy of what the editor holds is taken here, a piece at a time with the window
        // drawing between pieces (the step keeps the user's input away, so the text stays as
        // it is); its line ends and the Latin-1 check are worked out beside the window.
        const QString label = stepLabel("Saving", path);
        steps->begin(label, 1000);
        const std::optional<EditWindow::TextCopy> copy =
            m_editor.textCopy([steps](qint64 share) { return steps->advance(share); });
        steps->end();
        if (!copy)
            return false; // cancelled: the file stays as it was, the document modified
        const std::atomic<qint64> unknown{0};
        const auto prepare = [&] {
            text = copy->text();
            fits = !check || fitsLatin1(text);
        };
        if (!runBesideTheWindow(*steps, label, prepare, unknown))
            return false; // cancelled: the file stays as it was, the document modified
    } else {
        text = m_editor.text();
        fits = !check || fitsLatin1(text);
    }
    // Nothing typed is lost, but the file changes its encoding: the user hears of it once.
    if (!fits) {
        m_toldSavedAsUtf8 = true;
        m_prompter.inform(savedAsUtf8Text(path));
    }
    const PieceWriteResult written = writeText(steps, path, text, m_encoding);
    if (written.stopped)
        return false; // cancelled: the file stays as it was, the document modified
    const TextWriteResult& result = written.result;
    if (!result.ok) {
        m_prompter.error(
            QStringLiteral("Cannot save the file \"%1\".\n%2").arg(path, result.error));
        return false;
    }
    m_encoding = result.encoding;
    return true;
}


MessageAnswer HtmlDocument::confirmCloseHtml(bool saveCommand) {
    if (m_helpPageMode || !m_htmlModified)
        return MessageAnswer::Yes;
    MessageAnswer answer = MessageAnswer::Yes;
    if (!saveCommand)
        answer = m_prompter.message(MessageKind::Confirmation, MessageButtons::YesNoCancel,
                                    askSaveChangesText());
    if (answer == MessageAnswer::Yes) {
        QString target = m_currentHtmlFile;
        if (isUntitled()) {
            const std::optional<QString> chosen = askSaveName();
            if (!chosen)
                return MessageAnswer::Cancel;
            target = *chosen;
        }
        // The document takes the new name only once the text is there.
        if (!writeTo(target))
            return MessageAnswer::Cancel;
        m_untitled = false;
        if (target != m_currentHtmlFile) {
            setFileName(target);
            showStatus();
        }
        if (m_settings.ftpAuto)
            m_changedList.add(m_currentHtmlFile);
    }
    if (answer != MessageAnswer::Cancel)
        setHtmlModified(false);
    return answer;
}

void HtmlDocument::newHtmlFile() {
    if (confirmCloseHtml() == MessageAnswer::Cancel)
        return;
    emptyEditor();
    startUntitled();
    setHelpPageMode(false);
    // A new page goes in like any inserted block: through the clipboard, caret after it.
    if (m_parts && m_parts->blocks) {
        m_parts->blocks->insertBlock(QStringLiteral("NEW"));
        setHtmlModified(true);
        return;
    }
    m_clipboard.setText(newPageSkeleton());
    m_editor.paste();
    m_editor.setFocus();
    setHtmlModified(true);
}

std::optional<std::function<void()>> HtmlDocument::confirmReplace() {
    const bool wasModified = m_htmlModified;
    const MessageAnswer answer = confirmCloseHtml();
    if (answer == MessageAnswer::Cancel)
        return std::nullopt;
    return [this, answer, wasModified] {
        if (answer == MessageAnswer::No)
            setHtmlModified(wasModified);
    };
}

void HtmlDocument::openHtmlFile() {
    const std::optional<std::function<void()>> keepDocument = confirmReplace();
    if (!keepDocument)
        return;
    FileDialogRequest r;
    r.title = QStringLiteral("Open HTML File");
    r.filter = m_openFilter;
    r.filterIndex = 1;
    r.initialDirectory = m_settings.lastHtmlDirectory;
    const std::optional<QString> chosen = m_chooser.openFile(r);
    if (!chosen) {
        (*keepDocument)();
        return;
    }
    openChosenFile(*chosen, *keepDocument);
}

void HtmlDocument::openHtmlFilePath(const QString& path) {
    if (const std::optional<std::function<void()>> keepDocument = confirmReplace())
        openChosenFile(path, *keepDocument);
}

void HtmlDocument::openChosenFile(const QString& chosen,
                                  const std::function<void()>& keepDocument) {
    rememberHtmlFolder(chosen);
    const std::optional<TextReadResult> read =
        readPage(m_parts ? m_parts->longSteps : nullptr, chosen);
    if (!read) {
        keepDocument();
        return;
    }
    const TextReadResult& file = *read;
    if (!file.ok) {
        keepDocument();
        m_prompter.inform(
            QStringLiteral("Cannot open the file \"%1\".\n%2").arg(chosen, file.error));
        return;
    }
    if (!takeDocument(chosen, file)) {
        keepDocument();
        return;
    }
    setHelpPageMode(false);
}

void HtmlDocument::openHtmlTemplate() {
    const std::optional<std::function<void()>> keepDocument = confirmReplace();
    if (!keepDocument)
        return;
    if (m_settings.htmlTemplate.isEmpty()) {
        (*keepDocument)();
        m_prompter.inform(noTemplateText());
        if (m_parts && m_parts->settingsDialog)
            m_parts->settingsDialog->openSettingsDialog();
        return;
    }
    const std::optional<TextReadResult> read =
        readPage(m_parts ? m_parts->longSteps : nullptr, m_settings.htmlTemplate);
    if (!read) {
        (*keepDocument)();
        return;
    }
    const TextReadResult& file = *read;
    if (!file.ok) {
        (*keepDocument)();
        m_prompter.inform(cannotOpenLinkedFileText());
        return;
    }
    // The template's text becomes a new untitled page: saving it asks for a name.
    if (!takeDocument(untitledName(), file, true)) {
        (*keepDocument)();
        return;
    }
    setHelpPageMode(false);
}

void HtmlDocument::saveHtmlFile() {
    confirmCloseHtml(true);
}

void HtmlDocument::saveHtmlFileAs() {
    if (m_helpPageMode)
        return;
    const std::optional<QString> chosen = askSaveName();
    if (!chosen)
        return;
    // A failed write keeps the old name, so the next Save still goes where the text came from.
    if (!writeTo(*chosen))
        return;
    m_untitled = false;
    setFileName(*chosen);
    setHtmlModified(false);
    showStatus();
}

void HtmlDocument::closeHtmlFile() {
    if (confirmCloseHtml() == MessageAnswer::Cancel)
        return;
    // The editor no longer holds the closed file's text: whatever is typed next is a new,
    // untitled page, and saving it asks for a name instead of overwriting the closed file.
    emptyEditor();
    startUntitled();
    setHelpPageMode(false);
}

void HtmlDocument::setWrap(bool on) {
    m_editor.setWordWrap(on);
    if (on != m_settings.wrap)
        m_store.set(m_settings, &Settings::wrap, on);
}

void HtmlDocument::setColored(bool on) {
    // The pass does not follow the switch; live colouring (which the window brings) does.
    if (on != m_settings.colored)
        m_store.set(m_settings, &Settings::colored, on);
}

DocumentLoad HtmlDocument::loadDocument(const QString& path) {
    // A big file is read and decoded beside the window, which goes on drawing meanwhile.
    const std::optional<TextReadResult> read =
        readPage(m_parts ? m_parts->longSteps : nullptr, path);
    if (!read)
        return {false, {}, true};
    const TextReadResult& file = *read;
    if (!file.ok)
        return {false, file.error};
    if (!takeDocument(path, file))
        return {false, {}, true};
    return {true, {}};
}

void HtmlDocument::emptyEditor() {
    m_editor.clear();
    ++m_generation;
    emit documentReplaced();
}

bool HtmlDocument::takeDocument(const QString& name, const TextReadResult& file, bool untitled) {
    // A big page loads as a long step the user may cancel; until it is in, nothing changes.
    LongStep* steps = m_parts ? m_parts->longSteps : nullptr;
    const QString label =
        QStringLiteral("Loading %1 ...").arg(name.mid(name.lastIndexOf(QLatin1Char('/')) + 1));
    if (!m_editor.loadText(file.text, steps, label))
        return false;
    ++m_generation;
    setHtmlModified(false);
    m_untitled = untitled;
    m_encoding = file.encoding;
    m_toldSavedAsUtf8 = false;
    setFileName(name);
    showStatus();
    emit documentReplaced();
    colourIfOn();
    return true;
}

void HtmlDocument::rememberHtmlFolder(const QString& chosenFile) {
    // Stored with its trailing separator, like the default: the dialogs that start there and the
    // preview append file names to it.
    const QString folder = folderWithSeparator(QFileInfo(chosenFile).absolutePath());
    if (folder == m_settings.lastHtmlDirectory)
        return;
    m_store.set(m_settings, &Settings::lastHtmlDirectory, folder);
}

void HtmlDocument::showStatus() {
    emit statusTextChanged(statusText(m_currentHtmlFile));
}

void HtmlDocument::enableSaveCommands(bool on) {
    emit saveCommandsEnabledChanged(on);
}

void HtmlDocument::colourIfOn() {
    if (m_settings.colored && m_parts && m_parts->colouring)
        m_parts->colouring->colourText();
}
