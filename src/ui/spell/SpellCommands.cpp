// The spell checker in the main window.
#include "ui/spell/SpellCommands.h"

#include "spell/SpellCheckDocument.h"
#include "spell/TAddictSpell.h"
#include "ui/PlainTextEditWindow.h"
#include "ui/TForm1.h"
#include "ui/spell/TFormSpellCheck.h"
#include "ui/spell/TFormSpellProgress.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPalette>
#include <QPlainTextEdit>
#include <QStyle>
#include <QToolBar>

namespace {

class SpellCheckUi : public QObject {
public:
    SpellCheckUi(TForm1& form, Prompter& prompter)
        : QObject(&form), m_form(form), m_prompter(prompter),
          m_spell(form.state().settings().spellConfigPath, form.state().settings().spellConfigKey) {
        setObjectName(QStringLiteral("SpellCheckUi"));
        m_spell.configure();
        m_dialog = new TFormSpellCheck(&form);
        m_progress = new TFormSpellProgress(&form);
        m_spell.setDialog(m_dialog);
        m_spell.setPrompter(&prompter);
        m_spell.onCreated = [this] { ready(); };
        m_spell.onComplete = [this] { ready(); };
        m_spell.onCancelled = [this] { ready(); };
        m_spell.onTextChanged = [this] { m_form.state().document().setHtmlModified(true); };

        m_action = new QAction(QStringLiteral("Spell Check"), &form);
        m_action->setObjectName(QStringLiteral("SpellCheck1"));
        m_action->setToolTip(QStringLiteral("Check spelling"));
        m_action->setIcon(form.style()->standardIcon(QStyle::SP_FileDialogContentsView));
        connect(m_action, &QAction::triggered, this, [this] { run(); });
        if (auto* bar = form.findChild<QToolBar*>(QStringLiteral("ToolBar1")))
            bar->addAction(m_action);
        if (auto* edit = form.menuBar()->findChild<QMenu*>(QStringLiteral("Edit1"))) {
            edit->addSeparator();
            edit->addAction(m_action);
        }
        // The editor's pop-up menu shows the editor's own actions at its end.
        form.editor()->addAction(m_action);
    }

    TAddictSpell& spell() { return m_spell; }
    TFormSpellCheck* dialog() const { return m_dialog; }
    QAction* action() const { return m_action; }

private:
    void run() {
        if (m_running)
            return;
        m_running = true;
        QPlainTextEdit* editor = m_form.editor();
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
        SpellCheckDocument(m_spell, m_form.editWindow(), m_prompter, hooks);
        m_running = false;
    }

    // The checker is ready, done or cancelled: the hourglass and the start-up window go.
    void ready() {
        m_progress->hide();
        if (m_busy) {
            QApplication::restoreOverrideCursor();
            m_busy = false;
        }
    }

    TForm1& m_form;
    Prompter& m_prompter;
    TAddictSpell m_spell;
    TFormSpellCheck* m_dialog = nullptr;
    TFormSpellProgress* m_progress = nullptr;
    QAction* m_action = nullptr;
    QPalette m_palette;
    bool m_busy = false;
    bool m_running = false;
};

SpellCheckUi* ui(TForm1& form) {
    return form.findChild<SpellCheckUi*>(QStringLiteral("SpellCheckUi"),
                                         Qt::FindDirectChildrenOnly);
}

} // namespace

void installSpellCheck(TForm1& form, Prompter& prompter) {
    new SpellCheckUi(form, prompter);
}

TAddictSpell* spellChecker(TForm1& form) {
    SpellCheckUi* u = ui(form);
    return u ? &u->spell() : nullptr;
}

TFormSpellCheck* spellCheckDialog(TForm1& form) {
    SpellCheckUi* u = ui(form);
    return u ? u->dialog() : nullptr;
}

QAction* spellCheckAction(TForm1& form) {
    SpellCheckUi* u = ui(form);
    return u ? u->action() : nullptr;
}
