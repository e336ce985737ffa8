// The spell checker in the main window.
#include "ui/spell/SpellCommands.h"

#include "app/AppState.h"
#include "app/DocumentBoundEditor.h"
#include "app/ShellWindow.h"
#include "spell/SpellCheckDocument.h"
#include "spell/SpellCommands.h"
#include "spell/TAddictSpell.h"
#include "ui/PlainTextEditWindow.h"
#include "ui/shell/ActionRegistry.h"
#include "ui/shell/Shell.h"
#include "ui/spell/TFormSpellCheck.h"
#include "ui/spell/TFormSpellProgress.h"

#include <QAction>
#include <QApplication>
#include <QPalette>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTimer>

namespace {

class SpellCheckUi : public QObject {
    Q_OBJECT
public:
    SpellCheckUi(QWidget& window, AppState& state, PlainTextEditWindow& editor, Prompter& prompter)
        : QObject(&window), m_state(state), m_editor(editor), m_prompter(prompter),
          m_spell(QString(), QString()) {
        setObjectName(QStringLiteral("SpellCheckUi"));
        m_dialog = new TFormSpellCheck(&window);
        m_dialog->wordArea = [this] { return wordArea(); };
        m_progress = new TFormSpellProgress(&window);
        m_spell.setDialog(m_dialog);
        m_spell.setPrompter(&prompter);
        m_spell.onCreated = [this] { ready(); };
        m_spell.onComplete = [this] { ready(); };
        m_spell.onCancelled = [this] { ready(); };
        m_spell.onTextChanged = [this] { m_state.document().setHtmlModified(true); };
        // Another page opened, a new one made or the page closed while the check waits on the
        // user: the check ends there, as Cancel would end it.
        QObject::connect(&state.document(), &HtmlDocument::documentReplaced, this, [this] {
            if (m_running)
                m_dialog->reject();
        });
        // The settings are read by the window's start-up sequence, which runs after the
        // commands are installed: the checker is configured right after it.
        QTimer::singleShot(0, this, [this] { configure(); });
    }

    TAddictSpell& spell() { return m_spell; }
    TFormSpellCheck* dialog() const { return m_dialog; }

    void run() {
        if (m_running)
            return;
        configure();
        m_running = true;
        QPlainTextEdit* editor = m_editor.editor();
        SpellCheckDocumentHooks hooks;
        hooks.showBusy = [this] {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            m_busy = true;
            m_progress->show();
            m_progress->raise();
            QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        };
        hooks.restoreCursor = [this] { ready(); };
        hooks.keepSelectionVisible = [this, editor](bool on) {
            if (!editor)
                return;
            if (on) {
                m_palette = editor->palette();
                QPalette p = m_palette;
                for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
                    p.setColor(QPalette::Inactive, role, p.color(QPalette::Active, role));
                editor->setPalette(p);
            } else {
                editor->setPalette(m_palette);
            }
        };
        // The check works on the page it started on, and on nothing else.
        DocumentBoundEditor page(m_editor, m_state.document());
        SpellCheckDocument(m_spell, page, m_prompter, hooks);
        m_running = false;
    }

private:
    // The selected word on the screen: the checker selects each word it puts to the user.
    QRect wordArea() const {
        QPlainTextEdit* editor = m_editor.editor();
        return editor && editor->isVisible() ? selectedTextArea(*editor) : QRect();
    }

    void configure() {
        if (m_configured)
            return;
        m_configured = true;
        const Settings& s = m_state.settings();
        m_spell.setConfigurationFile(s.spellConfigPath, s.spellConfigKey);
        m_spell.configure();
    }

    // The checker is ready, done or cancelled: the hourglass and the start-up window go.
    void ready() {
        m_progress->hide();
        if (m_busy) {
            QApplication::restoreOverrideCursor();
            m_busy = false;
        }
    }

    AppState& m_state;
    PlainTextEditWindow& m_editor;
    Prompter& m_prompter;
    TAddictSpell m_spell;
    TFormSpellCheck* m_dialog = nullptr;
    TFormSpellProgress* m_progress = nullptr;
    QPalette m_palette;
    bool m_configured = false;
    bool m_busy = false;
    bool m_running = false;
};

SpellCheckUi* ui(QObject& window) {
    return window.findChild<SpellCheckUi*>();
}

} // namespace

std::function<void()> installSpellCheck(Shell& c) {
    auto* u = new SpellCheckUi(c.messageParent, c.state, c.editWindow, c.prompter);
    // The spell room owns it, with the others' objects under the registry.
    u->setParent(&c.registry);
    return [u] { u->run(); };
}

CommandTable installSpelling(ActionRegistry&, Shell& c) {
    return spellCommands(installSpellCheck(c));
}

QRect selectedTextArea(const QPlainTextEdit& editor) {
    const QTextCursor cursor = editor.textCursor();
    QTextCursor start = cursor;
    start.setPosition(cursor.selectionStart());
    QTextCursor end = cursor;
    end.setPosition(cursor.selectionEnd());
    const QRect area = editor.cursorRect(start).united(editor.cursorRect(end));
    return QRect(editor.viewport()->mapToGlobal(area.topLeft()), area.size());
}

TAddictSpell* spellChecker(QObject& window) {
    SpellCheckUi* u = ui(window);
    return u ? &u->spell() : nullptr;
}

TFormSpellCheck* spellCheckDialog(QObject& window) {
    SpellCheckUi* u = ui(window);
    return u ? u->dialog() : nullptr;
}

#include "SpellCommands.moc"
