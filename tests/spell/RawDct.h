// Hand-built main dictionary files: nodes, child lists and roots written as given, so that the
// reader meets exactly the layouts a test names.
#pragma once

#include <QByteArray>
#include <QList>

#include <cstdint>

namespace rawdct {

inline std::uint32_t node(char letter, bool end, int form = 0, std::uint32_t ref = 0) {
    return std::uint32_t(static_cast<unsigned char>(letter)) << 24 | (end ? 1u << 23 : 0u) |
           std::uint32_t(form) << 20 | ref;
}

struct Sub {
    QList<std::uint32_t> nodes;
    QByteArray area;
    QByteArray letters;
    QList<std::uint32_t> roots;
};

inline void u32(QByteArray& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.append(static_cast<char>((v >> (8 * i)) & 0xff));
}

inline QByteArray u16s(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values) {
        out.append(static_cast<char>(v & 0xff));
        out.append(static_cast<char>((v >> 8) & 0xff));
    }
    return out;
}

inline QByteArray file(const QList<Sub>& subs,
                       const QByteArray& table = "abcdefghijklmnopqrstuvwxyz",
                       const QByteArray& description = "Test") {
    QByteArray out(278, '\0');
    out.replace(88, description.size(), description);
    out.append(static_cast<char>(subs.size()));
    out.append(static_cast<char>(table.size()));
    out.append(table);
    for (const Sub& s : subs) {
        u32(out, static_cast<std::uint32_t>(s.nodes.size()));
        u32(out, static_cast<std::uint32_t>(s.area.size()));
        for (std::uint32_t n : s.nodes)
            u32(out, n);
        out.append(s.area);
        out.append(static_cast<char>(s.letters.size()));
        out.append(s.letters);
        for (std::uint32_t r : s.roots)
            u32(out, r);
    }
    return out;
}

} // namespace rawdct
