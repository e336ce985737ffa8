// The project's dialogs: "Adding/Changing Web Pages", "Confirm Delete" and "Move Pages within
// Site". Each button calls the rules of project/ProjectDialogs.h and project/MovePages.h.
#pragma once

#include "project/MovePages.h"
#include "project/ProjectDialogs.h"

#include <QDialog>

class AppState;
class FileChooser;
class Prompter;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;

// The page dialog, created once and reused.
class TFormPage : public QDialog, public PageDialog {
    Q_OBJECT
public:
    TFormPage(AppState& app, Prompter& prompter, FileChooser& chooser, QWidget* parent = nullptr);
    PageDialogResult run(const PageDialogRequest& request) override;

    QLineEdit* titleField() const { return m_title; }
    QLineEdit* pathField() const { return m_path; }

protected:
    void reject() override;

private:
    void pullFields();
    void pushFields();
    void focusField();

    AppState& m_app;
    PageDialogModel m_model;
    QLineEdit* m_title = nullptr;
    QLineEdit* m_path = nullptr;
};

class TFormConfirmDelete : public QDialog, public ConfirmDeleteWindow {
    Q_OBJECT
public:
    explicit TFormConfirmDelete(QWidget* parent = nullptr);
    Answer ask(const QString& which) override;
    QLabel* whichLabel() const { return m_which; }

private:
    QLabel* m_which = nullptr;
    QCheckBox* m_doNotShow = nullptr;
};

// The move dialog: made for each use from the scratch files.
class TFormMove : public MoveDialog {
public:
    TFormMove(QString programDirectory, Prompter& prompter, QWidget* parent = nullptr)
        : m_programDirectory(std::move(programDirectory)), m_prompter(prompter), m_parent(parent) {}
    bool run(int selectedLine) override;

private:
    QString m_programDirectory;
    Prompter& m_prompter;
    QWidget* m_parent;
};

// The window of one move dialog.
class TFormMoveWindow : public QDialog {
    Q_OBJECT
public:
    TFormMoveWindow(MovePages list, Prompter& prompter, QWidget* parent = nullptr);
    MovePages& list() { return m_list; }
    QListWidget* listWidget() const { return m_view; }

private:
    void act(void (TFormMoveWindow::*step)());
    void up() { m_list.moveUp(); }
    void down() { m_list.moveDown(m_prompter); }
    void in() { m_list.moveIn(m_prompter); }
    void out() { m_list.moveOut(); }
    void refill();

    MovePages m_list;
    Prompter& m_prompter;
    QListWidget* m_view = nullptr;
};
