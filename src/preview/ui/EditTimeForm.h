#pragma once

#include <QDialog>
#include <QImage>
#include <QPointer>

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QToolButton;
class QWidget;
class TmkRangeSlider;
struct TaskItem;

// "Edit the Start & End Time": trims one title or chapter to a part of its
// span on the disc. Created once and reused; shown without waiting, it
// disables the main window itself while it is open.
class TEditTimeForm : public QDialog
{
    Q_OBJECT

public:
    explicit TEditTimeForm(QWidget *parent = nullptr);

    // The "Segment" button: checks the focused item (null when the tree has
    // no focused node), sets up the slider and shows the dialog. False, after
    // the message the user sees, when the dialog could not be opened.
    bool Open(TaskItem *item, QWidget *mainWindow);
    // The same; title is the title the item belongs to, which the editor does
    // not need because chapter times already count from the start of their title.
    bool Open(TaskItem *item, const TaskItem *title, QWidget *mainWindow);

    TaskItem *Item() const { return FItem; }

    // The controls, by their layout names.
    QLabel *Label2 = nullptr;
    QWidget *panTop = nullptr;
    QLabel *labStartTime = nullptr;
    QLabel *labEndTime = nullptr;
    QToolButton *sbtnStartTime = nullptr;
    TmkRangeSlider *tkbTime = nullptr;
    QToolButton *sbtnEndTime = nullptr;
    QWidget *panLeft = nullptr;
    QWidget *panRight = nullptr;
    QWidget *panBottom = nullptr;
    QLabel *labStart = nullptr;
    QLineEdit *edtStartTime = nullptr;
    QLabel *Label1 = nullptr;
    QLineEdit *edtEndTime = nullptr;
    QLabel *labLength = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *btnCancel = nullptr;
    QTimer *tmrRefresh = nullptr;

    // The pictures the dialog lays over the slider: band, start marker, end marker.
    QImage Image1;
    QImage Image2;
    QImage Image3;

    void sbtnStartTimeClick();
    void sbtnEndTimeClick();
    void btnOKClick();
    void btnCancelClick();
    void edtStartTimeKeyUp();
    void edtEndTimeKeyUp();

Q_SIGNALS:
    // OK wrote new trim times into item: the task tree repaints it.
    void ItemChanged(TaskItem *item);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormShow();
    void FormClose();
    void FormPaint();
    void tmrRefreshTimer();
    void UpdateDisplay();
    void tkbTimeMinPosChange();
    void tkbTimeMaxPosChange();
    void DrawStartMarker();
    void DrawEndMarker();
    void SetUpSlider();
    QString LengthText() const;
    // The typed start or end rounded to a slider value, or -1 when the box's text is not acceptable.
    int ValidStart(const QString &text) const;
    int ValidEnd(const QString &text) const;

    TaskItem *FItem = nullptr;
    QPointer<QWidget> FMainWindow;
};

Q_DECLARE_OPAQUE_POINTER(TaskItem *)
Q_DECLARE_METATYPE(TaskItem *)
