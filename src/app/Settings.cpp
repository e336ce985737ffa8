// Settings: reading DEFAULT.INI and OPTIONS.INI at start-up.
#include "app/Settings.h"

#include "platform/IniFile.h"

const std::array<const char*, 6>& tagColorKeys() {
    static const std::array<const char*, 6> keys = {"DEFAULT", "HREF",  "IMG",
                                                    "FONT",    "TABLE", "LIST"};
    return keys;
}

QString folderWithSeparator(const QString& folder) {
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('/')))
        return folder;
    return folder + QLatin1Char('/');
}

QString defaultEmailAddress() {
    return QStringLiteral("yourname@yourdomain.com");
}

QString previewModeLabel(const QString& previewOption) {
    if (previewOption == QLatin1String("auto"))
        return QStringLiteral("S");
    if (previewOption == QLatin1String("nosave"))
        return QStringLiteral("N");
    return QStringLiteral("T");
}

Settings loadSettings(const IniFile& d, const IniFile& o, const QString& programDirectory,
                      const QString& homeDirectory) {
    Settings s;
    const auto str = [](const IniFile& f, const char* section, const char* key,
                        const QString& def) {
        return f.readString(QLatin1String(section), QLatin1String(key), def);
    };
    const auto flag = [](const IniFile& f, const char* section, const char* key, bool def) {
        return f.readBool(QLatin1String(section), QLatin1String(key), def);
    };

    // DEFAULT.INI, in the order the program has always read it.
    // Earlier versions stored this folder without its separator; the dialogs and the preview
    // append names to it.
    s.lastHtmlDirectory = folderWithSeparator(str(d, "Start", "Location", programDirectory));
    s.filesLocation = str(d, "Files", "Location", homeDirectory);
    s.filesSelected = str(d, "Files", "Selected", QString());
    s.relImage = str(d, "Location", "RelImage", QString());
    s.msieControl = flag(d, "HTML", "MSIEControl", true);
    s.strongTag = flag(d, "TAGS", "STRONG", false);
    s.ftpAuto = flag(d, "HTML", "FTPAUTO", true);
    s.ftpFlush = flag(d, "HTML", "FTPFLUSH", true);
    s.emTag = flag(d, "TAGS", "EM", false);
    s.editProblem = flag(d, "Fix", "EditProblem", false);
    s.previewOption = str(d, "Location", "PreviewOption", QStringLiteral("temp"));
    s.previewModeLabel = previewModeLabel(s.previewOption);
    s.ext = str(d, "HTML", "Ext", QStringLiteral("html"));
    s.useAnchor = flag(d, "Path", "UseAnchor", false);
    s.anchorPath = str(d, "Path", "AnchorPath", QString());
    s.imageEditor = str(d, "Helpers", "Editor", QString());
    s.images = str(d, "Location", "Images", QString());
    s.ftpImages = str(d, "Location", "FTPImages", QString());
    if (s.ftpImages.isEmpty())
        s.ftpImages = s.images;
    s.imagemapEditor = str(d, "Helpers", "Imagemap", QString());
    s.filesUseSelected = flag(d, "Files", "UseSel", false);
    s.colored = flag(d, "Tags", "Colored", false);
    s.wrap = flag(d, "Format", "Wrap", true);
    s.confirmRemove = flag(d, "Files", "Confirm", true);

    // OPTIONS.INI (the recent projects are read by their own list).
    s.browser1 = str(o, "Location", "Netscape", QString());
    s.browser2 = str(o, "Location", "MSIE", QString());
    s.htmlTemplate = str(o, "Location", "HTMLTemp", QString());
    s.showTips = flag(o, "Help", "ShowTips", true);
    s.backupType = o.readInteger(QStringLiteral("Backup"), QStringLiteral("Type"), 1);
    s.backupPromptFreq = o.readInteger(QStringLiteral("Backup"), QStringLiteral("PromptFreq"), 5);
    s.email = str(o, "Defaults", "EMAIL", defaultEmailAddress());
    for (size_t i = 0; i < tagColorKeys().size(); ++i)
        s.tagColors[i] = str(o, "Colors", tagColorKeys()[i], QStringLiteral("clRed"));

    s.spellConfigPath = programDirectory + QStringLiteral("spell/spell.cfg");
    s.spellConfigKey = QStringLiteral("default");
    return s;
}
