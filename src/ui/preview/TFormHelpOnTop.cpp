// "Help On Top".
#include "ui/preview/TFormHelpOnTop.h"

#include "app/AppState.h"
#include "platform/Prompter.h"
#include "platform/TextFile.h"
#include "preview/Help.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>

namespace {
constexpr int ButtonHeight = 26;
constexpr int Margin = 4;
} // namespace

TFormHelpOnTop::TFormHelpOnTop(AppState& state, Prompter& prompter, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint), m_state(state), m_prompter(prompter) {
    setObjectName(QStringLiteral("FormHelpOnTop"));
    setWindowTitle(QStringLiteral("Help On Top"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("MemoHelp"));
    m_text->setReadOnly(true);
    m_next = new QPushButton(QStringLiteral("Next"), this);
    m_next->setObjectName(QStringLiteral("ButtonNext"));
    m_next->setDefault(true);
    m_prev = new QPushButton(QStringLiteral("Prev"), this);
    m_prev->setObjectName(QStringLiteral("ButtonPrev"));
    m_hint = new QLabel(QStringLiteral("Resize me by dragging on one of my corners. Move me "
                                       "anywhere on the screen by dragging my title bar above."),
                        this);
    m_hint->setObjectName(QStringLiteral("LabelHint"));
    m_hint->setWordWrap(true);
    connect(m_next, &QPushButton::clicked, this, [this] { showPage(m_current + 1); });
    connect(m_prev, &QPushButton::clicked, this, [this] { showPage(m_current - 1); });
    resize(360, 300);
    // Until the first resize the text and the hint share the window.
    m_text->setGeometry(Margin, Margin, 352, 180);
    m_hint->setGeometry(Margin, 190, 352, 60);
    m_prev->setGeometry(Margin, 300 - ButtonHeight - Margin, 80, ButtonHeight);
    m_next->setGeometry(Margin + 84, 300 - ButtonHeight - Margin, 80, ButtonHeight);
}

bool TFormHelpOnTop::loadPages() {
    const std::optional<QStringList> pages =
        loadHelpPageList(m_state.programDirectory() + QStringLiteral("help/welcome.fil"));
    if (!pages || pages->isEmpty()) {
        m_prompter.inform(Help::cannotOpenHelpText());
        return false;
    }
    m_pages = *pages;
    showPage(helpOnTopStartPage(m_pages, m_state.project().projectFileName,
                                m_state.document().currentHtmlFile()));
    return true;
}

void TFormHelpOnTop::showPage(int index) {
    if (index < 0 || index >= m_pages.size())
        return;
    m_current = index;
    const TextReadResult file =
        readTextFile(helpPagePath(m_state.programDirectory(), m_pages[index]));
    m_text->setPlainText(file.ok ? file.text : QString());
    m_prev->setEnabled(index > 0);
    m_next->setEnabled(index + 1 < m_pages.size());
}

void TFormHelpOnTop::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    m_shown = true;
}

void TFormHelpOnTop::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // Only the user's resizes count, not the window's own sizing when it is shown.
    if (!m_shown || !event->oldSize().isValid() || event->oldSize() == event->size())
        return;
    m_hint->hide();
    const int w = width(), h = height();
    m_text->setGeometry(Margin, Margin, qMax(0, w - 2 * Margin),
                        qMax(0, h - ButtonHeight - 3 * Margin));
    m_prev->setGeometry(Margin, h - ButtonHeight - Margin, 80, ButtonHeight);
    m_next->setGeometry(Margin + 84, h - ButtonHeight - Margin, 80, ButtonHeight);
}
