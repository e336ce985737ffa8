// The settings dialog's logic.
#include "app/ApplySettings.h"

#include "app/AppState.h"
#include "app/HtmlExtensions.h"
#include "platform/IniFile.h"
#include "platform/TextFile.h"

#include <QFileInfo>
#include <algorithm>

namespace {

QString withoutLeadingDot(QString text) {
    text = text.trimmed();
    while (text.startsWith(QLatin1Char('.')))
        text.remove(0, 1);
    return text;
}

bool lessByName(const QString& a, const QString& b) {
    const int c = a.compare(b, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a < b;
}

QString htmlextPath(const AppState& state) {
    return state.programDirectory() + QStringLiteral("htmlext.dat");
}

} // namespace

QStringList extensionListOf(const QString& htmlextPath) {
    QStringList list;
    const TextReadResult file =
        QFileInfo(htmlextPath).isFile() ? readTextFile(htmlextPath) : TextReadResult{};
    if (file.ok) {
        for (const QString& line : file.text.split(QStringLiteral("\r\n"))) {
            const QString ext = withoutLeadingDot(line);
            if (!ext.isEmpty())
                list << ext;
        }
    }
    if (list.isEmpty())
        list = defaultHtmlExtensions();
    // The list is kept in alphabetical order, the defaults too.
    std::stable_sort(list.begin(), list.end(), lessByName);
    return list;
}

SettingsValues currentSettingsValues(AppState& state) {
    const Settings& s = state.settings();
    SettingsValues v;
    v.extensions = extensionListOf(htmlextPath(state));
    v.defaultExt = s.ext;
    v.htmlTemplate = s.htmlTemplate;
    v.imagePath = s.images;
    v.useDefaultFiles = s.filesUseSelected;
    v.defaultFilesFolder = s.filesSelected;
    v.confirmRemove = s.confirmRemove;
    v.editProblem = s.editProblem;
    v.lowerCaseTags = s.lowerCaseTags;
    v.tagColors = s.tagColors;
    v.strongTag = s.strongTag;
    v.emTag = s.emTag;
    v.browser1 = s.browser1;
    v.browser2 = s.browser2;
    v.previewOption = s.previewOption;
    v.hideMsieControl = !s.msieControl;
    v.imageEditor = s.imageEditor;
    v.imagemapEditor = s.imagemapEditor;
    v.backupType = s.backupType;
    v.promptFreq = s.backupPromptFreq;
    v.ftpAuto = s.ftpAuto;
    v.ftpFlush = s.ftpFlush;
    v.checkBeforeUpload = s.checkBeforeUpload;
    v.pageSizeLimit = s.pageSizeLimit;
    v.tidyWarnings = s.tidyWarnings;
    return v;
}

AddExtension addExtension(QStringList& list, const QString& typed) {
    if (list.size() >= MaxHtmlExtensions)
        return AddExtension::ListFull;
    const QString ext = withoutLeadingDot(typed);
    if (ext.isEmpty())
        return AddExtension::Empty;
    // Each entry takes one of the 15 places: a second "htm" would only crowd out another.
    if (list.contains(ext, Qt::CaseInsensitive))
        return AddExtension::AlreadyListed;
    list.insert(std::upper_bound(list.begin(), list.end(), ext, lessByName), ext);
    return AddExtension::Added;
}

QString extensionListFullText() {
    return QStringLiteral(
        "There are only 15 different extensions allowed. Please delete one before adding another.");
}

QString enterExtensionText() {
    return QStringLiteral(
        "Please enter a valid extension in the space to the right of the ADD button.");
}

int clampPromptFreq(int value) {
    return std::clamp(value, SettingsRules::PromptFreqMinimum, SettingsRules::PromptFreqMaximum);
}

QString normalizedDefaultExt(const QString& typed) {
    QString ext = typed.trimmed();
    if (ext.startsWith(QLatin1Char('.')))
        ext.remove(0, 1);
    return ext.isEmpty() ? QStringLiteral("html") : ext;
}

QString browseFilter() {
    return QStringLiteral("Executable Files|*.exe|All Files|*.*");
}

QString cannotWriteSettingsText(const QStringList& paths) {
    // A settings file that holds bytes that are not text is never rewritten (start-up said so
    // already): that, not the folder, is why its settings were not stored.
    QStringList unwritten;
    QStringList parts;
    for (const QString& path : paths) {
        if (QFileInfo(path).isFile() && IniFile(path).isIgnored())
            parts << notTextSettingsFileText(path);
        else
            unwritten << path;
    }
    if (!unwritten.isEmpty())
        parts.prepend(QStringLiteral("The settings could not all be written to:\r\n%1\r\nThey take "
                                     "effect until the program closes; check that the folder can "
                                     "be written.")
                          .arg(unwritten.join(QStringLiteral("\r\n"))));
    return parts.join(QStringLiteral("\r\n\r\n"));
}

QString notTextSettingsFileText(const QString& path) {
    return QStringLiteral("The settings file \"%1\" cannot be read as text, so it was left as it "
                          "is. The new settings take effect until the program closes.")
        .arg(path);
}

QStringList ApplySettings(AppState& state, const SettingsValues& v) {
    Settings& s = state.settings();
    const SettingsStore& store = state.store();
    QStringList failed;
    const auto note = [&failed](bool ok, const QString& path) {
        if (!ok && !failed.contains(path))
            failed << path;
    };

    // 1-2. htmlext.dat, then the mask and every filter built from it.
    QString lines;
    for (const QString& e : v.extensions)
        lines += e + QStringLiteral("\r\n");
    note(writeTextFile(htmlextPath(state), lines, TextEncoding::Utf8).ok, htmlextPath(state));
    state.setHtmlExtensions(v.extensions);

    // 3. The preview mode and its letter.
    const QString preview =
        v.previewOption == QLatin1String("auto") || v.previewOption == QLatin1String("nosave")
            ? v.previewOption
            : QStringLiteral("temp");
    s.previewOption = preview;
    s.previewModeLabel = previewModeLabel(preview);
    state.notifyPreviewModeChanged();

    // 4. Into the running program (written below).
    s.htmlTemplate = v.htmlTemplate;
    s.images = folderWithSeparator(v.imagePath);
    s.confirmRemove = v.confirmRemove;
    s.backupType = v.backupType;
    s.backupPromptFreq = clampPromptFreq(v.promptFreq);
    s.msieControl = !v.hideMsieControl;
    s.editProblem = v.editProblem;
    s.lowerCaseTags = v.lowerCaseTags;
    const bool newColors = s.tagColors != v.tagColors;
    s.tagColors = v.tagColors;
    // Colouring that follows typing draws new colours at once; the pass waits for its command.
    if (newColors && s.colored && state.parts().colouring)
        state.parts().colouring->colourText();
    s.strongTag = v.strongTag;
    s.emTag = v.emTag;
    s.ftpAuto = v.ftpAuto;
    s.ftpFlush = v.ftpFlush;
    s.checkBeforeUpload = v.checkBeforeUpload;
    s.pageSizeLimit = std::clamp(v.pageSizeLimit, 0, SettingsRules::PageSizeLimitMaximum);
    s.tidyWarnings = v.tidyWarnings;
    s.imageEditor = v.imageEditor;
    s.imagemapEditor = v.imagemapEditor;

    // 5. The default extension.
    s.ext = normalizedDefaultExt(v.defaultExt);

    // 6-8. The settings files, each written once: the Files tab's fixed folder (without a folder
    // the option is off and nothing is stored), then OPTIONS.INI's keys and DEFAULT.INI's.
    QList<PendingSetting> pending;
    const auto queue = [&](const SettingField& field) {
        pending << PendingSetting{field, SettingsStore::storedText(field, s)};
    };
    if (v.defaultFilesFolder.isEmpty()) {
        s.filesUseSelected = false;
    } else {
        s.filesUseSelected = v.useDefaultFiles;
        s.filesSelected = v.defaultFilesFolder;
        queue(&Settings::filesUseSelected);
        queue(&Settings::filesSelected);
    }
    queue(&Settings::backupType);
    queue(&Settings::backupPromptFreq);
    for (int i = 0; i < static_cast<int>(s.tagColors.size()); ++i)
        queue(TagColorSlot{i});
    queue(&Settings::htmlTemplate);
    queue(&Settings::strongTag);
    queue(&Settings::emTag);
    queue(&Settings::lowerCaseTags);
    queue(&Settings::ftpAuto);
    queue(&Settings::ftpFlush);
    queue(&Settings::confirmRemove);
    queue(&Settings::editProblem);
    queue(&Settings::msieControl);
    queue(&Settings::previewOption);
    queue(&Settings::imageEditor);
    queue(&Settings::imagemapEditor);
    // The image folder is stored as typed; in memory it keeps its separator.
    pending << PendingSetting{&Settings::images, v.imagePath};
    queue(&Settings::ext);
    queue(&Settings::checkBeforeUpload);
    queue(&Settings::pageSizeLimit);
    queue(&Settings::tidyWarnings);
    for (const SettingsFileId file : store.writeAll(pending))
        note(false, file == SettingsFileId::Default ? state.defaultIni().path()
                                                    : state.optionsIni().path());
    return failed;
}
