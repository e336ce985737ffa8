// ElidedLabel: a label for a path or a status text that may be longer than the room it gets. It
// keeps its whole text (text(), and the tool tip) and shows as much as fits, cutting in the
// middle so that both the start of a path and its file name stay in sight.
#pragma once

#include <QLabel>

class ElidedLabel : public QLabel {
    Q_OBJECT
public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    // The width the label asks for: its whole text, or at least preferredWidth.
    void setPreferredWidth(int width) {
        m_preferred = width;
        updateGeometry();
    }
    // Whether the width follows the whole text (a short field, such as the file size) rather
    // than taking what the layout gives and cutting the text to it.
    void setSizedToText(bool on);

    // The text as it is drawn at the present width.
    QString shownText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int textWidth() const;

    int m_preferred = 0;
    bool m_sizedToText = false;
};
