#include "ModalWatchdog.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QStringList>
#include <QThread>

#include <gtest/gtest.h>

namespace {
const char* const kTakenProperty = "orvoTakenByModalDriver";

// The texts the widget shows, one per line.
QString TextOf(const QWidget* Widget)
{
    QStringList texts;
    for (const QLabel* label : Widget->findChildren<QLabel*>())
        if (label->isVisible() && !label->text().isEmpty())
            texts << label->text();
    return texts.join(QLatin1Char('\n'));
}
} // namespace

TModalWatchdog::TModalWatchdog(std::chrono::milliseconds Patience)
    : m_patience(Patience)
{
    m_timer.setInterval(std::min<std::chrono::milliseconds>(Patience / 4, std::chrono::milliseconds(100)));
    QObject::connect(&m_timer, &QTimer::timeout, [this] { Check(); });
    m_timer.start();
}

TModalWatchdog::TTaken::TTaken(QWidget* Widget)
    : m_widget(Widget)
{
    if (m_widget)
        m_widget->setProperty(kTakenProperty, true);
}

TModalWatchdog::TTaken::~TTaken()
{
    if (m_widget)
        m_widget->setProperty(kTakenProperty, QVariant());
}

QWidget* TModalWatchdog::Unanswered()
{
    // A modal widget blocks the test only from inside an event loop of its
    // own (exec); one the test showed and drives itself holds nothing up.
    if (QThread::currentThread()->loopLevel() == 0)
        return nullptr;
    QWidget* widget = QApplication::activeModalWidget();
    if (widget && widget->isVisible() && !widget->property(kTakenProperty).toBool())
        return widget;
    return nullptr;
}

void TModalWatchdog::FailAndClose(QWidget* Widget, const QString& Why)
{
    ADD_FAILURE() << Why.toStdString() << ": \"" << Widget->windowTitle().toStdString()
                  << "\": " << TextOf(Widget).toStdString();
    if (auto* dialog = qobject_cast<QDialog*>(Widget))
        dialog->reject();
    if (Widget->isVisible())
        Widget->close();
    // Hiding ends the dialog's own event loop even when it refuses to close.
    if (Widget->isVisible())
        Widget->hide();
}

void TModalWatchdog::Check()
{
    QWidget* widget = Unanswered();
    if (widget == nullptr) {
        m_watched.clear();
        return;
    }
    if (widget != m_watched) {
        m_watched = widget;
        m_since.start();
        return;
    }
    if (m_since.elapsed() < m_patience.count())
        return;
    m_watched.clear();
    FailAndClose(widget, QStringLiteral("A modal dialog nobody answered within %1 s was closed")
                             .arg(double(m_patience.count()) / 1000.0));
}
