// Insert Link/Image from the Files tab.
#include "tags/LinkImageInsert.h"

#include "editor/EditWindow.h"
#include "platform/Prompter.h"
#include "tags/TPMultiImage.h"

#include <QFileInfo>

namespace {

// The extension with its point, lower-cased; empty when the name has none.
QString lowerExtension(const QString& fileName) {
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return {};
    return fileName.mid(dot).toLower();
}

} // namespace

LinkImageText linkOrImageText(const QString& folder, const QString& fileName, TPMultiImage& image) {
    const QString ext = lowerExtension(fileName);
    if (ext != QLatin1String(".gif") && ext != QLatin1String(".jpg"))
        return {true, QStringLiteral("<A HREF=\"") + fileName + QStringLiteral("\"></A>")};
    QString path = folder;
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    path += fileName;
    image.clear();
    image.setKeepAspect(true);
    image.setSizeToImage(true);
    if (!image.load(path))
        return {};
    return {true, QStringLiteral("<IMG WIDTH=%1 HEIGHT=%2 SRC=\"%3\">")
                      .arg(image.width())
                      .arg(image.height())
                      .arg(fileName)};
}

bool insertLinkOrImage(EditWindow& editor, Prompter& prompter, const QString& folder,
                       const QString& fileName) {
    if (fileName.isEmpty())
        return false;
    TPMultiImage image;
    const LinkImageText made = linkOrImageText(folder, fileName, image);
    if (!made.ok) {
        prompter.inform(TPMultiImage::openErrorText());
        return false;
    }
    editor.setSelLength(0);
    const int c = editor.selStart();
    editor.replaceSelection(made.text);
    editor.setSelStart(c);
    editor.setSelLength(static_cast<int>(made.text.size()));
    return true;
}

bool isAnalyzableFile(const QString& fileName, const QString& htmlFilePattern) {
    const QString ext = lowerExtension(fileName);
    return ext.size() > 1 && htmlFilePattern.contains(ext);
}
