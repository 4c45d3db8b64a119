#pragma once

// Keeps only the digits "0" to "9" and Backspace among the characters typed
// into the edits it watches; keys that type nothing (arrows, Delete, Enter,
// shortcuts) pass.

#include <QObject>

class TDigitKeyFilter : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // Whether a key press typing Text is discarded.
    static bool Discards(const QString& Text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
