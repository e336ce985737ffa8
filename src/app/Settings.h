// Settings: the values of DEFAULT.INI and OPTIONS.INI read once at start-up.
//
// Each setting is written to its file when it changes; these in-memory copies are what the
// commands consult in between.
#pragma once

#include <QString>
#include <array>

class IniFile;

struct Settings {
    // DEFAULT.INI
    QString lastHtmlDirectory;     // Start/Location
    QString filesLocation;         // Files/Location: folder shown on the Files tab
    QString filesSelected;         // Files/Selected
    QString relImage;              // Location/RelImage
    bool msieControl = true;       // HTML/MSIEControl
    bool strongTag = false;        // TAGS/STRONG
    bool ftpAuto = true;           // HTML/FTPAUTO
    bool ftpFlush = true;          // HTML/FTPFLUSH
    bool emTag = false;            // TAGS/EM
    bool editProblem = false;      // Fix/EditProblem
    QString previewOption;         // Location/PreviewOption
    QString previewModeLabel;      // "T", "S" (auto) or "N" (nosave)
    QString ext;                   // HTML/Ext
    bool useAnchor = false;        // Path/UseAnchor
    QString anchorPath;            // Path/AnchorPath
    QString imageEditor;           // Helpers/Editor
    QString images;                // Location/Images
    QString ftpImages;             // Location/FTPImages (Images when empty)
    QString imagemapEditor;        // Helpers/Imagemap
    bool filesUseSelected = false; // Files/UseSel
    bool colored = false;          // Tags/Colored
    bool wrap = true;              // Format/Wrap
    bool confirmRemove = true;     // Files/Confirm
    bool lowerCaseTags = false;    // Tags/LowerCase: tags and attributes written in lower case
    QString imageFolder;           // Location/ImageFolder: where the Power image dialog listed
    bool checkBeforeUpload = true; // Check/BeforeUpload: the pages are checked before an upload
    int pageSizeLimit = 100;       // Check/SizeLimit: KB of a page with its images; 0: none
    bool tidyWarnings = false;     // Check/TidyWarnings: HTML Tidy's warnings, not only errors

    // OPTIONS.INI
    QString browser1;         // Location/Netscape
    QString browser2;         // Location/MSIE
    QString htmlTemplate;     // Location/HTMLTemp
    bool showTips = true;     // Help/ShowTips
    int backupType = 1;       // Backup/Type
    int backupPromptFreq = 5; // Backup/PromptFreq
    QString email;            // Defaults/EMAIL
    // Colors/DEFAULT, HREF, IMG, FONT, TABLE, LIST
    std::array<QString, 6> tagColors;

    // Where the spell checker finds its configuration, and the key it reads.
    QString spellConfigPath;
    QString spellConfigKey;
};

// A folder as the program stores it: with a trailing "/" (an empty text stays empty).
QString folderWithSeparator(const QString& folder);
// The address the mail-to dialog offers until the user sets one.
QString defaultEmailAddress();
// The one-letter preview mode shown in the status area.
QString previewModeLabel(const QString& previewOption);

// Reads every key of both files in the program's order, each with its default (the rows of
// app/SettingsTable.h; changes are written through its SettingsStore).
// homeDirectory stands in for the drive root the Files tab used to start in.
Settings loadSettings(const IniFile& defaultIni, const IniFile& optionsIni,
                      const QString& programDirectory, const QString& homeDirectory);
