#include "profiles/ui/ProfileGrids.h"

#include "app/helpers/AppValues.h"
#include "app/helpers/Helpers.h"
#include "app/helpers/IniFile.h"
#include "profiles/NewInifiles.h"
#include "profiles/ProfileFormat.h"

#include <QFile>
#include <QFileInfo>
#include <QVBoxLayout>

#include <memory>

TProfileGrids::TProfileGrids(TKind kind, QWidget *parent) : QScrollArea(parent), m_kind(kind)
{
    setObjectName(QStringLiteral("ScrollBox1"));
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto *content = new QWidget;
    content->setObjectName(QStringLiteral("ScrollBox1Content"));
    content->setAutoFillBackground(true);
    QPalette pal = content->palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Base));
    content->setPalette(pal);
    auto *layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    setWidget(content);

    panVideo = AddHeader(QStringLiteral("Video"), QStringLiteral("      Video"), &btnVideo);
    vleVideo = AddGrid(QStringLiteral("vleVideo"));
    panAudio = AddHeader(QStringLiteral("Audio"), QStringLiteral("      Audio"), &btnAudio);
    vleAudio = AddGrid(QStringLiteral("vleAudio"));
    panAdvanced = AddHeader(QStringLiteral("Advanced"), QStringLiteral("      Advanced"), &btnAdvanced);
    vleAdvanced = AddGrid(QStringLiteral("vleAdvanced"));
    layout->addStretch(1);

    if (m_kind == Settings) {
        connect(btnVideo, &QPushButton::clicked, this, &TProfileGrids::btnVideoClick);
        connect(btnAudio, &QPushButton::clicked, this, &TProfileGrids::btnAudioClick);
        connect(btnAdvanced, &QPushButton::clicked, this, &TProfileGrids::btnAdvancedClick);
    }
    SetInitialRows();
}

QLabel *TProfileGrids::AddHeader(const QString &name, const QString &caption, QPushButton **button)
{
    auto *bar = new QLabel(caption, widget());
    bar->setObjectName(QStringLiteral("pan") + name);
    bar->setFixedHeight(18);
    bar->setAutoFillBackground(true);
    QPalette pal = bar->palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Dark)); // button shadow
    pal.setColor(QPalette::WindowText, Qt::black);
    bar->setPalette(pal);
    QFont f = bar->font();
    f.setPointSize(8);
    f.setBold(true);
    bar->setFont(f);
    bar->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    *button = new QPushButton(QStringLiteral("-"), bar);
    (*button)->setObjectName(QStringLiteral("btn") + name);
    (*button)->setGeometry(5, 3, 12, 12);
    (*button)->setFocusPolicy(Qt::NoFocus);
    (*button)->setStyleSheet(QStringLiteral("QPushButton { padding: 0px; font: bold 12pt; }"));
    widget()->layout()->addWidget(bar);
    return bar;
}

TValueListEditor *TProfileGrids::AddGrid(const QString &name)
{
    auto *grid = new TValueListEditor(widget());
    grid->setObjectName(name);
    grid->SetKeyColumnWidth(m_kind == MainWindow ? 95 : 160);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(grid, &TValueListEditor::MouseDown, this, &TProfileGrids::RepaintGrids);
    widget()->layout()->addWidget(grid);
    return grid;
}

TValueListEditor *TProfileGrids::Grid(int sort) const
{
    switch (sort) {
    case pgVideo:
        return vleVideo;
    case pgAudio:
        return vleAudio;
    case pgAdvanced:
        return vleAdvanced;
    default:
        return nullptr;
    }
}

void TProfileGrids::SetInitialRows()
{
    const struct
    {
        TValueListEditor *grid;
        QStringList keys;
    } rows[] = {
        {vleVideo,
         {QStringLiteral("Video Codec"), QStringLiteral("Video Size"), QStringLiteral("Bit Rate"),
          QStringLiteral("Frame Rate"), QStringLiteral("Aspect"), QStringLiteral("Disable Video")}},
        {vleAudio,
         {QStringLiteral("Audio Codec"), QStringLiteral("Audio Bitrate"), QStringLiteral("Sample Rate"),
          QStringLiteral("Channels"), QStringLiteral("Volumn"), QStringLiteral("Disable Audio")}},
        {vleAdvanced, {QStringLiteral("Bit Exact Algorithms"), QStringLiteral("Deinterlace")}},
    };
    for (const auto &r : rows) {
        r.grid->ClearRows();
        for (const QString &key : r.keys)
            r.grid->InsertRow(key, QString());
    }
    SetGridHeights();
}

void TProfileGrids::SetGridHeights()
{
    for (TValueListEditor *grid : {vleVideo, vleAudio, vleAdvanced})
        grid->setFixedHeight(grid->RowCount() * TValueListEditor::RowPixels);
}

void TProfileGrids::RepaintGrids()
{
    for (TValueListEditor *grid : {vleVideo, vleAudio, vleAdvanced})
        grid->viewport()->update();
}

void TProfileGrids::ToggleGrid(QPushButton *button, TValueListEditor *grid)
{
    if (button->text() == QLatin1String("+")) {
        grid->setFixedHeight(grid->RowCount() * 17 + grid->RowCount() + 1);
        button->setText(QStringLiteral("-"));
    } else {
        grid->setFixedHeight(1);
        button->setText(QStringLiteral("+"));
    }
}

bool TProfileGrids::LoadProfile(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return false;
    for (TValueListEditor *grid : {vleVideo, vleAudio, vleAdvanced})
        grid->ClearRows();

    std::unique_ptr<TNewInifile> ini;
    TProfile profile;
    if (m_kind == MainWindow) {
        profile = ReadProfile(path);
        m_outputExtension = ::OutputExtension(profile);
        AppValues().OutputExtension = m_outputExtension;
    } else {
        ini = std::make_unique<TNewInifile>(path);
        profile = ReadProfile(*ini);
    }

    TValueListEditor *grid = nullptr;
    for (const TProfileParameter &p : profile.Parameters) {
        if (TValueListEditor *own = Grid(p.Sort))
            grid = own;
        if (!grid)
            break; // no grid before it to fall back on
        const int row = grid->InsertRow(p.Name, QString());
        grid->SetReadOnly(row, p.ReadOnly);
        if (p.List) {
            const QStringList choices = SplitCommaList(p.Caption);
            grid->SetPickList(row, choices);
            if (p.Index < 0 || p.Index >= choices.size()) {
                // The rows read so far stay, and are shown.
                SetGridHeights();
                throw TProfileError(QStringLiteral("List index out of bounds (%1)").arg(p.Index));
            }
            grid->SetValue(row, choices.at(p.Index));
            grid->SetReadOnly(row, true); // chosen from the list, never typed
        } else {
            grid->SetValue(row, p.Caption);
        }
    }
    SetGridHeights();

    if (ini) {
        QString error;
        if (!ini->UpdateAndFree(&error))
            throw TProfileError(error);
    }
    return true;
}

QString TProfileGrids::RowText(int sort, const QString &name) const
{
    const TValueListEditor *grid = Grid(sort);
    return grid ? grid->Values(name) : QString();
}

bool TProfileGrids::SaveProfile(const QString &path, QString *error)
{
    TNewInifile ini(path);
    const QString main = QStringLiteral("Main");
    const int count = std::min<int>(ini.ReadInteger(main, QStringLiteral("Para"), 0), ini.Lines().size());
    TValueListEditor *grid = nullptr;
    for (int i = 0; i < count; ++i) {
        const QString name = ini.ReadString(main, QString::number(i), QString());
        const int sort = ini.ReadInteger(name, QStringLiteral("Sort"), -1);
        if (ini.ReadBool(name, QStringLiteral("ReadOnly"), false))
            continue;
        const bool list = ini.ReadBool(name, QStringLiteral("List"), true);
        if (TValueListEditor *own = Grid(sort))
            grid = own;
        if (!grid)
            continue;
        // A parameter the grid does not show (the loading stopped before it)
        // keeps what the file says rather than being emptied.
        const int row = grid->FindRow(name);
        if (row < 0)
            continue;
        const QString text = grid->Value(row);
        if (list) {
            ini.WriteInteger(name, QStringLiteral("Index"), IndexOfChoice(grid->PickList(row), text));
        } else {
            ini.WriteString(name, QStringLiteral("Caption"), text);
            ini.WriteString(name, QStringLiteral("Value"), text);
        }
    }
    return ini.UpdateAndFree(error);
}

bool TProfileGrids::SaveProfileAs(const QString &source, const QString &target, QString *error)
{
    QFile in(source);
    if (!QFileInfo(source).isFile() || !in.open(QIODevice::ReadOnly))
        return true; // nothing to copy, nothing written
    // Copy through the line writer's temporary file, so a failed copy leaves the
    // target whole and a copy onto the source itself works.
    if (!WriteIniLines(target, SplitIniLines(in.readAll()), error))
        return false;
    return SaveProfile(target, error);
}
