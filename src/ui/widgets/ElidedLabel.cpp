// ElidedLabel: a label cut to its width.
#include "ui/widgets/ElidedLabel.h"

#include <QFontMetrics>

ElidedLabel::ElidedLabel(QWidget* parent) : QLabel(parent) {
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void ElidedLabel::setFullText(const QString& text) {
    m_full = text;
    setToolTip(text);
    elide();
}

QSize ElidedLabel::minimumSizeHint() const {
    return {0, QLabel::minimumSizeHint().height()};
}

QSize ElidedLabel::sizeHint() const {
    // Asks for the room of a short text, whatever it holds.
    return {fontMetrics().averageCharWidth() * 20, QLabel::sizeHint().height()};
}

void ElidedLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    elide();
}

void ElidedLabel::elide() {
    QString line = m_full;
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    // Not laid out yet: the whole line, which the layout ignores in any case.
    const int width = contentsRect().width();
    setText(width > 0 ? fontMetrics().elidedText(line, Qt::ElideMiddle, width) : line);
}
