// Fuzzes the settings-file reader and writer: any bytes as a settings file must give values or
// defaults and survive a rewrite, never a crash or a hang.
#include "platform/IniFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/fuzz.ini");
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    const IniFile ini(path);
    const QStringList sections = ini.sections();
    for (const QString& section : sections) {
        for (const QString& key : ini.readSection(section)) {
            ini.readString(section, key, QString());
            ini.readInteger(section, key, 0);
            ini.readBool(section, key, false);
        }
    }
    ini.writeString(QStringLiteral("Start"), QStringLiteral("Location"), QStringLiteral("/x\r\ny"));
    ini.writeInteger(sections.value(0, QStringLiteral("A")), QStringLiteral("n"), -1);
    // What was written must read back.
    if (ini.readInteger(sections.value(0, QStringLiteral("A")), QStringLiteral("n"), 0) != -1 &&
        !sections.value(0).isEmpty())
        __builtin_trap();
    ini.deleteKey(QStringLiteral("Start"), QStringLiteral("Location"));
    if (!sections.isEmpty())
        ini.eraseSection(sections.constLast());
    return 0;
}
