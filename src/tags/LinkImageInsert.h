// Insert Link/Image from the Files tab: an IMG tag with the picture's size for a picture (GIF,
// JPEG, PNG, WebP, SVG), a link for any other file; both reach the file from the open page.
#pragma once

#include <QString>

class EditWindow;
class HtmlDocument;
class Prompter;
class TPMultiImage;

// The text for the file, or the image error message's case (empty result, ok false).
struct LinkImageText {
    bool ok = false;
    QString text;
};
// folder and fileName as the file list holds them; the image is loaded through image. The link
// is the file as seen from pageFolder (the bare name when pageFolder is empty or the folder).
LinkImageText linkOrImageText(const QString& folder, const QString& fileName, TPMultiImage& image,
                              const QString& pageFolder = {}, bool lowerCase = false);

// Puts the text before the selection and selects it; tells the user when the image cannot be
// read and inserts nothing. No file chosen: nothing. Returns whether the text changed.
bool insertLinkOrImage(EditWindow& editor, Prompter& prompter, const QString& folder,
                       const QString& fileName, const QString& pageFolder = {},
                       bool lowerCase = false);

// The folder chosen files are linked from: the open page's, or none for a page not yet saved
// (whose links are then the bare file names).
QString linkingFolder(const HtmlDocument& document);

// Whether the file list's "Analyze Web Page" applies: the file's extension, lower-cased with its
// point, occurs in the HTML file pattern. A name without an extension is no web page.
bool isAnalyzableFile(const QString& fileName, const QString& htmlFilePattern);
