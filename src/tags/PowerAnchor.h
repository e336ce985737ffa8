// The Power anchor dialog's text: a link, or a link to a named anchor followed by the anchor.
#pragma once

#include <QString>

struct AnchorFields {
    QString href = QStringLiteral("http://");
    QString description;
    bool nameTag = false;      // "<A NAME> Tag" rather than "<A HREF> Tag"
    bool relativePath = false; // "Relative File Path:" rather than "Filename only"
    QString path;              // the relative path put before the link, as typed
    bool lowerCase = false;    // tag and attribute names in lower case
};

QString anchorText(const AnchorFields& f);
