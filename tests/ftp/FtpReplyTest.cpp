// The reply assembler and the PWD rule: line ends at CR LF only, the multi-line end rule, 1xx
// replies, bounded lines, and the same replies however the bytes are cut into reads.
#include "ftp/FtpReply.h"
#include "ftp/FtpListing.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

QStringList texts(const QList<FtpReply>& replies) {
    QStringList out;
    for (const FtpReply& r : replies)
        out.append(r.text);
    return out;
}

QStringList assemble(const QByteArray& bytes) {
    FtpReplyAssembler assembler;
    return texts(assembler.feed(bytes));
}

TEST(FtpReplyAssembler, LinesEndAtCrLfOnlyWhateverElseTheyHold) {
    // A lone CR or LF, a NUL, escape and DEL bytes are all part of the line.
    const QByteArray bytes("220 a\rb\nc\0d\x1b\x7f\r\n331 next\r\n", 25);
    const QStringList got = assemble(bytes);
    ASSERT_EQ(got.size(), 2);
    EXPECT_EQ(got[0], QString::fromUtf8(QByteArray("220 a\rb\nc\0d\x1b\x7f", 13)));
    EXPECT_EQ(got[1], QStringLiteral("331 next"));
    // "\n\r" is no line end, and nothing without CR LF comes out yet.
    EXPECT_EQ(assemble("220 x\n\r230 y"), QStringList());
}

TEST(FtpReplyAssembler, MultiLineReplyEndsAtItsCodeAndASpace) {
    // "230 " ends it; "230" alone, "2301 x", " 230 indented", "230-more" and other codes do not.
    const QStringList got = assemble("230-Welcome\r\n230\r\n2301 x\r\n 230 indented\r\n"
                                     "220 other code\r\n230-more\r\n230 Logged in\r\n215 UNIX\r\n");
    EXPECT_EQ(got, (QStringList{QStringLiteral("230 Logged in"), QStringLiteral("215 UNIX")}));
    // An end line with control bytes in it still ends the reply.
    EXPECT_EQ(assemble(QByteArray("230-a\r\n230 \0\x07odd\r\n", 18)).size(), 1);
    // Without its end line the reply stays open: nothing comes out, whatever follows.
    FtpReplyAssembler open;
    EXPECT_TRUE(open.feed("220-hello\r\n220-still\r\n331 not ours\r\n").isEmpty());
    EXPECT_TRUE(open.insideMultiLine());
    open.reset();
    EXPECT_EQ(texts(open.feed("220 fresh\r\n")), QStringList{QStringLiteral("220 fresh")});
}

TEST(FtpReplyAssembler, EmptyAndShortLines) {
    // An empty line is ignored; a line shorter than four characters is a final reply.
    EXPECT_EQ(assemble("\r\n\r\n33\r\n2\r\n"),
              (QStringList{QStringLiteral("33"), QStringLiteral("2")}));
    FtpReplyAssembler assembler;
    const QList<FtpReply> replies = assembler.feed("33\r\n");
    ASSERT_EQ(replies.size(), 1);
    EXPECT_EQ(replies[0].code, QByteArray("33"));
    EXPECT_EQ(replies[0].kind(), QLatin1Char('3'));
}

TEST(FtpReplyAssembler, PreliminaryRepliesAreMarked) {
    FtpReplyAssembler assembler;
    const QList<FtpReply> replies = assembler.feed("120 in 5 minutes\r\n220 ready\r\n150 go\r\n");
    ASSERT_EQ(replies.size(), 3);
    EXPECT_TRUE(replies[0].preliminary());
    EXPECT_FALSE(replies[1].preliminary());
    EXPECT_TRUE(replies[2].preliminary());
    EXPECT_EQ(replies[1].code, QByteArray("220"));
}

TEST(FtpReplyAssembler, SameRepliesHoweverTheBytesAreCut) {
    const QByteArray bytes("220-a\r\n\r\n220 b\r\r\n331 c\n\r\n230-x\r\n230 y\r\n5");
    const QStringList whole = assemble(bytes);
    ASSERT_EQ(whole, (QStringList{QStringLiteral("220 b\r"), QStringLiteral("331 c\n"),
                                  QStringLiteral("230 y")}));
    for (qsizetype cut = 0; cut <= bytes.size(); ++cut) {
        for (qsizetype cut2 = cut; cut2 <= bytes.size(); ++cut2) {
            FtpReplyAssembler assembler;
            QList<FtpReply> got = assembler.feed(bytes.left(cut));
            got += assembler.feed(bytes.mid(cut, cut2 - cut));
            got += assembler.feed(bytes.mid(cut2));
            EXPECT_EQ(texts(got), whole) << cut << " " << cut2;
            EXPECT_EQ(assembler.pendingSize(), 1);
        }
    }
}

TEST(FtpReplyAssembler, LongLinesAreCutButTheirEndStillCounts) {
    const qsizetype max = FtpReplyAssembler::MaxLineLength;
    QByteArray line = "220 " + QByteArray(max * 3, 'x');
    FtpReplyAssembler assembler;
    for (qsizetype i = 0; i < line.size(); i += 1000) {
        EXPECT_TRUE(assembler.feed(line.mid(i, 1000)).isEmpty());
        EXPECT_LE(assembler.pendingSize(), max);
    }
    const QList<FtpReply> replies = assembler.feed("\r\n331 next\r\n");
    ASSERT_EQ(replies.size(), 2);
    EXPECT_EQ(replies[0].text.size(), max);
    EXPECT_TRUE(replies[0].text.startsWith(QStringLiteral("220 xxx")));
    EXPECT_EQ(replies[1].text, QStringLiteral("331 next"));
    // A line of exactly the longest length keeps all of it, its CR dropped with the LF.
    EXPECT_EQ(assemble(line.left(max) + "\r\n").value(0).size(), max);
}

TEST(FtpPwdReply, DoubledQuotesInsideTheNameAreOneQuote) {
    const std::pair<const char*, const char*> cases[] = {
        {R"(257 "/""x""" is current)", R"(/"x")"},
        {R"(257 """")", R"(")"},
        {R"(257 "a""b" "c")", R"(a"b)"},
        {R"(257 "/home/user" created)", "/home/user"},
        {R"(257 "")", ""},
        {R"(257 "/open"")", R"(/open")"},
        {"257 no quotes", ""},
    };
    for (const auto& [reply, directory] : cases)
        EXPECT_EQ(DirectoryFromPwdReply(QString::fromUtf8(reply)), QString::fromUtf8(directory))
            << reply;
}

} // namespace
