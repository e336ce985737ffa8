// "Help On Top": a small window above the others that pages through the help files as text.
#pragma once

#include <QStringList>
#include <QWidget>

class AppState;
class Prompter;
class QLabel;
class QPlainTextEdit;
class QPushButton;

class TFormHelpOnTop : public QWidget {
    Q_OBJECT
public:
    TFormHelpOnTop(AppState& state, Prompter& prompter, QWidget* parent);

    // Reads help/welcome.fil and shows the start page; false (after the message) when the
    // list cannot be read.
    bool loadPages();
    int currentPage() const { return m_current; }
    const QStringList& pages() const { return m_pages; }
    QPushButton* nextButton() const { return m_next; }
    QPushButton* prevButton() const { return m_prev; }
    QPlainTextEdit* textView() const { return m_text; }
    QLabel* hintLabel() const { return m_hint; }

    void showPage(int index);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    AppState& m_state;
    Prompter& m_prompter;
    QStringList m_pages;
    int m_current = 0;
    bool m_shown = false;
    QPlainTextEdit* m_text = nullptr;
    QPushButton* m_next = nullptr;
    QPushButton* m_prev = nullptr;
    QLabel* m_hint = nullptr;
};
