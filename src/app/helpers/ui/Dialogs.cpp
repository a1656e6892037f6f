#include "app/helpers/ui/Dialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace {
TMessageHandler &messageHandler()
{
    static TMessageHandler handler;
    return handler;
}
TFolderHandler &folderHandler()
{
    static TFolderHandler handler;
    return handler;
}
} // namespace

void SetMessageHandler(TMessageHandler handler)
{
    messageHandler() = std::move(handler);
}
void SetFolderHandler(TFolderHandler handler)
{
    folderHandler() = std::move(handler);
}

QMessageBox::StandardButton ShowMessage(QWidget *owner, const QString &caption, const QString &text,
                                        QMessageBox::Icon icon, QMessageBox::StandardButtons buttons)
{
    if (messageHandler())
        return messageHandler()(TMessageRequest{owner, caption, text, icon, buttons});
    QMessageBox box(icon, caption, text, buttons, owner);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void ShowNotice(QWidget *owner, const QString &caption, const QString &text)
{
    ShowMessage(owner, caption, text, QMessageBox::Information, QMessageBox::Ok);
}

bool AskYesNo(QWidget *owner, const QString &caption, const QString &text)
{
    return ShowMessage(owner, caption, text, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

void ShowError(QWidget *owner, const QString &text)
{
    ShowMessage(owner, QCoreApplication::applicationName(), text, QMessageBox::Critical, QMessageBox::Ok);
}

bool BrowseForFolder(QWidget *owner, const QString &caption, QString &folder)
{
    if (!QFileInfo(folder).isDir())
        folder.clear();
    if (folderHandler())
        return folderHandler()(owner, caption, folder);
    const QString chosen = QFileDialog::getExistingDirectory(owner, caption, folder);
    if (chosen.isEmpty())
        return false;
    folder = QDir::toNativeSeparators(chosen);
    return true;
}

void ProcessPendingMessages()
{
    QCoreApplication::processEvents();
}
