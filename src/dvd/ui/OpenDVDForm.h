#pragma once

#include "dvd/DriveList.h"

#include <QDialog>

#include <memory>

class QComboBox;
class QLabel;
class QPushButton;

// The disc chooser "Open a DVD": lists the drives that hold a disc and opens
// the chosen disc's VIDEO_TS folder. Shown without a modal loop; the main
// window is disabled while it is open.
class TOpenDVDForm : public QDialog
{
    Q_OBJECT

public:
    explicit TOpenDVDForm(QWidget *mainWindow = nullptr,
                          std::shared_ptr<TDriveSource> drives = std::make_shared<TLinuxDriveSource>());

    // Where the drives come from (tests feed their own).
    void SetDriveSource(std::shared_ptr<TDriveSource> drives);
    // The entries shown in cmbDrive, in order.
    const TDriveList &DriveList() const { return m_driveList; }

    void FillDriveList();
    void btnOpenClick();
    void btnCancelClick();
    void btnRefreshClick();

    QLabel *labDrive = nullptr;
    QComboBox *cmbDrive = nullptr;
    QPushButton *btnOpen = nullptr;
    QPushButton *btnCancel = nullptr;
    QPushButton *btnRefresh = nullptr;

Q_SIGNALS:
    // The chosen disc's VIDEO_TS folder (ending in "/"): the main window opens it.
    // DVDInfo().VolumeName already holds the disc's label when this is emitted.
    void OpenFolder(const QString &folder);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QWidget *m_mainWindow = nullptr;
    std::shared_ptr<TDriveSource> m_drives;
    TDriveList m_driveList;
};
