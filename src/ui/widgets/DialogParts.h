// DialogParts: the small pieces every dialog is built from, so that a label wraps, a button
// stays out of the Enter key's way and a long pass shows its bar and Stop button the same way
// in every dialog.
#pragma once

#include <QLatin1String>
#include <QString>
#include <QWidget>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QRadioButton;

// w with the object name that tests and the window's look-ups know it by.
template <class W> W* named(W* w, const char* name) {
    w->setObjectName(QLatin1String(name));
    return w;
}
template <class W> W* named(W* w, const QString& name) {
    w->setObjectName(name);
    return w;
}

// A label that wraps its text (read as rich text when it looks like it).
QLabel* wrapped(const QString& text, QWidget* parent);
// A wrapping label whose text is shown as it is: tag names in it are never read as markup.
QLabel* note(const QString& text, QWidget* parent);
// A button that Enter does not press unless it has the focus; hint: its tool tip (empty: none).
QPushButton* button(const QString& caption, const QString& name, QWidget* parent,
                    const QString& hint = {});
QLineEdit* field(const QString& text, const QString& name, QWidget* parent);
QCheckBox* check(const QString& caption, const QString& name, QWidget* parent);
QRadioButton* radio(const QString& caption, const QString& name, QWidget* parent);
// A list of lines; multi: several may be chosen at once (Shift and Ctrl).
QListWidget* list(const QString& name, bool multi, QWidget* parent);

// Fills a folder list with the sub-folders of folder, after ".." unless folder is a root.
void showFolders(QListWidget* list, const QString& folder, const QStringList& subFolders);

// The bar and Stop button of a long pass: hidden until a pass starts, then the bar runs from 0
// to its maximum under the busy cursor, and Stop asks the pass to stop (on the press: the pass
// looks at the request between files).
class ProgressStrip {
public:
    // The bar and the button go into the dialog's layouts where it wants them.
    ProgressStrip(const char* barName, const char* stopName, QWidget* parent,
                  std::function<void()> stop);

    void start(int maximum);
    void step(int index);
    void end();

    QProgressBar* bar() const { return m_bar; }
    QPushButton* stopButton() const { return m_stop; }

private:
    QProgressBar* m_bar;
    QPushButton* m_stop;
    bool m_busy = false;
};
