// The IE tab with the real engine: the open page is rendered in the view over the editor.
#include "support/MainWindowFixture.h"
#include "ui/preview/PreviewUi.h"
#include "ui/shell/ActionRegistry.h"

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <QWebEngineView>
#include <gtest/gtest.h>
#include <unistd.h>

TEST_F(MainWindowFixture, TheIeTabRendersTheOpenPageAndTheETabBringsTheEditorBack) {
    // As the program does in main(): the engine refuses to start its sandbox as root.
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    openWindow();
    form->resize(1024, 768);
    form->show();
    PreviewUi* preview = PreviewUi::of(form->registry());
    ASSERT_NE(preview, nullptr);
    ASSERT_TRUE(form->state().hasEmbeddedBrowser());

    // A page that is one green block: the view shows it, the editor shows its source.
    ASSERT_TRUE(dir.write("page.html",
                          "<html><body style=\"margin:0;background:#00ff00\">"
                          "<div style=\"width:100%;height:2000px;background:#00ff00\"></div>"
                          "</body></html>\r\n"));
    ASSERT_TRUE(form->state().document().loadDocument(dir.file("page.html")).ok);

    QTest::mouseClick(preview->browserTab(), Qt::LeftButton);
    QWebEngineView* view = preview->view();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->isVisible());
    EXPECT_TRUE(preview->controlPanel()->isVisible());
    EXPECT_EQ(view->geometry(), form->editor()->geometry().adjusted(0, 30, 0, 0));
    EXPECT_EQ(preview->addressField()->text(), QStringLiteral("Enter an HTTP web address here"));
    EXPECT_TRUE(preview->browserTab()->styleSheet().contains("rgb(0, 255, 0)"));
    EXPECT_EQ(view->url().toString(), QStringLiteral("file://") + dir.file("$$temp.htm"));

    QSignalSpy loaded(view, &QWebEngineView::loadFinished);
    ASSERT_TRUE(loaded.wait(30000));
    EXPECT_TRUE(loaded.first().first().toBool());
    // The engine paints a moment after the load; look until the page's green shows.
    int green = 0;
    for (int i = 0; i < 100 && green == 0; ++i) {
        QTest::qWait(100);
        const QImage shot = view->grab().toImage();
        const QRgb middle = shot.pixel(shot.width() / 2, shot.height() / 2);
        if (qGreen(middle) > 200 && qRed(middle) < 60 && qBlue(middle) < 60)
            ++green;
    }
    EXPECT_GT(green, 0) << "the view never showed the page";

    QTest::mouseClick(preview->editTab(), Qt::LeftButton);
    EXPECT_FALSE(view->isVisible());
    EXPECT_FALSE(preview->controlPanel()->isVisible());
    EXPECT_TRUE(preview->editTab()->styleSheet().contains("rgb(0, 255, 0)"));
}
