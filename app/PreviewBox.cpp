#include "PreviewBox.h"

void TPreviewBox::paintEvent(QPaintEvent* /*event*/)
{
    if (!OnPaint)
        return;
    QPainter painter(this);
    OnPaint(painter);
}
