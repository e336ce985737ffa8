// The table, list, rule and frame dialogs.
#include "ui/tags/PowerBuilders.h"

#include "platform/Clipboard.h"
#include "platform/FileChooser.h"
#include "tags/PowerList.h"
#include "tags/PowerRule.h"
#include "tags/PowerTable.h"
#include "tags/TagText.h"
#include "ui/tags/PowerDialogs.h"
#include "ui/widgets/DialogParts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtMath>
#include <algorithm>
#include <functional>
#include <limits>

namespace {

// A widget drawn by a function, that reports clicks.
class PaintBox : public QWidget {
public:
    PaintBox(QWidget* parent, std::function<void(QPainter&)> paint,
             std::function<void(const QPoint&)> click = {})
        : QWidget(parent), m_paint(std::move(paint)), m_click(std::move(click)) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        m_paint(p);
    }
    void mousePressEvent(QMouseEvent* event) override {
        if (m_click)
            m_click(event->position().toPoint());
    }

private:
    std::function<void(QPainter&)> m_paint;
    std::function<void(const QPoint&)> m_click;
};

QSpinBox* spin(int min, int max, int value, const QString& name, QWidget* parent) {
    auto* s = new QSpinBox(parent);
    s->setObjectName(name);
    s->setRange(min, max);
    s->setValue(value);
    return s;
}

QComboBox* typedList(const QStringList& items, const QString& name, QWidget* parent) {
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    c->setEditable(true);
    c->addItems(items);
    c->setCurrentIndex(-1);
    c->setEditText({});
    return c;
}

// No upper bound in the program's terms; a negative value cannot be typed.
constexpr int unbounded = std::numeric_limits<int>::max();

// The sampler's area at the largest border, padding and spacing it shows.
constexpr int samplerWidth = 136;
constexpr int samplerHeight = 100;

} // namespace

// TFormTable -----------------------------------------------------------------------------------

TFormTable::TFormTable(Clipboard& clipboard, QWidget* parent)
    : QDialog(parent), m_clipboard(clipboard) {
    setObjectName(QStringLiteral("FormTable"));
    setWindowTitle(QStringLiteral("POWER Table Tag"));
    auto* tabs = new QTabWidget(this);
    auto* page = new QWidget;
    tabs->addTab(page, QStringLiteral("Table Design"));

    m_rows = spin(0, maxRows, 2, QStringLiteral("TableRows"), page);
    m_columns = spin(0, maxColumns, 2, QStringLiteral("TableColumns"), page);
    auto* widthGroup = new QGroupBox(QStringLiteral("Width"), page);
    m_percentMode = new QRadioButton(QStringLiteral("% of screen"), widthGroup);
    m_percentMode->setObjectName(QStringLiteral("PercentWidth"));
    m_pixelMode = new QRadioButton(QStringLiteral("# of pixels"), widthGroup);
    m_pixelMode->setObjectName(QStringLiteral("PixelWidth"));
    m_pixelMode->setChecked(true);
    m_pixels = spin(0, 1024, 0, QStringLiteral("WidthPixels"), widthGroup);
    m_percent = spin(0, 100, 90, QStringLiteral("WidthPercent"), widthGroup);
    auto* widthLayout = new QGridLayout(widthGroup);
    widthLayout->addWidget(m_percentMode, 0, 0);
    widthLayout->addWidget(m_percent, 0, 1);
    widthLayout->addWidget(new QLabel(QStringLiteral("%"), widthGroup), 0, 2);
    widthLayout->addWidget(m_pixelMode, 1, 0);
    widthLayout->addWidget(m_pixels, 1, 1);
    m_border = spin(0, 8, 0, QStringLiteral("BorderThickness"), page);
    m_align = typedList({"LEFT", "RIGHT", "TOP", "MIDDLE", "BOTTOM", "TEXTTOP", "BASELINE",
                         "ABSMIDDLE", "ABSBOTTOM"},
                        QStringLiteral("TableAlignment"), page);
    m_padding = spin(0, unbounded, 0, QStringLiteral("CellPadding"), page);
    m_spacing = spin(0, unbounded, 0, QStringLiteral("CellSpacing"), page);
    m_valign = typedList({"TOP", "MIDDLE", "BOTTOM"}, QStringLiteral("VAlign"), page);

    auto* captionGroup = new QGroupBox(QStringLiteral("Caption"), page);
    m_caption = new QLineEdit(captionGroup);
    m_caption->setObjectName(QStringLiteral("TableCaption"));
    auto* top = new QRadioButton(QStringLiteral("Top"), captionGroup);
    top->setObjectName(QStringLiteral("CaptionTop"));
    top->setChecked(true);
    m_captionBottom = new QRadioButton(QStringLiteral("Bottom"), captionGroup);
    m_captionBottom->setObjectName(QStringLiteral("CaptionBottom"));
    auto* captionLayout = new QGridLayout(captionGroup);
    captionLayout->addWidget(new QLabel(QStringLiteral("Table Caption (optional)"), captionGroup),
                             0, 0, 1, 2);
    captionLayout->addWidget(m_caption, 1, 0, 1, 2);
    captionLayout->addWidget(top, 2, 0);
    captionLayout->addWidget(m_captionBottom, 2, 1);

    auto* samplerGroup = new QGroupBox(QStringLiteral("Effect Sampler"), page);
    // The sample keeps its proportions and is drawn larger where the font would not fit its
    // cells.
    const QFontMetrics metrics(font());
    m_samplerScale =
        std::max<qreal>(1, (metrics.horizontalAdvance(QStringLiteral("Cell 3")) + 6) / qreal(35));
    m_sampler = new PaintBox(samplerGroup, [this](QPainter& p) {
        p.scale(m_samplerScale, m_samplerScale);
        QFont small = p.font();
        if (small.pointSizeF() > 0)
            small.setPointSizeF(small.pointSizeF() / m_samplerScale);
        else
            small.setPixelSize(std::max(1, qRound(small.pixelSize() / m_samplerScale)));
        p.setFont(small);
        const int bevel = tableSamplerBevel(m_border->value());
        const QList<QRect> cells = samplerCells();
        const QRect outer(0, 0, cells[1].right() + std::min(m_spacing->value(), 8) + bevel + 3,
                          cells[2].bottom() + std::min(m_spacing->value(), 8) + bevel + 3);
        p.fillRect(outer, palette().window());
        for (int i = 0; i < bevel; ++i) {
            p.setPen(i % 2 ? Qt::gray : Qt::lightGray);
            p.drawRect(outer.adjusted(i, i, -i - 1, -i - 1));
        }
        const QStringList names = {QStringLiteral("Cell 1"), QStringLiteral("Cell 2"),
                                   QStringLiteral("Cell 3")};
        for (int i = 0; i < 3; ++i) {
            p.setPen(Qt::darkGray);
            p.drawRect(cells[i].adjusted(0, 0, -1, -1));
            p.setPen(Qt::black);
            p.drawText(cells[i], Qt::AlignCenter | Qt::TextDontClip, names[i]);
        }
    });
    m_sampler->setObjectName(QStringLiteral("EffectSampler"));
    m_sampler->setFixedSize(qCeil(samplerWidth * m_samplerScale),
                            qCeil(samplerHeight * m_samplerScale));
    m_samplerNote = note(QStringLiteral("Try changing the border, padding, or spacing values and "
                                        "see what happens."),
                         samplerGroup);
    m_samplerNote->setObjectName(QStringLiteral("SamplerNote"));
    auto* samplerLayout = new QVBoxLayout(samplerGroup);
    samplerLayout->addWidget(m_sampler);
    samplerLayout->addWidget(m_samplerNote);

    m_grid = new QTableWidget(2, 2, page);
    m_grid->setObjectName(QStringLiteral("TableGrid"));
    m_grid->horizontalHeader()->hide();
    m_grid->verticalHeader()->hide();
    m_gridNote = note(QStringLiteral("The grid holds the first %1 rows and %2 columns; the cells "
                                     "beyond them are written empty.")
                          .arg(gridRows)
                          .arg(gridColumns),
                      page);
    m_gridNote->setObjectName(QStringLiteral("GridNote"));
    m_gridNote->hide();

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("# Rows"), m_rows);
    fields->addRow(QStringLiteral("# Col"), m_columns);
    fields->addRow(QStringLiteral("Border Thickness"), m_border);
    fields->addRow(QStringLiteral("Table Alignment"), m_align);
    fields->addRow(QStringLiteral("Cell Padding"), m_padding);
    fields->addRow(QStringLiteral("Cell Spacing"), m_spacing);
    fields->addRow(QStringLiteral("V Align"), m_valign);
    auto* upper = new QHBoxLayout;
    upper->addLayout(fields);
    auto* middle = new QVBoxLayout;
    middle->addWidget(widthGroup);
    middle->addWidget(captionGroup);
    upper->addLayout(middle);
    upper->addWidget(samplerGroup);
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->addWidget(note(QStringLiteral("Select the # of rows and columns, then enter any "
                                              "data for your table in the grid below."),
                               page));
    pageLayout->addLayout(upper);
    pageLayout->addWidget(m_grid, 1);
    pageLayout->addWidget(m_gridNote);

    auto* ok = button(QStringLiteral("OK -  Insert Table"), QStringLiteral("OKButton"), this);
    auto* cancel = button(QStringLiteral("Cancel"), QStringLiteral("CancelButton"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addLayout(buttons);

    connect(m_rows, &QSpinBox::valueChanged, this, [this] { gridFollows(); });
    connect(m_columns, &QSpinBox::valueChanged, this, [this] { gridFollows(); });
    for (QSpinBox* s : {m_border, m_padding, m_spacing})
        connect(s, &QSpinBox::valueChanged, this, [this] {
            m_samplerNote->hide();
            m_sampler->update();
        });
    connect(ok, &QPushButton::clicked, this, [this] {
        handOverText(m_clipboard, m_result, composedText(), true);
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(720, 520);
}

void TFormTable::gridFollows() {
    m_grid->setRowCount(std::min(m_rows->value(), gridRows));
    m_grid->setColumnCount(std::min(m_columns->value(), gridColumns));
    m_gridNote->setVisible(m_rows->value() > gridRows || m_columns->value() > gridColumns);
}

QList<QRect> TFormTable::samplerCells() const {
    return tableSamplerCells(m_border->value(), m_padding->value(), m_spacing->value());
}

QString TFormTable::composedText() const {
    TableFields f;
    f.rows = m_rows->value();
    f.columns = m_columns->value();
    f.percentWidth = m_percentMode->isChecked();
    f.pixels = m_pixels->value();
    f.percent = m_percent->value();
    f.border = m_border->value();
    f.align = m_align->currentText();
    f.padding = m_padding->value();
    f.spacing = m_spacing->value();
    f.valign = m_valign->currentText();
    f.caption = m_caption->text();
    f.captionBottom = m_captionBottom->isChecked();
    f.lowerCase = m_lowerCase;
    for (int r = 0; r < m_grid->rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < m_grid->columnCount(); ++c) {
            const QTableWidgetItem* item = m_grid->item(r, c);
            row << (item ? item->text() : QString());
        }
        f.cells << row;
    }
    return tableText(f);
}

// TFormList ------------------------------------------------------------------------------------

TFormList::TFormList(Clipboard& clipboard, QWidget* parent)
    : QDialog(parent), m_clipboard(clipboard) {
    setObjectName(QStringLiteral("FormList"));
    setWindowTitle(QStringLiteral("Power List Tag"));
    auto* type = new QGroupBox(QStringLiteral("Type of List"), this);
    auto* unordered = new QRadioButton(QStringLiteral("Unordered"), type);
    unordered->setObjectName(QStringLiteral("Unordered"));
    unordered->setChecked(true);
    m_ordered = new QRadioButton(QStringLiteral("Ordered"), type);
    m_ordered->setObjectName(QStringLiteral("Ordered"));
    auto* typeLayout = new QHBoxLayout(type);
    typeLayout->addWidget(unordered);
    typeLayout->addWidget(m_ordered);
    m_rows = spin(1, 500, 1, QStringLiteral("ListRows"), this);
    m_noIndent = new QCheckBox(QStringLiteral("Do NOT indent <LI> items"), this);
    m_noIndent->setObjectName(QStringLiteral("NoIndent"));
    auto* items = new QVBoxLayout;
    for (size_t i = 0; i < m_items.size(); ++i) {
        m_items[i] = new QLineEdit(this);
        m_items[i]->setObjectName(QStringLiteral("ListItem%1").arg(i + 1));
        items->addWidget(m_items[i]);
    }
    auto* make = button(QStringLiteral("Make List"), QStringLiteral("MakeList"), this);
    auto* cancel = button(QStringLiteral("Cancel"), QStringLiteral("CancelButton"), this);
    auto* top = new QHBoxLayout;
    top->addWidget(type);
    top->addWidget(new QLabel(QStringLiteral("# of Rows"), this));
    top->addWidget(m_rows);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_noIndent);
    buttons->addStretch();
    buttons->addWidget(make);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(items);
    layout->addWidget(note(QStringLiteral("You can enter up to 10 list items above. Just select "
                                          "the # of rows you want in your list, and up to 10 "
                                          "data entry lines will appear. Then type in your "
                                          "data."),
                           this));
    layout->addStretch();
    layout->addLayout(buttons);
    connect(m_rows, &QSpinBox::valueChanged, this, [this] { showFields(); });
    connect(make, &QPushButton::clicked, this, [this] {
        handOverText(m_clipboard, m_result, composedText(), true);
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    showFields();
}

void TFormList::showFields() {
    for (size_t i = 0; i < m_items.size(); ++i)
        m_items[i]->setVisible(static_cast<int>(i) < m_rows->value());
}

QString TFormList::composedText() const {
    ListFields f;
    f.ordered = m_ordered->isChecked();
    f.rows = m_rows->value();
    for (QLineEdit* item : m_items)
        f.items << item->text();
    f.noIndent = m_noIndent->isChecked();
    f.lowerCase = m_lowerCase;
    return listText(f);
}

// TFormHoriz -----------------------------------------------------------------------------------

TFormHoriz::TFormHoriz(Clipboard& clipboard, QWidget* parent)
    : QDialog(parent), m_clipboard(clipboard) {
    setObjectName(QStringLiteral("FormHoriz"));
    setWindowTitle(QStringLiteral("POWER Horizontal Line Tag"));
    m_align = new QComboBox(this);
    m_align->setObjectName(QStringLiteral("RuleAlignment"));
    m_align->addItems({QStringLiteral("LEFT"), QStringLiteral("RIGHT"), QStringLiteral("CENTER")});
    m_align->setCurrentIndex(2);
    m_thickness = spin(1, 20, 2, QStringLiteral("RuleThickness"), this);
    auto* width = new QGroupBox(QStringLiteral("Width"), this);
    m_percentMode = new QRadioButton(QStringLiteral("% of Screen"), width);
    m_percentMode->setObjectName(QStringLiteral("PercentWidth"));
    m_percentMode->setChecked(true);
    auto* pixelMode = new QRadioButton(QStringLiteral("# of Pixels"), width);
    pixelMode->setObjectName(QStringLiteral("PixelWidth"));
    m_percent = spin(1, 100, 50, QStringLiteral("RulePercent"), width);
    m_pixels = spin(1, 1600, 100, QStringLiteral("RulePixels"), width);
    m_pixels->setEnabled(false);
    auto* widthLayout = new QGridLayout(width);
    widthLayout->addWidget(m_percentMode, 0, 0);
    widthLayout->addWidget(m_percent, 0, 1);
    widthLayout->addWidget(pixelMode, 1, 0);
    widthLayout->addWidget(m_pixels, 1, 1);
    m_noShade = new QCheckBox(QStringLiteral("No Shade (removes beveled 3-D effect)"), this);
    m_noShade->setObjectName(QStringLiteral("NoShade"));
    m_sample = new PaintBox(this, [this](QPainter& p) {
        const QRect line = sampleLine();
        if (m_noShade->isChecked()) {
            p.fillRect(line, Qt::darkGray);
            return;
        }
        p.fillRect(line, Qt::lightGray);
        p.setPen(Qt::darkGray);
        p.drawLine(line.topLeft(), line.topRight());
        p.drawLine(line.topLeft(), line.bottomLeft());
    });
    m_sample->setObjectName(QStringLiteral("SampleLine"));
    m_sample->setFixedSize(320, 24);

    auto* ok = button(QStringLiteral("OK"), QStringLiteral("OKButton"), this);
    auto* cancel = button(QStringLiteral("Cancel"), QStringLiteral("CancelButton"), this);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Alignment:"), m_align);
    form->addRow(QStringLiteral("Thickness:"), m_thickness);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(width);
    layout->addWidget(m_noShade);
    layout->addWidget(new QLabel(QStringLiteral("Sample Line, as if this page were 640 pixels "
                                                "wide"),
                                 this));
    layout->addWidget(m_sample);
    layout->addLayout(buttons);

    const auto redraw = [this] { m_sample->update(); };
    connect(m_align, &QComboBox::currentIndexChanged, this, redraw);
    connect(m_thickness, &QSpinBox::valueChanged, this, redraw);
    connect(m_percent, &QSpinBox::valueChanged, this, redraw);
    connect(m_pixels, &QSpinBox::valueChanged, this, redraw);
    connect(m_noShade, &QCheckBox::toggled, this, redraw);
    connect(m_percentMode, &QRadioButton::toggled, this, [this](bool percent) {
        m_percent->setEnabled(percent);
        m_pixels->setEnabled(!percent);
        m_sample->update();
    });
    connect(ok, &QPushButton::clicked, this, [this] {
        handOverText(m_clipboard, m_result, composedText(), true);
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QString TFormHoriz::composedText() const {
    RuleFields f;
    f.align = m_align->currentText();
    f.thickness = m_thickness->value();
    f.percentWidth = m_percentMode->isChecked();
    f.percent = m_percent->value();
    f.pixels = m_pixels->value();
    f.noShade = m_noShade->isChecked();
    f.lowerCase = m_lowerCase;
    return ruleText(f);
}

QRect TFormHoriz::sampleLine() const {
    RuleFields f;
    f.align = m_align->currentText();
    f.thickness = m_thickness->value();
    f.percentWidth = m_percentMode->isChecked();
    f.percent = m_percent->value();
    f.pixels = m_pixels->value();
    return ruleSample(f);
}

// The frames builder ---------------------------------------------------------------------------

class FrameDataPanel : public QWidget {
public:
    FrameDataPanel(FileChooser& chooser, const QString& pageFolder, const QString& name,
                   const QString& urlCaption, QWidget* parent)
        : QWidget(parent) {
        setObjectName(name);
        m_source = new QLineEdit(this);
        m_source->setObjectName(QStringLiteral("FrameSource"));
        m_name = new QLineEdit(this);
        m_name->setObjectName(QStringLiteral("FrameName"));
        m_scrolling = new QComboBox(this);
        m_scrolling->setObjectName(QStringLiteral("FrameScrolling"));
        m_scrolling->addItems(
            {QStringLiteral("Auto"), QStringLiteral("Yes"), QStringLiteral("No")});
        m_noResize = new QCheckBox(QStringLiteral("No Resize"), this);
        m_noResize->setObjectName(QStringLiteral("FrameNoResize"));
        m_noResize->setChecked(true);
        m_noBorder = new QCheckBox(QStringLiteral("No Border"), this);
        m_noBorder->setObjectName(QStringLiteral("FrameNoBorder"));
        auto* browse = button(QStringLiteral("..."), QStringLiteral("BrowseSource"), this);
        browse->setToolTip(QStringLiteral("Select a local file"));
        // Room for a file name in the field; the button needs no more than its dots.
        browse->setFixedWidth(browse->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 16);
        m_source->setMinimumWidth(m_source->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 16);
        auto* sourceRow = new QHBoxLayout;
        sourceRow->addWidget(m_source);
        sourceRow->addWidget(browse);
        auto* form = new QFormLayout(this);
        form->setContentsMargins(4, 4, 4, 4);
        form->addRow(QStringLiteral("Name:"), m_name);
        form->addRow(urlCaption, sourceRow);
        form->addRow(QStringLiteral("Scrolling:"), m_scrolling);
        form->addRow(m_noResize);
        form->addRow(m_noBorder);
        connect(browse, &QPushButton::clicked, this, [this, &chooser, pageFolder] {
            FileDialogRequest request;
            request.filter = QStringLiteral("All Files|*.*|HTM|*.htm|HTML|*.html|SHTML|*.shtml|"
                                            "ASP|*.asp");
            if (const auto path = chooser.openFile(request))
                m_source->setText(relativeLink(*path, pageFolder));
        });
    }
    FrameSlot get() const {
        return {m_name->text(), m_source->text(), m_scrolling->currentText(),
                m_noResize->isChecked(), m_noBorder->isChecked()};
    }
    void set(const FrameSlot& s) {
        m_name->setText(s.name);
        m_source->setText(s.source);
        m_scrolling->setCurrentText(s.scrolling);
        m_noResize->setChecked(s.noResize);
        m_noBorder->setChecked(s.noBorder);
    }

private:
    QLineEdit* m_source = nullptr;
    QLineEdit* m_name = nullptr;
    QComboBox* m_scrolling = nullptr;
    QCheckBox* m_noResize = nullptr;
    QCheckBox* m_noBorder = nullptr;
};

namespace {

const char* const stepTitles[] = {"Frame Builder Step#1:  Define Starting Layout",
                                  "Frame Builder Step#2:  Create Subframes",
                                  "Frame Builder Step#3:  Enter Frame Data"};

const char* const helpText =
    "HTML Frame Documents:\n\n"
    "A frame document has a FRAMESET structure in place of a BODY. The FRAMESET divides the "
    "browser window into rows or columns, and each FRAME inside it shows a page of its own. A "
    "NOFRAMES section may follow, with the text shown by browsers that cannot show frames.\n\n"
    "Sizes of rows and columns:\n"
    "ROWS and COLS take a list of sizes separated by commas, one per frame: a percentage of the "
    "window (\"25%\"), a number of pixels (\"120\"), or an asterisk (\"*\"), which takes the "
    "space that is left. The Frame Builder writes equal percentages with an asterisk for the "
    "last frame; change them afterwards in the editor to give frames other widths or "
    "heights.\n\n"
    "ATTRIBUTE VALUES:\n"
    "SRC - the page shown in the frame.\n"
    "NAME - the frame's name, used as the TARGET of links that should open in it.\n"
    "SCROLLING - Yes shows scroll bars always, No never, Auto when the page needs them.\n"
    "No Border - writes FRAMEBORDER=\"0\": the frame is drawn without a border.\n"
    "No Resize - writes NORESIZE: the visitor cannot drag the frame's edges.\n";

// The layouts of the five designs, in a 60 by 45 picture: rectangles and their colours.
struct DesignPart {
    QRect rect;
    QColor color;
};
QList<DesignPart> designParts(int design) {
    const QColor yellow(Qt::yellow), white(Qt::white), pink(255, 182, 193);
    switch (design) {
    case 2:
        return {{QRect(0, 0, 60, 9), yellow}, {QRect(0, 9, 60, 36), white}};
    case 3:
        return {{QRect(0, 0, 60, 9), yellow},
                {QRect(0, 9, 60, 27), white},
                {QRect(0, 36, 60, 9), pink}};
    case 4:
        return {{QRect(0, 0, 12, 45), yellow},
                {QRect(12, 0, 48, 9), pink},
                {QRect(12, 9, 48, 36), white}};
    case 5:
        return {{QRect(0, 0, 60, 36), white}, {QRect(0, 36, 60, 9), yellow}};
    default:
        return {{QRect(0, 0, 12, 45), yellow}, {QRect(12, 0, 48, 45), white}};
    }
}

} // namespace

Tformframes::Tformframes(Clipboard& clipboard, FileChooser& chooser, const QString& pageFolder,
                         QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_clipboard(clipboard) {
    setObjectName(QStringLiteral("Formframes"));
    setWindowTitle(QStringLiteral("Frame Builder"));
    auto* tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("FrameTabs"));

    // The wizard.
    auto* wizardPage = new QWidget;
    wizardPage->setObjectName(QStringLiteral("WizardPage"));
    m_title = new QLabel(wizardPage);
    m_title->setObjectName(QStringLiteral("StepTitle"));
    QFont bold = m_title->font();
    bold.setBold(true);
    m_title->setFont(bold);
    m_picture = new PaintBox(
        wizardPage,
        [this](QPainter& p) {
            if (m_wizard.step() < 2)
                return;
            for (const FrameRectangle& r : m_wizard.rectangles()) {
                const bool split = m_wizard.subCount((r.slot - 1) / 5 + 1) >= 2;
                // In step 3 the frames that hold data are the undivided main frames and the
                // subframes; a split main frame is only their outline.
                const bool holder = r.subframe || !split;
                const bool yellow = holder && r.slot == m_wizard.highlightedSlot();
                p.fillRect(r.rect, yellow ? QColor(Qt::yellow) : QColor(Qt::white));
                p.setPen(Qt::black);
                p.drawRect(r.rect.adjusted(0, 0, -1, -1));
                if (holder)
                    p.drawText(r.rect.adjusted(4, 2, -4, -2), Qt::AlignLeft | Qt::AlignTop,
                               r.caption);
                else if (m_wizard.step() == 2)
                    p.drawText(r.rect.adjusted(4, 2, -4, -2), Qt::AlignLeft | Qt::AlignTop,
                               r.caption);
            }
        },
        [this](const QPoint& at) { clickPicture(at); });
    m_picture->setObjectName(QStringLiteral("LayoutPicture"));
    m_picture->setFixedSize(352, 292);

    m_step1 = new QWidget(m_picture);
    m_step1->setObjectName(QStringLiteral("Step1"));
    m_step1->setGeometry(0, 0, 352, 292);
    auto* settings = new QGroupBox(QStringLiteral("Settings:"), m_step1);
    auto* columns = new QRadioButton(QStringLiteral("Columns"), settings);
    columns->setObjectName(QStringLiteral("Columns"));
    columns->setChecked(true);
    m_rows = new QRadioButton(QStringLiteral("Rows"), settings);
    m_rows->setObjectName(QStringLiteral("Rows"));
    m_count = spin(2, 5, 2, QStringLiteral("MainCount"), settings);
    auto* settingsLayout = new QGridLayout(settings);
    settingsLayout->addWidget(
        note(QStringLiteral("How would you like to begin laying out your frames?"), settings), 0, 0,
        1, 2);
    settingsLayout->addWidget(columns, 1, 0);
    settingsLayout->addWidget(m_rows, 1, 1);
    settingsLayout->addWidget(
        new QLabel(QStringLiteral("Initial # of rows or columns (max=5)"), settings), 2, 0);
    settingsLayout->addWidget(m_count, 2, 1);
    auto* step1Layout = new QVBoxLayout(m_step1);
    step1Layout->addWidget(
        note(QStringLiteral("Using the Frame Builder is easy. Follow the steps below to build "
                            "your own custom frame layout, or click the FRAME TEMPLATE tab above "
                            "to use one of the most common frame layouts. Click the HELP tab "
                            "above for general instructions."),
             m_step1));
    step1Layout->addWidget(
        note(QStringLiteral("To get started, just select the column or row layout below, choose "
                            "how many initial rows or columns you want, then click the NEXT "
                            "button at the bottom of the screen to continue."),
             m_step1));
    step1Layout->addWidget(settings);
    step1Layout->addStretch();
    connect(m_rows, &QRadioButton::toggled, this, [this](bool rows) {
        m_wizard.setOrientation(rows ? FrameOrientation::Rows : FrameOrientation::Columns);
    });
    connect(m_count, &QSpinBox::valueChanged, this,
            [this](int count) { m_wizard.setMainCount(count); });
    for (size_t i = 0; i < m_dials.size(); ++i) {
        m_dials[i] = spin(1, 5, 1, QStringLiteral("SubframeDial%1").arg(i + 1), m_picture);
        const int n = static_cast<int>(i) + 1;
        connect(m_dials[i], &QSpinBox::valueChanged, this, [this, n](int k) {
            m_wizard.setSubCount(n, k);
            m_picture->update();
        });
    }

    m_step2Notes = note(QStringLiteral("In Step#2, you can subdivide your main frames into "
                                       "subframes. Use the number dials to select the number of "
                                       "sub-frames within each frame (maximum=5, minimum=1).\n\n"
                                       "If you wish to change the width or height of the rows or "
                                       "columns, you must wait until you finish the frames and "
                                       "return to the main Editor Window. See the HELP tab above "
                                       "for basic instructions on how to set custom width and "
                                       "height values."),
                        wizardPage);
    m_step2Notes->setObjectName(QStringLiteral("Step2Notes"));
    m_panel = new FrameDataPanel(chooser, pageFolder, QStringLiteral("FrameDataPanel"),
                                 QStringLiteral("URL Souce:"), wizardPage);
    m_back = button(QStringLiteral("<  Back"), QStringLiteral("BackButton"), wizardPage);
    m_next = button(QStringLiteral("Next  >"), QStringLiteral("NextButton"), wizardPage);
    auto* cancel = button(QStringLiteral("Cancel"), QStringLiteral("CancelButton"), wizardPage);
    auto* side = new QVBoxLayout;
    side->addWidget(m_step2Notes);
    side->addWidget(m_panel);
    side->addStretch();
    auto* body = new QHBoxLayout;
    body->addWidget(m_picture);
    body->addLayout(side, 1);
    auto* wizardButtons = new QHBoxLayout;
    wizardButtons->addStretch();
    wizardButtons->addWidget(m_back);
    wizardButtons->addWidget(m_next);
    wizardButtons->addWidget(cancel);
    auto* wizardLayout = new QVBoxLayout(wizardPage);
    wizardLayout->addWidget(m_title);
    wizardLayout->addLayout(body, 1);
    wizardLayout->addLayout(wizardButtons);
    connect(m_next, &QPushButton::clicked, this, [this] { next(); });
    connect(m_back, &QPushButton::clicked, this, [this] { back(); });
    connect(cancel, &QPushButton::clicked, this, [this] { leave(); });
    tabs->addTab(wizardPage, QStringLiteral("Use Frame Builder"));

    // The templates.
    auto* templatePage = new QWidget;
    templatePage->setObjectName(QStringLiteral("TemplatePage"));
    auto* designGroup =
        new QGroupBox(QStringLiteral("#1  Select a Frame design you wish to use:"), templatePage);
    auto* designLayout = new QHBoxLayout(designGroup);
    for (int d = 1; d <= 5; ++d) {
        auto* picture = new PaintBox(
            designGroup,
            [this, d](QPainter& p) {
                p.translate(4, 4);
                for (const DesignPart& part : designParts(d)) {
                    p.fillRect(part.rect, part.color);
                    p.setPen(Qt::black);
                    p.drawRect(part.rect.adjusted(0, 0, -1, -1));
                }
                if (m_design == d) {
                    p.setPen(QPen(Qt::blue, 3));
                    p.drawRect(QRect(-3, -3, 66, 51));
                }
            },
            [this, d](const QPoint&) { chooseDesign(d); });
        picture->setObjectName(QStringLiteral("Design%1").arg(d));
        picture->setFixedSize(68, 53);
        m_designs[static_cast<size_t>(d - 1)] = picture;
        designLayout->addWidget(picture);
    }
    auto* dataGroup =
        new QGroupBox(QStringLiteral("#2  Enter the data for each colored frame:"), templatePage);
    auto* dataLayout = new QHBoxLayout(dataGroup);
    const QStringList colours = {QStringLiteral("Yellow"), QStringLiteral("White"),
                                 QStringLiteral("Pink")};
    for (int i = 0; i < 3; ++i) {
        auto* group = new QGroupBox(colours[i], dataGroup);
        group->setObjectName(colours[i] + QStringLiteral("Group"));
        auto* panel = new FrameDataPanel(chooser, pageFolder, colours[i] + QStringLiteral("Data"),
                                         QStringLiteral("URL Source:"), group);
        panel->set(FrameSlot{
            QStringLiteral("Frame%1").arg(i + 1), {}, QStringLiteral("Auto"), true, false});
        auto* groupLayout = new QVBoxLayout(group);
        groupLayout->addWidget(panel);
        m_colorGroups[static_cast<size_t>(i)] = panel;
        dataLayout->addWidget(group);
    }
    auto* finish =
        button(QStringLiteral("&Finish"), QStringLiteral("TemplateFinish"), templatePage);
    auto* templateCancel =
        button(QStringLiteral("&Cancel"), QStringLiteral("TemplateCancel"), templatePage);
    auto* templateButtons = new QHBoxLayout;
    templateButtons->addStretch();
    templateButtons->addWidget(finish);
    templateButtons->addWidget(templateCancel);
    auto* templateLayout = new QVBoxLayout(templatePage);
    templateLayout->addWidget(
        note(QStringLiteral("Listed below are some of the more common frame layouts. Click a "
                            "design you wish to use, then enter the frame data below. Click the "
                            "FINISH button when you are ready."),
             templatePage));
    templateLayout->addWidget(designGroup);
    templateLayout->addWidget(dataGroup, 1);
    templateLayout->addLayout(templateButtons);
    connect(finish, &QPushButton::clicked, this, [this] { finishTemplate(); });
    connect(templateCancel, &QPushButton::clicked, this, [this] { leave(); });
    tabs->addTab(templatePage, QStringLiteral("Use Frame Templates"));

    // The help.
    auto* helpPage = new QWidget;
    auto* help = new QPlainTextEdit(QString::fromUtf8(helpText), helpPage);
    help->setObjectName(QStringLiteral("FrameHelp"));
    help->setReadOnly(true);
    auto* exit = button(QStringLiteral("E&xit"), QStringLiteral("HelpExit"), helpPage);
    auto* helpLayout = new QVBoxLayout(helpPage);
    helpLayout->addWidget(help, 1);
    helpLayout->addWidget(exit, 0, Qt::AlignRight);
    connect(exit, &QPushButton::clicked, this, [this] { leave(); });
    tabs->addTab(helpPage, QStringLiteral("Help with Frames"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    resize(760, 440);
    showStep();
}

void Tformframes::leave() {
    m_result.accepted = false;
    done(QDialog::Rejected);
}

void Tformframes::readPanel() {
    m_wizard.panel = m_panel->get();
}

void Tformframes::writePanel() {
    m_panel->set(m_wizard.panel);
}

void Tformframes::showStep() {
    const int step = std::min(m_wizard.step(), 3);
    m_title->setText(QString::fromUtf8(stepTitles[step - 1]));
    m_step1->setVisible(step == 1);
    m_step2Notes->setVisible(step == 2);
    m_panel->setVisible(step == 3);
    m_back->setEnabled(step > 1);
    m_next->setText(step == 3 ? QStringLiteral("Finish  >") : QStringLiteral("Next  >"));
    const QList<FrameRectangle> rects = m_wizard.rectangles();
    for (size_t i = 0; i < m_dials.size(); ++i) {
        QSpinBox* dial = m_dials[i];
        const int n = static_cast<int>(i) + 1;
        const bool shown = step == 2 && n <= m_wizard.mainCount();
        if (shown) {
            for (const FrameRectangle& r : rects)
                if (!r.subframe && r.slot == (n - 1) * 5 + 1)
                    dial->move(r.rect.center() - QPoint(dial->width() / 2, dial->height() / 2));
            dial->blockSignals(true);
            dial->setValue(m_wizard.subCount(n));
            dial->blockSignals(false);
        }
        dial->setVisible(shown);
    }
    if (step == 3)
        writePanel();
    m_picture->update();
}

void Tformframes::next() {
    if (m_wizard.step() == 3)
        readPanel();
    if (m_wizard.next()) {
        handOverText(m_clipboard, m_result, m_wizard.text(m_lowerCase), true);
        done(QDialog::Accepted);
        return;
    }
    showStep();
}

void Tformframes::back() {
    if (m_wizard.step() == 3)
        readPanel();
    m_wizard.back();
    showStep();
}

void Tformframes::clickPicture(const QPoint& at) {
    if (m_wizard.step() != 3)
        return;
    // The frame under the point that holds data: a subframe before the main frame it splits.
    int slot = 0;
    for (const FrameRectangle& r : m_wizard.rectangles()) {
        const bool split = m_wizard.subCount((r.slot - 1) / 5 + 1) >= 2;
        if ((r.subframe || !split) && r.rect.contains(at))
            slot = r.slot;
    }
    if (!slot)
        return;
    readPanel();
    m_wizard.clickSlot(slot);
    writePanel();
    m_picture->update();
}

void Tformframes::chooseDesign(int design) {
    m_design = std::clamp(design, 1, 5);
    // The pink frame's group only for the designs that have one.
    if (auto* pink = m_colorGroups[2]->parentWidget())
        pink->setVisible(frameTemplateUsesPink(m_design));
    for (QWidget* d : m_designs)
        d->update();
}

void Tformframes::finishTemplate() {
    handOverText(m_clipboard, m_result,
                 frameTemplateText(m_design, m_colorGroups[0]->get(), m_colorGroups[1]->get(),
                                   m_colorGroups[2]->get(), m_lowerCase),
                 true);
    done(QDialog::Accepted);
}

// TFormFrameSet --------------------------------------------------------------------------------

TFormFrameSet::TFormFrameSet(Clipboard& clipboard, QWidget* parent)
    : QDialog(parent), m_clipboard(clipboard), m_selected(clipboard.text()) {
    setObjectName(QStringLiteral("FormFrameSet"));
    setWindowTitle(QStringLiteral("FRAMESET Dialog"));
    m_cols = new QLineEdit(this);
    m_cols->setObjectName(QStringLiteral("FramesetCols"));
    m_rowsField = new QLineEdit(this);
    m_rowsField->setObjectName(QStringLiteral("FramesetRows"));
    auto* cut = new QPlainTextEdit(this);
    cut->setObjectName(QStringLiteral("IndentedText"));
    cut->setReadOnly(true);
    // The selection as it will stand inside the frameset.
    QString indented = framesetText({}, {}, m_selected);
    indented.remove(0, indented.indexOf(QStringLiteral("\r\n")) + 2);
    indented.chop(QStringLiteral("</FRAMESET>\r\n").size());
    indented.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    cut->setPlainText(indented);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("COLS="), m_cols);
    form->addRow(QStringLiteral("ROWS="), m_rowsField);
    form->addRow(QString(), new QLabel(QStringLiteral("(ex:  25%,50%,25%  )"), this));
    auto* ok = button(QStringLiteral("&OK"), QStringLiteral("OKButton"), this);
    ok->setDefault(true);
    auto* cancel = button(QStringLiteral("&Cancel"), QStringLiteral("CancelButton"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(note(QStringLiteral("Fill in the blanks below. Then press the OK button to "
                                          "create a tag of this form:"),
                           this));
    layout->addWidget(note(QStringLiteral("<FRAMESET COLS=\"100%\" ROWS=\"50%,50%\">"), this));
    layout->addLayout(form);
    layout->addWidget(note(QStringLiteral("NOTE: Do NOT include any quotation marks in your "
                                          "entries -- they will be added for you "
                                          "automatically."),
                           this));
    layout->addWidget(cut);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, [this] {
        handOverText(m_clipboard, m_result, composedText(), true);
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QString TFormFrameSet::composedText() const {
    return framesetText(m_cols->text(), m_rowsField->text(), m_selected, m_lowerCase);
}

// TFormFrameDialog -----------------------------------------------------------------------------

TFormFrameDialog::TFormFrameDialog(Clipboard& clipboard, QWidget* parent)
    : QDialog(parent), m_clipboard(clipboard) {
    setObjectName(QStringLiteral("FormFrameDialog"));
    setWindowTitle(QStringLiteral("FRAME Dialog"));
    m_source = new QLineEdit(this);
    m_source->setObjectName(QStringLiteral("FrameSource"));
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("FrameName"));
    m_scrolling = new QComboBox(this);
    m_scrolling->setObjectName(QStringLiteral("FrameScrolling"));
    m_scrolling->addItems({QStringLiteral("Auto"), QStringLiteral("Yes"), QStringLiteral("No")});
    m_noResize = new QCheckBox(QStringLiteral("No Resize"), this);
    m_noResize->setObjectName(QStringLiteral("FrameNoResize"));
    m_noResize->setChecked(true);
    m_noBorder = new QCheckBox(QStringLiteral("No Border"), this);
    m_noBorder->setObjectName(QStringLiteral("FrameNoBorder"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("URL Source"), m_source);
    form->addRow(QStringLiteral("Name"), m_name);
    form->addRow(QStringLiteral("Scrolling:"), m_scrolling);
    form->addRow(m_noResize);
    form->addRow(m_noBorder);
    auto* ok = button(QStringLiteral("&OK"), QStringLiteral("OKButton"), this);
    ok->setDefault(true);
    auto* cancel = button(QStringLiteral("&Cancel"), QStringLiteral("CancelButton"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(note(QStringLiteral("Enter your frame data below. Then press the OK button "
                                          "to create a tag of this form:"),
                           this));
    layout->addWidget(note(
        QStringLiteral("<FRAME NAME=\"Index\" SRC=\"table.html\" SCROLLING=\"Auto\" >"), this));
    layout->addLayout(form);
    layout->addWidget(note(QStringLiteral("(NOTE: Do NOT include any quotation marks in the name "
                                          "or source field, they will be added automatically.)"),
                           this));
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, [this] {
        handOverText(m_clipboard, m_result, composedText(), true);
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QString TFormFrameDialog::composedText() const {
    return frameDialogText(FrameSlot{m_name->text(), m_source->text(), m_scrolling->currentText(),
                                     m_noResize->isChecked(), m_noBorder->isChecked()},
                           m_lowerCase);
}
