// TFormPrintOptions: the "Print Options" window: what the print command prints.
#pragma once

#include "project/ProjectPrint.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QRadioButton;

class TFormPrintOptions : public QDialog, public PrintOptionsWindow {
    Q_OBJECT
public:
    explicit TFormPrintOptions(QWidget* parent = nullptr);

    // Cleared and set to the first choice on every opening; the third is offered only when an
    // HTML file is open. Escape and the title-bar close cancel, as Cancel does: a window closed
    // without Print never goes on to print.
    PrintOptionsResult run(bool htmlFileOpen) override;

    QRadioButton* choice(int mode) const { return m_choices.at(mode - 1); }
    QCheckBox* fileNameOnlyBox() const { return m_fileNameOnly; }

    void reject() override;

private:
    std::array<QRadioButton*, 3> m_choices{};
    QCheckBox* m_fileNameOnly = nullptr;
    PrintOptionsResult m_result;
};
