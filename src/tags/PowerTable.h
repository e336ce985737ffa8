// The Power table dialog's text and the geometry of its effect sampler.
#pragma once

#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>

struct TableFields {
    int rows = 2;
    int columns = 2;
    bool percentWidth = false; // "% of screen" rather than "# of pixels"
    int pixels = 0;
    int percent = 90;
    int border = 0;
    QString align;
    int padding = 0;
    int spacing = 0;
    QString valign;
    QString caption;
    bool captionBottom = false;
    QList<QStringList> cells; // cells[row][column]; missing cells are empty
    bool lowerCase = false;   // tag and attribute names in lower case
};

QString tableText(const TableFields& f);

// The three sample cells, in the sampler's own coordinates.
QList<QRect> tableSamplerCells(int border, int padding, int spacing);
// The sample's bevel in pixels.
int tableSamplerBevel(int border);
