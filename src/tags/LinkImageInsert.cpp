// Insert Link/Image from the Files tab.
#include "tags/LinkImageInsert.h"

#include "app/HtmlDocument.h"
#include "editor/EditWindow.h"
#include "platform/Prompter.h"
#include "tags/TPMultiImage.h"
#include "tags/TagText.h"

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

LinkImageText linkOrImageText(const QString& folder, const QString& fileName, TPMultiImage& image,
                              const QString& pageFolder, bool lowerCase) {
    QString path = folder;
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    path += fileName;
    const QString link = attributeValue(relativeLink(path, pageFolder));
    if (!TPMultiImage::isImageName(fileName))
        return {true, tagCase(QStringLiteral("<A HREF=\"") + link + QStringLiteral("\"></A>"),
                              lowerCase)};
    image.clear();
    image.setKeepAspect(true);
    if (!image.load(path))
        return {};
    return {true, tagCase(QStringLiteral("<IMG WIDTH=%1 HEIGHT=%2 SRC=\"%3\">")
                              .arg(image.width())
                              .arg(image.height())
                              .arg(link),
                          lowerCase)};
}

bool insertLinkOrImage(EditWindow& editor, Prompter& prompter, const QString& folder,
                       const QString& fileName, const QString& pageFolder, bool lowerCase) {
    if (fileName.isEmpty())
        return false;
    TPMultiImage image;
    const LinkImageText made = linkOrImageText(folder, fileName, image, pageFolder, lowerCase);
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

QString linkingFolder(const HtmlDocument& document) {
    const QString page = document.currentHtmlFile();
    if (page.isEmpty() || page == document.untitledName())
        return {};
    return QFileInfo(page).absolutePath();
}

bool isAnalyzableFile(const QString& fileName, const QString& htmlFilePattern) {
    const QString ext = lowerExtension(fileName);
    return ext.size() > 1 && htmlFilePattern.contains(ext);
}
