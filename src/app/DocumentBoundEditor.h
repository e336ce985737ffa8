// DocumentBoundEditor: the editor as a long pass that waits on the user sees it (the spell
// check). It stands for the document the pass started on: once that document is replaced or
// closed, the text reads as empty and every change or selection goes nowhere, so a pass that
// only finds out later never touches the page that took its place.
#pragma once

#include "app/HtmlDocument.h"
#include "editor/EditWindow.h"

class DocumentBoundEditor : public EditWindow {
public:
    DocumentBoundEditor(EditWindow& editor, const HtmlDocument& document)
        : m_editor(editor), m_document(document), m_generation(document.generation()) {
        setClipboard(editor.clipboard());
    }

    // Whether the document the pass started on is still the one in the editor.
    bool current() const { return m_document.generation() == m_generation; }

    QString text() const override { return current() ? m_editor.text() : QString(); }
    void setText(const QString& text) override {
        if (current())
            m_editor.setText(text);
    }
    int length() const override { return current() ? m_editor.length() : 0; }
    int selStart() const override { return current() ? m_editor.selStart() : 0; }
    void setSelStart(int position) override {
        if (current())
            m_editor.setSelStart(position);
    }
    int selLength() const override { return current() ? m_editor.selLength() : 0; }
    void setSelLength(int length) override {
        if (current())
            m_editor.setSelLength(length);
    }
    QString selText() const override { return current() ? m_editor.selText() : QString(); }
    void replaceSelection(const QString& text) override {
        if (current())
            m_editor.replaceSelection(text);
    }
    void replaceRanges(const QList<TextReplacement>& replacements,
                       bool joinPrevious = false) override {
        if (current())
            m_editor.replaceRanges(replacements, joinPrevious);
    }
    void undo() override {
        if (current())
            m_editor.undo();
    }
    void setFocus() override {
        if (current())
            m_editor.setFocus();
    }
    bool wordWrap() const override { return m_editor.wordWrap(); }
    void setWordWrap(bool on) override { m_editor.setWordWrap(on); }
    void colorRange(int start, int length, const QColor& color) override {
        if (current())
            m_editor.colorRange(start, length, color);
    }

private:
    EditWindow& m_editor;
    const HtmlDocument& m_document;
    const quint64 m_generation;
};
