// The page through the Tidy library, its messages caught.
#include "checks/TidyCheck.h"

#include <tidy/tidy.h>
#include <tidy/tidybuffio.h>

namespace {

struct Catch {
    std::vector<TidyFinding>* findings;
    bool warnings;
    int max;
};

Bool TIDY_CALL onMessage(TidyMessage message) {
    auto* c = static_cast<Catch*>(tidyGetAppData(tidyGetMessageDoc(message)));
    const TidyReportLevel level = tidyGetMessageLevel(message);
    const bool error = level == TidyError || level == TidyBadDocument || level == TidyFatal;
    if (c && (error || (level == TidyWarning && c->warnings)) &&
        static_cast<int>(c->findings->size()) < c->max) {
        TidyFinding f;
        f.error = error;
        f.line = std::max(0, tidyGetMessageLine(message));
        f.message = QString::fromUtf8(tidyGetMessage(message)).trimmed();
        c->findings->push_back(std::move(f));
    }
    return no; // caught here: Tidy prints nothing
}

} // namespace

std::vector<TidyFinding> tidyFindings(const QByteArray& bytes, TextEncoding encoding, bool warnings,
                                      int maxFindings) {
    std::vector<TidyFinding> findings;
    Catch c{&findings, warnings, maxFindings};
    TidyDoc doc = tidyCreate();
    tidySetAppData(doc, &c);
    tidySetMessageCallback(doc, onMessage);
    // Whatever the callback lets through would go to stderr; it goes to a buffer instead.
    TidyBuffer errors;
    tidyBufInit(&errors);
    tidySetErrorBuffer(doc, &errors);
    tidyOptSetBool(doc, TidyQuiet, yes);
    tidyOptSetBool(doc, TidyShowInfo, no);
    tidyOptSetBool(doc, TidyShowMarkup, no);
    tidyOptSetBool(doc, TidyShowWarnings, warnings ? yes : no);
    tidyOptSetInt(doc, TidyShowErrors, static_cast<ulong>(maxFindings));
    tidySetInCharEncoding(doc, encoding == TextEncoding::Latin1 ? "latin1" : "utf8");

    TidyBuffer input;
    tidyBufInit(&input);
    tidyBufAttach(&input, reinterpret_cast<byte*>(const_cast<char*>(bytes.constData())),
                  static_cast<uint>(bytes.size()));
    int status = tidyParseBuffer(doc, &input);
    if (status >= 0)
        status = tidyCleanAndRepair(doc);
    if (status >= 0)
        tidyRunDiagnostics(doc);
    tidyBufDetach(&input);
    tidyBufFree(&errors);
    tidyRelease(doc);
    return findings;
}
