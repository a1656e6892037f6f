// The main window's part of a conversion batch: the driver decides, this file
// shows its progress on the window's controls and asks its questions in
// message boxes.
#include "app/ui/MainForm.h"

#include "app/helpers/AppValues.h"
#include "app/helpers/ui/Dialogs.h"
#include "conversion/BatchDriver.h"
#include "conversion/PowerControl.h"
#include "conversion/RipCommand.h"
#include "profiles/ProfileFormat.h"
#include "profiles/ui/SettingForm.h"
#include "tasks/TaskModel.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QHash>
#include <QUrl>

#include <exception>

// The driver's view of the main window; also the power control that the
// completion action uses (logind unless a test has put its own in).
class TMainFormBatchView : public QObject, public TBatchView, public TPowerControl
{
public:
    explicit TMainFormBatchView(TMainForm &form) : QObject(&form), m_form(form) {}

    TPartialOutputGuard Guard;

    void ShowMessage(const QString &text, const QString &caption, TMessageKind kind) override
    {
        switch (kind) {
        case TMessageKind::Information:
            ShowNotice(&m_form, caption, text);
            break;
        case TMessageKind::Warning:
            ::ShowMessage(&m_form, caption, text, QMessageBox::Warning);
            break;
        case TMessageKind::Plain:
            ::ShowMessage(&m_form, caption.isEmpty() ? AppValues().ProductName : caption, text,
                          QMessageBox::NoIcon);
            break;
        }
    }

    bool AskYesNo(const QString &text, const QString &caption) override
    {
        return ::AskYesNo(&m_form, caption, text);
    }

    void FocusField(TFocusTarget target) override
    {
        if (target == TFocusTarget::OutputFolder)
            m_form.edtOutputDir->setFocus();
        else
            m_form.cmbProfile->setFocus();
    }

    void LockForConversion(const QString &hint, bool turnOff) override
    {
        m_form.LockUiForConversion(hint, turnOff);
    }

    void ShowProgressPanel(bool shown) override
    {
        m_form.panBottomLeft->setVisible(shown);
        m_form.panBottomCenter->setVisible(!shown);
    }

    void ShowHint(const QString &text) override { m_form.labHint->setText(text); }

    void HideHint() override
    {
        if (m_form.PanHint->isVisible())
            m_form.HideHintPanel();
    }

    void ShowProgress(const TProgressFigures &figures) override
    {
        if (figures.CurrentPercent >= 0) {
            m_form.pgbCurrent->setValue(figures.CurrentPercent);
            m_form.labCurProgress->setText(QString::number(m_form.pgbCurrent->value()) + QLatin1Char('%'));
        }
        if (figures.TotalPercent >= 0) {
            m_form.pgbTotal->setValue(figures.TotalPercent);
            m_form.labTotalProgress->setText(QString::number(m_form.pgbTotal->value()) + QLatin1Char('%'));
        }
        if (!figures.FrameText.isEmpty())
            m_form.labFrame->setText(figures.FrameText);
    }

    void ShowClock(const QString &elapsed, const QString &remaining) override
    {
        m_form.labElapsed->setText(elapsed);
        m_form.labRemaining->setText(remaining);
    }

    bool TurnOffChecked(bool) override { return m_form.chkTurnoff->isChecked(); }

    void OpenFolder(const QString &folder) override
    {
        QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
    }

    void CloseProgram() override
    {
        // After the driver has finished its end of the batch, not inside it.
        QMetaObject::invokeMethod(&m_form, &QWidget::close, Qt::QueuedConnection);
    }

    void RestoreAfterConversion() override { m_form.RestoreUiAfterConversion(); }

    bool PowerOff() override
    {
        if (m_form.m_powerOverride)
            return m_form.m_powerOverride->PowerOff();
        TLogindPowerControl logind;
        return logind.PowerOff();
    }

private:
    TMainForm &m_form;
};

void TMainForm::SetUpConversion()
{
    m_batchView = new TMainFormBatchView(*this);
    m_batchDriver = new TBatchDriver(*m_batchView, *m_batchView, this);
    connect(m_batchDriver, &TBatchDriver::itemStarted, this,
            [this](int, const QString &outputPath) { m_batchView->Guard.ItemStarted(outputPath); });
    connect(m_batchDriver, &TBatchDriver::batchFinished, this,
            [this](const TBatchSummary &summary) { m_batchView->Guard.Clean(summary); });
    connect(bbtnOpen, &QPushButton::clicked, this, &TMainForm::bbtnOpenClick);
}

void TMainForm::imgStartClick()
{
    if (!m_batchDriver || m_batchDriver->IsRunning())
        return;
    const int closesBefore = m_closeCount;
    try {
        TBatchRequest request = DefaultBatchRequest();
        if (TaskModel) {
            for (const TTaskModel::TCheckedItem &c : TaskModel->CheckedItems())
                request.Items.append({*c.Item, *c.Title});
        }
        request.OutputFolder = edtOutputDir->text();
        request.ProfilePath = ProfilePath(AppValues().ProgramDir, cmbProfile->currentText());

        // The grids are locked for the batch; their rows are taken once.
        QHash<QString, QString> rows;
        if (QFileInfo(request.ProfilePath).isFile() && ProfileGrids) {
            for (const TProfileParameter &p : ReadProfile(request.ProfilePath).Parameters)
                for (int sort = pgVideo; sort <= pgAdvanced; ++sort)
                    rows.insert(QString::number(sort) + QLatin1Char('/') + p.Name.toLower(),
                                ProfileGrids->RowText(sort, p.Name));
        }
        request.GridText = [rows](int sort, const QString &name) {
            return rows.value(QString::number(sort) + QLatin1Char('/') + name.toLower());
        };

        if (SettingForm) {
            request.Overwrite = SettingForm->rdbAsk->isChecked()      ? TOverwriteMode::Ask
                                : SettingForm->rdbRename->isChecked() ? TOverwriteMode::Rename
                                                                      : TOverwriteMode::Overwrite;
            request.OpenFolderWhenDone = SettingForm->chkOpenDir->isChecked();
            request.ExitWhenDone = SettingForm->chkExit->isChecked();
            request.TurnOffWhenDone = SettingForm->chkTurnoff->isChecked();
        }
        if (m_batchDriver->Start(request) && m_closeCount != closesBefore)
            m_batchDriver->Abort(); // the window was closed while the hint panel slid in
    } catch (const std::exception &error) {
        if (m_batchDriver->IsRunning())
            m_batchDriver->Abort();
        RestoreUiAfterConversion();
        ShowError(this, QString::fromLocal8Bit(error.what()));
    }
}

void TMainForm::LockUiForConversion(const QString &hint, bool turnOff)
{
    for (QWidget *w : {static_cast<QWidget *>(sbtnOpenDVD), static_cast<QWidget *>(sbtnOpenDir),
                       static_cast<QWidget *>(sbtnSegment), static_cast<QWidget *>(sbtnOptions)})
        w->setEnabled(false);
    imgStart->hide();
    imgStop->show();
    ltvTask->setEnabled(false);
    panPreview->setEnabled(false);
    ScrollBox1->setEnabled(false);
    PreviewStop();
    ShowHintPanel(hint);
    chkTurnoff->setChecked(turnOff);
    chkTurnoff->show();
}

void TMainForm::RestoreUiAfterConversion()
{
    // The driver has removed temp.avi by now.
    for (QWidget *w : {static_cast<QWidget *>(sbtnOpenDVD), static_cast<QWidget *>(sbtnOpenDir),
                       static_cast<QWidget *>(sbtnSegment), static_cast<QWidget *>(sbtnOptions)})
        w->setEnabled(true);
    imgStart->show();
    imgStop->hide();
    ltvTask->setEnabled(true);
    panPreview->setEnabled(true);
    ScrollBox1->setEnabled(true);
    if (PanHint->isVisible())
        HideHintPanel();
}

void TMainForm::imgStopClick()
{
    if (m_batchDriver)
        m_batchDriver->Stop();
}

void TMainForm::bbtnOpenClick()
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(edtOutputDir->text()));
}

void TMainForm::StopConversionForClose()
{
    ++m_closeCount;
    // Both tools are killed, temp.avi is deleted and no further item runs.
    if (m_batchDriver && m_batchDriver->IsRunning())
        m_batchDriver->Abort();
}
