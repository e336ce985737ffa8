// The horizontal rule dialog's text and its sample line.
#pragma once

#include <QRect>
#include <QString>

struct RuleFields {
    QString align = QStringLiteral("CENTER"); // LEFT, RIGHT or CENTER
    int thickness = 2;
    bool percentWidth = true; // "% of Screen" rather than "# of Pixels"
    int percent = 50;
    int pixels = 100;
    bool noShade = false;
    bool lowerCase = false; // tag and attribute names in lower case
};

// One line, no line break.
QString ruleText(const RuleFields& f);
// The sample line in its 320-pixel area (half the 640 pixels of the page it stands for).
QRect ruleSample(const RuleFields& f);
