// TFormSpellProgress: the small window shown while the spell checker starts.
#pragma once

#include <QWidget>

class TFormSpellProgress : public QWidget {
    Q_OBJECT
public:
    explicit TFormSpellProgress(QWidget* parent = nullptr);
    static QString caption() { return QStringLiteral("Now Checking Spelling....."); }
};
