// PlainTextEditWindow: the EditWindow operations over the main window's QPlainTextEdit.
//
// The document keeps one character per line end where EditWindow positions count two (CR LF);
// every position is converted both ways here. Tag colours are drawn as extra selections of the
// widget, so colouring never enters the undo history and never modifies the document.
#pragma once

#include "editor/EditWindow.h"

#include <QList>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextEdit>
#include <QTimer>

class PlainTextEditWindow : public EditWindow {
public:
    // The widget stays owned by its parent; after it is gone every operation does nothing.
    explicit PlainTextEditWindow(QPlainTextEdit* editor);

    QPlainTextEdit* editor() const { return m_editor; }

    QString text() const override;
    void setText(const QString& text) override;
    int length() const override;
    int selStart() const override;
    void setSelStart(int position) override;
    int selLength() const override;
    void setSelLength(int length) override;
    QString selText() const override;
    void replaceSelection(const QString& text) override;
    void undo() override;
    void setFocus() override;
    bool wordWrap() const override;
    void setWordWrap(bool on) override;
    void colorRange(int start, int length, const QColor& color) override;

    // Puts the colours given so far on screen now; otherwise they follow shortly, in batches,
    // so that a colouring pass over a long page does not hand the widget its list per tag.
    void applyColors();

    // Position conversions: document positions count one character per line end.
    int toDocumentPosition(qint64 position) const;
    int toEditPosition(int documentPosition) const;

private:
    QPointer<QPlainTextEdit> m_editor;
    QList<QTextEdit::ExtraSelection> m_colors;
    QTimer m_colorTimer;
};
