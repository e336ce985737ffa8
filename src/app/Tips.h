// Tips: the texts of the tip-of-the-day window.
#pragma once

#include <QStringList>

inline QStringList tipTexts() {
    return {
        QStringLiteral("The window has two panes: the outline of your web site on the left and the "
                       "HTML editor on the right. Drag the bar between them to share the room."),
        QStringLiteral("Every HTML file you save is added to the Auto-FTP list, ready to be "
                       "uploaded from the FTP screen."),
        QStringLiteral("Choose the colours of anchors, images, fonts, tables and lists under "
                       "Settings, Tag Options, and tick \"Color\" above the editor to see them."),
        QStringLiteral("Edit, Spell Check checks the words of your page and leaves the tags "
                       "alone."),
        QStringLiteral("Click the IE tab beside the editor to see your page in the built-in "
                       "browser; click E to go back to editing."),
        QStringLiteral("Already have a folder of HTML files? File, Project Builder makes a project "
                       "of them in a few clicks."),
        QStringLiteral("Keep addresses and phrases you type often on the Snips tab and "
                       "double-click one to insert it."),
        QStringLiteral("You can drag selected text within the editor to move it, and hold Ctrl "
                       "while dragging to copy it."),
        QStringLiteral("Set up your image editor under Settings, Helper Apps and start it from the "
                       "Helper Apps menu."),
        QStringLiteral("Right-click the editor or the outline for a menu of the commands used "
                       "there."),
        QStringLiteral("Press Ctrl+? to keep a small help window on top of your work."),
        QStringLiteral("Tags you use often can become custom tags with buttons of their own on "
                       "the Custom tab."),
        QStringLiteral("The two browser buttons on the tool bar show your page in the browsers "
                       "you chose under Settings, Web Browsers."),
        QStringLiteral("A page can have sub-pages: Add Sub-Page puts a page below the selected "
                       "one, so a large site stays in order."),
        QStringLiteral("Back up a project now and then: the program reminds you every few "
                       "sessions and copies the files into a folder named by the date."),
        QStringLiteral("Rest the pointer on a tool-bar button to see what it does."),
        QStringLiteral("Colouring a long page takes a moment: a click in the editor stops it."),
        QStringLiteral("The last four projects you opened are at the end of the File menu."),
        QStringLiteral("Change Page Title and Change HTML Link edit the selected page without "
                       "removing it from the project."),
        QStringLiteral("Move Pages rearranges the outline: pick a page and the place it should "
                       "go."),
        QStringLiteral("The Power dialogs (BODY, A HREF, IMG, TABLE, FRAME, LIST) build a whole "
                       "tag from the choices you make."),
        QStringLiteral("Images your pages use can be added to the FTP list so that they are "
                       "uploaded with the pages."),
        QStringLiteral("The blue letter left of the editor is the preview mode: S saves first, T "
                       "shows a temporary copy, N the last saved file. Double-click it to "
                       "change."),
        QStringLiteral("The analysis screen tells how large a page and its images are and how "
                       "long a visitor waits for them."),
        QStringLiteral("Double-click an HTML file on the Files tab to open it in the editor."),
        QStringLiteral("Tools, Color Picker inserts the HTML code of any colour you choose."),
        QStringLiteral("The backup reminder can be set to come more or less often, or turned "
                       "off, under Settings, Back Up."),
        QStringLiteral("The built-in browser has a control panel with Back, Next, Stop and an "
                       "address field; X hides it, and Settings, Web Browsers can keep it "
                       "hidden."),
        QStringLiteral("Untick \"Wrap\" above the editor to see long lines of HTML as they are."),
    };
}
