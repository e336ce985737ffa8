// The publishing room's command table.
#include "publish/PublishCommands.h"

#include "app/AppState.h"
#include "app/CommandPlaces.h"
#include "app/HtmlDocument.h"
#include "editor/EditWindow.h"

#include <QRegularExpression>

PublishRoom::PublishRoom(AppState& state, EditWindow& editor, Prompter& prompter,
                         PublishWindow& window)
    : m_state(state), m_editor(editor), m_prompter(prompter), m_window(window) {
}

void PublishRoom::addSelectedFile() {
    FtpList::addSelectedFile(m_state.changedList(), m_prompter, m_window.ftpAddSelection());
}

void PublishRoom::addImages() {
    Settings& s = m_state.settings();
    const HtmlDocument& document = m_state.document();
    const QString page = document.currentHtmlFile() == document.untitledName()
                             ? QString()
                             : document.currentHtmlFile();
    const std::optional<QString> folder = m_window.imageFolderDialog().askImageFolder(
        s.ftpImages, FtpList::imageChooserStart(s.images, page, m_state.homeDirectory()));
    if (!folder)
        return;
    const QStringList lines =
        m_editor.text().split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
    FtpList::addImagesOfPage(m_state.changedList(), lines, *folder, s, m_state.store());
}

CommandTable publishCommands(PublishRoom& room) {
    CommandTable t;
    PublishRoom* r = &room;
    const CommandTableBuilder add(t);
    const auto open = [r] { r->openFtpScreen(); };
    const auto addFile = [r] { r->addSelectedFile(); };
    const CommandRow button = add("BitBtnFTP", "FTP", open);
    button->hint = QStringLiteral("Go to FTP Screen");
    button->icon = QStringLiteral("ftp");
    add("FTPFileTransfer1", "FTP File Transfer", open);
    add("GotoFTPscreen1", "Go to FTP screen", open);
    const CommandRow plus = add("BitBtnFTPAdd", "+FTP", addFile);
    plus->hint = QStringLiteral("Add a file or image to the FTP list");
    plus->icon = QStringLiteral("ftp-add");
    add("AddSelectedFiletoFTPList1", "Add Selected File to FTP List", addFile);
    // The outline's pop-up places this one; the file list's pop-up too.
    add("AddtoFTPlist1", "FTP :  Add to FTP list", addFile);
    add("AddImagesfromopenHTMLfiletoFTPlist1", "Add Images from open HTML file to FTP list",
        [r] { r->addImages(); });

    t.layouts << Layout{LayoutPlace::MenuBar,
                        MenuId::Ftp,
                        QStringLiteral("FT&P"),
                        PublishCommands::FtpMenuOrder,
                        {},
                        {entry("GotoFTPscreen1"), separator(), entry("AddSelectedFiletoFTPList1"),
                         entry("AddImagesfromopenHTMLfiletoFTPlist1")}};
    t.layouts << Layout{LayoutPlace::MenuBar,
                        MenuId::Tools,
                        {},
                        0,
                        Group::ToolsPublish,
                        {separator(), entry("FTPFileTransfer1")}};
    t.layouts << Layout{LayoutPlace::ToolBar,
                        ToolBarId::Main,
                        {},
                        0,
                        Group::BarTools,
                        {entry("BitBtnFTP"), entry("BitBtnFTPAdd")}};
    t.layouts << Layout{LayoutPlace::Popup,
                        // The tag room declares the file list's pop-up and shows it; this room
                        // adds its entry, so one right click gives one menu with everything.
                        PopupId::FileList,
                        {},
                        0,
                        {},
                        {separator(), entry("AddtoFTPlist1")}};
    return t;
}
