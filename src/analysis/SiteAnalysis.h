// SiteAnalysis: the logic of the "Web Page Analysis" screen.
//
// The screen's three pages share one project (its outline and page list, copied from the main
// window or read from "projects/"), one SelectedPage and one ImageFolder. "Site Analysis" sizes a
// page or every page with its images and estimates the download time at 28.8 and 14.4 kbit/s,
// as a text report and a summary grid; "Link / Image Lists" lists the href links and images of a
// page or of the site; "Show Me Where..." finds the pages that hold a text. Files are read from
// disk (the saved pages, not the editor). Long passes let the window run between files through
// the UiPump and end at StopRequest. The window follows the signals.
#pragma once

#include "platform/LongPassView.h"
#include "platform/PrintLayout.h"
#include "platform/TextFile.h"
#include "project/SiteOutline.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTime>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class FileChooser;
class Printer;
class Prompter;
class SettingsStore;
class UiPump;
struct Settings;

struct SelectedPage {
    QString title;
    QString file;
};

// A project offered in the project boxes: shown upper-cased, opened by its real name.
struct AnalysisProject {
    QString shown;
    QString fileName;
};

enum class ListingChoice { HrefLinks, Images, Both };
enum class AnalysisTab { Site = 0, Listing = 1, Search = 2 };

// One row of the site summary grid, in the columns of gridHeadings().
using GridRow = std::array<QString, 6>;

struct AnalysisProgress {
    bool visible = false;
    int maximum = 0;
    int value = 0;
};

// What the screen starts from: the main window's project and selection.
struct AnalysisStart {
    QString projectFileName; // of the project open in the main window; empty: none
    SiteOutline outline;     // the main window's outline and page list
    int selectedItem = 0;    // the page selected there, from 1; 0: none
};

class SiteAnalysis : public QObject {
    Q_OBJECT
public:
    SiteAnalysis(QString programDirectory, Settings& settings, const SettingsStore& store,
                 Prompter& prompter, UiPump& pump, QObject* parent = nullptr);

    // The texts of the screen.
    static QStringList gridHeadings();
    static QString equalsLine(int count);
    static QString starLine();
    static QString errorLabelText();
    static QString couldNotOpenText(const QString& path);
    // The one message of a site pass that met several unreadable pages.
    static QString couldNotOpenPagesText(const QStringList& paths);
    static QString noPageSelectedText();
    static QString preparedNoticeText();
    static QString browseImageFolderText();
    static QString emptySearchText();
    static QString nothingToPrintText();
    static QString searchSiteLabel(const QString& projectName);
    static QString initialSearchText();

    // The arithmetic of the grid: whole kilobytes of 1000 bytes, and seconds at 3.7 and 1.9
    // kilobytes a second, each cut towards zero.
    static qint64 kilobytes(qint64 bytes) { return bytes / 1000; }
    static qint64 seconds288(qint64 totalKb);
    static qint64 seconds144(qint64 totalKb);
    // The ImageFolder field's rule: a "/" is added when the text does not end with one; an empty
    // field stays empty (no image folder rather than the file system's root).
    static QString imageFolderFromField(const QString& text);

    // The "*.out" files of projectsFolder, as the boxes list them.
    static std::vector<AnalysisProject> listProjects(const QString& projectsFolder);

    // Opening: the boxes, the image folder, the main window's project and its selected page.
    void open(const AnalysisStart& start);
    // "Analyze Web Page" of the file list: the page to analyse is that file.
    void preselectFile(const QString& folder, const QString& fileName);

    const std::vector<AnalysisProject>& projects() const { return m_projects; }
    int projectIndex() const { return m_projectIndex; } // -1: none chosen
    QString projectName() const { return m_projectName; }
    bool searchEnabled() const { return m_searchEnabled; }
    QString searchLabel() const { return m_searchLabel; }
    const SiteOutline& outline() const { return m_outline; }
    const SelectedPage& selectedPage() const { return m_selected; }
    int selectedItem() const { return m_selectedItem; }

    // A project box: both outlines and the page list from "projects/", the first page selected.
    void chooseProject(int index);
    // A click in either outline: item n (from 1) becomes SelectedPage.
    void clickItem(int item);

    QString imageFolder() const { return m_imageFolder; }
    // Every change of the field sets ImageFolder and the setting in memory.
    void imageFolderEdited(const QString& text);
    // Leaving the field: the same; gives what the field shows then.
    QString imageFolderLeft(const QString& text);
    // The browse button: its message, a file chooser; the chosen file's folder for the field.
    std::optional<QString> browseImageFolder(FileChooser& chooser);
    // Closing the screen: ImageFolder is written to DEFAULT.INI.
    void close();

    void requestStop() { m_stopRequest = true; }
    bool stopRequested() const { return m_stopRequest; }
    // A change of the screen's page ends the listing's site mode.
    void pageChanged() { m_siteMode = false; }

    // "Site Analysis".
    void analyzePage();
    void analyzeSite();
    void clearGrid();
    const QStringList& report() const { return m_report; }
    const std::vector<GridRow>& grid() const { return m_grid; }
    int rowCounter() const { return static_cast<int>(m_grid.size()) - 1; }
    bool errorLabelVisible() const { return m_errorLabel; }

    // "Link / Image Lists".
    void listPage(ListingChoice choice);
    void listSite(ListingChoice choice);
    bool siteMode() const { return m_siteMode; }
    const QStringList& listing() const { return m_listing; }
    const QString& listingStatus() const { return m_listingStatus; }

    // "Show Me Where...".
    void findPages(const QString& text, bool fileNameOnly);
    const QStringList& searchResult() const { return m_search; }
    const QString& searchStatus() const { return m_searchStatus; }
    // The time of day the report is stamped with (tests fix it).
    void setClock(std::function<QTime()> clock) { m_clock = std::move(clock); }

    AnalysisProgress progress(AnalysisTab tab) const { return m_progress[static_cast<int>(tab)]; }
    // What shows a tab's passes: its bar, and its status line (the listing's and the search's;
    // the site page has none). Null: nothing shows them.
    void setPassView(AnalysisTab tab, LongPassView* view) { m_views[static_cast<int>(tab)] = view; }
    // How many image files the last pass asked the file system about.
    int imageLookups() const { return m_imageLookups; }

    // Printing: "Nothing to print." for an empty list or grid, else the print dialog and the job.
    void printReport(Printer& printer);
    void printListing(Printer& printer);
    void printSearchResult(Printer& printer);
    void printGrid(Printer& printer);
    // The grid as printed: the headings and their rule on every page, the rows below them, a new
    // page after row 40, 80, 120 ...
    static std::vector<PrintPage> gridPages(const std::vector<GridRow>& rows);

signals:
    void projectsChanged();
    void projectChosen(int index);
    void outlineChanged();
    void selectionChanged(int item);
    void searchEnabledChanged(bool enabled);
    void searchLabelChanged(const QString& text);
    void reportChanged();
    void gridChanged();
    void errorLabelChanged(bool visible);
    void listingChanged();
    void searchResultChanged();

private:
    // A page read as lines, or as one text for the passes that only look for image names.
    enum class PageForm { Lines, Text };
    struct PageText {
        bool ok = false;
        QStringList lines; // PageForm::Lines
        QString text;      // PageForm::Text, with its line ends as read
        qint64 size = 0;
    };
    static PageText readPage(const QString& path, PageForm form = PageForm::Lines);
    void selectItem(int item);
    // Whether a page is chosen to work on; if not, the message that says so.
    bool pageChosen();
    void setProject(const QString& name);
    void setProgress(AnalysisTab tab, AnalysisProgress progress);
    void setErrorLabel(bool visible);
    void setListingStatus(const QString& text);
    void setSearchStatus(const QString& text);
    // Sorts case-insensitively (exact spelling breaking ties) and drops adjacent repeats from the
    // end towards the start, letting the window run; false when stopped.
    bool sortUnique(QStringList& names);
    // "Analyze Page" (site false) or "Analyze Site" on the listing page.
    void makeListing(ListingChoice choice, bool site);
    // Analyses SelectedPage: report lines and a grid row.
    void analyseSelectedPage(bool single);
    // The pages of the outline in turn, each selected and handed to step, with the tab's bar
    // following and the window let run before each; a stop hides the bar, shows abortedText (if
    // any) in the tab's status and gives false.
    template <typename Step>
    bool forEachPage(AnalysisTab tab, const QString& abortedText, Step step);

    // An image named during a pass: its lower-cased name, and once asked for, its size in
    // ImageFolder (-1: cannot be read) with the report line that shows it.
    struct ImageRecord {
        QString name;
        // The first eight characters of the name folded to lower case, big end first, when they
        // are ASCII: two names whose keys differ sort by them alone.
        quint64 sortKey = 0;
        bool keyed = false;
        qint64 size = -1;
        int sizedFor = -1; // the folder generation the size and line belong to; -1: not asked
        QString line;
    };
    void startImagePass();
    int newImageRecord(const QString& name);
    int asciiImageRecord(std::string_view bytes, const QString* name);
    // Closes the folders a pass held open.
    void endImagePass();
    void openImageFolder();
    // A page of a site pass, read relative to its folder, which stays open for the next pages.
    FileBytesResult readSitePage(const QString& path);
    int imageRecord(const QString& name);
    int imageRecordOfBytes(QByteArrayView ascii);
    void addPageImageNames(const QStringList& names);
    void addPageImageBytes(const QByteArray& bytes);
    // The record with its size in the current ImageFolder; each name is asked once per folder.
    const ImageRecord& sizedImage(int id);
    void pumpIfDue();
    void addImageNames(const QString& path);
    bool linksListing();
    bool imagesListing();
    void printList(Printer& printer, const QStringList& lines, const QString& title);

    QString m_programDirectory;
    Settings& m_settings;
    const SettingsStore& m_store;
    Prompter& m_prompter;
    UiPump& m_pump;
    std::function<QTime()> m_clock;

    std::vector<AnalysisProject> m_projects;
    int m_projectIndex = -1;
    QString m_projectName;
    bool m_searchEnabled = false;
    QString m_searchLabel;
    SiteOutline m_outline;
    SelectedPage m_selected;
    int m_selectedItem = 0;
    QString m_imageFolder;

    bool m_stopRequest = false;
    bool m_siteMode = false;
    QStringList m_images;
    // The images of one pass, each name once however many pages name it or however they spell
    // it, so that its size is asked for and its report line made once per folder.
    std::vector<ImageRecord> m_imageRecords;
    // The ASCII names (nearly all of them) by their bytes: a table of open addressing over
    // m_asciiNames, a power of two of slots, at most half of them used (-1: free).
    struct AsciiName {
        std::string bytes;
        quint64 hash = 0;
        int image = 0;
    };
    std::vector<AsciiName> m_asciiNames;
    std::vector<int> m_asciiNameSlots;
    std::string m_loweredName;
    QHash<QString, int> m_otherImageNames;
    std::vector<int> m_pageImages; // the page's names as records, repeats included
    std::vector<QByteArrayView> m_nameBytes;
    QString m_imageSizesFolder;
    // The image folder's path up to its last "/", held open, and the rest of it, which starts
    // every name looked up there.
    std::unique_ptr<OpenFolder> m_imageDir;
    QString m_imageNamePrefix;
    std::vector<std::unique_ptr<OpenFolder>> m_pageFolders; // the latest first
    int m_imageFolderGeneration = 0;
    int m_imageLookups = 0;

    QStringList m_report;
    QStringList m_unreadable; // the pages of the site pass that could not be read
    std::vector<GridRow> m_grid;
    bool m_errorLabel = false;
    QStringList m_listing;
    QString m_listingStatus;
    QStringList m_search;
    QString m_searchStatus;
    std::array<AnalysisProgress, 3> m_progress{};
    std::array<LongPassView*, 3> m_views{};
};
