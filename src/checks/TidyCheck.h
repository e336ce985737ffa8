// TidyCheck: the HTML errors (and, on request, warnings) HTML Tidy finds in a page.
//
// The page's bytes go to the Tidy library as they are on disk, in the encoding the program read
// them in, so its line numbers are the editor's. Tidy parses, repairs and runs its diagnostics as
// its own command does, but writes nothing: every message comes back here through a callback and
// none reaches the terminal.
#pragma once

#include "platform/TextFile.h"

#include <QByteArray>
#include <QString>
#include <vector>

struct TidyFinding {
    bool error = true; // an error; else a warning
    int line = 0;      // from 1; 0 when Tidy names no line
    QString message;   // Tidy's own words, without its "line N column M - Error: " prefix
};

// warnings: warnings too, not only errors. At most maxFindings are kept per page.
std::vector<TidyFinding> tidyFindings(const QByteArray& bytes, TextEncoding encoding, bool warnings,
                                      int maxFindings = 100);
