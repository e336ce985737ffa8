// Extended Replace's command.
#include "services/BigReplaceCommands.h"

#include "app/CommandPlaces.h"
#include "app/HtmlDocument.h"
#include "platform/Prompter.h"

QString integrityText() {
    return QStringLiteral("To guarantee file integrity, all open files must be closed before "
                          "doing a global replace. You will now have the option of saving your "
                          "open HTML file...");
}

bool openExtendedReplace(HtmlDocument& document, Prompter& prompter,
                         const std::function<void()>& showDialog) {
    if (document.htmlModified()) {
        prompter.inform(integrityText());
        if (document.confirmCloseHtml() == MessageAnswer::Cancel)
            return false;
    }
    // Nothing is modified now, so closing asks nothing more: the editor is emptied and the
    // document becomes the untitled one, with its save commands.
    document.closeHtmlFile();
    if (showDialog)
        showDialog();
    return true;
}

CommandTable bigReplaceCommands(std::function<void()> extendedReplace) {
    CommandTable t;
    Command c;
    c.id = QStringLiteral("ExtendedReplace1");
    c.caption = QStringLiteral("&Extended Replace");
    c.shortcut = QKeySequence(QStringLiteral("Ctrl+E"));
    c.hint = QStringLiteral("Extended Replace");
    c.icon = QStringLiteral("extended-replace");
    c.run = std::move(extendedReplace);
    t.commands << c;
    t.layouts << Layout{LayoutPlace::MenuBar,
                        MenuId::Search,
                        {},
                        0,
                        {},
                        {entry(QStringLiteral("ExtendedReplace1"))}};
    t.layouts << Layout{LayoutPlace::ToolBar,
                        ToolBarId::Main,
                        {},
                        0,
                        Group::BarSearch,
                        {entry(QStringLiteral("ExtendedReplace1"))}};
    return t;
}
