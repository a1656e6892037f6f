#include "tasks/ui/TaskTree.h"

#include "app/helpers/ui/Dialogs.h"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QImage>
#include <QMenu>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionHeader>
#include <QStyledItemDelegate>
#include <QTreeView>

namespace {

constexpr int kNodeHeight = 20;

// The header draws its own background: a tile repeated over every section and
// over the empty part right of the last one; the style only adds the labels.
class TTaskHeader : public QHeaderView
{
public:
    TTaskHeader(const QPixmap &tile, QWidget *parent) : QHeaderView(Qt::Horizontal, parent), m_tile(tile) {}

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QPainter painter(viewport());
        const QRect area = viewport()->rect();
        int right = 0;
        for (int visual = 0; visual < count(); ++visual) {
            const int logical = logicalIndex(visual);
            if (isSectionHidden(logical))
                continue;
            const QRect rect(sectionViewportPosition(logical), 0, sectionSize(logical), area.height());
            right = qMax(right, rect.right() + 1);
            if (rect.intersects(event->rect()))
                paintSection(&painter, rect, logical);
        }
        if (right < area.width())
            PaintBackground(&painter, QRect(right, 0, area.width() - right, area.height()));
    }

    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override
    {
        if (!rect.isValid())
            return;
        PaintBackground(painter, rect);
        QStyleOptionHeader option;
        initStyleOption(&option);
        option.rect = rect;
        option.section = logicalIndex;
        option.text = model() ? model()->headerData(logicalIndex, orientation()).toString() : QString();
        option.textAlignment = defaultAlignment();
        option.state &=
            ~(QStyle::State_MouseOver | QStyle::State_Sunken); // hovered and pressed look the same
        style()->drawControl(QStyle::CE_HeaderLabel, &option, painter, this);
    }

private:
    // Drawn off screen into a 32-bit image the size of the part, tiles in rows
    // from the top edge and in columns from one pixel in from the left edge,
    // then copied to the part's place.
    void PaintBackground(QPainter *painter, const QRect &rect) const
    {
        QImage image(rect.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(QColor(0, 0, 0));
        {
            QPainter offscreen(&image);
            offscreen.drawTiledPixmap(QRect(1, 0, rect.width() - 1, rect.height()), m_tile);
        }
        painter->drawImage(rect.topLeft(), image);
    }

    QPixmap m_tile;
};

// Nodes 20 pixels high with horizontal and vertical grid lines.
class TTaskDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        painter->save();
        painter->setPen(QColor(214, 220, 230));
        const QRect r = option.rect;
        painter->drawLine(r.left(), r.bottom(), r.right(), r.bottom());
        painter->drawLine(r.right(), r.top(), r.right(), r.bottom());
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(kNodeHeight);
        return size;
    }
};

} // namespace

TTaskTree::TTaskTree(const TTaskTreeControls &controls, TTaskModel *model, const TTaskTreePictures &pictures,
                     QObject *parent)
    : QObject(parent), m_controls(controls), m_model(model)
{
    SetUpTree(pictures);
}

void TTaskTree::SetUpTree(const TTaskTreePictures &pictures)
{
    QTreeView *tree = m_controls.ltvTask;
    const QPixmap titleIcon = pictures.TitleIcon.isNull() ? DefaultTitleIcon() : pictures.TitleIcon;
    const QPixmap chapterIcon = pictures.ChapterIcon.isNull() ? DefaultChapterIcon() : pictures.ChapterIcon;
    const QPixmap tile = pictures.HeaderTile.isNull() ? DefaultHeaderTile() : pictures.HeaderTile;
    m_model->SetImages({QVariant::fromValue(titleIcon), QVariant::fromValue(chapterIcon)});

    auto *header = new TTaskHeader(tile, tree);
    tree->setHeader(header);
    tree->setModel(m_model);
    tree->setItemDelegate(new TTaskDelegate(tree));
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    tree->setSelectionBehavior(QAbstractItemView::SelectRows);
    tree->setAllColumnsShowFocus(true);
    tree->setRootIsDecorated(true);
    tree->setItemsExpandable(true);
    tree->setExpandsOnDoubleClick(true);
    tree->setUniformRowHeights(true);
    tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree->setIconSize(QSize(16, 16));
    tree->setHeaderHidden(false);
    tree->setContextMenuPolicy(Qt::CustomContextMenu);
    header->setSectionsMovable(false);
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::Interactive); // a double click on a divider fits the column
    header->setMinimumHeight(tile.height() + 2);
    header->setMinimumSectionSize(TTaskModel::ColumnWidth(TTaskModel::colEmpty));
    for (int column = 0; column < TTaskModel::ColumnCount; ++column)
        header->resizeSection(column, TTaskModel::ColumnWidth(column));

    connect(m_model, &TTaskModel::ItemChecking, this, &TTaskTree::ltvTaskChecking);
    connect(tree->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { ltvTaskChange(); });
    connect(tree, &QTreeView::doubleClicked, this,
            [this](const QModelIndex &index) { Q_EMIT itemDoubleClicked(index.siblingAtColumn(0)); });

    if (m_controls.cmbAudio)
        connect(m_controls.cmbAudio, &QComboBox::activated, this, &TTaskTree::cmbAudioSelect);
    if (m_controls.cmbSub)
        connect(m_controls.cmbSub, &QComboBox::activated, this, &TTaskTree::cmbSubSelect);
    if (m_controls.cmbAngle)
        connect(m_controls.cmbAngle, &QComboBox::activated, this, &TTaskTree::cmbAngleSelect);
    if (m_controls.PopupMenu1)
        connect(m_controls.PopupMenu1, &QMenu::aboutToShow, this, &TTaskTree::PopupMenu1Popup);
    if (m_controls.pmiCheckTitleChapter)
        connect(m_controls.pmiCheckTitleChapter, &QAction::triggered, this,
                &TTaskTree::pmiCheckTitleChapterClick);
    if (m_controls.pmiCheckTitle)
        connect(m_controls.pmiCheckTitle, &QAction::triggered, this, &TTaskTree::pmiCheckTitleClick);
    if (m_controls.pmiCheckChapter)
        connect(m_controls.pmiCheckChapter, &QAction::triggered, this, &TTaskTree::pmiCheckChapterClick);
    if (m_controls.pmiUncheck)
        connect(m_controls.pmiUncheck, &QAction::triggered, this, &TTaskTree::pmiUncheckClick);
}

// ---------------------------------------------------------------- focus

QModelIndex TTaskTree::FocusedIndex() const
{
    if (!m_model)
        return QModelIndex();
    const QModelIndex current = m_controls.ltvTask->currentIndex();
    if (!current.isValid() || current.model() != m_model)
        return QModelIndex();
    return current.siblingAtColumn(0);
}

TaskItem *TTaskTree::FocusedItem() const
{
    return m_model ? m_model->Item(FocusedIndex()) : nullptr;
}

TaskItem *TTaskTree::FocusedTitle() const
{
    return m_model ? m_model->TitleOf(FocusedIndex()) : nullptr;
}

void TTaskTree::SetFocusedIndex(const QModelIndex &index)
{
    m_controls.ltvTask->setCurrentIndex(index.siblingAtColumn(0));
}

// ---------------------------------------------------------------- handlers

void TTaskTree::ltvTaskChecking(const QModelIndex &index)
{
    // Checking a title leaves its chapters alone and the other way round.
    if (FocusedIndex() != index.siblingAtColumn(0))
        SetFocusedIndex(index);
    ltvTaskChange();
}

void TTaskTree::ltvTaskChange()
{
    const QModelIndex focused = FocusedIndex();
    const TaskItem *item = m_model ? m_model->Item(focused) : nullptr;
    const TaskItem *source = m_model ? m_model->TitleOf(focused) : nullptr;
    if (!item || !source)
        return;
    if (QComboBox *box = m_controls.cmbAudio) {
        box->clear();
        box->addItems(source->AudioTracks);
        box->setCurrentIndex(item->AudioIndex);
    }
    if (QComboBox *box = m_controls.cmbSub) {
        box->clear();
        box->addItems(source->Subtitles);
        box->setCurrentIndex(item->SubtitleIndex);
    }
    if (QComboBox *box = m_controls.cmbAngle) {
        box->clear();
        for (int angle = 1; angle <= source->AngleCount; ++angle)
            box->addItem(QString::number(angle));
        box->setCurrentIndex(item->AngleIndex);
    }
}

void TTaskTree::cmbAudioSelect(int position)
{
    const QModelIndex focused = FocusedIndex();
    if (focused.isValid() && position >= 0)
        m_model->SetAudioIndex(focused, position, ProcessPendingMessages);
}

void TTaskTree::cmbSubSelect(int position)
{
    const QModelIndex focused = FocusedIndex();
    if (focused.isValid() && position >= 0)
        m_model->SetSubtitleIndex(focused, position, ProcessPendingMessages);
}

void TTaskTree::cmbAngleSelect(int position)
{
    const QModelIndex focused = FocusedIndex();
    if (focused.isValid() && position >= 0)
        m_model->SetAngleIndex(focused, position, ProcessPendingMessages);
}

void TTaskTree::PopupMenu1Popup()
{
    const bool hasNodes = m_model && !m_model->IsEmpty();
    if (m_controls.pmiCheck)
        m_controls.pmiCheck->menuAction()->setEnabled(hasNodes);
    if (m_controls.pmiUncheck)
        m_controls.pmiUncheck->setEnabled(hasNodes);
    if (m_controls.pmiDVDVolume)
        m_controls.pmiDVDVolume->setEnabled(hasNodes);
    for (QAction *always : {m_controls.pmiOpenDVD, m_controls.pmiOpenDir, m_controls.pmiTrimTime})
        if (always)
            always->setEnabled(true);
}

void TTaskTree::RunCheckCommand(TTaskModel::CheckCommand command)
{
    if (!m_model)
        return;
    QTreeView *tree = m_controls.ltvTask;
    m_model->RunCheckCommand(command, [tree] {
        ProcessPendingMessages();
        tree->viewport()->update();
    });
    Repaint();
}

void TTaskTree::pmiCheckTitleChapterClick()
{
    RunCheckCommand(TTaskModel::CheckCommand::AllTitlesAndChapters);
}

void TTaskTree::pmiCheckTitleClick()
{
    RunCheckCommand(TTaskModel::CheckCommand::AllTitles);
}

void TTaskTree::pmiCheckChapterClick()
{
    RunCheckCommand(TTaskModel::CheckCommand::AllChapters);
}

void TTaskTree::pmiUncheckClick()
{
    RunCheckCommand(TTaskModel::CheckCommand::UncheckAll);
}

void TTaskTree::Repaint()
{
    m_controls.ltvTask->viewport()->update();
}

// ---------------------------------------------------------------- pictures

QPixmap TTaskTree::DefaultTitleIcon()
{
    // A small disc.
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient shine(QPointF(6, 5), 9);
    shine.setColorAt(0, QColor(250, 252, 255));
    shine.setColorAt(1, QColor(150, 172, 204));
    p.setPen(QColor(70, 96, 140));
    p.setBrush(shine);
    p.drawEllipse(QRectF(1, 1, 14, 14));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(6, 6, 4, 4));
    return pixmap;
}

QPixmap TTaskTree::DefaultChapterIcon()
{
    // A strip of film.
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(QColor(60, 60, 70));
    p.setBrush(QColor(90, 96, 110));
    p.drawRect(3, 1, 10, 14);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(236, 240, 246));
    for (int y = 2; y < 15; y += 3) {
        p.drawRect(4, y, 1, 2);
        p.drawRect(11, y, 1, 2);
    }
    p.setBrush(QColor(120, 170, 230));
    p.drawRect(6, 3, 4, 4);
    p.drawRect(6, 9, 4, 4);
    return pixmap;
}

QPixmap TTaskTree::DefaultHeaderTile()
{
    QPixmap pixmap(16, 17);
    QPainter p(&pixmap);
    QLinearGradient fade(0, 0, 0, 17);
    fade.setColorAt(0, QColor(250, 251, 253));
    fade.setColorAt(1, QColor(208, 216, 228));
    p.fillRect(pixmap.rect(), fade);
    p.setPen(QColor(176, 186, 202));
    p.drawLine(0, 16, 15, 16);
    return pixmap;
}
