// The tag room's windows: the Mail To dialog (TFormEmail), the tag panel (TFormSpeedBar), and the
// table of tag commands handed to the window's registry with them.
#pragma once

#include "app/Commands.h"

#include <QDialog>
#include <QWidget>

class QLineEdit;
class TagInserter;
struct Shell;

class TFormEmail : public QDialog {
    Q_OBJECT
public:
    TFormEmail(const QString& address, QWidget* parent = nullptr);
    QString address() const;

private:
    QLineEdit* m_address = nullptr;
};

// "Tag Panel": not modal, on top of the main window; each opening makes a further one.
class TFormSpeedBar : public QWidget {
    Q_OBJECT
public:
    TFormSpeedBar(TagInserter& inserter, QWidget* parent);
};

// The tag commands with their dialogs; what they need lives as long as the window.
CommandTable tagCommandsForWindow(Shell& context);
