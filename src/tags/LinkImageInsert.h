// Insert Link/Image from the Files tab: an IMG tag with the picture's size for a .gif or .jpg
// file, a link for any other file.
#pragma once

#include <QString>

class EditWindow;
class Prompter;
class TPMultiImage;

// The text for the file, or the image error message's case (empty result, ok false).
struct LinkImageText {
    bool ok = false;
    QString text;
};
// folder and fileName as the file list holds them; the image is loaded through image.
LinkImageText linkOrImageText(const QString& folder, const QString& fileName, TPMultiImage& image);

// Puts the text before the selection and selects it; tells the user when the image cannot be
// read and inserts nothing. No file chosen: nothing. Returns whether the text changed.
bool insertLinkOrImage(EditWindow& editor, Prompter& prompter, const QString& folder,
                       const QString& fileName);

// Whether the file list's "Analyze Web Page" applies: the file's extension, lower-cased with its
// point, occurs in the HTML file pattern. A name without an extension is no web page.
bool isAnalyzableFile(const QString& fileName, const QString& htmlFilePattern);
