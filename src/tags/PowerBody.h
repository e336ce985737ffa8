// The Power BODY dialog's text: a BODY tag with its colours and background, and the optional
// HTML, HEAD, TITLE and META lines around it.
#pragma once

#include <QString>

// Colours as stored: red in the low byte, green in the next, blue in the third.
namespace BodyColorDefaults {
constexpr int bg = 16777215;    // white
constexpr int text = 0;         // black
constexpr int link = 16711680;  // blue
constexpr int vlink = 8388736;  // purple
constexpr int alink = 10485760; // dark blue
} // namespace BodyColorDefaults

// "#RRGGBB", two upper-case hexadecimal digits each.
QString colorText(int color);

struct BodyFields {
    int bg = BodyColorDefaults::bg;
    int text = BodyColorDefaults::text;
    int link = BodyColorDefaults::link;
    int vlink = BodyColorDefaults::vlink;
    int alink = BodyColorDefaults::alink;
    bool tiled = false;
    QString imageLink; // the chosen image as the page reaches it; empty when none chosen
    bool useRelativePath = false;
    QString relativePath;
    bool endTag = false;
    bool html = false;
    bool head = false;
    bool title = false;
    bool meta = false;
    QString titleText;
    QString description;
    QString keywords;
    bool lowerCase = false; // tag and attribute names in lower case
};

QString bodyTag(const BodyFields& f);
// The lines handed over, each followed by CR LF.
QString bodyText(const BodyFields& f);
