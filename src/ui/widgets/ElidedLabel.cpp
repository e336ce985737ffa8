// ElidedLabel: a label that cuts a long text in the middle instead of at its end.
#include "ui/widgets/ElidedLabel.h"

#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QToolTip>

ElidedLabel::ElidedLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

bool ElidedLabel::event(QEvent* event) {
    // The whole text is there when the pointer rests on a cut one.
    if (event->type() == QEvent::ToolTip && toolTip().isEmpty() && shownText() != text()) {
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), text(), this);
        return true;
    }
    return QLabel::event(event);
}

int ElidedLabel::textWidth() const {
    const QMargins m = contentsMargins();
    return fontMetrics().horizontalAdvance(text()) + 2 * frameWidth() + m.left() + m.right() +
           2 * margin() + 4;
}

QSize ElidedLabel::sizeHint() const {
    QSize s = QLabel::sizeHint();
    s.setWidth(m_sizedToText ? std::max(m_preferred, textWidth()) : m_preferred);
    return s;
}

QSize ElidedLabel::minimumSizeHint() const {
    QSize s = QLabel::minimumSizeHint();
    // A field sized to its text never cuts it; the others shrink to a few letters.
    s.setWidth(m_sizedToText ? std::max(m_preferred, textWidth())
                             : std::min(m_preferred, fontMetrics().averageCharWidth() * 8));
    return s;
}

void ElidedLabel::setSizedToText(bool on) {
    m_sizedToText = on;
    setSizePolicy(on ? QSizePolicy::Fixed : QSizePolicy::Ignored, QSizePolicy::Preferred);
    updateGeometry();
}

QString ElidedLabel::shownText() const {
    const QRect r = contentsRect().adjusted(margin() + 2, 0, -margin() - 2, 0);
    return fontMetrics().elidedText(text(), Qt::ElideMiddle, std::max(0, r.width()));
}

void ElidedLabel::paintEvent(QPaintEvent* event) {
    // The frame as any label draws it, then the text cut to fit.
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QRect r = contentsRect().adjusted(margin() + 2, 0, -margin() - 2, 0);
    QStyleOption option;
    option.initFrom(this);
    style()->drawItemText(&painter, r, int(alignment() | Qt::TextSingleLine), option.palette,
                          isEnabled(), shownText(), foregroundRole());
}
