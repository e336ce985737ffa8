// EditorInput: the one place where the editor widget's keys and presses are routed. The keys of
// the window's commands go to the commands, the keys and presses that change the page tell the
// document, and the rooms that care hear of presses and of the editor's moves from here.
#pragma once

#include <QObject>

class ActionRegistry;
class HtmlDocument;
class QPlainTextEdit;

class EditorInput : public QObject {
    Q_OBJECT
public:
    EditorInput(QPlainTextEdit& editor, ActionRegistry& registry, HtmlDocument& document,
                QObject* parent = nullptr);

signals:
    // A mouse button went down in the editor (a running colouring pass stops on it).
    void mousePressed();
    // The editor widget moved or changed its size.
    void geometryChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPlainTextEdit& m_editor;
    ActionRegistry& m_registry;
    HtmlDocument& m_document;
};
