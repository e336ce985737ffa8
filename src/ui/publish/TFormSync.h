// TFormSync: the differences Synchronise found, one row each with its tick, and what to do with
// the ticked ones: upload them, and delete on the server the files missing here when asked.
#pragma once

#include <QDialog>

class FtpScreen;
class QCheckBox;
class QLabel;
class QPushButton;
class QTreeWidget;

class TFormSync : public QDialog {
    Q_OBJECT
public:
    explicit TFormSync(FtpScreen& screen, QWidget* parent = nullptr);

    QTreeWidget* list() const { return m_list; }
    QCheckBox* deleteOnServer() const { return m_delete; }
    QPushButton* uploadButton() const { return m_upload; }

private:
    void fill();
    void showCount();

    FtpScreen& m_screen;
    QTreeWidget* m_list = nullptr;
    QCheckBox* m_delete = nullptr;
    QLabel* m_count = nullptr;
    QPushButton* m_upload = nullptr;
    bool m_filling = false;
};
