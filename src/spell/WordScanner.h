// WordScanner: finds the words to check in a range of the editor's text.
//
// The text has CR LF line ends and positions are the EditWindow's. A word is a run of letters,
// digits and apostrophes (a typographic apostrophe counts too). With the HTML option a "<"
// starts a tag that is skipped up to and including the next ">", across lines; a character
// reference to a letter ("&eacute;") is part of the word it stands in, and other references
// such as "&nbsp;" are skipped. With the web-address option a word directly
// followed by "@" runs on to the next terminator and is skipped as an e-mail address, and so is
// a word "http", "https", "ftp", "news" or "mailto" directly followed by ":" or a word "www"
// followed by ".". With the quoted-lines option a line that starts with a quote character is
// skipped whole.
#pragma once

#include <QString>

#include <optional>
#include <vector>

struct ScanOptions {
    bool html = true;
    bool internet = true;
    bool quoted = true;
    QString quoteCharacters = QStringLiteral(">");
};

struct ScannedWord {
    int start = 0;
    int length = 0;
    int end() const { return start + length; }
};

inline bool isWordCharacter(QChar ch) {
    const char16_t u = ch.unicode();
    if (u < 0x80) {
        const char16_t folded = u | 0x20;
        return (folded >= 'a' && folded <= 'z') || (u >= '0' && u <= '9') || u == '\'';
    }
    return ch.isLetterOrNumber() || u == 0x2019;
}
// Characters that end an e-mail or web address.
bool isAddressTerminator(QChar ch);

// A character reference ("&eacute;", "&#233;", "&#xE9;") at pos, ending by end: the character it
// stands for and how long it is written. Nothing for text that is no reference or names none
// that is known.
struct CharacterReference {
    QChar character;
    int length = 0;
};
std::optional<CharacterReference> characterReferenceAt(const QString& text, int pos, int end);
// The reference that writes a character by name ("&eacute;"), else by number ("&#8364;").
QString characterReferenceFor(QChar character);

// The text of a word as it reads: with the HTML option a word may hold references to letters
// ("Caf&eacute;" is "Café"), which are replaced by their characters. positions, when given,
// receives the position in text of each character of the result and, last, the word's end.
QString wordText(const QString& text, const ScannedWord& word, std::vector<int>* positions);
// A replacement written the way the word it replaces was: when that word holds references, each
// character beyond ASCII of the replacement is written as a reference too (as the word wrote
// it, else by name or number), so the page keeps its way of writing.
QString writtenLike(const QString& replacement, const QString& writtenWord);

// The first word that starts at or after from and ends by end (end is clamped to the text).
// A tag or address that runs past end ends the scan.
std::optional<ScannedWord> nextWord(const QString& text, int from, int end,
                                    const ScanOptions& options);
