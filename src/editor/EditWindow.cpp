// EditWindow: the operations every implementation shares.
#include "editor/EditWindow.h"

#include "platform/Clipboard.h"

void EditWindow::selectAll() {
    setSelStart(0);
    setSelLength(length());
}

void EditWindow::cut() {
    if (!m_clipboard)
        return;
    m_clipboard->clear();
    const QString selected = selText();
    if (selected.isEmpty())
        return;
    m_clipboard->setText(selected);
    replaceSelection(QString());
}

void EditWindow::copy() {
    if (!m_clipboard)
        return;
    m_clipboard->clear();
    const QString selected = selText();
    if (!selected.isEmpty())
        m_clipboard->setText(selected);
}

void EditWindow::paste() {
    if (!m_clipboard)
        return;
    replaceSelection(m_clipboard->text());
}

static QStringList splitLines(const QString& text) {
    if (text.isEmpty())
        return {};
    QStringList lines = text.split(QStringLiteral("\r\n"));
    if (lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

int EditWindow::lineCount() const {
    return static_cast<int>(splitLines(text()).size());
}

QString EditWindow::line(int index) const {
    const QStringList lines = splitLines(text());
    if (index < 0 || index >= lines.size())
        return {};
    return lines.at(index);
}
