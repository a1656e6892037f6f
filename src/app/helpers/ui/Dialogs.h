#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

class QWidget;

// Every message box and folder chooser of the program goes through here, so a
// test can read what would be shown and give the user's answer.

struct TMessageRequest
{
    QWidget *owner = nullptr;
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::Information;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
};

using TMessageHandler = std::function<QMessageBox::StandardButton(const TMessageRequest &)>;
using TFolderHandler = std::function<bool(QWidget *owner, const QString &caption, QString &folder)>;

// Shows a message box (or hands it to the installed handler) and returns the button pressed.
QMessageBox::StandardButton ShowMessage(QWidget *owner, const QString &caption, const QString &text,
                                        QMessageBox::Icon icon = QMessageBox::Information,
                                        QMessageBox::StandardButtons buttons = QMessageBox::Ok);

// Notice with the information icon and OK.
void ShowNotice(QWidget *owner, const QString &caption, const QString &text);
// Question with the question icon and Yes/No; true for Yes.
bool AskYesNo(QWidget *owner, const QString &caption, const QString &text);
// The application's standard error display: a critical box with the error's text.
void ShowError(QWidget *owner, const QString &text);

// The folder chooser: caption as its title; the folder passed in, when it
// exists, is preselected. True when the user confirmed a folder, which is then
// returned in folder; on cancel folder keeps what was passed in (empty when
// that folder did not exist).
bool BrowseForFolder(QWidget *owner, const QString &caption, QString &folder);

// Test seams: install a handler (an empty function restores the real dialogs).
void SetMessageHandler(TMessageHandler handler);
void SetFolderHandler(TFolderHandler handler);

// "Process pending window messages".
void ProcessPendingMessages();
