#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// "Edit the DVD Volume": the prefix of every output file name. It reads and
// writes only DVDInfo().VolumeName. Shown without a modal loop; the main
// window is disabled while it is open.
class TEditDVDVolumeForm : public QDialog
{
    Q_OBJECT

public:
    explicit TEditDVDVolumeForm(QWidget *mainWindow = nullptr);

    // Fills the edit box afresh from VolumeName and shows the dialog.
    void ShowForCurrentVolume();

    void btnOKClick();
    void btnCancelClick();

    QLabel *labDVDVolume = nullptr;
    QLineEdit *edtDVDVolume = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *btnCancel = nullptr;

Q_SIGNALS:
    // OK was pressed: VolumeName holds the new text.
    void VolumeChanged();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QWidget *m_mainWindow = nullptr;
};
