// The settings dialog's logic: the values it shows, the rules of its extension list and its
// spin box, and ApplySettings, which takes the values into the running program and writes them
// to htmlext.dat, OPTIONS.INI and DEFAULT.INI.
#pragma once

#include <QString>
#include <QStringList>
#include <array>

class AppState;

// Every field of the dialog, as the dialog shows it.
struct SettingsValues {
    // Files
    QStringList extensions; // in the list's (alphabetical) order
    QString defaultExt;
    QString htmlTemplate;
    QString imagePath;
    bool useDefaultFiles = false;
    QString defaultFilesFolder;
    bool confirmRemove = true;
    bool editProblem = false;
    bool lowerCaseTags = false;
    // Tag Options: the six colour names in the order of the Colors keys
    std::array<QString, 6> tagColors;
    bool strongTag = false;
    bool emTag = false;
    // Web Browsers (the two locations are written when chosen, not by Apply)
    QString browser1;
    QString browser2;
    QString previewOption; // "auto", "temp" or "nosave"
    bool hideMsieControl = false;
    // Helper Apps
    QString imageEditor;
    QString imagemapEditor;
    // Back Up
    int backupType = 1; // 0: no backup, 1: prompt
    int promptFreq = 5;
    // FTP
    bool ftpAuto = true;
    bool ftpFlush = true;
    // The page checks (before an upload, and Check Links)
    bool checkBeforeUpload = true;
    int pageSizeLimit = 100; // KB; 0: no limit
    bool tidyWarnings = false;
};

namespace SettingsRules {
constexpr int SpinMinimum = 1;
constexpr int SpinMaximum = 30; // what the spin control offers
constexpr int PromptFreqMinimum = 1;
constexpr int PromptFreqMaximum = 15; // what it keeps
constexpr int PageSizeLimitMaximum = 99999; // KB
} // namespace SettingsRules

// The values in effect: the extension list from htmlext.dat (every line, sorted) or the five
// defaults, everything else from the in-memory settings.
SettingsValues currentSettingsValues(AppState& state);

// htmlext.dat as the dialog lists it: every extension of the file, without dots, sorted.
QStringList extensionListOf(const QString& htmlextPath);

enum class AddExtension { Added, ListFull, Empty, AlreadyListed };
// "&Add": the text without a leading "." goes into the list at its alphabetical place. A list of
// 15 takes no more; an empty text is refused; an extension already listed is not listed twice.
AddExtension addExtension(QStringList& list, const QString& typed);
QString extensionListFullText();
QString enterExtensionText();

// The spin box keeps 1 to 15 (it offers 1 to 30).
int clampPromptFreq(int value);
// The default extension as stored: without a leading ".", "html" when empty.
QString normalizedDefaultExt(const QString& typed);
// The Files-tab, image and helper browse dialogs' file types.
QString browseFilter();

// Takes the values into the running program and writes them, in this order: htmlext.dat; the
// mask and the filters; the preview mode and its letter; the in-memory values; the default
// extension; the Files-tab folder rule (its two keys written only when a folder is set);
// OPTIONS.INI; DEFAULT.INI. Returns the paths that could not be written (empty when all were).
QStringList ApplySettings(AppState& state, const SettingsValues& values);
// What Apply tells when files were not written: a settings file that is not text was left alone
// on purpose; the others could not be written.
QString cannotWriteSettingsText(const QStringList& paths);
QString notTextSettingsFileText(const QString& path);
