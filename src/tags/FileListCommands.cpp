// The Files tab's tag commands.
#include "tags/FileListCommands.h"

#include "app/AppState.h"
#include "app/CommandPlaces.h"
#include "tags/LinkImageInsert.h"

CommandTable fileListCommands(AppState& state, EditWindow& editor,
                              std::function<FileListChoice()> chosen,
                              FileListChoiceSignal& choiceChanged) {
    CommandTable t;
    // The button and both pop-up entries do the same; the editor does not take the focus, so
    // the user can go on choosing files.
    const auto insert = [&state, &editor, chosen] {
        const FileListChoice file = chosen();
        if (insertLinkOrImage(editor, state.prompter(), file.folder, file.fileName,
                              linkingFolder(state.document()), state.settings().lowerCaseTags))
            state.document().setHtmlModified(true);
    };
    const CommandTableBuilder add(t);
    add(FileListCommands::insertButton, "Insert Link/Image")->run = insert;
    t.commands.last().hint = QStringLiteral("Insert selected graphic or HTML file as link");
    add("InsertImage1", "Insert Image")->run = insert;
    add("InsertLinktoHTMLfile1", "Insert Link to HTML file")->run = insert;
    const CommandRow analyze = add("AnalyzeWebPage1", "Analyze Web Page");
    analyze->run = [&state, chosen] {
        if (PageAnalysisOpener* analysis = state.parts().pageAnalysis) {
            const FileListChoice file = chosen();
            analysis->analyzeWebPage(file.folder, file.fileName);
        }
    };
    analyze->enabled = [&state, chosen] {
        return state.parts().pageAnalysis &&
               isAnalyzableFile(chosen().fileName, state.htmlFilePattern());
    };
    analyze->watches = {watch(&choiceChanged, &FileListChoiceSignal::changed)};

    t.layouts << Layout{LayoutPlace::Popup,
                        PopupId::FileList,
                        QStringLiteral("File List"),
                        0,
                        {},
                        {entry(QStringLiteral("InsertImage1")),
                         entry(QStringLiteral("InsertLinktoHTMLfile1")), separator(),
                         entry(QStringLiteral("AnalyzeWebPage1"))}};
    return t;
}
