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
    const FileBytesResult file = readFileBytes(m_path);
    if (!file.ok)
        return;
    FileEntries read = readEntries(file.bytes);
    m_entries = std::move(read.entries);
    m_encoding = read.encoding;
}

SnipList::FileEntries SnipList::readEntries(const QByteArray& bytes) {
    const DecodedText decoded = decodeText(bytes);
    FileEntries read;
    read.encoding = decoded.encoding;
    const QString text = toCrLf(decoded.text);
    if (!text.isEmpty()) {
        read.entries = text.split(QStringLiteral("\r\n"));
        // The last line's end makes no entry of its own.
        if (read.entries.last().isEmpty())
            read.entries.removeLast();
    }
    // A file this program wrote is in order already: checking is cheaper than sorting.
    if (!std::is_sorted(read.entries.begin(), read.entries.end(), lessIgnoringCase))
        std::stable_sort(read.entries.begin(), read.entries.end(), lessIgnoringCase);
    return read;
}

QString SnipList::fileText(const QStringList& entries) {
    qsizetype size = 0;
    for (const QString& e : entries)
        size += e.size() + 2;
    QString text;
    text.reserve(size);
    for (const QString& e : entries) {
        text += e;
        text += QLatin1String("\r\n");
    }
    return text;
}

void SnipList::insertSorted(QStringList& entries, const QString& text) {
    // After the entries equal to it without regard to case, so equal ones keep their order.
    entries.insert(std::upper_bound(entries.begin(), entries.end(), text, lessIgnoringCase), text);
}

bool SnipList::add(const QString& text) {
    if (text.isEmpty())
        return false;
    insertSorted(m_entries, text);
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
    const QString text = fileText(m_entries);
    const TextWriteResult result =
        writeTextFile(m_path, text, encodingThatReadsBack(text, m_encoding));
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
