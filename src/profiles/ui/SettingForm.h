#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>

#include <functional>

class TProfileGrids;

// The Settings dialog: the General preferences of Preferences.ini and, on the
// Profiles page, the current profile in three grids that are written back into
// the profile file on OK. It is created once, after the main window, and shown
// modeless; while it is shown the main window is disabled.
//
// The dialog does not know the main window's class: it is given the window
// itself (to disable and enable), its profile box (whose names it copies and
// whose text it compares on OK), its output folder box (copied in on show,
// written back on OK) and its profile-change handler (run on OK when both
// profile boxes name the same profile).
class TSettingForm : public QDialog
{
    Q_OBJECT

public:
    TSettingForm(QWidget *mainWindow, QComboBox *mainProfile, QLineEdit *mainOutputDir,
                 std::function<void()> mainProfileChange);
    // Without a main window (a dialog on its own); used by small tools.
    explicit TSettingForm(QWidget *mainWindow = nullptr);

    QTabWidget *pgcSetting = nullptr;
    QWidget *tabGeneral = nullptr;
    QWidget *tabProfiles = nullptr;
    QPushButton *btnDefault = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *btnCancel = nullptr;

    // General page. The conversion reads the overwrite choice and the three
    // completion boxes from here at the moment it needs them.
    QLineEdit *edtOutputDir = nullptr;
    QToolButton *sbtnBrowse = nullptr;
    QLineEdit *edtWorkDir = nullptr;
    QToolButton *SpeedButton1 = nullptr;
    QComboBox *cmbSyn = nullptr;
    QCheckBox *chkOpenDir = nullptr;
    QCheckBox *chkExit = nullptr;
    QCheckBox *chkTurnoff = nullptr;
    QGroupBox *gpbOverWrite = nullptr;
    QRadioButton *rdbAsk = nullptr;
    QRadioButton *rdbOverWrite = nullptr;
    QRadioButton *rdbRename = nullptr;

    // Profiles page.
    QComboBox *cmbProfile = nullptr;
    QPushButton *btnSaveAs = nullptr;
    TProfileGrids *ProfileGrids = nullptr; // ScrollBox1 with vleVideo, vleAudio, vleAdvanced

    // Fills the General page from section Default (defaults) or Main of
    // Preferences.ini, and sets WorkDir. The file is written back as it was
    // read (created empty when missing); a failure to do so changes nothing
    // and is returned as false with error set.
    bool LoadPreferences(bool defaults, QString *error = nullptr);
    // Writes the General page into section Main. False, with error set to
    // 'Cannot create file "..." ...', when the file cannot be written; it then
    // keeps its old content.
    bool SavePreferences(QString *error = nullptr);

    // The profile grids of the Profiles page; see TProfileGrids.
    bool LoadProfile(const QString &path);
    bool SaveProfile(const QString &path, QString *error = nullptr);
    bool SaveProfileAs(const QString &source, const QString &target, QString *error = nullptr);

    // The handlers.
    void FormCreate();
    void FormShow();
    void FormClose();
    void btnOKClick();
    void btnCancelClick();
    void btnDefaultClick();
    void sbtnBrowseClick();
    void SpeedButton1Click();
    void cmbProfileChange();
    void btnSaveAsClick();

    // The save dialog of "Save as...": true with the chosen file name, false on
    // cancel. Tests install their own; an empty function restores the real one.
    using TSaveDialogHandler = std::function<bool(QWidget *owner, QString &fileName)>;
    void SetSaveDialogHandler(TSaveDialogHandler handler) { m_saveDialog = std::move(handler); }

    // The work folder as the rest of the program uses it (AppValues().WorkDir).
    static QString WorkDir();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    // What the General page showed when the dialog was opened, for Cancel.
    struct TSnapshot
    {
        QString OutputDir;
        QString WorkDir;
        int SynMode = 0;
        bool OpenDir = true;
        bool Exit = false;
        bool Turnoff = false;
        bool Ask = true;
        bool OverWrite = false;
        bool Rename = false;
    };

    void BuildLayout();
    QWidget *BuildGeneralPage();
    QWidget *BuildProfilesPage();
    void SetOverwriteChoice(bool ask, bool overwrite);
    bool RunSaveDialog(QString &fileName);

    QWidget *m_mainWindow = nullptr;
    QComboBox *m_mainProfile = nullptr;
    QLineEdit *m_mainOutputDir = nullptr;
    std::function<void()> m_mainProfileChange;
    TSaveDialogHandler m_saveDialog;
    TSnapshot m_snapshot;
};
