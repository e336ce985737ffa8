// Insert Link/Image and the image component over real image files.
#include "tags/LinkImageInsert.h"
#include "editor/TextBuffer.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"
#include "tags/TPMultiImage.h"
#include "tags/TagPanelLists.h"

#include <QBuffer>
#include <QImage>
#include <gtest/gtest.h>

namespace {

QByteArray imageBytes(int w, int h, const char* format) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

TEST(LinkImage, ImgForGifAndJpgWhateverTheCaseLinkForTheRest) {
    TempDir dir;
    ASSERT_TRUE(dir.write("photo.JPG", imageBytes(30, 20, "JPEG")));
    ASSERT_TRUE(dir.write("pic.gif", imageBytes(7, 5, "PNG"))); // read by content
    ASSERT_TRUE(dir.write("big.jpeg", imageBytes(3, 3, "JPEG")));
    ASSERT_TRUE(dir.write("shot.png", imageBytes(3, 3, "PNG")));
    struct Case {
        const char* name;
        const char* text;
    };
    const Case cases[] = {
        {"photo.JPG", "<IMG WIDTH=30 HEIGHT=20 SRC=\"photo.JPG\">"},
        {"pic.gif", "<IMG WIDTH=7 HEIGHT=5 SRC=\"pic.gif\">"},
        {"big.jpeg", "<A HREF=\"big.jpeg\"></A>"},
        {"shot.png", "<A HREF=\"shot.png\"></A>"},
        {"page.htm", "<A HREF=\"page.htm\"></A>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TextBuffer editor;
        ScriptedPrompter prompter;
        editor.setText(QStringLiteral("sel"));
        editor.selectAll();
        EXPECT_TRUE(
            insertLinkOrImage(editor, prompter, dir.path().chopped(1), QString::fromUtf8(c.name)));
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(editor.text(), text + QStringLiteral("sel"));
        EXPECT_EQ(editor.selStart(), 0);
        EXPECT_EQ(editor.selText(), text);
    }
}

TEST(LinkImage, UnreadableImageIsToldAndInsertsNothing) {
    TempDir dir;
    ASSERT_TRUE(dir.write("broken.gif", "GIF89a not really"));
    TextBuffer editor;
    editor.setText(QStringLiteral("keep"));
    ScriptedPrompter prompter;
    prompter.queue(MessageAnswer::Ok);
    EXPECT_FALSE(insertLinkOrImage(editor, prompter, dir.path(), QStringLiteral("broken.gif")));
    EXPECT_EQ(prompter.texts(),
              QStringList{QStringLiteral(
                  "Error opening file. File is corrupt or cannot handle this file type.")});
    EXPECT_EQ(editor.text(), QStringLiteral("keep"));
    ScriptedPrompter quiet;
    EXPECT_FALSE(insertLinkOrImage(editor, quiet, dir.path(), QString())); // nothing chosen
}

TEST(LinkImage, AnalyzeFollowsTheHtmlPattern) {
    const QString pattern = QStringLiteral("*.htm;*.html;*.shtml");
    EXPECT_TRUE(isAnalyzableFile(QStringLiteral("a.HTM"), pattern));
    EXPECT_TRUE(isAnalyzableFile(QStringLiteral("a.html"), pattern));
    EXPECT_FALSE(isAnalyzableFile(QStringLiteral("a.gif"), pattern));
    EXPECT_FALSE(isAnalyzableFile(QStringLiteral("README"), pattern));
}

TEST(TPMultiImage, LoadSizeSaveAsBmp) {
    TempDir dir;
    const QByteArray png = imageBytes(40, 10, "PNG");
    ASSERT_TRUE(dir.write("a.png", png));
    TPMultiImage image;
    ASSERT_TRUE(image.load(dir.file("a.png")));
    EXPECT_EQ(image.width(), 40);
    EXPECT_EQ(image.height(), 10);
    EXPECT_EQ(image.loadedPath(), dir.file("a.png"));
    EXPECT_EQ(image.fileSize(), png.size());
    EXPECT_EQ(image.scaledFor(QSize(20, 20)).size(), QSize(20, 5));
    EXPECT_EQ(image.scaledFor(QSize(100, 100)).size(), QSize(40, 10));
    ASSERT_TRUE(image.saveAsBmp(dir.file("out.bmp")));
    EXPECT_TRUE(dir.read("out.bmp").startsWith("BM"));
    EXPECT_FALSE(image.load(dir.path())); // a folder
    EXPECT_FALSE(image.isLoaded());
    EXPECT_FALSE(image.saveAsBmp(dir.file("none.bmp")));
}

TEST(TPMultiImage, AHugePictureIsMeasuredWithoutDecodingItWhole) {
    TempDir dir;
    // A small JPEG whose frame header claims 20,000 by 20,000 pixels: decoded whole it would
    // take 1.6 GB.
    QByteArray jpeg = imageBytes(16, 16, "JPEG");
    const qsizetype sof = jpeg.indexOf(QByteArray("\xFF\xC0", 2));
    ASSERT_GT(sof, 0);
    for (int i : {5, 7}) {
        jpeg[sof + i] = char(0x4E);
        jpeg[sof + i + 1] = char(0x20);
    }
    ASSERT_TRUE(dir.write("huge.jpg", jpeg));
    TPMultiImage image;
    ASSERT_TRUE(image.load(dir.file("huge.jpg")));
    EXPECT_EQ(image.width(), 20000);
    EXPECT_EQ(image.height(), 20000);
    EXPECT_LE(image.image().width(), 1024);
    EXPECT_LE(image.image().height(), 1024);

    ASSERT_TRUE(dir.write("bad.gif", "GIF89a not really"));
    EXPECT_FALSE(image.load(dir.file("bad.gif")));
    EXPECT_FALSE(image.isLoaded());
    ASSERT_TRUE(dir.write("text.jpg", "hello"));
    EXPECT_FALSE(image.load(dir.file("text.jpg")));
}

TEST(TagPanel, ListsInOrder) {
    ASSERT_EQ(tagPanelTags().size(), 100);
    EXPECT_EQ(tagPanelTags().first(), QStringLiteral("<!--.-->"));
    EXPECT_EQ(tagPanelTags().at(49),
              QStringLiteral("<HTML><HEAD><TITLE></TITLE></HEAD><BODY>.</BODY></HTML>"));
    EXPECT_EQ(tagPanelTags().last(), QStringLiteral("<XMP>.</XMP>"));
    ASSERT_EQ(tagPanelAttributes().size(), 72);
    EXPECT_EQ(tagPanelAttributes().first(), QStringLiteral("ACTION="));
    EXPECT_EQ(tagPanelAttributes().at(14), QStringLiteral("CLEAR"));
    EXPECT_EQ(tagPanelAttributes().last(), QStringLiteral("WRAP="));
}

} // namespace
