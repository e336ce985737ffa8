// The Power list dialog's text.
#pragma once

#include <QString>
#include <QStringList>

struct ListFields {
    bool ordered = false;
    int rows = 1;      // 1 to 500
    QStringList items; // the ten typed items; items past the tenth are written empty
    bool noIndent = false;
    bool lowerCase = false; // tag names in lower case
};

QString listText(const ListFields& f);
