#pragma once

// A box its owner paints: OnPaint draws the whole content on every paint,
// and a left click is reported.

#include <QWidget>

#include <functional>

class QPainter;

class TPaintBox : public QWidget
{
    Q_OBJECT

public:
    explicit TPaintBox(QWidget* parent = nullptr);

    std::function<void(QPainter&)> OnPaint;

signals:
    void Click();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_pressed = false;
};
