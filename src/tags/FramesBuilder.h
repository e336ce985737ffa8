// The frames builder: the three-step wizard's model (layout, frame slots, naming, text), the five
// template designs, and the FRAMESET and FRAME dialogs' texts.
#pragma once

#include <QList>
#include <QRect>
#include <QString>
#include <array>

// The data of one frame. A name of "*" means not named yet.
struct FrameSlot {
    QString name = QStringLiteral("*");
    QString source;
    QString scrolling = QStringLiteral("Auto"); // "Auto", "Yes" or "No"
    bool noResize = true;
    bool noBorder = false;
};

// "50%,*" for two parts, "33%,33%,*" for three ...
QString frameSizeList(int parts);
// One FRAME line of the wizard and the templates, after indent; no line break.
QString frameLine(const QString& indent, const FrameSlot& frame);

enum class FrameOrientation { Columns, Rows };

// One rectangle of the layout picture: a main frame, or a subframe of a split main frame.
struct FrameRectangle {
    int slot = 1; // the slot whose data the rectangle shows: (N - 1) * 5 + K
    QString caption;
    QRect rect; // in the wizard panel's coordinates
    bool subframe = false;
};

class FrameWizard {
public:
    static constexpr int maxFrames = 5;

    int step() const { return m_step; } // 1 to 3; 4 once finished
    FrameOrientation orientation() const { return m_orientation; }
    void setOrientation(FrameOrientation o) { m_orientation = o; }
    int mainCount() const { return m_mainCount; }
    void setMainCount(int count);
    // The dial of main frame n (1 to 5): its number of subframes, 1 to 5.
    int subCount(int n) const { return m_subCounts[static_cast<size_t>(n - 1)]; }
    void setSubCount(int n, int count);

    const FrameSlot& slot(int k) const { return m_slots[static_cast<size_t>(k - 1)]; }
    int currentSlot() const { return m_current; }
    // The rectangle drawn yellow in step 3.
    int highlightedSlot() const { return m_step == 3 ? m_current : 0; }
    // What the data panel shows; the window writes the user's edits back here before Next,
    // Back, a click or Finish.
    FrameSlot panel;

    // The picture as it stands: main frames 1 to the count, and the subframes of split ones.
    QList<FrameRectangle> rectangles() const;
    // The caption of slot k's rectangle under the current split: "Frame2", "Frame2A" ...
    QString caption(int k) const;

    // Next in steps 1 and 2; in step 3 it is Finish and returns true.
    bool next();
    void back();
    // A click on slot k's rectangle: does something only in step 3.
    void clickSlot(int k);
    // The text of the finished layout (after next() returned true); lowerCase: tag and attribute
    // names in lower case.
    QString text(bool lowerCase = false) const;

private:
    void storePanel();
    void loadSlot(int k);
    FrameSlot& slotRef(int k) { return m_slots[static_cast<size_t>(k - 1)]; }

    int m_step = 1;
    FrameOrientation m_orientation = FrameOrientation::Columns;
    int m_mainCount = 2;
    std::array<int, 5> m_subCounts{1, 1, 1, 1, 1};
    std::array<FrameSlot, 25> m_slots;
    int m_current = 1;
};

// The template designs 1 to 5, from the data of the yellow, white and pink frames of their
// pictures. Designs 1, 2 and 5 use yellow and white only.
QString frameTemplateText(int design, const FrameSlot& yellow, const FrameSlot& white,
                          const FrameSlot& pink, bool lowerCase = false);
// Whether a design uses the pink frame.
bool frameTemplateUsesPink(int design);

// The FRAMESET dialog: selected is the text cut from the editor (may be empty).
QString framesetText(const QString& cols, const QString& rows, const QString& selected,
                     bool lowerCase = false);
// The FRAME dialog: one line.
QString frameDialogText(const FrameSlot& frame, bool lowerCase = false);
