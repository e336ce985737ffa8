// The list of changed files waiting for upload.
#include "app/ChangedList.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

TEST(ChangedList, SortedWithoutRegardToCaseAndExactDuplicatesDropped) {
    ChangedList list;
    list.add(QStringLiteral("/site/b.html"));
    list.add(QStringLiteral("/site/A.html"));
    list.add(QStringLiteral("/site/b.html"));
    list.add(QStringLiteral("/site/a.html"));
    list.add(QString());
    EXPECT_EQ(list.paths(), QStringList({"/site/A.html", "/site/a.html", "/site/b.html"}));
    list.replace({QStringLiteral("/z"), QStringLiteral("/y"), QStringLiteral("/z")});
    EXPECT_EQ(list.paths(), QStringList({"/y", "/z"}));
    list.clear();
    EXPECT_EQ(list.count(), 0);
}

TEST(CollectImageNames, QuotedPictureValuesInOrderCutToTheirLastSeparator) {
    const QStringList lines = {
        QStringLiteral("<IMG SRC=\"Images/Logo.GIF\" ALT=\"x.jpg\"><IMG SRC=\"a\\b\\c.jpg\">"),
        // The closing quote of one value never opens the next: "x" then " y.gif " pair up.
        QStringLiteral("<A HREF=\"x\">\"y.gif\"</A> \"dangling.gif"),
        QStringLiteral("\"photo.jpeg\" \"pic.png\" \"noext\" \"dir.gif/\" \"\""),
        QStringLiteral("\"same.gif\" \"same.gif\""),
        QString(),
    };
    EXPECT_EQ(CollectImageNames(lines),
              QStringList({"logo.gif", "x.jpg", "c.jpg", "y.gif", "same.gif", "same.gif"}));
}

TEST(CollectImageNames, AWholeTextGivesWhatItsLinesGive) {
    // Every kind of line end; a quote left open at a line end does not pair with the next line;
    // upper-case and non-ASCII names are lower-cased, a non-ASCII extension is no picture.
    const QString text = QString::fromUtf8("<img src=\"A.GIF\">\r\n\"open.gif\n\"x.gif\"\r"
                                           "\"\u00c4B/\u00c9T\u00c9.JPG\"\r\n\r\n"
                                           "\"p.g\u00cdf\" \"k.Jpg\" \"\" \"..gif\"\n\"tail.jpg");
    const QStringList lines = QString(text)
                                  .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                                  .replace(QLatin1Char('\r'), QLatin1Char('\n'))
                                  .split(QLatin1Char('\n'));
    const QStringList expected = {"a.gif", "x.gif", QString::fromUtf8("\u00e9t\u00e9.jpg"), "k.jpg",
                                  "..gif"};
    EXPECT_EQ(CollectImageNames(lines), expected);
    EXPECT_EQ(CollectImageNamesInText(text), expected);
    EXPECT_EQ(CollectImageNamesInText(QString()), QStringList());
}

TEST(CollectImageNames, TheBytesOfAFileGiveWhatItsDecodedTextGives) {
    // In UTF-8 and in Latin-1 (the same text, and bytes that are no UTF-8): the names found in
    // the bytes, decoded and lower-cased, are those of the decoded text, in order.
    const QString text =
        QString::fromUtf8("<img src=\"A.GIF\">\r\n\"open.gif\n\"x.gif\"\r"
                          "\"\u00c4B/\u00c9T\u00c9.JPG\"\r\n\r\n<a href=\"\u00e9\">"
                          "\"p.g\u00cdf\" \"k.Jpg\" \"\" \"..gif\"\n\"tail.jpg");
    const QList<QByteArray> files = {text.toUtf8(), text.toLatin1()};
    for (const QByteArray& bytes : files) {
        const DecodedText decoded = decodeText(bytes);
        std::vector<QByteArrayView> found;
        CollectImageNameBytes(bytes, found);
        QStringList names;
        for (const QByteArrayView name : found)
            names << (decoded.encoding == TextEncoding::Utf8 ? QString::fromUtf8(name)
                                                             : QString::fromLatin1(name))
                         .toLower();
        EXPECT_EQ(names, CollectImageNamesInText(decoded.text));
        EXPECT_EQ(names, QStringList({"a.gif", "x.gif", QString::fromUtf8("\u00e9t\u00e9.jpg"),
                                      "k.jpg", "..gif"}));
    }
    std::vector<QByteArrayView> none;
    CollectImageNameBytes(QByteArray("\"a.gif"), none);
    CollectImageNameBytes(QByteArray(), none);
    EXPECT_TRUE(none.empty());
}

namespace {

QByteArray fileBytes(const QString& path) {
    const FileBytesResult read = readFileBytes(path);
    return read.ok ? read.bytes : QByteArray("<unreadable>");
}

} // namespace

TEST(ChangedQueue, EveryChangeIsWrittenAndAnotherRunReadsTheSameList) {
    QTemporaryDir dir;
    const QString program = dir.path() + u'/';
    const QString file = ChangedList::queueFileFor(program, {});
    EXPECT_EQ(file, program + QStringLiteral("queues/no-project.queue"));
    const QString project = ChangedList::queueFileFor(program, QStringLiteral("/w/a/Site.out"));
    EXPECT_TRUE(project.startsWith(program + QStringLiteral("queues/Site-")))
        << project.toStdString();
    EXPECT_TRUE(project.endsWith(QStringLiteral(".queue")));
    // Two projects of one name in two folders keep two queues.
    EXPECT_NE(project, ChangedList::queueFileFor(program, QStringLiteral("/w/b/Site.out")));

    ChangedList list;
    EXPECT_EQ(list.open(file), QString());
    EXPECT_EQ(list.count(), 0);
    EXPECT_FALSE(QFileInfo::exists(file)); // nothing changed yet
    list.add(QStringLiteral("/site/b.html"));
    list.add(QString::fromUtf8("/site/caf\u00e9.htm"));
    list.add(QStringLiteral("/site/A.html"));
    list.add(QStringLiteral("/site/b.html"));
    list.add(QStringLiteral("/site/two\nlines.html")); // kept for the run, never a line
    const QByteArray expected = QByteArray("/site/A.html\r\n/site/b.html\r\n") +
                                QString::fromUtf8("/site/caf\u00e9.htm").toUtf8() + "\r\n";
    EXPECT_EQ(fileBytes(file), expected);

    // The program starts again: the list is back, and reading it writes nothing.
    ChangedList again;
    EXPECT_EQ(again.open(file), QString());
    EXPECT_EQ(again.paths(), QStringList({"/site/A.html", "/site/b.html",
                                          QString::fromUtf8("/site/caf\u00e9.htm")}));
    EXPECT_EQ(fileBytes(file), expected);
    again.replace({QStringLiteral("/site/b.html")});
    EXPECT_EQ(fileBytes(file), QByteArray("/site/b.html\r\n"));
    again.clear();
    EXPECT_EQ(fileBytes(file), QByteArray());

    // A file edited by hand is read sorted and without repeats; LF lines are read too.
    ASSERT_TRUE(writeFileAtomically(file, "/z\n/y\r\n\r\n/z\n").ok);
    EXPECT_EQ(again.open(file), QString());
    EXPECT_EQ(again.paths(), QStringList({"/y", "/z"}));

    // A project saved under a new name takes its entries along.
    EXPECT_EQ(again.keepIn(project), QString());
    EXPECT_EQ(fileBytes(project), QByteArray("/y\r\n/z\r\n"));
}

TEST(ChangedQueue, AQueueFileThatCannotBeReadIsNeverWrittenOver) {
    QTemporaryDir dir;
    const QString file = ChangedList::queueFileFor(dir.path() + u'/', {});
    const QByteArray binary("\x00\x01\x02junk\x00", 8);
    ASSERT_TRUE(QDir().mkpath(QFileInfo(file).absolutePath()));
    ASSERT_TRUE(writeFileAtomically(file, binary).ok);
    ChangedList list;
    EXPECT_EQ(list.open(file),
              QStringLiteral("The upload list %1 could not be read (it is not a text file); it is "
                             "not written over, and the files changed now are not kept in it.")
                  .arg(file));
    list.add(QStringLiteral("/site/a.html"));
    EXPECT_EQ(list.paths(), QStringList({"/site/a.html"}));
    EXPECT_EQ(fileBytes(file), binary);
    EXPECT_FALSE(list.problem().isEmpty());
}

// A program killed while it writes the queue leaves the queue of the change before.
TEST(ChangedQueue, AWriterKilledBeforeTheRenameLeavesThePreviousQueue) {
    QTemporaryDir dir;
    const QString file = ChangedList::queueFileFor(dir.path() + u'/', {});
    {
        ChangedList list;
        list.open(file);
        list.addAll({QStringLiteral("/site/a.html"), QStringLiteral("/site/b.html")});
    }
    const QByteArray before = fileBytes(file);
    ASSERT_EQ(before, QByteArray("/site/a.html\r\n/site/b.html\r\n"));

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ChangedList list;
        list.open(file);
        // Every byte of the new queue is in the temporary file when the program dies.
        list.beforeRename = [] { ::kill(::getpid(), SIGKILL); };
        QStringList many;
        for (int i = 0; i < 5000; ++i)
            many << QStringLiteral("/site/page%1.html").arg(i);
        list.addAll(many);
        ::_exit(0); // not reached
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGKILL);
    EXPECT_EQ(fileBytes(file), before);
    ChangedList after;
    EXPECT_EQ(after.open(file), QString());
    EXPECT_EQ(after.paths(), QStringList({"/site/a.html", "/site/b.html"}));
}

TEST(ChangedQueue, AWriterKilledAtAnyMomentLeavesAWholeQueue) {
    QTemporaryDir dir;
    const QString file = ChangedList::queueFileFor(dir.path() + u'/', {});
    // Two big lists written in turn, as fast as the disk takes them.
    QStringList one, two;
    for (int i = 0; i < 20000; ++i) {
        one << QStringLiteral("/site/one/page%1.html").arg(i, 5, 10, QLatin1Char('0'));
        two << QStringLiteral("/site/two/other%1.html").arg(i, 5, 10, QLatin1Char('0'));
    }
    const QByteArray first = ChangedList::queueBytes({QStringLiteral("/site/first.html")});
    const QByteArray oneBytes = ChangedList::queueBytes(one);
    const QByteArray twoBytes = ChangedList::queueBytes(two);
    for (int round = 0; round < 4; ++round) {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(file).absolutePath()));
        ASSERT_TRUE(writeFileAtomically(file, first).ok);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ChangedList list;
            list.open(file);
            for (;;) {
                list.replace(one);
                list.replace(two);
            }
        }
        ::usleep(static_cast<useconds_t>(30000 + round * 25000));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        const QByteArray left = fileBytes(file);
        EXPECT_TRUE(left == first || left == oneBytes || left == twoBytes)
            << "round " << round << ": a torn queue of " << left.size() << " bytes";
    }
}
