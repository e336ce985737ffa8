// The Color Picker command.
#include "services/ColorPicker.h"

#include "app/HtmlDocument.h"
#include "editor/EditWindow.h"

QString colorValueText(const QColor& color) {
    const auto hex = [](int v) {
        return QStringLiteral("%1").arg(v, 2, 16, QLatin1Char('0')).toUpper();
    };
    return QStringLiteral("\"#") + hex(color.red()) + hex(color.green()) + hex(color.blue()) +
           QLatin1Char('"');
}

void ColorPicker(EditWindow& editor, HtmlDocument& document, ColorChooser& chooser) {
    const std::optional<QColor> chosen = chooser.chooseColor();
    if (!chosen || !chosen->isValid())
        return;
    const QString value = colorValueText(*chosen);
    const int start = editor.selStart();
    editor.setFocus();
    // The page changed as by any command that puts text into it.
    document.changeText([&] { editor.replaceSelection(value); });
    editor.setSelStart(start);
    editor.setSelLength(static_cast<int>(value.size()));
}
