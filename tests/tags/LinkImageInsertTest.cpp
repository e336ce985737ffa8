// Insert Link/Image and the image component over real image files.
#include "tags/LinkImageInsert.h"
#include "editor/TextBuffer.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"
#include "tags/TPMultiImage.h"
#include "tags/TagPanelLists.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <cstdio>
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

TEST(LinkImage, ImgForEveryPictureOfTheWebWhateverTheCaseLinkForTheRest) {
    TempDir dir;
    ASSERT_TRUE(dir.write("photo.JPG", imageBytes(30, 20, "JPEG")));
    ASSERT_TRUE(dir.write("pic.gif", imageBytes(7, 5, "PNG"))); // read by content
    ASSERT_TRUE(dir.write("big.jpeg", imageBytes(3, 3, "JPEG")));
    ASSERT_TRUE(dir.write("Shot.PNG", imageBytes(4, 2, "PNG")));
    ASSERT_TRUE(dir.write("new.webp", imageBytes(6, 4, "WEBP")));
    ASSERT_TRUE(dir.write("logo.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"64\" "
                                      "height=\"32\"><rect width=\"64\" height=\"32\"/></svg>"));
    ASSERT_TRUE(dir.write("box.svg", "<?xml version=\"1.0\"?>\n<svg xmlns=\"http://www.w3.org/"
                                     "2000/svg\" viewBox=\"0 0 120 90\"><circle r=\"9\"/></svg>"));
    struct Case {
        const char* name;
        const char* text;
    };
    const Case cases[] = {
        {"photo.JPG", "<IMG WIDTH=30 HEIGHT=20 SRC=\"photo.JPG\">"},
        {"pic.gif", "<IMG WIDTH=7 HEIGHT=5 SRC=\"pic.gif\">"},
        {"big.jpeg", "<IMG WIDTH=3 HEIGHT=3 SRC=\"big.jpeg\">"},
        {"Shot.PNG", "<IMG WIDTH=4 HEIGHT=2 SRC=\"Shot.PNG\">"},
        {"new.webp", "<IMG WIDTH=6 HEIGHT=4 SRC=\"new.webp\">"},
        {"logo.svg", "<IMG WIDTH=64 HEIGHT=32 SRC=\"logo.svg\">"},
        {"box.svg", "<IMG WIDTH=120 HEIGHT=90 SRC=\"box.svg\">"},
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

TEST(LinkImage, TheFileIsReachedFromTheOpenPageAndQuotesAreEscaped) {
    TempDir dir;
    ASSERT_TRUE(dir.write("site/img/Logo.gif", imageBytes(5, 6, "PNG")));
    ASSERT_TRUE(dir.write("site/img/q\"uote.gif", imageBytes(2, 2, "PNG")));
    ASSERT_TRUE(dir.write("site/docs/a \"b\".htm", "x"));
    struct Case {
        const char* folder;
        const char* name;
        const char* pageFolder;
        const char* text;
    };
    const Case cases[] = {
        {"site/img", "Logo.gif", "site/pages", "<IMG WIDTH=5 HEIGHT=6 SRC=\"../img/Logo.gif\">"},
        {"site/img", "Logo.gif", "site", "<IMG WIDTH=5 HEIGHT=6 SRC=\"img/Logo.gif\">"},
        {"site/img", "Logo.gif", "site/img", "<IMG WIDTH=5 HEIGHT=6 SRC=\"Logo.gif\">"},
        {"site/img", "Logo.gif", "", "<IMG WIDTH=5 HEIGHT=6 SRC=\"Logo.gif\">"},
        {"site/img", "q\"uote.gif", "site/img", "<IMG WIDTH=2 HEIGHT=2 SRC=\"q&quot;uote.gif\">"},
        {"site/docs", "a \"b\".htm", "site/pages", "<A HREF=\"../docs/a &quot;b&quot;.htm\"></A>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " from " + c.pageFolder);
        TextBuffer editor;
        ScriptedPrompter prompter;
        const QString from = *c.pageFolder ? dir.file(QString::fromUtf8(c.pageFolder)) : QString();
        EXPECT_TRUE(insertLinkOrImage(editor, prompter, dir.file(QString::fromUtf8(c.folder)),
                                      QString::fromUtf8(c.name), from));
        EXPECT_EQ(editor.text(), QString::fromUtf8(c.text));
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

TEST(TPMultiImage, PicturesOfTheWebByTheirNames) {
    for (const char* name : {"a.gif", "A.JPG", "b.jpeg", "c.Png", "d.webp", "e.SVG"})
        EXPECT_TRUE(TPMultiImage::isImageName(QLatin1String(name))) << name;
    for (const char* name : {"a.htm", "gif", "a.gif.txt", "README", "a.bmp"})
        EXPECT_FALSE(TPMultiImage::isImageName(QLatin1String(name))) << name;
    EXPECT_EQ(TPMultiImage::imageNameFilters(),
              (QStringList{"*.gif", "*.jpg", "*.jpeg", "*.png", "*.webp", "*.svg"}));
}

TEST(TPMultiImage, LoadsAPictureWhoseNameIsInLatin1) {
    TempDir dir;
    const QByteArray native = QFile::encodeName(dir.path()) + "caf\xe9.png";
    {
        const QByteArray bytes = imageBytes(9, 3, "PNG");
        FILE* out = std::fopen(native.constData(), "wb");
        ASSERT_NE(out, nullptr);
        std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), out);
        std::fclose(out);
    }
    TPMultiImage image;
    ASSERT_TRUE(image.load(dir.path() + QStringLiteral("caf\u00e9.png")));
    EXPECT_EQ(image.width(), 9);
    EXPECT_EQ(image.height(), 3);
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
