#pragma once

#include "profiles/ui/ValueListEditor.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollArea>

// The three profile grids of a window with their header bars, stacked from the
// top in a white scroll box: panVideo ("      Video") with btnVideo, vleVideo,
// panAudio with btnAudio, vleAudio, panAdvanced with btnAdvanced, vleAdvanced.
// The main window's set holds the working values of the conversion; the
// Settings dialog's set edits profiles for keeps (SaveProfile, SaveProfileAs).
//
// The two kinds differ in the reader (the main window reads through TIniFile
// and sets OutputExtension, the Settings dialog reads through TNewInifile and
// writes the file back), in the design column widths (95/92 and 160/200) and
// in the header buttons, which collapse and expand their grid only in the
// Settings dialog.
class TProfileGrids : public QScrollArea
{
    Q_OBJECT

public:
    enum TKind { MainWindow, Settings };

    explicit TProfileGrids(TKind kind, QWidget *parent = nullptr);

    TKind Kind() const { return m_kind; }

    QLabel *panVideo = nullptr;
    QLabel *panAudio = nullptr;
    QLabel *panAdvanced = nullptr;
    QPushButton *btnVideo = nullptr;
    QPushButton *btnAudio = nullptr;
    QPushButton *btnAdvanced = nullptr;
    TValueListEditor *vleVideo = nullptr;
    TValueListEditor *vleAudio = nullptr;
    TValueListEditor *vleAdvanced = nullptr;

    // The grid that Sort numbers: 1 vleVideo, 2 vleAudio, 3 vleAdvanced; else nullptr.
    TValueListEditor *Grid(int sort) const;

    // Fills the three grids from the profile file at path. Returns false, and
    // changes nothing, when the file does not exist. The main window's kind
    // sets AppValues().OutputExtension (also returned by OutputExtension()).
    // A list parameter whose Index lies outside its choices throws TProfileError
    // "List index out of bounds (<index>)": the rows read before it stay, that
    // row with an empty value. A first parameter that names no grid (Sort not
    // 1, 2 or 3) ends the loading quietly with the rows read so far. The
    // Settings kind throws TProfileError with 'Cannot create file "..." ...'
    // when it cannot write the file back (the grids are filled all the same).
    bool LoadProfile(const QString &path);

    // The extension set by the last LoadProfile of the main window's kind.
    QString OutputExtension() const { return m_outputExtension; }

    // The text shown in the row named name (letter case ignored, first match)
    // of the grid that sort numbers; empty when there is no such grid or row.
    QString RowText(int sort, const QString &name) const;

    // Writes the values the user can change back into the profile at path
    // through TNewInifile: Index of editable list rows (-1 when the row's text
    // is not among its choices), Caption then Value of editable text rows;
    // read-only parameters are skipped, and so is a parameter whose row is not
    // in its grid, which keeps what the file says. False, with error set to
    // 'Cannot create file "<path>". <reason>', when the file cannot be
    // written; the file then keeps its old content.
    bool SaveProfile(const QString &path, QString *error = nullptr);

    // Copies source over target (replacing it) and then SaveProfile(target).
    // A missing source writes nothing and is no error. Target may be source
    // itself: the edits then go into it.
    bool SaveProfileAs(const QString &source, const QString &target, QString *error = nullptr);

    // Sets each grid's height to its row count * 18 pixels.
    void SetGridHeights();
    // Repaints all three grids (after a mouse press on any of them).
    void RepaintGrids();

    // Collapse or expand a grid (Settings dialog): with the caption "+" the
    // grid gets row count * 18 + 1 pixels and "-", otherwise 1 pixel and "+".
    void btnVideoClick() { ToggleGrid(btnVideo, vleVideo); }
    void btnAudioClick() { ToggleGrid(btnAudio, vleAudio); }
    void btnAdvancedClick() { ToggleGrid(btnAdvanced, vleAdvanced); }

    // The rows before the first profile is loaded: keys with empty values.
    void SetInitialRows();

private:
    QLabel *AddHeader(const QString &name, const QString &caption, QPushButton **button);
    TValueListEditor *AddGrid(const QString &name);
    void ToggleGrid(QPushButton *button, TValueListEditor *grid);

    TKind m_kind;
    QString m_outputExtension;
};
