// TFormTip: the tip-of-the-day window.
#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>

class QCheckBox;
class QLabel;

class TFormTip : public QDialog {
    Q_OBJECT
public:
    // drawTip: the index of the tip to show, asked for the first tip and at each "&Next Tip".
    TFormTip(const QStringList& tips, std::function<int()> drawTip, bool showAtStartUp,
             QWidget* parent = nullptr);

    bool showAtStartUp() const;
    QString currentTip() const;

private:
    void nextTip();

    QStringList m_tips;
    std::function<int()> m_drawTip;
    int m_index = 0;
    QLabel* m_text = nullptr;
    QCheckBox* m_show = nullptr;
};
