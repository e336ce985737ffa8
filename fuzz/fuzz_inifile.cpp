// Fuzzes the settings-file reader and writer in memory: any bytes as a settings file must give
// values or defaults and survive a rewrite, never a crash or a hang. What is written reads back,
// what is not touched keeps its value, and a written file reads back to the same bytes.
#include "platform/IniText.h"

#include <cstddef>
#include <cstdint>

namespace {

using Values = QList<std::pair<QString, QString>>;

QList<std::pair<QString, Values>> everything(const IniText& text) {
    QList<std::pair<QString, Values>> all;
    for (const QString& section : text.sections())
        all.append({section, text.readSectionValues(section)});
    return all;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    IniText ini(bytes);
    const QStringList sections = ini.sections();
    if (!ini.readable()) {
        if (!sections.isEmpty() || ini.writeString(QStringLiteral("A"), QStringLiteral("b"), {}))
            __builtin_trap();
        return 0;
    }
    for (const QString& section : sections) {
        const Values values = ini.readSectionValues(section);
        const QStringList keys = ini.readSection(section);
        if (!ini.sectionExists(section) || keys.size() != values.size())
            __builtin_trap();
        for (qsizetype i = 0; i < keys.size(); ++i) {
            if (keys[i] != values[i].first ||
                ini.readString(section, keys[i], QStringLiteral("\n")) != values[i].second)
                __builtin_trap();
            ini.readInteger(section, keys[i], 0);
            ini.readBool(section, keys[i], false);
        }
    }
    const auto before = everything(ini);

    // What was written must read back, and nothing else may change.
    const QString first = sections.value(0, QStringLiteral("A"));
    if (!ini.writeString(QStringLiteral("Start"), QStringLiteral("Location"),
                         QStringLiteral(" /x\r\ny ")) ||
        ini.readString(QStringLiteral("Start"), QStringLiteral("Location"), {}) !=
            QStringLiteral("/xy"))
        __builtin_trap();
    if (!first.isEmpty() && (!ini.writeString(first, QStringLiteral("n"), QStringLiteral("-1")) ||
                             ini.readInteger(first, QStringLiteral("n"), 0) != -1))
        __builtin_trap();
    for (const auto& [section, values] : before)
        for (const auto& [key, value] : values) {
            const bool written =
                (section.compare(QStringLiteral("Start"), Qt::CaseInsensitive) == 0 &&
                 key.compare(QStringLiteral("Location"), Qt::CaseInsensitive) == 0) ||
                (section.compare(first, Qt::CaseInsensitive) == 0 &&
                 key.compare(QStringLiteral("n"), Qt::CaseInsensitive) == 0);
            if (!written && ini.value(section, key) != value)
                __builtin_trap();
        }

    // A written file reads back to the same bytes; read in the same encoding (a Latin-1 file
    // whose only non-UTF-8 byte went may read as UTF-8 next time), to the same values.
    const QByteArray written = ini.bytes();
    const IniText again(written);
    if (!again.readable() || again.bytes() != written)
        __builtin_trap();
    if (decodeText(bytes).encoding == TextEncoding::Utf8 && everything(again) != everything(ini))
        __builtin_trap();

    ini.deleteKey(QStringLiteral("Start"), QStringLiteral("Location"));
    if (ini.value(QStringLiteral("Start"), QStringLiteral("Location")))
        __builtin_trap();
    if (!sections.isEmpty() && ini.eraseSection(sections.constLast()) &&
        ini.sectionExists(sections.constLast()))
        __builtin_trap();
    return 0;
}
