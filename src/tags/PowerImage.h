// The Power image dialog's text: one IMG tag, and the information lines of the chosen image.
#pragma once

#include <QString>

struct ImageFields {
    QString source; // written as it stands: names on the server are case-sensitive
    QString alt;
    QString width; // as typed: "120", "50%"
    QString height;
    QString align;
    int border = 0;
    bool ismap = false;
    bool useRelativePath = false;
    QString relativePath;
    bool lowerCase = false; // tag and attribute names in lower case
};

QString imageText(const ImageFields& f);

// The information lines after a choice: "Dim: 120 X 60 pixels", "Size: 4KB". fromFilesTab:
// the dialog opened on the Files tab's picture, the lines then read "File Dim: ", "File Size: ".
QString imageDimText(int width, int height, bool fromFilesTab = false);
QString imageSizeText(qint64 bytes, bool fromFilesTab = false);
