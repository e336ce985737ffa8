// TFormSpellProgress: a captioned window with one line of text.
#include "ui/spell/TFormSpellProgress.h"

#include <QLabel>
#include <QVBoxLayout>

TFormSpellProgress::TFormSpellProgress(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("SpellProgress"));
    setWindowTitle(caption());
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(caption());
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
    setFixedSize(280, 70);
}
