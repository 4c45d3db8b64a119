#pragma once

// A plain area that its owner paints: the paint handler gets a painter on the
// box each time it is painted.

#include <QPainter>
#include <QWidget>

#include <functional>

class TPreviewBox : public QWidget
{
    Q_OBJECT

public:
    using TPaintHandler = std::function<void(QPainter& Painter)>;

    explicit TPreviewBox(QWidget* parent = nullptr) : QWidget(parent) {}

    TPaintHandler OnPaint;

protected:
    void paintEvent(QPaintEvent* event) override;
};
