#include "DigitKeyFilter.h"

#include <QKeyEvent>

bool TDigitKeyFilter::Discards(const QString& Text)
{
    for (const QChar c : Text) {
        if (c == QLatin1Char('\b'))
            continue;
        // Control characters (Enter, Escape, Tab, shortcuts) are the edit's
        // and the dialog's business, not typed text.
        if (c.category() == QChar::Other_Control)
            continue;
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return true;
    }
    return false;
}

bool TDigitKeyFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!(key->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) && Discards(key->text()))
            return true;
    }
    return QObject::eventFilter(watched, event);
}
