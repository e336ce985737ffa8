// TextBuffer: placeholder until the in-memory editor lands.
#include "editor/TextBuffer.h"
void TextBuffer::setText(const QString& text) { m_text = text; }
void TextBuffer::setSelStart(int) {}
void TextBuffer::setSelLength(int) {}
QString TextBuffer::selText() const { return {}; }
void TextBuffer::replaceSelection(const QString&) {}
void TextBuffer::undo() {}
void TextBuffer::colorRange(int, int, const QColor&) {}
