// TFormBanner: the start-up banner, which is also the About box.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

class TFormBanner : public QDialog {
    Q_OBJECT
public:
    enum class Mode { StartUp, About };
    static constexpr int StartUpCloseMs = 2200;
    static constexpr int AboutHeight = 414;

    explicit TFormBanner(Mode mode, QWidget* parent = nullptr);

    // Shows the banner modally; at start-up it closes by itself after 2200 ms.
    int exec() override;

private:
    Mode m_mode;
    QLabel* m_contact = nullptr;
};
