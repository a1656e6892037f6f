#include "app/ui/PictureButton.h"

#include <QMouseEvent>

TPictureButton::TPictureButton(const std::array<QPixmap, 3> &pictures, QWidget *parent)
    : QLabel(parent), m_pictures(pictures)
{
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
    setFixedSize(m_pictures[0].size());
    Draw(Normal);
}

void TPictureButton::Draw(int picture)
{
    m_shown = picture;
    setPixmap(m_pictures[static_cast<size_t>(picture)]);
}

void TPictureButton::ResetToNormal()
{
    if (isVisible() && m_state != Normal) {
        Draw(Normal);
        m_state = Normal;
    }
}

void TPictureButton::mouseMoveEvent(QMouseEvent *event)
{
    if (m_state == Normal) {
        Draw(Hovered);
        m_state = Hovered;
    }
    // Accepted here, or it would reach the surrounding picture, which resets the button.
    event->accept();
}

void TPictureButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && m_state != Pressed) {
        Draw(Pressed);
        m_state = Pressed;
    }
}

void TPictureButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || m_state != Pressed)
        return;
    Draw(Hovered);
    m_state = Hovered;
    if (rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
}
