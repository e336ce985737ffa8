// The program's own button pictures. Each is drawn on a 20 by 20 grid and rendered at one and
// two times that size, so it stays sharp on screens that scale.
#include "ui/shell/DrawnPictures.h"

#include <QFont>
#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace {

using Draw = std::function<void(QPainter&)>;

const QColor ink(40, 40, 40);
const QColor paper(255, 255, 255);
const QColor accent(30, 90, 200);
const QColor power(230, 170, 0);

void text(QPainter& p, const QRectF& box, const QString& s, int pixelSize, bool bold = true,
          bool italic = false, const QColor& colour = ink) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setItalic(italic);
    p.setFont(f);
    p.setPen(colour);
    p.drawText(box, Qt::AlignCenter, s);
}

void page(QPainter& p, const QRectF& r) {
    p.setPen(QPen(ink, 1));
    p.setBrush(paper);
    p.drawRect(r);
}

// The Power buttons: a page with a bolt in its corner and what the dialog makes.
void powerPicture(QPainter& p, const QString& label) {
    page(p, QRectF(1.5, 3.5, 17, 15));
    text(p, QRectF(1.5, 6, 17, 12), label, label.size() > 2 ? 6 : 8);
    QPainterPath bolt;
    bolt.moveTo(14, 0);
    bolt.lineTo(10, 6);
    bolt.lineTo(13, 6);
    bolt.lineTo(11, 11);
    bolt.lineTo(17, 4);
    bolt.lineTo(14, 4);
    bolt.lineTo(16, 0);
    bolt.closeSubpath();
    p.setPen(QPen(QColor(120, 80, 0), 0.7));
    p.setBrush(power);
    p.drawPath(bolt);
}

const QHash<QString, Draw>& pictures() {
    static const QHash<QString, Draw> all = {
        // The edit buttons.
        {QStringLiteral("edit-cut"),
         [](QPainter& p) {
             p.setPen(QPen(ink, 1.5));
             p.drawLine(QPointF(6, 2), QPointF(13, 13));
             p.drawLine(QPointF(14, 2), QPointF(7, 13));
             p.setBrush(Qt::NoBrush);
             p.setPen(QPen(accent, 1.5));
             p.drawEllipse(QPointF(5.5, 15.5), 3, 3);
             p.drawEllipse(QPointF(14.5, 15.5), 3, 3);
         }},
        {QStringLiteral("edit-copy"),
         [](QPainter& p) {
             page(p, QRectF(2.5, 2.5, 10, 12));
             page(p, QRectF(7.5, 6.5, 10, 12));
             p.setPen(QPen(accent, 1));
             for (int y = 10; y <= 16; y += 3)
                 p.drawLine(QPointF(9.5, y), QPointF(15.5, y));
         }},
        {QStringLiteral("edit-paste"),
         [](QPainter& p) {
             p.setPen(QPen(ink, 1));
             p.setBrush(QColor(190, 140, 80));
             p.drawRoundedRect(QRectF(2.5, 3.5, 13, 15), 1.5, 1.5);
             p.setBrush(QColor(150, 150, 150));
             p.drawRect(QRectF(6.5, 1.5, 5, 3));
             page(p, QRectF(9.5, 8.5, 9, 10));
         }},
        {QStringLiteral("edit-undo"),
         [](QPainter& p) {
             QPainterPath arc;
             arc.moveTo(5, 8);
             arc.cubicTo(9, 3, 18, 5, 16, 12);
             arc.cubicTo(15, 16, 11, 17, 8, 16);
             p.setPen(QPen(accent, 2, Qt::SolidLine, Qt::RoundCap));
             p.setBrush(Qt::NoBrush);
             p.drawPath(arc);
             QPainterPath head;
             head.moveTo(2, 4);
             head.lineTo(8, 11);
             head.lineTo(1, 11);
             head.closeSubpath();
             p.setPen(Qt::NoPen);
             p.setBrush(accent);
             p.drawPath(head);
         }},
        {QStringLiteral("edit-select-all"),
         [](QPainter& p) {
             page(p, QRectF(2.5, 2.5, 15, 15));
             p.setPen(Qt::NoPen);
             p.setBrush(QColor(150, 185, 240));
             p.drawRect(QRectF(4, 4, 12, 12));
             p.setPen(QPen(ink, 1));
             for (int y = 6; y <= 14; y += 3)
                 p.drawLine(QPointF(5, y), QPointF(15, y));
         }},

        // The tag buttons shown by their pictures.
        {QStringLiteral("tag-center"),
         [](QPainter& p) {
             p.setPen(QPen(ink, 1.5));
             const int widths[] = {14, 8, 12, 6, 14};
             for (int i = 0; i < 5; ++i) {
                 const double y = 3 + i * 3.5;
                 p.drawLine(QPointF(10 - widths[i] / 2.0, y), QPointF(10 + widths[i] / 2.0, y));
             }
         }},
        {QStringLiteral("tag-italic"),
         [](QPainter& p) { text(p, QRectF(0, 0, 20, 20), QStringLiteral("I"), 16, true, true); }},
        {QStringLiteral("tag-sup"),
         [](QPainter& p) {
             text(p, QRectF(0, 5, 13, 15), QStringLiteral("x"), 13, false);
             text(p, QRectF(11, 0, 9, 10), QStringLiteral("2"), 9, true, false, accent);
         }},
        {QStringLiteral("tag-sub"),
         [](QPainter& p) {
             text(p, QRectF(0, 0, 13, 15), QStringLiteral("x"), 13, false);
             text(p, QRectF(11, 10, 9, 10), QStringLiteral("2"), 9, true, false, accent);
         }},
        {QStringLiteral("tag-mailto"),
         [](QPainter& p) {
             page(p, QRectF(1.5, 4.5, 17, 11));
             p.setPen(QPen(accent, 1.2));
             p.drawLine(QPointF(2, 5), QPointF(10, 11));
             p.drawLine(QPointF(18, 5), QPointF(10, 11));
         }},
        {QStringLiteral("tag-panel"),
         [](QPainter& p) {
             page(p, QRectF(2.5, 1.5, 15, 17));
             p.setPen(Qt::NoPen);
             p.setBrush(accent);
             p.drawRect(QRectF(3, 2, 14, 3));
             p.setPen(QPen(ink, 1));
             for (int y = 8; y <= 16; y += 3)
                 p.drawLine(QPointF(5, y), QPointF(15, y));
         }},
        {QStringLiteral("power-body"),
         [](QPainter& p) { powerPicture(p, QStringLiteral("BODY")); }},
        {QStringLiteral("power-anchor"), [](QPainter& p) { powerPicture(p, QStringLiteral("A")); }},
        {QStringLiteral("power-image"),
         [](QPainter& p) { powerPicture(p, QStringLiteral("IMG")); }},
        {QStringLiteral("power-table"),
         [](QPainter& p) { powerPicture(p, QStringLiteral("TBL")); }},
        {QStringLiteral("power-list"), [](QPainter& p) { powerPicture(p, QStringLiteral("LST")); }},
        {QStringLiteral("power-frame"),
         [](QPainter& p) { powerPicture(p, QStringLiteral("FRM")); }},
        {QStringLiteral("frameset-dialog"),
         [](QPainter& p) {
             page(p, QRectF(1.5, 2.5, 17, 15));
             p.setPen(QPen(ink, 1));
             p.drawLine(QPointF(7.5, 2.5), QPointF(7.5, 17.5));
             p.drawLine(QPointF(7.5, 9.5), QPointF(18.5, 9.5));
         }},
        {QStringLiteral("frame-dialog"),
         [](QPainter& p) {
             page(p, QRectF(1.5, 2.5, 17, 15));
             p.setPen(QPen(ink, 1));
             p.drawLine(QPointF(7.5, 2.5), QPointF(7.5, 17.5));
             p.setPen(Qt::NoPen);
             p.setBrush(QColor(150, 185, 240));
             p.drawRect(QRectF(8, 3, 10, 14));
         }},

        // The Custom tab's two buttons.
        {QStringLiteral("custom-add"),
         [](QPainter& p) {
             p.setPen(QPen(QColor(20, 140, 40), 3, Qt::SolidLine, Qt::RoundCap));
             p.drawLine(QPointF(10, 4), QPointF(10, 16));
             p.drawLine(QPointF(4, 10), QPointF(16, 10));
         }},
        {QStringLiteral("custom-delete"),
         [](QPainter& p) {
             p.setPen(QPen(QColor(200, 30, 30), 3, Qt::SolidLine, Qt::RoundCap));
             p.drawLine(QPointF(5, 5), QPointF(15, 15));
             p.drawLine(QPointF(15, 5), QPointF(5, 15));
         }},
    };
    return all;
}

QPixmap render(const Draw& draw, int scale) {
    QPixmap pixmap(20 * scale, 20 * scale);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(scale, scale);
    draw(p);
    return pixmap;
}

} // namespace

QIcon drawnPicture(const QString& name) {
    const auto it = pictures().constFind(name);
    if (it == pictures().constEnd())
        return {};
    QIcon icon;
    icon.addPixmap(render(*it, 1));
    icon.addPixmap(render(*it, 2));
    return icon;
}

QStringList drawnPictureNames() {
    QStringList names = pictures().keys();
    names.sort();
    return names;
}
