// The Snips tab in the main window, driven from the keyboard as well as the mouse: the
// highlighted entry is the one Delete, Edit, Enter and Del act on; the tab shows its captions
// whole at the left pane's first width.
#include "support/MainWindowFixture.h"
#include "ui/PlainTextEditWindow.h"
#include "ui/services/ServicesUi.h"
#include "ui/services/SnipsTab.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

class SnipsWindow : public MainWindowFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.write("urlsnips.dat", "c\r\nA\r\nb\r\n"));
        openWindow();
        form->resize(1024, 768);
        form->show();
        auto* left = form->findChild<QTabWidget*>("LeftTabs");
        left->setCurrentIndex(left->count() - 1);
        QApplication::processEvents();
        urls = form->findChild<QListWidget*>("ListBoxURL");
        ASSERT_NE(urls, nullptr);
        ASSERT_EQ(urls->count(), 3);
    }
    void press(QListWidget* list, int row) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
    }

    QListWidget* urls = nullptr;
};

} // namespace

TEST_F(SnipsWindow, TheHighlightedEntryIsTheOneDeletedEditedAndPasted) {
    // Click A, then Down twice: c is highlighted, and Delete deletes c.
    press(urls, 0);
    QTest::keyClick(urls, Qt::Key_Down);
    QTest::keyClick(urls, Qt::Key_Down);
    ASSERT_EQ(urls->currentItem()->text(), "c");
    form->findChild<QPushButton*>("URLDelete")->click();
    EXPECT_EQ(dir.read("urlsnips.dat"), QByteArray("A\r\nb\r\n"));
    // The one before it is highlighted now, in the list as in the model.
    EXPECT_EQ(urls->currentItem()->text(), "b");
    EXPECT_TRUE(urls->currentItem()->isSelected());

    // Home, then Edit: the dialog edits A.
    QTest::keyClick(urls, Qt::Key_Home);
    QTimer::singleShot(0, form.get(), [] {
        auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        auto* field = d->findChild<QLineEdit*>("EntryText");
        EXPECT_EQ(field->text(), "A");
        // Wide enough for a web address; the box was 170 pixels once.
        EXPECT_GE(field->width(), 420);
        field->setText("Alpha");
        d->accept();
    });
    form->findChild<QPushButton*>("URLEdit")->click();
    EXPECT_EQ(dir.read("urlsnips.dat"), QByteArray("Alpha\r\nb\r\n"));

    // Enter pastes the highlighted entry into the page; Del deletes it.
    form->editWindow().setText("<P>");
    form->editWindow().setSelStart(3);
    form->state().document().setHtmlModified(false);
    QTest::keyClick(urls, Qt::Key_End);
    QTest::keyClick(urls, Qt::Key_Return);
    EXPECT_EQ(form->editWindow().text(), "<P>b");
    EXPECT_EQ(clipboard.text(), "b");
    EXPECT_TRUE(form->state().document().htmlModified());
    QTest::keyClick(urls, Qt::Key_Up);
    QTest::keyClick(urls, Qt::Key_Delete);
    EXPECT_EQ(dir.read("urlsnips.dat"), QByteArray("b\r\n"));

    // A press below the last entry highlights nothing, and Delete then deletes nothing.
    QTest::mouseClick(urls->viewport(), Qt::LeftButton, {},
                      QPoint(5, urls->viewport()->height() - 3));
    EXPECT_TRUE(urls->selectedItems().isEmpty());
    form->findChild<QPushButton*>("URLDelete")->click();
    EXPECT_EQ(dir.read("urlsnips.dat"), QByteArray("b\r\n"));
}

TEST_F(SnipsWindow, CaptionsShowWholeAtTheFirstPaneWidthAndTheColorBoxHasItsHint) {
    EXPECT_EQ(form->colorBox()->toolTip(), "Turn Colored Tags On/Off");
    auto* snips = ServicesUi::of(form->registry())->snipsTab();
    auto* tabs = snips->findChild<QTabWidget*>();
    ASSERT_NE(tabs, nullptr);
    QTabBar* bar = tabs->tabBar();
    for (int i = 0; i < bar->count(); ++i) {
        // Each tab shows its whole caption, inside the bar.
        EXPECT_LE(bar->tabRect(i).right(), bar->width()) << bar->tabText(i).toStdString();
        EXPECT_GT(bar->tabRect(i).width(),
                  bar->fontMetrics().horizontalAdvance(bar->tabText(i).remove('&')))
            << bar->tabText(i).toStdString();
    }
    // No scroll arrows: every tab is in view.
    for (QToolButton* arrow : bar->findChildren<QToolButton*>())
        EXPECT_FALSE(arrow->isVisible());
    for (QRadioButton* radio : snips->findChildren<QRadioButton*>()) {
        EXPECT_GE(radio->width(), radio->sizeHint().width()) << radio->text().toStdString();
        EXPECT_LE(radio->mapTo(snips, QPoint(radio->width(), 0)).x(), snips->width())
            << radio->text().toStdString();
    }
}
