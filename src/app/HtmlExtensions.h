// The extensions that count as HTML and the file-dialog filters built from them.
#pragma once

#include <QStringList>

constexpr int MaxHtmlExtensions = 15;

// The built-in list used when htmlext.dat is missing or holds no extension.
QStringList defaultHtmlExtensions();
// Reads htmlext.dat (one extension per line, without the dot). Blank lines and surrounding
// blanks are skipped, a leading dot is dropped; only the first 15 extensions are used.
QStringList loadHtmlExtensions(const QString& path);
// "*.html;*.htm;..." with no trailing ";".
QString htmlFilePattern(const QStringList& extensions);

QString filesTabFilter(const QString& htmlPattern);
QString mainOpenFilter(const QString& htmlPattern);
QString pageDialogFilter(const QString& htmlPattern);
// The save dialog shared by the project and the HTML saves; type 1 is projects, 2 HTML.
QString sharedSaveFilter();
