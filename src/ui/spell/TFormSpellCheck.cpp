// TFormSpellCheck: the word, its replacement, the suggestions and the answers.
#include "ui/spell/TFormSpellCheck.h"

#include "ui/spell/TFormSpellConfig.h"

#include <QApplication>
#include <QEventLoop>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace {
QString caption() {
    return QStringLiteral("Spell Check");
}
} // namespace

TFormSpellCheck::TFormSpellCheck(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("SpellCheckDialog"));
    setWindowTitle(caption());
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(true);

    auto* grid = new QGridLayout(this);
    m_notFoundLabel = new QLabel(QStringLiteral("Not Found:"));
    m_notFound = new QLineEdit;
    m_notFound->setObjectName(QStringLiteral("NotFound"));
    m_notFound->setReadOnly(true);
    auto* replaceLabel = new QLabel(QStringLiteral("&Replace With:"));
    m_replace = new QLineEdit;
    m_replace->setObjectName(QStringLiteral("ReplaceWith"));
    replaceLabel->setBuddy(m_replace);
    auto* suggestLabel = new QLabel(QStringLiteral("&Suggestions:"));
    m_suggestions = new QListWidget;
    m_suggestions->setObjectName(QStringLiteral("Suggestions"));
    suggestLabel->setBuddy(m_suggestions);
    grid->addWidget(m_notFoundLabel, 0, 0);
    grid->addWidget(m_notFound, 0, 1);
    grid->addWidget(replaceLabel, 1, 0);
    grid->addWidget(m_replace, 1, 1);
    grid->addWidget(suggestLabel, 2, 0, Qt::AlignTop);
    grid->addWidget(m_suggestions, 2, 1, 3, 1);

    auto* column = new QVBoxLayout;
    const auto add = [&](const QString& text, auto slot) {
        auto* b = new QPushButton(text);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        column->addWidget(b);
        m_buttons << b;
        return b;
    };
    add(QStringLiteral("&Change All"), [this] { answer(SpellAction::ChangeAll); });
    add(QStringLiteral("C&hange"), [this] { answer(SpellAction::Change); })->setDefault(true);
    add(QStringLiteral("&Ignore All"), [this] { answer(SpellAction::IgnoreAll); });
    add(QStringLiteral("I&gnore"), [this] { answer(SpellAction::Ignore); });
    add(QStringLiteral("&Add"), [this] { answer(SpellAction::Add); });
    add(QStringLiteral("Au&to-Correct"), [this] { answer(SpellAction::AutoCorrect); });
    add(QStringLiteral("S&uggest"), [this] { suggestWider(); });
    m_undo = add(QStringLiteral("Undo &Last"), [this] { answer(SpellAction::Undo); });
    add(QStringLiteral("&Options"), [this] { openOptions(); });
    add(QStringLiteral("Hel&p"), [this] { showHelp(); });
    // The dialog is always started by the command, which starts the walk itself.
    add(QStringLiteral("Start"), [] {})->setEnabled(false);
    add(QStringLiteral("Cancel"), [this] { answer(SpellAction::Cancel); });
    column->addStretch();
    grid->addLayout(column, 0, 2, 5, 1);

    connect(m_suggestions, &QListWidget::currentTextChanged, this, [this](const QString& text) {
        if (!text.isEmpty())
            m_replace->setText(text);
    });
    connect(m_suggestions, &QListWidget::itemDoubleClicked, this,
            [this] { answer(SpellAction::Change); });
    resize(460, 300);
}

QPushButton* TFormSpellCheck::button(const QString& caption) const {
    for (QPushButton* b : m_buttons)
        if (b->text() == caption)
            return b;
    return nullptr;
}

SpellReply TFormSpellCheck::ask(TAddictSpell& checker, const SpellQuery& query) {
    m_checker = &checker;
    m_notFoundLabel->setText(query.repeated ? QStringLiteral("Repeated Word:")
                                            : QStringLiteral("Not Found:"));
    m_notFound->setText(query.word);
    // The first suggestion is offered, not chosen: the replacement starts as the word itself
    // (empty for a repeated word, whose change removes it).
    m_replace->setText(query.repeated ? QString() : query.word);
    m_suggestions->clear();
    m_suggestions->addItems(query.suggestions);
    m_suggestions->setCurrentRow(-1);
    m_undo->setEnabled(query.canUndo);
    if (!isVisible())
        show();
    keepClearOfWord();
    raise();
    activateWindow();
    m_replace->setFocus();
    m_replace->selectAll();

    m_reply = {SpellAction::Cancel, {}};
    QEventLoop loop;
    m_loop = &loop;
    loop.exec();
    m_loop = nullptr;
    return m_reply;
}

QPoint TFormSpellCheck::placeClearOf(const QRect& dialog, const QRect& word, const QRect& screen) {
    if (word.isEmpty() || !dialog.intersects(word))
        return dialog.topLeft();
    constexpr int gap = 8;
    const auto inside = [&screen](int at, int size, int low, int high) {
        return std::max(low, std::min(at, high - size + 1));
    };
    const int x = inside(dialog.x(), dialog.width(), screen.left(), screen.right());
    const int y = inside(dialog.y(), dialog.height(), screen.top(), screen.bottom());
    if (word.bottom() + gap + dialog.height() <= screen.bottom() + 1)
        return {x, word.bottom() + gap + 1};
    if (word.top() - gap - dialog.height() >= screen.top())
        return {x, word.top() - gap - dialog.height()};
    if (word.right() + gap + dialog.width() <= screen.right() + 1)
        return {word.right() + gap + 1, y};
    if (word.left() - gap - dialog.width() >= screen.left())
        return {word.left() - gap - dialog.width(), y};
    // A screen too small to keep clear: at least nothing goes off it.
    return {x, y};
}

void TFormSpellCheck::keepClearOfWord() {
    if (!wordArea)
        return;
    const QRect word = wordArea();
    const QScreen* where = screen();
    if (word.isEmpty() || !where)
        return;
    const QRect frame = frameGeometry();
    const QPoint to = placeClearOf(frame, word, where->availableGeometry());
    if (to != frame.topLeft())
        move(to);
}

void TFormSpellCheck::answer(SpellAction action) {
    m_reply = {action, m_replace->text()};
    if (m_loop)
        m_loop->quit();
}

void TFormSpellCheck::reject() {
    if (m_loop)
        answer(SpellAction::Cancel);
    else
        QDialog::reject();
}

void TFormSpellCheck::runFinished() {
    hide();
    m_checker = nullptr;
}

void TFormSpellCheck::hideForNow() {
    hide();
}

void TFormSpellCheck::suggestWider() {
    if (!m_checker)
        return;
    setWindowTitle(caption() + QStringLiteral(" (Working...)"));
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    const QString from =
        m_replace->text().trimmed().isEmpty() ? m_notFound->text() : m_replace->text().trimmed();
    const QStringList found = m_checker->wideSuggestionsFor(from);
    QApplication::restoreOverrideCursor();
    setWindowTitle(caption());
    m_suggestions->clear();
    m_suggestions->addItems(found);
    m_suggestions->setCurrentRow(-1);
}

void TFormSpellCheck::openOptions() {
    if (!m_checker)
        return;
    TFormSpellConfig config(*m_checker, this);
    if (config.exec() == QDialog::Accepted)
        m_checker->setConfiguration(config.configuration());
}

void TFormSpellCheck::showHelp() {
    QMessageBox::information(
        this, caption(),
        QStringLiteral("Change replaces this word with the text under Replace With; Change All "
                       "does so wherever the word comes again. Ignore passes the word once, "
                       "Ignore All for the rest of the check. Add puts it into your user "
                       "dictionary; Auto-Correct remembers the replacement for good. Suggest "
                       "looks further for the text under Replace With. Undo Last takes back "
                       "the last answer."));
}
