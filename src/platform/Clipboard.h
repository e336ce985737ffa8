// Clipboard: the system clipboard as text.
#pragma once

#include <QString>

class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual QString text() const = 0;
    virtual void setText(const QString& text) = 0;
    virtual void clear() = 0;
};

// A clipboard held in memory: the hidden editors' and the tests' clipboard.
class MemoryClipboard : public Clipboard {
public:
    QString text() const override { return m_text; }
    void setText(const QString& text) override { m_text = text; }
    void clear() override { m_text.clear(); }

private:
    QString m_text;
};
