// SiteAnalysis: page and site analysis, the listings and the text search.
#include "analysis/SiteAnalysis.h"

#include "analysis/HrefLinks.h"
#include "app/ChangedList.h"
#include "app/Settings.h"
#include "app/SettingsTable.h"
#include "platform/FileChooser.h"
#include "platform/Printer.h"
#include "platform/Prompter.h"
#include "platform/TextFile.h"
#include "platform/UiPump.h"
#include "project/ProjectFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStringBuilder>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>

namespace {

QString joinFolder(const QString& folder, const QString& name) {
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('/')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}

QString fileNameOf(const QString& path) {
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

// The lines of a page as the program reads text: each CR LF, lone LF and lone CR ends a line; the
// empty piece after a final line end is not a line. One pass, without the CR LF copy in between.
QStringList splitLines(const QString& text) {
    QStringList lines;
    const qsizetype n = text.size();
    const QChar* data = text.constData();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = data[i];
        if (c != u'\r' && c != u'\n')
            continue;
        lines << text.mid(start, i - start);
        if (c == u'\r' && i + 1 < n && data[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines << text.mid(start);
    return lines;
}

// QString::compare(a, b, Qt::CaseInsensitive), with the ASCII letters of the names and links that
// a site pass sorts by the thousand folded here and the rest left to Qt from the first other
// character on.
int compareNoCase(QStringView a, QStringView b) {
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        char16_t x = a[i].unicode();
        char16_t y = b[i].unicode();
        if (x > 0x7F || y > 0x7F)
            return QStringView(a.mid(i)).compare(b.mid(i), Qt::CaseInsensitive);
        if (x >= u'A' && x <= u'Z')
            x = char16_t(x + 32);
        if (y >= u'A' && y <= u'Z')
            y = char16_t(y + 32);
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// The order the names and links are sorted in: without regard to case, exact spelling breaking
// ties, so that equal texts end up side by side.
bool sortsBefore(const QString& a, const QString& b) {
    const int c = compareNoCase(a, b);
    return c != 0 ? c < 0 : a < b;
}

// QString::toUpper, without its full case tables for the plain ASCII paths that are the rule.
QString upperCased(const QString& text) {
    QString out(text.size(), Qt::Uninitialized);
    const QChar* from = text.constData();
    QChar* to = out.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = from[i].unicode();
        if (c > 0x7F)
            return text.toUpper();
        to[i] = QChar(c >= u'a' && c <= u'z' ? char16_t(c - 32) : c);
    }
    return out;
}

bool isAscii(QByteArrayView bytes) {
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) > 0x7F)
            return false;
    return true;
}

// The project name without its last four characters (".out").
QString withoutExtension(const QString& name) {
    return name.size() >= 4 ? name.left(name.size() - 4) : QString();
}

} // namespace

SiteAnalysis::SiteAnalysis(QString programDirectory, Settings& settings, const SettingsStore& store,
                           Prompter& prompter, UiPump& pump, QObject* parent)
    : QObject(parent), m_programDirectory(std::move(programDirectory)), m_settings(settings),
      m_store(store), m_prompter(prompter), m_pump(pump),
      m_clock([] { return QTime::currentTime(); }) {
    m_listingStatus = QStringLiteral("Status:");
    m_searchStatus = QStringLiteral("Status:");
}

QStringList SiteAnalysis::gridHeadings() {
    return {QStringLiteral("Page"),
            QStringLiteral("File Size"),
            QStringLiteral("Unique Images"),
            QStringLiteral("Total Image KB"),
            QStringLiteral("Est. Load Time @ 28.8"),
            QStringLiteral("Est. Load Time @ 14.4")};
}
QString SiteAnalysis::equalsLine(int count) {
    return QString(count, QLatin1Char('='));
}
QString SiteAnalysis::starLine() {
    return QStringLiteral(" *").repeated(36);
}
QString SiteAnalysis::errorLabelText() {
    return QStringLiteral("*  = see Page Summary for error details");
}
QString SiteAnalysis::couldNotOpenText(const QString& path) {
    return QStringLiteral("Could not open file \"%1\".").arg(fileNameOf(path));
}
QString SiteAnalysis::couldNotOpenPagesText(const QStringList& paths) {
    // A site whose folder moved has every page unreadable: a few names say which, the Page
    // Summary has them all.
    constexpr qsizetype named = 5;
    QStringList names;
    for (qsizetype i = 0; i < std::min(named, paths.size()); ++i)
        names << QLatin1Char('"') + fileNameOf(paths[i]) + QLatin1Char('"');
    QString list = names.join(QStringLiteral(", "));
    if (paths.size() > named)
        list += QStringLiteral(" and %1 more").arg(paths.size() - named);
    return QStringLiteral("Could not open %1 of the site's pages: %2. The Page Summary lists each "
                          "of them.")
        .arg(paths.size())
        .arg(list);
}
QString SiteAnalysis::noPageSelectedText() {
    return QStringLiteral("You have not selected a web page to analyze.");
}
QString SiteAnalysis::preparedNoticeText() {
    return QStringLiteral(
        "The page you selected has already been loaded and prepared for analysis. Just click the "
        "ANALYZE PAGE button on either screen to view the analysis data for the page.");
}
QString SiteAnalysis::browseImageFolderText() {
    return QStringLiteral(
        "In the next dialog box, go to the directory where you store the images used in your HTML "
        "files and select any file in that directory. Then click the OPEN button. That will "
        "return the proper directory location.");
}
QString SiteAnalysis::emptySearchText() {
    return QStringLiteral("You must enter some text to search for. Please try again.");
}
QString SiteAnalysis::nothingToPrintText() {
    return QStringLiteral("Nothing to print.");
}
QString SiteAnalysis::searchSiteLabel(const QString& projectName) {
    return QStringLiteral("Site to search:  ") + withoutExtension(projectName).toUpper();
}
QString SiteAnalysis::initialSearchText() {
    return QStringLiteral("Enter text to search for here....");
}

qint64 SiteAnalysis::seconds288(qint64 totalKb) {
    return static_cast<qint64>(std::trunc(static_cast<double>(totalKb) * 0.27027027027027027));
}
qint64 SiteAnalysis::seconds144(qint64 totalKb) {
    return static_cast<qint64>(std::trunc(static_cast<double>(totalKb) * 0.52631578947368421));
}

QString SiteAnalysis::imageFolderFromField(const QString& text) {
    if (text.isEmpty() || text.endsWith(QLatin1Char('/')))
        return text;
    return text + QLatin1Char('/');
}

std::vector<AnalysisProject> SiteAnalysis::listProjects(const QString& projectsFolder) {
    std::vector<AnalysisProject> list;
    const QFileInfoList files =
        QDir(projectsFolder)
            .entryInfoList({QStringLiteral("*.out")}, QDir::Files | QDir::Readable, QDir::Name);
    for (const QFileInfo& f : files)
        list.push_back({f.fileName().toUpper(), f.fileName()});
    return list;
}

void SiteAnalysis::open(const AnalysisStart& start) {
    m_projects = listProjects(m_programDirectory + QStringLiteral("projects/"));
    emit projectsChanged();
    m_imageFolder = m_settings.images;
    for (size_t i = 0; i < m_projects.size(); ++i) {
        if (!start.projectFileName.isEmpty() &&
            m_projects[i].fileName.compare(start.projectFileName, Qt::CaseInsensitive) == 0) {
            m_projectIndex = static_cast<int>(i);
            setProject(m_projects[i].fileName);
            emit projectChosen(m_projectIndex);
            break;
        }
    }
    if (m_projectIndex < 0 && !start.projectFileName.isEmpty())
        m_projectName = start.projectFileName;
    m_outline = start.outline;
    emit outlineChanged();
    if (start.selectedItem >= 1 && start.selectedItem <= m_outline.count())
        selectItem(start.selectedItem);
}

void SiteAnalysis::preselectFile(const QString& folder, const QString& fileName) {
    // The title names the file: the page selected in the outline may be another one.
    m_selected = {fileName, joinFolder(folder, fileName)};
    m_selectedItem = 0;
    emit selectionChanged(0);
}

void SiteAnalysis::setProject(const QString& name) {
    m_projectName = name;
    m_searchLabel = searchSiteLabel(name);
    emit searchLabelChanged(m_searchLabel);
    if (!m_searchEnabled) {
        m_searchEnabled = true;
        emit searchEnabledChanged(true);
    }
}

void SiteAnalysis::chooseProject(int index) {
    if (index < 0 || index >= static_cast<int>(m_projects.size()))
        return;
    m_projectIndex = index;
    const QString name = m_projects[static_cast<size_t>(index)].fileName;
    const QString outlinePath = m_programDirectory + QStringLiteral("projects/") + name;
    // Each file on its own: an unreadable one leaves its part empty.
    std::vector<ProjectPage> pages;
    const TextReadResult outlineText = readTextFile(outlinePath);
    if (outlineText.ok) {
        OutlineParse parsed = parseOutlineText(outlineText.text);
        if (parsed.ok)
            pages = std::move(parsed.pages);
    }
    const TextReadResult links = readTextFile(linkFileName(outlinePath));
    attachLinks(pages, links.ok ? parseLinkText(links.text) : QStringList());
    m_outline.assign(std::move(pages));
    emit outlineChanged();
    emit projectChosen(index);
    setProject(name);
    m_selected = {};
    m_selectedItem = 0;
    if (!m_outline.isEmpty())
        selectItem(1);
    else
        emit selectionChanged(0);
    m_report.clear();
    emit reportChanged();
}

void SiteAnalysis::selectItem(int item) {
    m_selectedItem = item;
    const ProjectPage& p = m_outline.page(item);
    m_selected = {p.title, p.link};
    emit selectionChanged(item);
}

void SiteAnalysis::clickItem(int item) {
    if (item >= 1 && item <= m_outline.count())
        selectItem(item);
}

void SiteAnalysis::imageFolderEdited(const QString& text) {
    m_imageFolder = imageFolderFromField(text);
    m_settings.images = m_imageFolder;
}

QString SiteAnalysis::imageFolderLeft(const QString& text) {
    imageFolderEdited(text);
    return m_imageFolder;
}

std::optional<QString> SiteAnalysis::browseImageFolder(FileChooser& chooser) {
    m_prompter.inform(browseImageFolderText());
    FileDialogRequest r;
    r.title = QStringLiteral("Open");
    r.filter = QStringLiteral("*.*|*");
    r.initialDirectory = m_imageFolder;
    const std::optional<QString> chosen = chooser.openFile(r);
    if (!chosen)
        return std::nullopt;
    // The folder keeps its case: a lower-cased path would name no folder here.
    const QString folder = QFileInfo(*chosen).absolutePath();
    imageFolderEdited(folder);
    return folder;
}

void SiteAnalysis::close() {
    m_store.set(m_settings, &Settings::images, m_imageFolder);
}

void SiteAnalysis::setProgress(AnalysisTab tab, AnalysisProgress progress) {
    const AnalysisProgress was = std::exchange(m_progress[static_cast<int>(tab)], progress);
    LongPassView* view = m_views[static_cast<int>(tab)];
    if (!view)
        return;
    if (!progress.visible) {
        if (was.visible)
            view->runEnded();
        return;
    }
    if (!was.visible || was.maximum != progress.maximum)
        view->runStarted(progress.maximum);
    if (progress.value != 0)
        view->fileStarted(progress.value);
}

void SiteAnalysis::setErrorLabel(bool visible) {
    if (m_errorLabel == visible)
        return;
    m_errorLabel = visible;
    emit errorLabelChanged(visible);
}

void SiteAnalysis::setListingStatus(const QString& text) {
    m_listingStatus = text;
    if (LongPassView* view = m_views[static_cast<int>(AnalysisTab::Listing)])
        view->setStatus(text);
}

void SiteAnalysis::setSearchStatus(const QString& text) {
    m_searchStatus = text;
    if (LongPassView* view = m_views[static_cast<int>(AnalysisTab::Search)])
        view->setStatus(text);
}

SiteAnalysis::PageText SiteAnalysis::readPage(const QString& path, PageForm form) {
    PageText t;
    if (path.isEmpty())
        return t;
    const FileBytesResult bytes = readFileBytes(path);
    if (!bytes.ok)
        return t;
    t.ok = true;
    t.size = bytes.bytes.size();
    if (form == PageForm::Lines)
        t.lines = splitLines(decodeText(bytes.bytes).text);
    else
        t.text = decodeText(bytes.bytes).text;
    return t;
}

void SiteAnalysis::pumpIfDue() {
    // The pump decides how often events run (every few milliseconds in the window, every time in
    // tests); the stop request is still looked at on every line, file and name.
    if (m_pump.due())
        m_pump.pump();
}

bool SiteAnalysis::sortUnique(QStringList& names) {
    std::sort(names.begin(), names.end(), sortsBefore);
    for (qsizetype i = names.size() - 1; i > 0; --i) {
        pumpIfDue();
        if (m_stopRequest)
            return false;
        if (names[i] == names[i - 1])
            names.removeAt(i);
    }
    return true;
}

void SiteAnalysis::startImagePass() {
    m_imageRecords.clear();
    m_pageFolders.clear();
    m_otherImageNames.clear();
    m_asciiNames.clear();
    m_asciiNameSlots.clear();
    m_imageSizesFolder = m_imageFolder;
    ++m_imageFolderGeneration;
    m_imageDir.reset();
    m_imageLookups = 0;
}

void SiteAnalysis::endImagePass() {
    m_imageDir.reset();
    m_pageFolders.clear();
}

void SiteAnalysis::openImageFolder() {
    const qsizetype cut = m_imageFolder.lastIndexOf(QLatin1Char('/')) + 1;
    m_imageDir = std::make_unique<OpenFolder>(m_imageFolder.left(cut));
    m_imageNamePrefix = m_imageFolder.mid(cut);
}

FileBytesResult SiteAnalysis::readSitePage(const QString& path) {
    // The pages of a site sit in a few folders: the latest few stay open.
    static constexpr size_t keptFolders = 8;
    const qsizetype cut = path.lastIndexOf(QLatin1Char('/')) + 1;
    const QStringView folder = QStringView(path).first(cut);
    auto open = std::find_if(m_pageFolders.begin(), m_pageFolders.end(),
                             [folder](const auto& f) { return f->path() == folder; });
    if (open == m_pageFolders.end()) {
        if (m_pageFolders.size() >= keptFolders)
            m_pageFolders.pop_back();
        open = m_pageFolders.insert(m_pageFolders.begin(),
                                    std::make_unique<OpenFolder>(folder.toString()));
    }
    return (*open)->readFile(QStringView(path).sliced(cut).toLocal8Bit(), path);
}

int SiteAnalysis::newImageRecord(const QString& name) {
    ImageRecord record;
    record.name = name;
    record.keyed = true;
    for (qsizetype i = 0; i < 8; ++i) {
        const char16_t c = i < name.size() ? name[i].unicode() : 0;
        if (c > 0x7F) {
            record.keyed = false;
            break;
        }
        record.sortKey = record.sortKey << 8 | (c >= u'A' && c <= u'Z' ? c + 32 : c);
    }
    m_imageRecords.push_back(std::move(record));
    return static_cast<int>(m_imageRecords.size()) - 1;
}

int SiteAnalysis::imageRecord(const QString& name) {
    // An ASCII name and one with other characters are never the same name.
    if (std::all_of(name.cbegin(), name.cend(), [](QChar c) { return c.unicode() <= 0x7F; }))
        return asciiImageRecord(name.toLatin1().toStdString(), &name);
    const auto known = m_otherImageNames.constFind(name);
    if (known != m_otherImageNames.constEnd())
        return *known;
    const int id = newImageRecord(name);
    m_otherImageNames.insert(name, id);
    return id;
}

int SiteAnalysis::imageRecordOfBytes(QByteArrayView spelling) {
    // The spelling lower-cased as CollectImageNames would, into a buffer kept for the next one.
    m_loweredName.resize(static_cast<size_t>(spelling.size()));
    std::transform(spelling.begin(), spelling.end(), m_loweredName.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; });
    return asciiImageRecord(m_loweredName, nullptr);
}

int SiteAnalysis::asciiImageRecord(std::string_view bytes, const QString* name) {
    // FNV-1a, its high half folded in, as the slots are picked by the low bits.
    quint64 hash = 14695981039346656037ull;
    for (const char c : bytes)
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    hash ^= hash >> 32;
    if (m_asciiNameSlots.empty())
        m_asciiNameSlots.assign(4096, -1);
    size_t mask = m_asciiNameSlots.size() - 1;
    size_t slot = hash & mask;
    for (int at; (at = m_asciiNameSlots[slot]) >= 0; slot = (slot + 1) & mask) {
        const AsciiName& known = m_asciiNames[static_cast<size_t>(at)];
        if (known.hash == hash && known.bytes == bytes)
            return known.image;
    }
    const int id = newImageRecord(name ? *name : QString::fromLatin1(bytes.data(), bytes.size()));
    m_asciiNameSlots[slot] = static_cast<int>(m_asciiNames.size());
    m_asciiNames.push_back({std::string(bytes), hash, id});
    if (m_asciiNames.size() * 2 > m_asciiNameSlots.size()) {
        m_asciiNameSlots.assign(m_asciiNameSlots.size() * 2, -1);
        mask = m_asciiNameSlots.size() - 1;
        for (size_t i = 0; i < m_asciiNames.size(); ++i) {
            slot = m_asciiNames[i].hash & mask;
            while (m_asciiNameSlots[slot] >= 0)
                slot = (slot + 1) & mask;
            m_asciiNameSlots[slot] = static_cast<int>(i);
        }
    }
    return id;
}

void SiteAnalysis::addPageImageNames(const QStringList& names) {
    for (const QString& name : names) {
        m_pageImages.push_back(imageRecord(name));
        if (m_siteMode)
            m_images << name;
    }
}

void SiteAnalysis::addPageImageBytes(const QByteArray& bytes) {
    m_nameBytes.clear();
    CollectImageNameBytes(bytes, m_nameBytes);
    // A name with other than ASCII bytes is lower-cased as a character of the file's encoding,
    // which the whole file decides: such a page is decoded as text.
    for (const QByteArrayView name : m_nameBytes) {
        if (!isAscii(name)) {
            addPageImageNames(CollectImageNamesInText(decodeText(bytes).text));
            return;
        }
    }
    for (const QByteArrayView name : m_nameBytes) {
        const int id = imageRecordOfBytes(name);
        m_pageImages.push_back(id);
        if (m_siteMode)
            m_images << m_imageRecords[static_cast<size_t>(id)].name;
    }
}

const SiteAnalysis::ImageRecord& SiteAnalysis::sizedImage(int id) {
    // Every name is looked up in the one image folder, so within a folder the name stands for the
    // path. The folder's field stays editable during a pass: sizes met in another folder are
    // asked again.
    if (m_imageSizesFolder != m_imageFolder) {
        m_imageSizesFolder = m_imageFolder;
        ++m_imageFolderGeneration;
        m_imageDir.reset();
    }
    ImageRecord& image = m_imageRecords[static_cast<size_t>(id)];
    if (image.sizedFor == m_imageFolderGeneration)
        return image;
    if (!m_imageDir)
        openImageFolder();
    // One look at the file (links followed): the size of a regular file, else cannot be read.
    image.size =
        m_imageDir->isOpen()
            ? m_imageDir->regularFileSize(QFile::encodeName(m_imageNamePrefix + image.name))
            : regularFileSize(m_imageFolder + image.name);
    ++m_imageLookups;
    // Pages that name the image share the line.
    if (image.size >= 0)
        image.line = QString::number(kilobytes(image.size)) % QLatin1String("KB       ") %
                     m_imageFolder % image.name;
    else
        image.line = QLatin1String("**Cannot access file       ") % m_imageFolder % image.name;
    image.sizedFor = m_imageFolderGeneration;
    return image;
}

void SiteAnalysis::analyseSelectedPage(bool single) {
    const QString title = m_selected.title;
    const QString path = m_selected.file;
    // In the listing page's site mode the names gathered so far stay, and the page's are added.
    m_pageImages.clear();
    if (m_siteMode) {
        for (const QString& name : std::as_const(m_images))
            m_pageImages.push_back(imageRecord(name));
    } else {
        m_images.clear();
    }
    bool ok = false;
    qint64 pageSize = 0;
    if (single) {
        const PageText page = readPage(path, PageForm::Lines);
        ok = page.ok;
        pageSize = page.size;
        if (ok) {
            // One page: the listing page's bar follows the lines as they are read.
            const int lines = static_cast<int>(page.lines.size());
            setProgress(AnalysisTab::Listing, {true, lines, 0});
            for (int n = 0; n < lines; ++n) {
                addPageImageNames(CollectImageNames({page.lines[n]}));
                setProgress(AnalysisTab::Listing, {true, lines, n + 1});
                pumpIfDue();
            }
            setProgress(AnalysisTab::Listing, {});
        }
    } else if (!path.isEmpty()) {
        // A site pass looks for the names in the bytes as read: no decoded copy of each page.
        const FileBytesResult file = readSitePage(path);
        ok = file.ok;
        pageSize = file.bytes.size();
        if (ok)
            addPageImageBytes(file.bytes);
    }
    if (!ok) {
        // A site pass tells of its unreadable pages once, at its end.
        if (single)
            m_prompter.inform(couldNotOpenText(path));
        else
            m_unreadable << path;
        m_report << QStringLiteral("Error For Page: ") + title << equalsLine(35)
                 << QStringLiteral(
                        "Could not open this HTML file. Has it been moved, renamed, or deleted?")
                 << QStringLiteral(" ");
        emit reportChanged();
        m_grid.push_back({title, QStringLiteral("ERROR"), QString(), QString(),
                          QStringLiteral("Cannot access file."), QString()});
        emit gridChanged();
        return;
    }
    // The repeats are dropped from the end towards the start, the window running at each name;
    // stopped there, the page gets no row rather than one that counts an image twice. Each
    // record is one name, so the page's distinct records in name order are what that gives.
    for (size_t i = m_pageImages.size(); i > 1; --i) {
        pumpIfDue();
        if (m_stopRequest)
            return;
    }
    std::sort(m_pageImages.begin(), m_pageImages.end());
    m_pageImages.erase(std::unique(m_pageImages.begin(), m_pageImages.end()), m_pageImages.end());
    std::sort(m_pageImages.begin(), m_pageImages.end(), [this](int a, int b) {
        const ImageRecord& x = m_imageRecords[static_cast<size_t>(a)];
        const ImageRecord& y = m_imageRecords[static_cast<size_t>(b)];
        // Keys that differ differ in an ASCII character before any other, or in length, which
        // is where the full comparison would decide too.
        if (x.keyed && y.keyed && x.sortKey != y.sortKey)
            return x.sortKey < y.sortKey;
        return sortsBefore(x.name, y.name);
    });

    m_report << QStringLiteral("Data For Page: ") % title
             << QStringLiteral("HTML File Location:  ") % upperCased(path) << equalsLine(35)
             << QStringLiteral("Embedded Images.....");
    static const QString makeSure =
        QStringLiteral("    Make sure file exists and is in the image directory above.");
    bool error = false;
    qint64 imageKb = 0;
    for (const int id : m_pageImages) {
        const ImageRecord& image = sizedImage(id);
        m_report << image.line;
        if (image.size >= 0) {
            imageKb += kilobytes(image.size);
        } else {
            m_report << makeSure;
            error = true;
        }
    }
    const qint64 htmlKb = kilobytes(pageSize);
    const qint64 total = imageKb + htmlKb;
    const QString count = QString::number(m_pageImages.size());
    const QString imageKbText = QString::number(imageKb) % QLatin1String("KB");
    const QString htmlKbText = QString::number(htmlKb) % QLatin1String("KB");
    static const QString stars = starLine();
    m_report << stars
             << QLatin1String("Unique Images: ") % count %
                    QLatin1String("   Total File Size of Images: ") % imageKbText
             << QLatin1String("HTML File Size: ") % htmlKbText %
                    QLatin1String("   Total Files to Load: ") % QString::number(total) %
                    QLatin1String("KB")
             << stars << QStringLiteral(" ");
    emit reportChanged();
    if (error)
        setErrorLabel(true);
    m_grid.push_back({title, htmlKbText, count,
                      error ? QString(QLatin1String("**") % imageKbText) : imageKbText,
                      QString::number(seconds288(total)) % QLatin1String(" sec"),
                      QString::number(seconds144(total)) % QLatin1String(" sec")});
    emit gridChanged();
}

template <typename Step>
bool SiteAnalysis::forEachPage(AnalysisTab tab, const QString& abortedText, Step step) {
    const int count = m_outline.count();
    setProgress(tab, {true, count, 0});
    for (int i = 1; i <= count; ++i) {
        pumpIfDue();
        if (m_stopRequest) {
            setProgress(tab, {});
            if (abortedText.isEmpty())
                return false;
            if (tab == AnalysisTab::Search)
                setSearchStatus(abortedText);
            else
                setListingStatus(abortedText);
            return false;
        }
        setProgress(tab, {true, count, i});
        selectItem(i);
        step();
    }
    setProgress(tab, {});
    return true;
}

bool SiteAnalysis::pageChosen() {
    if (!m_selected.title.isEmpty() || !m_selected.file.isEmpty())
        return true;
    m_prompter.inform(noPageSelectedText());
    return false;
}

void SiteAnalysis::analyzePage() {
    if (!pageChosen())
        return;
    // A stop pressed during an earlier pass must not end this one at once.
    m_stopRequest = false;
    startImagePass();
    m_report.clear();
    emit reportChanged();
    analyseSelectedPage(true);
    endImagePass();
}

void SiteAnalysis::analyzeSite() {
    m_stopRequest = false;
    startImagePass();
    m_report.clear();
    emit reportChanged();
    m_grid.clear();
    emit gridChanged();
    setErrorLabel(false);
    m_unreadable.clear();
    forEachPage(AnalysisTab::Site, QString(), [this] { analyseSelectedPage(false); });
    endImagePass();
    setProgress(AnalysisTab::Listing, {});
    if (m_unreadable.size() == 1)
        m_prompter.inform(couldNotOpenText(m_unreadable.first()));
    else if (!m_unreadable.isEmpty())
        m_prompter.inform(couldNotOpenPagesText(m_unreadable));
    m_unreadable.clear();
}

void SiteAnalysis::clearGrid() {
    m_grid.clear();
    emit gridChanged();
}

void SiteAnalysis::addImageNames(const QString& path) {
    const PageText page = readPage(path, PageForm::Text);
    if (page.ok)
        m_images << CollectImageNamesInText(page.text);
}

bool SiteAnalysis::linksListing() {
    setListingStatus(QStringLiteral("Extracting Links..."));
    QStringList links;
    if (m_siteMode) {
        if (!forEachPage(AnalysisTab::Listing, QStringLiteral("Status: Aborted."),
                         [&] { links << CollectHrefLinks(readPage(m_selected.file).lines); }))
            return false;
    } else {
        links = CollectHrefLinks(readPage(m_selected.file).lines);
    }
    setListingStatus(QStringLiteral("Sorting..."));
    if (!sortUnique(links)) {
        setListingStatus(QStringLiteral("Status: Aborted."));
        return false;
    }
    m_listing << QStringLiteral("URL Link report for page: ") + m_selected.title
              << QStringLiteral("HTML File Location:  ") + m_selected.file.toUpper()
              << QStringLiteral("The following HREF links have been found on this page:")
              << equalsLine(54) << links;
    emit listingChanged();
    setListingStatus(QStringLiteral("Status:"));
    return true;
}

bool SiteAnalysis::imagesListing() {
    setListingStatus(QStringLiteral("Scanning for Images..."));
    m_images.clear();
    if (m_siteMode) {
        if (!forEachPage(AnalysisTab::Listing, QStringLiteral("Status: Search Aborted."),
                         [this] { addImageNames(m_selected.file); }))
            return false;
        m_listing << QStringLiteral("Image File Report For Site: ") + m_projectName.toUpper()
                  << QStringLiteral("These are the images included on the pages within this site:");
    } else {
        addImageNames(m_selected.file);
        m_listing << QStringLiteral("Image File Report For Page: ") + m_selected.title
                  << QStringLiteral("HTML File Location:  ") + m_selected.file.toUpper()
                  << QStringLiteral("These are the images included on this web page:");
    }
    m_listing << equalsLine(35);
    emit listingChanged();
    setListingStatus(QStringLiteral("Sorting:"));
    QStringList unique = m_images;
    if (!sortUnique(unique))
        return false;
    for (const QString& name : unique)
        m_listing << m_imageFolder + name;
    m_listing << QStringLiteral(" ");
    emit listingChanged();
    setListingStatus(QStringLiteral("Status:"));
    return true;
}

void SiteAnalysis::listPage(ListingChoice choice) {
    if (pageChosen())
        makeListing(choice, false);
}

void SiteAnalysis::listSite(ListingChoice choice) {
    makeListing(choice, true);
}

void SiteAnalysis::makeListing(ListingChoice choice, bool site) {
    // A listing of its own each time, and a stop pressed before does not end it at once.
    m_siteMode = site;
    m_stopRequest = false;
    m_listing.clear();
    emit listingChanged();
    if (choice == ListingChoice::Images) {
        imagesListing();
        return;
    }
    if (!linksListing() || choice == ListingChoice::HrefLinks)
        return;
    m_listing << QStringLiteral("  ") << equalsLine(48) << QStringLiteral("  ")
              << QStringLiteral("  ");
    imagesListing();
}

void SiteAnalysis::findPages(const QString& text, bool fileNameOnly) {
    if (text.isEmpty()) {
        m_prompter.inform(emptySearchText());
        return;
    }
    m_stopRequest = false;
    m_search.clear();
    m_search << QStringLiteral("Report generated by Quillon Pro:  ") +
                    QLocale().toString(m_clock(), QLocale::ShortFormat)
             << QStringLiteral(" ")
             << QStringLiteral("SHOW ME WHERE report for Project: ") +
                    withoutExtension(m_projectName).toUpper()
             << QStringLiteral("Search for Text: ") + text
             << QStringLiteral("This text was found on the following pages:") << equalsLine(54);
    emit searchResultChanged();
    setSearchStatus(QStringLiteral("Finding text..."));
    const QString wanted = text.toLower();
    const bool finished =
        forEachPage(AnalysisTab::Search, QStringLiteral("Status: Search Aborted."), [&] {
            const PageText page = readPage(m_selected.file);
            QString hits;
            for (qsizetype n = 0; n < page.lines.size(); ++n) {
                if (!page.lines[n].toLower().contains(wanted))
                    continue;
                hits += (hits.isEmpty() ? QStringLiteral("Line#") : QStringLiteral(", #")) +
                        QString::number(n);
            }
            if (hits.isEmpty())
                return;
            const QString shown = fileNameOnly ? fileNameOf(m_selected.file) : m_selected.file;
            m_search << QStringLiteral("HTML File:  ") + shown.toUpper() + QStringLiteral("   ") +
                            hits;
            emit searchResultChanged();
        });
    if (finished)
        setSearchStatus(QStringLiteral("Status: Finished."));
}

void SiteAnalysis::printList(Printer& printer, const QStringList& lines, const QString& title) {
    if (lines.isEmpty()) {
        m_prompter.inform(nothingToPrintText());
        return;
    }
    if (!printer.choosePrinter(title))
        return;
    // A printer error ends the job; there is nothing the screen can add to it.
    printer.printLines(title, lines, std::nullopt);
}

void SiteAnalysis::printReport(Printer& printer) {
    printList(printer, m_report, QStringLiteral("Page Summary"));
}
void SiteAnalysis::printListing(Printer& printer) {
    printList(printer, m_listing, QStringLiteral("Link / Image Lists"));
}
void SiteAnalysis::printSearchResult(Printer& printer) {
    printList(printer, m_search, QStringLiteral("Show Me Where"));
}

void SiteAnalysis::printGrid(Printer& printer) {
    if (m_grid.empty()) {
        m_prompter.inform(nothingToPrintText());
        return;
    }
    const QString title = QStringLiteral("Site Summary");
    if (!printer.choosePrinter(title))
        return;
    printer.printPages(title, gridPages(m_grid), std::nullopt);
}

std::vector<PrintPage> SiteAnalysis::gridPages(const std::vector<GridRow>& rows) {
    static const std::array<int, 6> headingX = {100, 550, 800, 1050, 1350, 1650};
    static const std::array<int, 6> cellX = {100, 570, 880, 1130, 1430, 1730};
    static const std::array<const char*, 6> headings = {
        "Page", "File Size", "Unique Images", "Total Image KB", "Est. 28.8 Time", "Est. 14.4 Time"};
    std::vector<PrintPage> pages;
    const auto newPage = [&pages] {
        PrintPage page;
        for (size_t c = 0; c < headings.size(); ++c)
            page.runs.push_back({headingX[c], 75, QLatin1String(headings[c])});
        page.filledRects.push_back(QRect(QPoint(100, 110), QPoint(1899, 111)));
        pages.push_back(std::move(page));
    };
    newPage();
    // Rows start below the headings again on each page, so none is drawn beyond the paper.
    int onPage = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        const int y = 150 + 75 * onPage;
        for (size_t c = 0; c < cellX.size(); ++c)
            pages.back().runs.push_back({cellX[c], y, rows[i][c]});
        ++onPage;
        if (i % 40 == 0 && i > 39 && i + 1 < rows.size()) {
            newPage();
            onPage = 0;
        }
    }
    return pages;
}
