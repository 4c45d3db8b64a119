#pragma once

// The effect family: every change to a picture's pixels or orientation is an
// effect object that applies, undoes and redoes itself on a bitmap.

#include <QImage>

class TEffectBase
{
public:
    TEffectBase() = default;
    virtual ~TEffectBase() = default;
    TEffectBase(const TEffectBase&) = delete;
    TEffectBase& operator=(const TEffectBase&) = delete;

    // Changes the bitmap held in Image.
    virtual void Apply(QImage& Image) = 0;
    // The history's call: does the effect for the first time. W and H are the
    // picture's width and height on the canvas, in and out.
    virtual void Execute(QImage& Image, double& W, double& H);
    // Takes the effect back.
    virtual void Undo(QImage& Image) = 0;
    // Does the effect again after an undo.
    virtual void Redo(QImage& Image) = 0;
};

// Colour effects: undone by restoring a copy saved when executed.
class TEffectUndoWithBMP : public TEffectBase
{
public:
    void Execute(QImage& Image, double& W, double& H) override;
    void Undo(QImage& Image) override;

    // The copy saved by Execute; null until then.
    const QImage& SavedImage() const { return m_savedImage; }

private:
    QImage m_savedImage;
};

// Effects that exchange the picture's width and height (the quarter turns).
// They act on the full-resolution source; the display is rebuilt after them.
class TEffectChangeWH : public TEffectBase
{
public:
    void Execute(QImage& Image, double& W, double& H) override;

    double OldWidth = 0;
    double OldHeight = 0;
};
