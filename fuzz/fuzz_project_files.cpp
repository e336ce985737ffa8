// Fuzzes the project files with any bytes: the input is decoded as the text layer decodes a file,
// read as an outline and as a link file, paired, and what reads must write back and read again
// to the same pages. Nothing may crash or hang.
#include "platform/TextFile.h"
#include "project/MovePages.h"
#include "project/ProjectFiles.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString text = toCrLf(decodeText(bytes).text);
    OutlineParse parsed = parseOutlineText(text);
    attachLinks(parsed.pages, parseLinkText(text));
    if (!parsed.ok)
        return 0;
    SiteOutline outline;
    outline.assign(parsed.pages);
    const OutlineParse again = parseOutlineText(outlineFileText(outline));
    // Every page read must come back at its level with its title after a save.
    if (!again.ok || again.pages.size() != parsed.pages.size())
        __builtin_trap();
    for (size_t k = 0; k < again.pages.size(); ++k)
        if (again.pages[k].level != parsed.pages[k].level ||
            again.pages[k].title != parsed.pages[k].title)
            __builtin_trap();
    MovePages moves(parsed.pages);
    for (int i = 0; i < moves.count(); ++i)
        moves.displayText(i);
    return 0;
}
