// The tag walk that finds a page's references and anchors.
#include "checks/PageReferences.h"

#include <QHash>

namespace {

bool isSpace(QChar c) {
    const char16_t u = c.unicode();
    return u == ' ' || u == '\t' || u == '\n' || u == '\r' || u == '\f';
}

bool isNameStart(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z');
}

struct Attribute {
    QString name; // lower case
    QString value;
    int line = 1;
};

// The walk over one text; `line` follows every line end passed (CR LF, LF or a lone CR).
class Walker {
public:
    explicit Walker(QStringView text) : m_text(text) {}

    PageScan run() {
        const qsizetype n = m_text.size();
        while (m_pos < n) {
            const qsizetype lt = m_text.indexOf(QLatin1Char('<'), m_pos);
            if (lt < 0)
                break;
            advanceTo(lt);
            if (m_text.mid(m_pos).startsWith(QLatin1String("<!--"))) {
                const qsizetype end = m_text.indexOf(QLatin1String("-->"), m_pos + 4);
                advanceTo(end < 0 ? n : end + 3);
            } else if (m_pos + 1 < n && (m_text[m_pos + 1] == QLatin1Char('!') ||
                                         m_text[m_pos + 1] == QLatin1Char('?') ||
                                         m_text[m_pos + 1] == QLatin1Char('/'))) {
                const qsizetype end = m_text.indexOf(QLatin1Char('>'), m_pos + 1);
                advanceTo(end < 0 ? n : end + 1);
            } else if (m_pos + 1 < n && isNameStart(m_text[m_pos + 1])) {
                startTag();
            } else {
                advanceTo(m_pos + 1); // a "<" that opens no tag is text
            }
        }
        return std::move(m_scan);
    }

private:
    // Moves to `to`, counting the line ends passed.
    void advanceTo(qsizetype to) {
        for (qsizetype i = m_pos; i < to; ++i) {
            const char16_t u = m_text[i].unicode();
            if (u == '\n' || (u == '\r' && (i + 1 >= m_text.size() || m_text[i + 1] != u'\n')))
                ++m_line;
        }
        m_pos = to;
    }

    void skipSpaces() {
        qsizetype i = m_pos;
        while (i < m_text.size() && isSpace(m_text[i]))
            ++i;
        advanceTo(i);
    }

    void startTag() {
        const qsizetype n = m_text.size();
        qsizetype i = m_pos + 1;
        while (i < n && !isSpace(m_text[i]) && m_text[i] != u'>' && m_text[i] != u'/')
            ++i;
        const QString name = m_text.mid(m_pos + 1, i - m_pos - 1).toString().toLower();
        advanceTo(i);
        std::vector<Attribute> attributes;
        while (m_pos < n) {
            skipSpaces();
            if (m_pos >= n)
                break;
            const QChar c = m_text[m_pos];
            if (c == u'>') {
                advanceTo(m_pos + 1);
                break;
            }
            if (c == u'/') {
                advanceTo(m_pos + 1);
                continue;
            }
            // An attribute name runs to a blank, "=", ">" or "/" (a quote inside one is part of
            // it, as browsers take it).
            qsizetype j = m_pos;
            while (j < n && !isSpace(m_text[j]) && m_text[j] != u'=' && m_text[j] != u'>' &&
                   (m_text[j] != u'/' || j == m_pos))
                ++j;
            Attribute a;
            a.name = m_text.mid(m_pos, j - m_pos).toString().toLower();
            a.line = m_line;
            advanceTo(j);
            skipSpaces();
            if (m_pos < n && m_text[m_pos] == u'=') {
                advanceTo(m_pos + 1);
                skipSpaces();
                a.line = m_line;
                a.value = readValue();
            }
            attributes.push_back(std::move(a));
        }
        tag(name, attributes);
        // The text of these elements is not markup: a "<a href" inside a script is no link.
        static const QStringList rawText = {QStringLiteral("script"), QStringLiteral("style"),
                                            QStringLiteral("textarea"), QStringLiteral("title"),
                                            QStringLiteral("xmp")};
        if (rawText.contains(name)) {
            const QString close = QStringLiteral("</") + name;
            const qsizetype end = m_text.indexOf(close, m_pos, Qt::CaseInsensitive);
            advanceTo(end < 0 ? n : end);
        }
    }

    QString readValue() {
        const qsizetype n = m_text.size();
        if (m_pos >= n)
            return {};
        const QChar q = m_text[m_pos];
        qsizetype start = m_pos;
        qsizetype end = 0;
        qsizetype next = 0;
        if (q == u'"' || q == u'\'') {
            ++start;
            end = m_text.indexOf(q, start);
            if (end < 0)
                end = n;
            next = std::min(end + 1, n);
        } else {
            end = start;
            while (end < n && !isSpace(m_text[end]) && m_text[end] != u'>')
                ++end;
            next = end;
        }
        const QString value = decodeCharacterReferences(m_text.mid(start, end - start));
        advanceTo(next);
        return value;
    }

    static const Attribute* find(const std::vector<Attribute>& attributes, QLatin1String name) {
        for (const Attribute& a : attributes)
            if (a.name == name)
                return &a;
        return nullptr;
    }

    void add(ReferenceKind kind, const Attribute& a) {
        PageReference r;
        r.kind = kind;
        r.target = a.value.trimmed();
        r.line = a.line;
        m_scan.references.push_back(std::move(r));
    }

    void tag(const QString& name, const std::vector<Attribute>& attributes) {
        for (const Attribute& a : attributes) {
            if (a.name == QLatin1String("id") && !a.value.isEmpty())
                m_scan.anchors.insert(a.value);
        }
        const auto attr = [&](const char* n) { return find(attributes, QLatin1String(n)); };
        if (name == QLatin1String("a")) {
            if (const Attribute* h = attr("href"))
                add(ReferenceKind::Link, *h);
            if (const Attribute* nm = attr("name"); nm && !nm->value.isEmpty())
                m_scan.anchors.insert(nm->value);
        } else if (name == QLatin1String("area")) {
            if (const Attribute* h = attr("href"))
                add(ReferenceKind::Link, *h);
        } else if (name == QLatin1String("frame") || name == QLatin1String("iframe")) {
            if (const Attribute* s = attr("src"))
                add(ReferenceKind::Link, *s);
        } else if (name == QLatin1String("img")) {
            if (const Attribute* s = attr("src")) {
                add(ReferenceKind::Image, *s);
                PageReference& r = m_scan.references.back();
                r.sizedTag = true;
                r.hasWidth = attr("width") != nullptr;
                r.hasHeight = attr("height") != nullptr;
            }
            if (const Attribute* s = attr("lowsrc"))
                add(ReferenceKind::Image, *s);
        } else if (name == QLatin1String("input")) {
            const Attribute* type = attr("type");
            if (type &&
                type->value.trimmed().compare(QLatin1String("image"), Qt::CaseInsensitive) == 0)
                if (const Attribute* s = attr("src"))
                    add(ReferenceKind::Image, *s);
        } else if (name == QLatin1String("link")) {
            if (const Attribute* h = attr("href"))
                add(ReferenceKind::File, *h);
        } else if (name == QLatin1String("script") || name == QLatin1String("embed") ||
                   name == QLatin1String("source") || name == QLatin1String("audio") ||
                   name == QLatin1String("video") || name == QLatin1String("track")) {
            if (const Attribute* s = attr("src"))
                add(ReferenceKind::File, *s);
        } else if (name == QLatin1String("object")) {
            if (const Attribute* d = attr("data"))
                add(ReferenceKind::File, *d);
        } else if (name == QLatin1String("base")) {
            if (const Attribute* h = attr("href"); h && !m_scan.hasBase) {
                m_scan.hasBase = true;
                m_scan.baseHref = h->value.trimmed();
            }
        }
        if (name == QLatin1String("body") || name == QLatin1String("table") ||
            name == QLatin1String("td") || name == QLatin1String("th") ||
            name == QLatin1String("tr")) {
            if (const Attribute* b = attr("background"))
                add(ReferenceKind::Image, *b);
        }
    }

    QStringView m_text;
    qsizetype m_pos = 0;
    int m_line = 1;
    PageScan m_scan;
};

} // namespace

PageScan scanPage(QStringView text) {
    return Walker(text).run();
}

QString decodeCharacterReferences(QStringView value) {
    if (!value.contains(QLatin1Char('&')))
        return value.toString();
    static const QHash<QString, QChar> named = {
        {QStringLiteral("amp"), QLatin1Char('&')},   {QStringLiteral("lt"), QLatin1Char('<')},
        {QStringLiteral("gt"), QLatin1Char('>')},    {QStringLiteral("quot"), QLatin1Char('"')},
        {QStringLiteral("apos"), QLatin1Char('\'')}, {QStringLiteral("nbsp"), QChar(0xA0)},
    };
    QString out;
    out.reserve(value.size());
    qsizetype i = 0;
    while (i < value.size()) {
        const QChar c = value[i];
        if (c != u'&') {
            out += c;
            ++i;
            continue;
        }
        const qsizetype semi = value.indexOf(QLatin1Char(';'), i + 1);
        // References are short; a far ";" belongs to something else.
        if (semi < 0 || semi - i > 10) {
            out += c;
            ++i;
            continue;
        }
        const QStringView body = value.mid(i + 1, semi - i - 1);
        bool ok = false;
        char32_t code = 0;
        if (body.startsWith(u'#')) {
            const bool hex = body.size() > 1 && (body[1] == u'x' || body[1] == u'X');
            code = body.mid(hex ? 2 : 1).toUInt(&ok, hex ? 16 : 10);
            ok = ok && code > 0 && code <= 0x10FFFF;
        } else if (const auto it = named.constFind(body.toString()); it != named.constEnd()) {
            code = it->unicode();
            ok = true;
        }
        if (!ok) {
            out += c;
            ++i;
            continue;
        }
        out += QString::fromUcs4(&code, 1);
        i = semi + 1;
    }
    return out;
}
