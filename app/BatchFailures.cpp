#include "BatchFailures.h"

#include "UniFuncs.h"

#include <QStringList>

#include <algorithm>

void TBatchFailures::Add(const QString& Photo, const QString& Reason)
{
    m_entries.push_back({Photo, Reason});
}

QString TBatchFailures::Line(const TEntry& Entry)
{
    return ShownPath(Entry.Photo) + QStringLiteral(": ") + Entry.Reason;
}

QString TBatchFailures::Text() const
{
    QString text = Count() == 1 ? QStringLiteral("This photo was not framed:")
                                : QStringLiteral("These %1 photos were not framed:").arg(Count());
    const int shown = std::min(Count(), ShownInText);
    for (int i = 0; i < shown; ++i)
        text += QLatin1Char('\n') + Line(m_entries[size_t(i)]);
    if (Count() > shown)
        text += QStringLiteral("\nand %1 more (see the details).").arg(Count() - shown);
    return text;
}

QString TBatchFailures::Details() const
{
    if (Count() <= ShownInText)
        return QString();
    QStringList lines;
    for (const TEntry& entry : m_entries)
        lines << Line(entry);
    return lines.join(QLatin1Char('\n'));
}
