// TFormProjectBuilder: the "Website Project Builder" wizard of six tabs. Each button calls
// project/ProjectBuilder; the lists show its state.
#pragma once

#include "project/ProjectBuilder.h"

#include <QDialog>

class AppState;
class FolderBrowser;
class Prompter;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QRadioButton;
class QTabWidget;

class TFormProjectBuilder : public QDialog {
    Q_OBJECT
public:
    enum Tab { Instructions, SelectFiles, OrderFiles, AssignNames, BuildHierarchy, Finish };

    TFormProjectBuilder(AppState& state, Prompter& prompter, QWidget* parent = nullptr);

    ProjectBuilder& model() { return m_model; }
    QTabWidget* tabs() const { return m_tabs; }
    FolderBrowser* browser() const { return m_browser; }
    QComboBox* filterBox() const { return m_filter; }
    QListWidget* folderFiles() const { return m_folderFiles; }
    QListWidget* selectedList() const { return m_selected; }
    QListWidget* orderList() const { return m_order; }
    QRadioButton* useTitleRadio() const { return m_useTitle; }
    QPlainTextEdit* namesMemo() const { return m_names; }
    QListWidget* finalList() const { return m_final; }
    QLineEdit* projectNameEdit() const { return m_projectName; }

    void addSelected();
    void addAll();
    void removeSelected();
    void clearAll();
    void moveUp();
    void moveDown();
    void loadNames();
    void indent();
    void unindent();
    void saveAndExit();

private:
    void listFolder();
    void refillSelected();
    void refillFinal(const QList<int>& selectRows);
    QList<int> selectedRows(const QListWidget* list) const;
    void tabChanged(int index);

    ProjectBuilder m_model;
    Prompter& m_prompter;
    QStringList m_masks;
    int m_previousTab = Instructions;

    QTabWidget* m_tabs = nullptr;
    FolderBrowser* m_browser = nullptr;
    QComboBox* m_filter = nullptr;
    QListWidget* m_folderFiles = nullptr;
    QListWidget* m_selected = nullptr;
    QListWidget* m_order = nullptr;
    QRadioButton* m_useTitle = nullptr;
    QRadioButton* m_useFileName = nullptr;
    QPlainTextEdit* m_names = nullptr;
    QListWidget* m_final = nullptr;
    QLineEdit* m_projectName = nullptr;
};
