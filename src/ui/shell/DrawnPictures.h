// The program's own button pictures, drawn with QPainter: the edit buttons of the tool bar and
// the tag buttons that show a picture instead of a caption. The command tables name them.
#pragma once

#include <QIcon>
#include <QString>
#include <QStringList>

// The picture of that name; a null icon for a name this program does not draw.
QIcon drawnPicture(const QString& name);
// Every name drawnPicture knows.
QStringList drawnPictureNames();
