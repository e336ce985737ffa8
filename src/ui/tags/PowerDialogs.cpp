// The BODY, anchor and image dialogs.
#include "ui/tags/PowerDialogs.h"

#include "platform/Clipboard.h"
#include "platform/FileChooser.h"
#include "platform/IniFile.h"
#include "platform/NativeNames.h"
#include "platform/Prompter.h"
#include "tags/PowerAnchor.h"
#include "tags/PowerBody.h"
#include "tags/PowerImage.h"
#include "tags/TagText.h"
#include "ui/tags/PowerBuilders.h"
#include "ui/widgets/DialogParts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

void handOverText(Clipboard& clipboard, TagDialogResult& result, const QString& text, bool accept) {
    clipboard.setText(text);
    result.length = static_cast<int>(text.size());
    result.accepted = accept;
}

namespace {

QColor toQColor(int c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

int fromQColor(const QColor& c) {
    return c.red() | (c.green() << 8) | (c.blue() << 16);
}

const char* colorKeys[] = {"BG", "Text", "Link", "VLink", "ALink"};

// The composed tag, read-only and wrapped, so that the whole of it shows without scrolling.
QPlainTextEdit* tagDisplay(const QString& text, const QString& name, int lines, QWidget* parent) {
    auto* d = new QPlainTextEdit(text, parent);
    d->setObjectName(name);
    d->setReadOnly(true);
    d->setTabChangesFocus(true);
    d->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    const int margin = static_cast<int>(d->document()->documentMargin());
    d->setFixedHeight(d->fontMetrics().lineSpacing() * lines + 2 * margin + 2 * d->frameWidth() +
                      2);
    return d;
}

// The example the BODY dialog's relative-path field shows until something else is typed.
const QString bodyPathExample = QStringLiteral("example:  data/images/");

} // namespace

// TFormBody ------------------------------------------------------------------------------------

TFormBody::TFormBody(PowerDialogEnv& env, QWidget* parent) : QDialog(parent), m_env(env) {
    setObjectName(QStringLiteral("FormBody"));
    setWindowTitle(QStringLiteral("Power Body Tag"));
    const int defaults[] = {BodyColorDefaults::bg, BodyColorDefaults::text, BodyColorDefaults::link,
                            BodyColorDefaults::vlink, BodyColorDefaults::alink};
    for (int i = 0; i < 5; ++i)
        m_colors[static_cast<size_t>(i)] = env.options.readInteger(
            QStringLiteral("Colors"), QLatin1String(colorKeys[i]), defaults[i]);

    // The tag across the whole dialog, above the choices that make it.
    auto* displayGroup = new QGroupBox(QStringLiteral("<BODY> Tag"), this);
    m_display = tagDisplay(QStringLiteral("Your <BODY> tag will be created here for you. Just make "
                                          "your selections."),
                           QStringLiteral("BodyTagDisplay"), 2, displayGroup);
    (new QVBoxLayout(displayGroup))->addWidget(m_display);
    auto* tagGroup = new QWidget(this);
    auto* tagLayout = new QVBoxLayout(tagGroup);
    tagLayout->setContentsMargins(0, 0, 0, 0);
    tagLayout->addWidget(note(
        QStringLiteral("Double-click the background color or one of the link colors to select a "
                       "new color. It will be previewed for you in the preview panel. The BODY "
                       "tag will then be created for you."),
        tagGroup));
    tagLayout->addWidget(new QLabel(QStringLiteral("Preview Panel"), tagGroup));

    m_preview = new QWidget(tagGroup);
    m_preview->setObjectName(QStringLiteral("PreviewPanel"));
    m_preview->setAutoFillBackground(true);
    m_preview->setFixedSize(260, 120);
    m_preview->installEventFilter(this);
    m_previewImage = new QLabel(m_preview);
    m_previewImage->setObjectName(QStringLiteral("PreviewImage"));
    m_previewImage->setScaledContents(true); // the image stretched over the whole panel
    m_previewImage->setGeometry(0, 0, 260, 120);
    m_previewImage->hide();
    m_previewImage->installEventFilter(this);
    const QStringList captions = {QStringLiteral("Text Color"), QStringLiteral("Link Color"),
                                  QStringLiteral("VLink Color"), QStringLiteral("ALink Color")};
    const QStringList names = {QStringLiteral("TextColorLabel"), QStringLiteral("LinkColorLabel"),
                               QStringLiteral("VLinkColorLabel"),
                               QStringLiteral("ALinkColorLabel")};
    for (int i = 0; i < 4; ++i) {
        auto* label = new QLabel(captions[i], m_preview);
        label->setObjectName(names[i]);
        label->move(16, 10 + i * 26);
        label->installEventFilter(this);
        m_colorLabels[static_cast<size_t>(i)] = label;
    }
    tagLayout->addWidget(m_preview);

    auto* style = new QGroupBox(QStringLiteral("Background Style:  "), this);
    m_solid = radio(QStringLiteral("Use Solid Color"), QStringLiteral("UseSolidColor"), style);
    m_tiled = radio(QStringLiteral("Use Tiled Image"), QStringLiteral("UseTiledImage"), style);
    m_solid->setChecked(true);
    m_selectColor = button(QStringLiteral("Select Color"), QStringLiteral("SelectColor"), style);
    m_selectImage = button(QStringLiteral("Select Image"), QStringLiteral("SelectImage"), style);
    m_selectImage->setEnabled(false);
    m_imageName = new QLabel(style);
    m_imageName->setObjectName(QStringLiteral("ImageFileName"));
    m_imageName->setEnabled(false);
    m_useRelative = check(QStringLiteral("Insert this relative path to image file:"),
                          QStringLiteral("UseRelativePath"), style);
    m_relative = field(env.relImage.isEmpty() ? bodyPathExample : env.relImage,
                       QStringLiteral("RelativePath"), style);
    auto* styleLayout = new QGridLayout(style);
    styleLayout->addWidget(m_solid, 0, 0);
    styleLayout->addWidget(m_selectColor, 0, 1);
    styleLayout->addWidget(m_tiled, 1, 0);
    styleLayout->addWidget(m_selectImage, 1, 1);
    styleLayout->addWidget(m_imageName, 2, 0, 1, 2);
    styleLayout->addWidget(m_useRelative, 3, 0, 1, 2);
    styleLayout->addWidget(m_relative, 4, 0, 1, 2);

    m_endTag = check(QStringLiteral("Include </BODY> Tag?"), QStringLiteral("IncludeEndTag"), this);

    auto* more =
        new QGroupBox(QStringLiteral("Additional Body Tags (not required if just changing <BODY> "
                                     "tag)"),
                      this);
    m_title = field(QStringLiteral("Enter Page Title (appears at top of browser window)"),
                    QStringLiteral("TitleText"), more);
    m_description = field(QStringLiteral("Enter your page DESCRIPTION here..."),
                          QStringLiteral("DescriptionText"), more);
    m_keywords = field(QStringLiteral("Enter your page's KEYWORDS here... "),
                       QStringLiteral("KeywordsText"), more);
    m_html = check(QStringLiteral("Include <HTML> Tag?"), QStringLiteral("IncludeHtml"), more);
    m_head = check(QStringLiteral("Include <HEAD> Tag?"), QStringLiteral("IncludeHead"), more);
    m_titleTag =
        check(QStringLiteral("Include <TITLE> Tag?"), QStringLiteral("IncludeTitle"), more);
    m_meta = check(QStringLiteral("Include <META> Tags?"), QStringLiteral("IncludeMeta"), more);
    auto* moreLayout = new QGridLayout(more);
    moreLayout->addWidget(note(QStringLiteral("Note: ending </BODY> tag will be inserted "
                                              "automatically if any of these options are "
                                              "selected."),
                               more),
                          0, 0, 1, 2);
    moreLayout->addWidget(m_title, 1, 0, 1, 2);
    moreLayout->addWidget(m_description, 2, 0, 1, 2);
    moreLayout->addWidget(m_keywords, 3, 0, 1, 2);
    moreLayout->addWidget(m_html, 4, 0);
    moreLayout->addWidget(m_head, 4, 1);
    moreLayout->addWidget(m_titleTag, 5, 0);
    moreLayout->addWidget(m_meta, 5, 1);

    auto* insert =
        button(QStringLiteral("Insert Tag into HTML file"), QStringLiteral("InsertTag"), this);
    insert->setToolTip(QStringLiteral("Insert this tag into the open HTML file"));
    auto* copy = button(QStringLiteral("Copy Tag to Clipboard"), QStringLiteral("CopyTag"), this);
    auto* close = button(QStringLiteral("&Close"), QStringLiteral("CloseButton"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(insert);
    buttons->addWidget(copy);
    buttons->addWidget(close);

    auto* left = new QVBoxLayout;
    left->addWidget(tagGroup);
    left->addWidget(m_endTag);
    auto* right = new QVBoxLayout;
    right->addWidget(style);
    right->addWidget(more);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(displayGroup);
    layout->addLayout(columns);
    layout->addLayout(buttons);

    const auto changed = [this] { recompose(); };
    for (QCheckBox* c : {m_useRelative, m_endTag, m_html, m_head, m_titleTag, m_meta})
        connect(c, &QCheckBox::toggled, this, changed);
    for (QLineEdit* f : {m_relative, m_title, m_description, m_keywords})
        connect(f, &QLineEdit::textChanged, this, changed);
    connect(m_solid, &QRadioButton::toggled, this, [this] {
        const bool tiled = m_tiled->isChecked();
        m_selectImage->setEnabled(tiled);
        m_selectColor->setEnabled(!tiled);
        m_imageName->setEnabled(tiled);
        updatePreview();
        recompose();
    });
    connect(m_selectColor, &QPushButton::clicked, this, [this] { pickColor(Bg); });
    connect(m_selectImage, &QPushButton::clicked, this, [this] { selectImage(); });
    connect(insert, &QPushButton::clicked, this, [this] { finish(true); });
    connect(copy, &QPushButton::clicked, this, [this] { finish(false); });
    connect(close, &QPushButton::clicked, this, [this] {
        saveColors();
        reject();
    });
    updatePreview();
    // A remembered path counts as a first change: the tag shows at once.
    if (!env.relImage.isEmpty())
        recompose();
}

TFormBody::~TFormBody() = default;

QString TFormBody::relativePath() const {
    // The example is no path of the user's: stored, it would come back as the image dialog's
    // path (and one stored so before is dropped here).
    return m_relative->text() == bodyPathExample ? QString() : m_relative->text();
}

void TFormBody::setColor(Slot slot, int color) {
    m_colors[slot] = color & 0xFFFFFF;
    updatePreview();
    recompose();
}

void TFormBody::pickColor(Slot slot) {
    if (!m_env.chooseColor)
        return;
    if (const auto chosen = m_env.chooseColor(toQColor(m_colors[slot])))
        setColor(slot, fromQColor(*chosen));
}

bool TFormBody::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        for (int i = 0; i < 4; ++i)
            if (watched == m_colorLabels[static_cast<size_t>(i)]) {
                pickColor(static_cast<Slot>(Text + i));
                return true;
            }
        if (watched == m_preview || watched == m_previewImage) {
            pickColor(Bg);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFormBody::updatePreview() {
    QPalette p = m_preview->palette();
    p.setColor(QPalette::Window, toQColor(m_colors[Bg]));
    m_preview->setPalette(p);
    for (int i = 0; i < 4; ++i) {
        QLabel* label = m_colorLabels[static_cast<size_t>(i)];
        QPalette lp = label->palette();
        lp.setColor(QPalette::WindowText, toQColor(m_colors[static_cast<size_t>(Text + i)]));
        label->setPalette(lp);
        label->raise();
    }
    m_previewImage->setVisible(m_tiled->isChecked() && !m_previewImage->pixmap().isNull());
}

BodyFields TFormBody::fields() const {
    BodyFields f;
    f.bg = m_colors[Bg];
    f.text = m_colors[Text];
    f.link = m_colors[Link];
    f.vlink = m_colors[VLink];
    f.alink = m_colors[ALink];
    f.tiled = m_tiled->isChecked();
    f.useRelativePath = m_useRelative->isChecked();
    f.relativePath = m_relative->text();
    // With a typed path the name follows it; without, the link reaches the file from the page.
    if (!m_imageFile.isEmpty())
        f.imageLink = f.useRelativePath ? QFileInfo(m_imageFile).fileName()
                                        : relativeLink(m_imageFile, m_env.pageFolder);
    f.endTag = m_endTag->isChecked();
    f.html = m_html->isChecked();
    f.head = m_head->isChecked();
    f.title = m_titleTag->isChecked();
    f.meta = m_meta->isChecked();
    f.titleText = m_title->text();
    f.description = m_description->text();
    f.keywords = m_keywords->text();
    f.lowerCase = m_env.lowerCase;
    return f;
}

QString TFormBody::composedText() const {
    return bodyText(fields());
}

void TFormBody::recompose() {
    // The display shows the BODY tag itself.
    m_display->setPlainText(bodyTag(fields()));
}

void TFormBody::saveColors() const {
    for (int i = 0; i < 5; ++i)
        m_env.options.writeInteger(QStringLiteral("Colors"), QLatin1String(colorKeys[i]),
                                   m_colors[static_cast<size_t>(i)]);
}

void TFormBody::selectImage() {
    FileDialogRequest request;
    request.initialDirectory = m_env.lastHtmlDirectory;
    const auto path = m_env.chooser.openFile(request);
    if (!path)
        return;
    m_imageFile = *path;
    // The preview shows the picture through a BMP copy; a picture that cannot be read or
    // written leaves the preview and the name as they were.
    TPMultiImage image;
    const QString bmp = m_env.programDirectory + QStringLiteral("projects/bgtemp.bmp");
    QPixmap shown;
    if (image.load(*path) && image.saveAsBmp(bmp) && shown.load(bmp, "BMP")) {
        m_previewImage->setPixmap(shown);
        m_imageName->setText(QFileInfo(*path).fileName());
    }
    updatePreview();
    recompose();
}

void TFormBody::finish(bool insert) {
    recompose();
    saveColors();
    handOverText(m_env.clipboard, m_result, composedText(), insert);
    accept();
}

// TFormAnchor ----------------------------------------------------------------------------------

namespace {
const QString anchorInstruction =
    QStringLiteral("Enter your data above... your anchor tag will be created here automatically");
}

TFormAnchor::TFormAnchor(PowerDialogEnv& env, const QString& selected, QWidget* parent)
    : QDialog(parent), m_env(env) {
    setObjectName(QStringLiteral("FormAnchor"));
    setWindowTitle(QStringLiteral("Power Anchor Tag"));
    auto* group = new QGroupBox(QStringLiteral("HTML Tag Insertion Data  "), this);
    m_href = field(QStringLiteral("http://"), QStringLiteral("HrefLink"), group);
    m_description = field(selected, QStringLiteral("Description"), group);
    auto* fileButton =
        button(QStringLiteral("(or select a local file)"), QStringLiteral("SelectFile"), group);
    m_hrefTag = radio(QStringLiteral("<A HREF> Tag"), QStringLiteral("HrefTag"), group);
    m_nameTag = radio(QStringLiteral("<A NAME> Tag"), QStringLiteral("NameTag"), group);
    m_hrefTag->setChecked(true);
    auto* kinds = new QWidget(group);
    auto* kindLayout = new QHBoxLayout(kinds);
    kindLayout->setContentsMargins(0, 0, 0, 0);
    kindLayout->addWidget(m_hrefTag);
    kindLayout->addWidget(m_nameTag);
    auto* hrefRow = new QHBoxLayout;
    hrefRow->addWidget(m_href);
    hrefRow->addWidget(fileButton);
    auto* form = new QFormLayout(group);
    form->addRow(new QLabel(QStringLiteral("Define Anchor Tag:"), group));
    form->addRow(QStringLiteral("HREF Link"), hrefRow);
    form->addRow(QStringLiteral("Description"), m_description);
    form->addRow(note(QStringLiteral("<A> Tag"), group), kinds);
    form->addRow(note(QStringLiteral("Note: you do not need to type any quotation marks; they "
                                     "are added for you."),
                      group));
    form->addRow(note(QStringLiteral("Example:  <A HREF=\"http://www.example.com/\">My Home "
                                     "Page</A>"),
                      group));

    auto* fileGroup = new QGroupBox(QStringLiteral("HREF File Link, Use: "), this);
    m_filenameOnly =
        radio(QStringLiteral("Filename only"), QStringLiteral("FilenameOnly"), fileGroup);
    m_relativeFile =
        radio(QStringLiteral("Relative File Path:"), QStringLiteral("RelativeFile"), fileGroup);
    (env.useAnchor ? m_relativeFile : m_filenameOnly)->setChecked(true);
    m_path = field(env.anchorPath.isEmpty() ? QStringLiteral("Ex:  --    /webdata/pages/")
                                            : env.anchorPath,
                   QStringLiteral("RelativePath"), fileGroup);
    auto* fileLayout = new QVBoxLayout(fileGroup);
    fileLayout->addWidget(m_filenameOnly);
    fileLayout->addWidget(m_relativeFile);
    fileLayout->addWidget(m_path);
    fileLayout->addWidget(note(QStringLiteral("(if the link is to a file on your site, use "
                                              "Filename if in the same default directory, "
                                              "otherwise use Relative Path)"),
                               fileGroup));

    m_display = tagDisplay(anchorInstruction, QStringLiteral("AnchorTagDisplay"), 3, this);

    auto* insert =
        button(QStringLiteral("Insert Tag into HTML file"), QStringLiteral("InsertTag"), this);
    insert->setToolTip(QStringLiteral("Insert this tag into the open HTML file"));
    auto* copy = button(QStringLiteral("Copy Tag to Clipboard"), QStringLiteral("CopyTag"), this);
    auto* cancel = button(QStringLiteral("Cancel"), QStringLiteral("CancelButton"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(insert);
    buttons->addWidget(copy);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(fileGroup);
    layout->addWidget(m_display);
    layout->addLayout(buttons);

    for (QLineEdit* f : {m_href, m_description, m_path})
        connect(f, &QLineEdit::textChanged, this, [this] { recompose(); });
    for (QRadioButton* r : {m_hrefTag, m_nameTag, m_filenameOnly, m_relativeFile})
        connect(r, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                recompose();
        });
    connect(fileButton, &QPushButton::clicked, this, [this] { chooseFile(); });
    connect(insert, &QPushButton::clicked, this, [this] { finish(true); });
    connect(copy, &QPushButton::clicked, this, [this] { finish(false); });
    connect(cancel, &QPushButton::clicked, this, [this] {
        m_result.accepted = false;
        reject();
    });
}

void TFormAnchor::showEvent(QShowEvent* event) {
    m_display->setPlainText(anchorInstruction);
    QDialog::showEvent(event);
}

bool TFormAnchor::relativeChosen() const {
    return m_relativeFile->isChecked();
}

QString TFormAnchor::relativePath() const {
    return m_path->text();
}

QString TFormAnchor::composedText() const {
    AnchorFields f;
    f.href = m_href->text();
    f.description = m_description->text();
    f.nameTag = m_nameTag->isChecked();
    f.relativePath = m_relativeFile->isChecked();
    f.path = m_path->text();
    f.lowerCase = m_env.lowerCase;
    return anchorText(f);
}

void TFormAnchor::recompose() {
    m_display->setPlainText(composedText());
}

void TFormAnchor::chooseFile() {
    FileDialogRequest request;
    request.initialDirectory = m_env.lastHtmlDirectory;
    request.filter =
        QStringLiteral("HTML Files|") + m_env.htmlFilePattern + QStringLiteral("|All Files|*.*");
    request.filterIndex = 1;
    const auto path = m_env.chooser.openFile(request);
    if (!path)
        return;
    // A typed relative path says where the file lies: its name follows. Otherwise the link
    // reaches the file from the open page, whichever folder it is in.
    m_href->setText(m_relativeFile->isChecked() ? QFileInfo(*path).fileName()
                                                : relativeLink(*path, m_env.pageFolder));
}

void TFormAnchor::finish(bool insert) {
    recompose();
    handOverText(m_env.clipboard, m_result, composedText(), insert);
    accept();
}

// TFormImageView -------------------------------------------------------------------------------

TFormImageView::TFormImageView(PowerDialogEnv& env, QWidget* parent) : QDialog(parent), m_env(env) {
    setObjectName(QStringLiteral("FormImageView"));
    setWindowTitle(QStringLiteral("Power Image Tag / Preview Screen"));
    m_image.setKeepAspect(true);

    auto* browse = new QWidget(this);
    m_drives = new QComboBox(browse);
    m_drives->setObjectName(QStringLiteral("DriveBox"));
    m_drives->addItems({QStringLiteral("/"), QDir::homePath()});
    // The folder listed, whole: the drive box only says where it starts.
    m_folderLine = new QLabel(browse);
    m_folderLine->setObjectName(QStringLiteral("FolderLine"));
    m_folderLine->setWordWrap(true);
    m_folderLine->setTextFormat(Qt::PlainText);
    m_folders = new QListWidget(browse);
    m_folders->setObjectName(QStringLiteral("FolderList"));
    m_files = new QListWidget(browse);
    m_files->setObjectName(QStringLiteral("ImageFileList"));
    m_files->viewport()->installEventFilter(this);
    auto* browseLayout = new QVBoxLayout(browse);
    browseLayout->setContentsMargins(0, 0, 0, 0);
    browseLayout->addWidget(new QLabel(QStringLiteral("Select Image File:"), browse));
    browseLayout->addWidget(m_drives);
    browseLayout->addWidget(m_folderLine);
    browseLayout->addWidget(m_folders, 1);
    browseLayout->addWidget(m_files, 1);

    auto* previewBox = new QWidget(this);
    m_preview = new QLabel(previewBox);
    m_preview->setObjectName(QStringLiteral("ImagePreview"));
    m_preview->setFixedSize(240, 200);
    m_preview->setAlignment(Qt::AlignCenter);
    m_preview->setFrameShape(QFrame::Panel);
    m_dim = new QLabel(QStringLiteral("Dim:"), previewBox);
    m_dim->setObjectName(QStringLiteral("DimLine"));
    m_size = new QLabel(QStringLiteral("Size:"), previewBox);
    m_size->setObjectName(QStringLiteral("SizeLine"));
    m_path = new QLabel(QStringLiteral("File Path:"), previewBox);
    m_path->setObjectName(QStringLiteral("PathLine"));
    m_path->setWordWrap(true);
    m_path->setTextFormat(Qt::PlainText);
    m_path->setFixedWidth(m_preview->width());
    auto* previewLayout = new QVBoxLayout(previewBox);
    previewLayout->setContentsMargins(0, 0, 0, 0);
    previewLayout->addWidget(new QLabel(QStringLiteral("Image Preview Window:"), previewBox));
    previewLayout->addWidget(m_preview);
    previewLayout->addWidget(m_dim);
    previewLayout->addWidget(m_size);
    previewLayout->addWidget(m_path);
    previewLayout->addStretch();

    auto* data = new QGroupBox(QStringLiteral("<IMAGE>Tag Data  "), this);
    m_source = field({}, QStringLiteral("Source"), data);
    m_alt = field({}, QStringLiteral("AltText"), data);
    m_width = field({}, QStringLiteral("ImageWidth"), data);
    m_height = field({}, QStringLiteral("ImageHeight"), data);
    m_align = new QComboBox(data);
    m_align->setObjectName(QStringLiteral("ImageAlign"));
    m_align->setEditable(true);
    m_align->addItems({QStringLiteral("RIGHT"), QStringLiteral("LEFT"), QStringLiteral("TOP"),
                       QStringLiteral("MIDDLE"), QStringLiteral("BOTTOM"),
                       QStringLiteral("BASELINE"), QStringLiteral("TEXTTOP")});
    m_align->setCurrentIndex(-1);
    m_align->setEditText({});
    m_border = new QSpinBox(data);
    m_border->setObjectName(QStringLiteral("ImageBorder"));
    m_border->setRange(0, 10);
    m_ismap = check(QStringLiteral("ISMAP"), QStringLiteral("Ismap"), data);
    m_useRelative = check(QStringLiteral("Insert this relative path to images"),
                          QStringLiteral("UseRelativePath"), data);
    m_relative = field(env.relImage, QStringLiteral("RelativePath"), data);
    auto* form = new QGridLayout(data);
    int row = 0;
    const auto addRow = [&](const QString& label, QWidget* w, QWidget* w2 = nullptr,
                            const QString& label2 = {}) {
        form->addWidget(new QLabel(label, data), row, 0);
        form->addWidget(w, row, 1);
        if (w2) {
            form->addWidget(new QLabel(label2, data), row, 2);
            form->addWidget(w2, row, 3);
        }
        ++row;
    };
    // Source and Alt Text take the whole row: a path and a description need the room.
    form->addWidget(new QLabel(QStringLiteral("Source"), data), row, 0);
    form->addWidget(m_source, row++, 1, 1, 3);
    form->addWidget(new QLabel(QStringLiteral("Alt Text"), data), row, 0);
    form->addWidget(m_alt, row++, 1, 1, 3);
    addRow(QStringLiteral("Width"), m_width, m_height, QStringLiteral("Height"));
    addRow(QStringLiteral("Align"), m_align, m_border, QStringLiteral("Border"));
    form->addWidget(m_ismap, row++, 1);
    form->addWidget(note(QStringLiteral("Note: you do not need to type any quotation marks; "
                                        "they are added for you."),
                         data),
                    row++, 0, 1, 4);
    form->addWidget(m_useRelative, row++, 0, 1, 4);
    form->addWidget(m_relative, row++, 0, 1, 4);
    form->addWidget(note(QStringLiteral("Use this when your images are stored in a location "
                                        "different from your HTML file:   Example:    "
                                        "/data/images/"),
                         data),
                    row++, 0, 1, 4);

    m_display = tagDisplay(QStringLiteral("The <IMG> tag will be created for you after you select "
                                          "an image file above...."),
                           QStringLiteral("ImageTagDisplay"), 2, this);
    auto* insert =
        button(QStringLiteral("Insert Tag into HTML file"), QStringLiteral("InsertTag"), this);
    insert->setToolTip(QStringLiteral("Insert this tag into the open HTML file"));
    auto* copy = button(QStringLiteral("Copy Tag to Clipboard"), QStringLiteral("CopyTag"), this);
    auto* close = button(QStringLiteral("&Close"), QStringLiteral("CloseButton"), this);

    auto* top = new QHBoxLayout;
    top->addWidget(browse, 1);
    top->addWidget(previewBox);
    top->addWidget(data, 1);
    auto* tagRow = new QHBoxLayout;
    tagRow->addWidget(note(QStringLiteral("<IMG> Tag"), this));
    tagRow->addWidget(m_display, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(insert);
    buttons->addWidget(copy);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(tagRow);
    layout->addLayout(buttons);

    for (QLineEdit* f : {m_source, m_alt, m_width, m_height, m_relative})
        connect(f, &QLineEdit::textChanged, this, [this] { recompose(); });
    connect(m_align, &QComboBox::editTextChanged, this, [this] { recompose(); });
    connect(m_border, &QSpinBox::valueChanged, this, [this] { recompose(); });
    for (QCheckBox* c : {m_ismap, m_useRelative})
        connect(c, &QCheckBox::toggled, this, [this] { recompose(); });
    connect(m_drives, &QComboBox::activated, this,
            [this](int index) { setFolder(m_drives->itemText(index)); });
    connect(m_folders, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        setFolder(QDir::cleanPath(m_folder + QLatin1Char('/') + item->text()));
    });
    connect(m_files, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { fileClicked(item->text()); });
    // Moving through the list by keys only names the file; a click loads it.
    connect(m_files, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (item)
            m_source->setText(
                relativeLink(QDir(m_folder).filePath(item->text()), m_env.pageFolder));
    });
    connect(insert, &QPushButton::clicked, this, [this] { finish(true); });
    connect(copy, &QPushButton::clicked, this, [this] { finish(false); });
    connect(close, &QPushButton::clicked, this, [this] {
        m_result.accepted = false;
        reject();
    });

    // The folder listed last time, else the folder of the last HTML file, when it still exists.
    QString start = env.lastHtmlDirectory;
    const qsizetype slash = start.lastIndexOf(QLatin1Char('/'));
    start = slash >= 0 ? start.left(slash) : QString();
    if (!env.imageFolder.isEmpty() && QFileInfo(env.imageFolder).isDir())
        start = env.imageFolder;
    setFolder(!start.isEmpty() && QFileInfo(start).isDir() ? start : QDir::homePath());
    resize(sizeHint().expandedTo(QSize(900, 560)));
}

bool TFormImageView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_files->viewport() && event->type() == QEvent::MouseButtonPress)
        m_sourceBeforeClick = m_source->text();
    return QDialog::eventFilter(watched, event);
}

void TFormImageView::fileClicked(const QString& name) {
    // The press moved the selection, which named the file in Source: the name stands only once
    // the picture loaded, so the message of a failed load shows the fields as they were.
    m_source->setText(m_sourceBeforeClick);
    choose(QDir(m_folder).filePath(name));
}

namespace {

// A path that may break after each "/" when its line is too narrow for it.
QString breakablePath(QString path) {
    return path.replace(QLatin1Char('/'), QStringLiteral("/\u200B"));
}

} // namespace

QString TFormImageView::relativePath() const {
    return m_relative->text();
}

void TFormImageView::setFolder(const QString& folder) {
    m_folder = folder.isEmpty() ? QStringLiteral("/") : QDir::cleanPath(folder);
    // The drive box shows where the folder starts: the home folder, or the root.
    const QString home = QDir::homePath();
    m_drives->setCurrentIndex(m_folder == home || m_folder.startsWith(home + QLatin1Char('/')) ? 1
                                                                                               : 0);
    m_folderLine->setText(breakablePath(m_folder));
    // Listed by the bytes on disk, so that names in Latin-1 show and load too.
    QStringList folders;
    QStringList pictures;
    for (const FolderEntry& e : listFolder(m_folder).entries) {
        if (e.kind == FolderEntry::Kind::Folder)
            folders << e.name;
        else if (e.kind == FolderEntry::Kind::File && TPMultiImage::isImageName(e.name))
            pictures << e.name;
    }
    const auto byName = [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    };
    std::sort(folders.begin(), folders.end(), byName);
    std::sort(pictures.begin(), pictures.end(), byName);
    showFolders(m_folders, m_folder, folders);
    m_files->clear();
    m_files->addItems(pictures);
}

bool TFormImageView::choose(const QString& path, bool fromFilesTab) {
    TPMultiImage image;
    image.setKeepAspect(true);
    if (!image.load(path)) {
        m_env.prompter.inform(TPMultiImage::openErrorText());
        return false;
    }
    m_image = image;
    m_source->setText(relativeLink(path, m_env.pageFolder));
    m_width->setText(QString::number(m_image.width()));
    m_height->setText(QString::number(m_image.height()));
    m_dim->setText(imageDimText(m_image.width(), m_image.height(), fromFilesTab));
    m_size->setText(imageSizeText(m_image.fileSize(), fromFilesTab));
    // The path as it is on disk: an upper-cased one would name no file here.
    m_path->setText(breakablePath(m_image.loadedPath()));
    const QImage shown = m_image.scaledFor(m_preview->size());
    if (shown.isNull())
        m_preview->clear();
    else
        m_preview->setPixmap(QPixmap::fromImage(shown));
    return true;
}

QString TFormImageView::composedText() const {
    ImageFields f;
    f.source = m_source->text();
    f.alt = m_alt->text();
    f.width = m_width->text();
    f.height = m_height->text();
    f.align = m_align->currentText();
    f.border = m_border->value();
    f.ismap = m_ismap->isChecked();
    f.useRelativePath = m_useRelative->isChecked();
    f.relativePath = m_relative->text();
    f.lowerCase = m_env.lowerCase;
    return imageText(f);
}

void TFormImageView::recompose() {
    m_display->setPlainText(composedText());
}

void TFormImageView::finish(bool insert) {
    if (m_source->text().isEmpty()) {
        m_env.prompter.inform(QStringLiteral("You must supply the SOURCE file name."));
        return;
    }
    recompose();
    handOverText(m_env.clipboard, m_result, m_display->toPlainText(), insert);
    accept();
}

// Showing them ---------------------------------------------------------------------------------

PowerDialogOutcome showPowerDialog(PowerDialog which, PowerDialogEnv& env, QWidget* parent) {
    PowerDialogOutcome out;
    switch (which) {
    case PowerDialog::Body: {
        TFormBody dialog(env, parent);
        dialog.exec();
        out.result = dialog.result();
        out.relImage = dialog.relativePath();
        break;
    }
    case PowerDialog::Anchor: {
        TFormAnchor dialog(env, env.selectedText, parent);
        dialog.exec();
        out.result = dialog.result();
        out.useAnchor = dialog.relativeChosen();
        out.anchorPath = dialog.relativePath();
        break;
    }
    case PowerDialog::Image: {
        TFormImageView dialog(env, parent);
        if (!env.filesTabImage.isEmpty()) {
            dialog.setFolder(QFileInfo(env.filesTabImage).absolutePath());
            dialog.choose(env.filesTabImage, true);
        }
        dialog.exec();
        out.result = dialog.result();
        out.relImage = dialog.relativePath();
        out.imageFolder = dialog.folder();
        break;
    }
    case PowerDialog::Table: {
        TFormTable dialog(env.clipboard, parent);
        dialog.setLowerCase(env.lowerCase);
        dialog.exec();
        out.result = dialog.result();
        break;
    }
    case PowerDialog::List: {
        TFormList dialog(env.clipboard, parent);
        dialog.setLowerCase(env.lowerCase);
        dialog.exec();
        out.result = dialog.result();
        break;
    }
    case PowerDialog::Rule: {
        TFormHoriz dialog(env.clipboard, parent);
        dialog.setLowerCase(env.lowerCase);
        dialog.exec();
        out.result = dialog.result();
        break;
    }
    case PowerDialog::Frames: {
        Tformframes dialog(env.clipboard, env.chooser, env.pageFolder, parent);
        dialog.setLowerCase(env.lowerCase);
        dialog.exec();
        out.result = dialog.result();
        break;
    }
    case PowerDialog::FrameSet: {
        TFormFrameSet dialog(env.clipboard, parent);
        dialog.setLowerCase(env.lowerCase);
        dialog.exec();
        out.result = dialog.result();
        break;
    }
    case PowerDialog::Frame: {
        TFormFrameDialog dialog(env.clipboard, parent);
        dialog.setLowerCase(env.lowerCase);
        dialog.exec();
        out.result = dialog.result();
        break;
    }
    }
    return out;
}
