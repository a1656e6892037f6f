#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

#include <array>

#include "app/ui/PictureButton.h"

// >>> includes
#include "profiles/ui/ProfileGrids.h"
// <<< includes

class TPowerInhibitor;

// The main window: a fixed 868 x 554 client area with the task tree and its
// controls on the left and the preview, the profile grids and the Start/Stop
// pictures on the right. Subsystems attach their behaviour in the files
// MainFormDvd.cpp, MainFormProfiles.cpp, MainFormConversion.cpp and
// MainFormPreview.cpp.
class TMainForm : public QMainWindow
{
    Q_OBJECT

public:
    explicit TMainForm(const QStringList &arguments = {}, QWidget *parent = nullptr);
    ~TMainForm() override;

    // Windows created after the main window (start-up order).
    void AttachDialogs(class TOpenDVDForm *openDvd, class TSettingForm *settings,
                       class TEditDVDVolumeForm *editVolume, class TEditTimeForm *editTime,
                       class TAboutForm *about);

    // The sliding hint panel over the task tree.
    void ShowHintPanel(const QString &text);
    void HideHintPanel();
    // Arranges the bottom panels for the current width of panMain.
    void FormResize();

    // ---- layout (names as the program's controls are known) ----
    QWidget *panClient = nullptr;
    QLabel *panTop = nullptr;
    QLabel *panLeft = nullptr;
    QLabel *panBottom = nullptr;
    QWidget *panMain = nullptr;
    QWidget *panProfile = nullptr;

    QTreeView *ltvTask = nullptr;
    QLabel *panbg = nullptr;          // start picture over the tree until a folder is opened
    QLabel *labProgramName = nullptr; // product label on the start picture
    QFrame *PanHint = nullptr;
    QLabel *labHint = nullptr;
    QCheckBox *chkTurnoff = nullptr;

    QWidget *panToolbar = nullptr;
    QToolButton *sbtnOpenDVD = nullptr;
    QToolButton *sbtnOpenDir = nullptr;
    QToolButton *sbtnSegment = nullptr;
    QToolButton *sbtnOptions = nullptr;

    QWidget *panBottomCenter = nullptr;
    QLabel *labAudio = nullptr;
    QComboBox *cmbAudio = nullptr;
    QLabel *labSub = nullptr;
    QComboBox *cmbSub = nullptr;
    QLabel *labAngle = nullptr;
    QComboBox *cmbAngle = nullptr;
    QLabel *labProfile = nullptr;
    QComboBox *cmbProfile = nullptr;
    QPushButton *bbtnSetting = nullptr;
    QLabel *labOutputDir = nullptr;
    QLineEdit *edtOutputDir = nullptr;
    QPushButton *bbtnBrowser = nullptr;
    QPushButton *bbtnOpen = nullptr;

    QWidget *panBottomLeft = nullptr;
    QLabel *labCurrentCaption = nullptr;
    QFrame *panCurrentProgress = nullptr;
    QProgressBar *pgbCurrent = nullptr;
    QLabel *labCurProgress = nullptr;
    QLabel *labTotalCaption = nullptr;
    QFrame *panTotalProgress = nullptr;
    QProgressBar *pgbTotal = nullptr;
    QLabel *labTotalProgress = nullptr;
    QLabel *labFrameCaption = nullptr;
    QLabel *labFrame = nullptr;
    QLabel *labElapsedCaption = nullptr;
    QLabel *labElapsed = nullptr;
    QLabel *labRemainingCaption = nullptr;
    QLabel *labRemaining = nullptr;

    QWidget *panPreview = nullptr;
    QWidget *VideoWindow = nullptr;
    QLabel *panPreviewButton = nullptr;
    QSlider *TrackBar = nullptr;
    QLabel *labStart = nullptr;
    QLabel *labEnd = nullptr;
    QLabel *labPreviewPlayTime = nullptr;
    QToolButton *sbtnPlay = nullptr;
    QToolButton *sbtnPause = nullptr;
    QToolButton *sbtnStop = nullptr;

    QScrollArea *ScrollBox1 = nullptr;
    QLabel *panVideo = nullptr;
    QLabel *panAudio = nullptr;
    QLabel *panAdvanced = nullptr;
    TValueListEditor *vleVideo = nullptr;
    TValueListEditor *vleAudio = nullptr;
    TValueListEditor *vleAdvanced = nullptr;

    QLabel *panStartStop = nullptr; // the picture around the Start/Stop buttons
    TPictureButton *imgStart = nullptr;
    TPictureButton *imgStop = nullptr;
    QToolButton *SpeedButton1 = nullptr; // Help
    QToolButton *SpeedButton2 = nullptr; // About
    QToolButton *SpeedButton3 = nullptr; // Visit our website

    QMenu *PopupMenu1 = nullptr;
    QAction *pmiOpenDVD = nullptr;
    QAction *pmiOpenDir = nullptr;
    QMenu *pmiCheck = nullptr;
    QAction *pmiCheckTitleChapter = nullptr;
    QAction *pmiCheckTitle = nullptr;
    QAction *pmiCheckChapter = nullptr;
    QAction *pmiUncheck = nullptr;
    QAction *pmiTrimTime = nullptr;
    QAction *pmiDVDVolume = nullptr;

    QTimer *tmrPreview = nullptr;          // the preview clock, 1000 ms
    QTimer *tmrPreviewDragDelay = nullptr; // the delayed seek, 200 ms

    // Dialogs created after the main window.
    TOpenDVDForm *OpenDVDForm = nullptr;
    TSettingForm *SettingForm = nullptr;
    TEditDVDVolumeForm *EditDVDVolumeForm = nullptr;
    TEditTimeForm *EditTimeForm = nullptr;
    TAboutForm *AboutForm = nullptr;

    // ---- handlers of the chrome ----
    void SpeedButton1Click(); // Help
    void SpeedButton2Click(); // About
    void SpeedButton3Click(); // web site

    // >>> dvd
    // Clears the task tree and fills it from a DVD folder (the VIDEO_TS folder
    // or its parent). An error ends the open with an empty tree and is shown.
    void OpenDvdFolder(const QString &folder);
    void sbtnOpenDVDClick();
    void sbtnOpenDirClick();
    // <<< dvd

    // >>> tasks
    // The task list: the model owns every title and chapter node with its
    // TaskItem; TaskTree drives ltvTask and the audio, subtitle and angle boxes.
    class TTaskModel *TaskModel = nullptr;
    class TTaskTree *TaskTree = nullptr;
    // The focused node's record, and its title (itself, or a chapter's parent); null when none.
    struct TaskItem *FocusedItem() const;
    struct TaskItem *FocusedTitle() const;
    QModelIndex FocusedIndex() const;
    void pmiDVDVolumeClick();
    // <<< tasks

    // >>> profiles
    // The profile grids in ScrollBox1 (vleVideo, vleAudio, vleAdvanced are its
    // grids): the working values of the conversion, read with RowText.
    TProfileGrids *ProfileGrids = nullptr;
    void cmbProfileChange();
    void bbtnBrowserClick();
    void sbtnOptionsClick();
    void bbtnSettingClick();
    // <<< profiles

    // >>> conversion
    void imgStartClick();
    void imgStopClick();
    void bbtnOpenClick();
    // The batch driver behind Start and Stop.
    class TBatchDriver *BatchDriver() const { return m_batchDriver; }
    // Test seam: what turns the computer off at the end of a batch; null
    // restores logind's PowerOff.
    void SetPowerControl(class TPowerControl *power) { m_powerOverride = power; }
    // <<< conversion

    // >>> preview
    void PreviewStop(); // the preview's Stop action
    void sbtnSegmentClick();
    // The preview player on panPreview, and the libmpv navigator it plays with.
    class TPreviewPlayer *PreviewPlayer() const { return m_previewPlayer; }
    class TMpvDvdNavigator *PreviewNavigator() const { return m_previewNavigator; }
    // <<< preview

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildLayout();
    void BuildRightPanel();
    void BuildMainPanel();
    void BuildPopupMenu();
    void FormCreate(const QStringList &arguments);
    void FormShow();
    void FormClose();

    // Subsystem start-up steps, each in its own file.
    void SetUpDvd();
    void SetUpTasks();
    void SetUpProfiles(); // the profile list
    void ProcessCommandLine(const QStringList &arguments);
    void SetUpConversion();
    void SetUpPreview();
    void RestoreChoices(); // on first show
    void SaveChoices();    // on close
    void OpenDroppedPath(const QString &path);
    void StopConversionForClose(); // closing during a batch

    bool m_shown = false;
    TPowerInhibitor *m_inhibitor = nullptr;

    // >>> private dvd
    bool m_opening = false; // an open is running (it lets other handlers run)
    // <<< private dvd
    // >>> private tasks
    // <<< private tasks
    // >>> private profiles
    // One command-line input or dropped item: an existing file opens its
    // folder, an existing folder opens itself, anything else is skipped.
    void OpenInput(const QString &input);
    // <<< private profiles
    // >>> private conversion
    friend class TMainFormBatchView;
    void LockUiForConversion(const QString &hint, bool turnOff);
    void RestoreUiAfterConversion();
    class TMainFormBatchView *m_batchView = nullptr; // child object: the driver's view of this window
    class TBatchDriver *m_batchDriver = nullptr;     // child object
    class TPowerControl *m_powerOverride = nullptr;
    int m_closeCount = 0; // closes seen, so a Start can tell that one came while it locked the window
    // <<< private conversion
    // >>> private preview
    TPreviewPlayer *m_previewPlayer = nullptr;
    TMpvDvdNavigator *m_previewNavigator = nullptr;
    // <<< private preview
};
