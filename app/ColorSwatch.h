#pragma once

// A colour swatch: a rectangle filled with its colour, with or without a
// black outline, that reports every mouse press, whatever the button.

#include <QColor>
#include <QWidget>

class TColorSwatch : public QWidget
{
    Q_OBJECT

public:
    TColorSwatch(const QColor& Color, bool Outline, QWidget* parent = nullptr);

    QColor Color() const { return m_color; }
    void SetColor(const QColor& Color);

signals:
    void MouseDown(Qt::MouseButton Button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QColor m_color;
    bool m_outline;
};
