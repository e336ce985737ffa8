// TFormTip: the tip-of-the-day window.
#pragma once

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QLabel;

class TFormTip : public QDialog {
    Q_OBJECT
public:
    TFormTip(const QStringList& tips, int first, bool showAtStartUp, QWidget* parent = nullptr);

    bool showAtStartUp() const;
    QString currentTip() const;

private:
    void nextTip();

    QStringList m_tips;
    int m_index = 0;
    QLabel* m_text = nullptr;
    QCheckBox* m_show = nullptr;
};
