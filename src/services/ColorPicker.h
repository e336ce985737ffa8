// The Color Picker command: a colour chosen in the system's colour dialog goes into the page as
// a quoted value such as "#FF8000".
#pragma once

#include <QColor>
#include <QString>
#include <optional>

class EditWindow;
class HtmlDocument;

// The colour dialog as the command sees it; nullopt when cancelled.
class ColorChooser {
public:
    virtual ~ColorChooser() = default;
    virtual std::optional<QColor> chooseColor() = 0;
};

// A double quote, "#", red, green and blue as two upper-case hex digits each, a double quote.
QString colorValueText(const QColor& color);

// Replaces the selection (or inserts at the caret) with the chosen value and selects it.
void ColorPicker(EditWindow& editor, HtmlDocument& document, ColorChooser& chooser);
