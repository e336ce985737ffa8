// The settings dialog's logic.
#include "app/ApplySettings.h"

#include "app/AppState.h"
#include "app/HtmlExtensions.h"
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
    return QStringLiteral("The settings could not all be written to:\r\n%1\r\nThey take effect "
                          "until the program closes; check that the folder can be written.")
        .arg(paths.join(QStringLiteral("\r\n")));
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
    s.tagColors = v.tagColors;
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

    const QString defaultPath = state.defaultIni().path();
    const QString optionsPath = state.optionsIni().path();
    const auto wrote = [&](bool ok, SettingsFileId file) {
        note(ok, file == SettingsFileId::Default ? defaultPath : optionsPath);
    };

    // 6. The Files tab's fixed folder: without a folder the option is off and nothing is stored.
    if (v.defaultFilesFolder.isEmpty()) {
        s.filesUseSelected = false;
    } else {
        wrote(store.set(s, &Settings::filesUseSelected, v.useDefaultFiles),
              SettingsFileId::Default);
        wrote(store.set(s, &Settings::filesSelected, v.defaultFilesFolder),
              SettingsFileId::Default);
    }

    // 7. OPTIONS.INI.
    wrote(store.set(s, &Settings::backupType, s.backupType), SettingsFileId::Options);
    wrote(store.set(s, &Settings::backupPromptFreq, s.backupPromptFreq), SettingsFileId::Options);
    for (int i = 0; i < static_cast<int>(s.tagColors.size()); ++i)
        wrote(store.setTagColor(s, i, s.tagColors[static_cast<size_t>(i)]),
              SettingsFileId::Options);
    wrote(store.set(s, &Settings::htmlTemplate, s.htmlTemplate), SettingsFileId::Options);

    // 8. DEFAULT.INI.
    wrote(store.set(s, &Settings::strongTag, s.strongTag), SettingsFileId::Default);
    wrote(store.set(s, &Settings::emTag, s.emTag), SettingsFileId::Default);
    wrote(store.set(s, &Settings::lowerCaseTags, s.lowerCaseTags), SettingsFileId::Default);
    wrote(store.set(s, &Settings::ftpAuto, s.ftpAuto), SettingsFileId::Default);
    wrote(store.set(s, &Settings::ftpFlush, s.ftpFlush), SettingsFileId::Default);
    wrote(store.set(s, &Settings::confirmRemove, s.confirmRemove), SettingsFileId::Default);
    wrote(store.set(s, &Settings::editProblem, s.editProblem), SettingsFileId::Default);
    wrote(store.set(s, &Settings::msieControl, s.msieControl), SettingsFileId::Default);
    wrote(store.set(s, &Settings::previewOption, s.previewOption), SettingsFileId::Default);
    wrote(store.set(s, &Settings::imageEditor, s.imageEditor), SettingsFileId::Default);
    wrote(store.set(s, &Settings::imagemapEditor, s.imagemapEditor), SettingsFileId::Default);
    // The image folder is stored as typed; in memory it keeps its separator.
    wrote(store.set(s, &Settings::images, v.imagePath), SettingsFileId::Default);
    s.images = folderWithSeparator(v.imagePath);
    wrote(store.set(s, &Settings::ext, s.ext), SettingsFileId::Default);
    wrote(store.set(s, &Settings::checkBeforeUpload, s.checkBeforeUpload), SettingsFileId::Default);
    wrote(store.set(s, &Settings::pageSizeLimit, s.pageSizeLimit), SettingsFileId::Default);
    wrote(store.set(s, &Settings::tidyWarnings, s.tidyWarnings), SettingsFileId::Default);
    return failed;
}
