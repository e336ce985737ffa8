// Fuzzes the scan of a page for the link and image checks and the reading of its references as
// the server reads them: any bytes give references on lines the text has, and every local target
// stays inside the site folder, clean of "." and ".." parts.
#include "checks/LinkTargets.h"
#include "checks/PageReferences.h"
#include "platform/TextFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString text = decodeText(bytes).text;
    // Lines as the scan counts them: CR LF, LF and a lone CR each end one.
    const int lines = static_cast<int>(toCrLf(text).count(QStringLiteral("\r\n"))) + 1;
    const PageScan scan = scanPage(text);
    const QString site = QStringLiteral("/srv/site/");
    for (const PageReference& r : scan.references) {
        if (r.line < 1 || r.line > lines)
            __builtin_trap();
        if (!r.sizedTag && (r.hasWidth || r.hasHeight))
            __builtin_trap();
        const ResolvedTarget t = resolveTarget(r.target, QStringLiteral("/srv/site/a/"), site);
        if (t.kind != ResolvedTarget::Kind::Local)
            continue;
        if (!t.path.startsWith(site) || t.path.contains(QLatin1String("/../")) ||
            t.path.contains(QLatin1String("/./")) || t.path.endsWith(QLatin1String("/..")))
            __builtin_trap();
        if (t.aboveSite && !t.localPath.startsWith(QLatin1Char('/')))
            __builtin_trap();
    }
    return 0;
}
