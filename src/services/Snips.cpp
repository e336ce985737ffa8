// Snips: the two snip lists and their files.
#include "services/Snips.h"

#include "app/HtmlDocument.h"
#include "editor/EditWindow.h"
#include "platform/Clipboard.h"
#include "platform/Prompter.h"

#include <QFileInfo>
#include <algorithm>

namespace {

bool lessIgnoringCase(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) < 0;
}

} // namespace

SnipList::SnipList(QString path, Prompter& prompter)
    : m_path(std::move(path)), m_prompter(prompter) {
}

void SnipList::select(int index) {
    m_selected = index >= 0 && index < m_entries.size() ? index : -1;
}

QString SnipList::selectedText() const {
    return m_selected >= 0 ? m_entries.at(m_selected) : QString();
}

void SnipList::load() {
    m_entries.clear();
    m_selected = -1;
    if (!QFileInfo::exists(m_path))
        return;
    const TextReadResult file = readTextFile(m_path);
    if (!file.ok)
        return;
    m_encoding = file.encoding;
    if (!file.text.isEmpty()) {
        m_entries = file.text.split(QStringLiteral("\r\n"));
        // The last line's end makes no entry of its own.
        if (m_entries.last().isEmpty())
            m_entries.removeLast();
    }
    std::stable_sort(m_entries.begin(), m_entries.end(), lessIgnoringCase);
}

bool SnipList::add(const QString& text) {
    if (text.isEmpty())
        return false;
    // After the entries equal to it without regard to case, so equal ones keep their order.
    const auto at = std::upper_bound(m_entries.begin(), m_entries.end(), text, lessIgnoringCase);
    m_entries.insert(at, text);
    save();
    return true;
}

bool SnipList::deleteSelected() {
    if (m_selected < 0)
        return false;
    m_entries.removeAt(m_selected);
    m_selected = m_selected > 0 ? m_selected - 1 : -1;
    save();
    return true;
}

bool SnipList::replaceSelected(const QString& text) {
    if (m_selected < 0 || text == cancelMarker())
        return false;
    m_entries[m_selected] = text;
    save();
    return true;
}

QString SnipList::cannotWriteText(const QString& path, const QString& reason) {
    return QStringLiteral("Cannot write the file \"%1\".\n%2").arg(path, reason);
}

bool SnipList::save() {
    QString text;
    for (const QString& e : m_entries)
        text += e + QStringLiteral("\r\n");
    const TextWriteResult result = writeTextFile(m_path, text, m_encoding);
    if (!result.ok) {
        m_prompter.error(cannotWriteText(m_path, result.error));
        return false;
    }
    m_encoding = result.encoding;
    return true;
}

Snips::Snips(const QString& programDirectory, Prompter& prompter)
    : m_prompter(prompter), m_urls(programDirectory + QStringLiteral("urlsnips.dat"), prompter),
      m_misc(programDirectory + QStringLiteral("missnips.dat"), prompter) {
}

void Snips::loadSnippets() {
    m_urls.load();
    m_misc.load();
}

QString Snips::nothingSelectedText() {
    return QStringLiteral(
        "You have not selected an item to edit. You must first select at item (click it).");
}

void Snips::pasteSnip(const QString& text, EditWindow& editor, Clipboard& clipboard,
                      HtmlDocument& document) const {
    clipboard.setText(text);
    if (!pasteIntoEditor)
        return;
    editor.setFocus();
    document.setHtmlModified(true);
    editor.replaceSelection(clipboard.text());
}

void Snips::editSnip(SnipList& list, SnipEntryEditor& dialog) {
    if (list.selected() < 0) {
        m_prompter.inform(nothingSelectedText());
        return;
    }
    list.replaceSelected(dialog.editEntry(list.selectedText()));
}
