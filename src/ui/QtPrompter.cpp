// QtPrompter: the program's message and input boxes as QMessageBox and QInputDialog.
#include "ui/QtPrompter.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QGuiApplication>
#include <QInputDialog>

namespace {

MessageAnswer closingAnswer(MessageButtons buttons) {
    switch (buttons) {
    case MessageButtons::Ok:
        return MessageAnswer::Ok;
    case MessageButtons::YesNo:
        return MessageAnswer::No;
    case MessageButtons::YesNoCancel:
        return MessageAnswer::Cancel;
    }
    return MessageAnswer::Cancel;
}

} // namespace

void QtPrompter::configure(QMessageBox& box, MessageKind kind, MessageButtons buttons,
                           const QString& text) {
    box.setWindowTitle(QGuiApplication::applicationDisplayName());
    // The program's texts hold HTML tags now and then; they are shown as written.
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    switch (kind) {
    case MessageKind::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MessageKind::Confirmation:
        box.setIcon(QMessageBox::Question);
        break;
    case MessageKind::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case MessageKind::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    }
    switch (buttons) {
    case MessageButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
        break;
    case MessageButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        break;
    case MessageButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    }
    // A short message makes a narrow box, and the window manager then cuts the program's name
    // in its title bar: the box is made at least as wide as the title needs.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(titleRoom(box.windowTitle(), box.font()), 0,
                                      QSizePolicy::Minimum, QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
}

int QtPrompter::titleRoom(const QString& title, const QFont& font) {
    // Title bars use a bold face, often a little larger, beside the window's icon and its
    // buttons (minimize, maximize, close).
    QFont bold = font;
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() > 0 ? bold.pointSizeF() * 1.15 : bold.pointSizeF());
    return QFontMetrics(bold).horizontalAdvance(title) + 160;
}

MessageAnswer QtPrompter::answerFor(int result, MessageButtons buttons) {
    switch (result) {
    case QMessageBox::Ok:
        if (buttons == MessageButtons::Ok)
            return MessageAnswer::Ok;
        break;
    case QMessageBox::Yes:
        if (buttons != MessageButtons::Ok)
            return MessageAnswer::Yes;
        break;
    case QMessageBox::No:
        if (buttons != MessageButtons::Ok)
            return MessageAnswer::No;
        break;
    case QMessageBox::Cancel:
        if (buttons == MessageButtons::YesNoCancel)
            return MessageAnswer::Cancel;
        break;
    default:
        break;
    }
    return closingAnswer(buttons);
}

MessageAnswer QtPrompter::message(MessageKind kind, MessageButtons buttons, const QString& text) {
    QMessageBox box(m_parent);
    configure(box, kind, buttons, text);
    return answerFor(box.exec(), buttons);
}

std::optional<QString> QtPrompter::secret(const QString& caption, const QString& prompt) {
    return ask(caption, prompt, {}, QLineEdit::Password);
}

std::optional<QString> QtPrompter::input(const QString& caption, const QString& prompt,
                                         const QString& initial) {
    return ask(caption, prompt, initial, QLineEdit::Normal);
}

std::optional<QString> QtPrompter::ask(const QString& caption, const QString& prompt,
                                       const QString& initial, QLineEdit::EchoMode echo) {
    QInputDialog dialog(m_parent);
    dialog.setTextEchoMode(echo);
    dialog.setWindowTitle(caption.isEmpty() ? QGuiApplication::applicationDisplayName() : caption);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setLabelText(prompt);
    dialog.setTextValue(initial);
    // The program's input boxes (the FTP screen's Make Dir and Rename) name their buttons
    // themselves, with their own accelerators, whatever the desktop's language.
    dialog.setOkButtonText(QStringLiteral("&Ok"));
    dialog.setCancelButtonText(QStringLiteral("&Cancel"));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}
