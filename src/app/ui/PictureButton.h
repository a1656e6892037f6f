#pragma once

#include <QLabel>
#include <QPixmap>

#include <array>

// A picture that works as a button: three pictures (normal, hovered, pressed)
// and a state that follows the mouse. The surrounding picture resets it
// through ResetToNormal when the mouse moves over it.
class TPictureButton : public QLabel
{
    Q_OBJECT

public:
    enum State { Normal = 0, Hovered = 1, Pressed = 2 };

    TPictureButton(const std::array<QPixmap, 3> &pictures, QWidget *parent);

    int ButtonState() const { return m_state; }
    int PictureShown() const { return m_shown; }
    // The mouse moved over the picture around the buttons.
    void ResetToNormal();

Q_SIGNALS:
    void clicked();

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void Draw(int picture);

    std::array<QPixmap, 3> m_pictures;
    int m_state = Normal;
    int m_shown = Normal;
};
