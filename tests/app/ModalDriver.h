#pragma once

// Drives modal dialogs from inside their own event loop: the action runs once
// the first modal widget of the wanted type is up. A driver that waits ten
// seconds in vain fails the test on any other modal widget standing in the
// way, and closes it.

#include "ModalWatchdog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

template <class T = QWidget> void WhenModal(std::function<void(T*)> action)
{
    auto* timer = new QTimer(qApp);
    timer->setObjectName(QStringLiteral("ModalDriver"));
    const QDeadlineTimer deadline(10000);
    timer->setInterval(2);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, action, deadline] {
        if (auto* widget = qobject_cast<T*>(QApplication::activeModalWidget());
            widget && widget->isVisible()) {
            timer->stop();
            timer->deleteLater();
            const TModalWatchdog::TTaken taken(widget);
            action(widget);
        } else if (deadline.hasExpired()) {
            timer->stop();
            timer->deleteLater();
            if (QWidget* other = TModalWatchdog::Unanswered())
                TModalWatchdog::FailAndClose(
                    other, QStringLiteral("A modal dialog stood where the test waited for a %1")
                               .arg(QLatin1String(T::staticMetaObject.className())));
        }
    });
    timer->start();
}

// Answers the next message box with Button and keeps its text.
inline void AnswerMessageBox(QMessageBox::StandardButton button, QString* text = nullptr)
{
    WhenModal<QMessageBox>([button, text](QMessageBox* box) {
        if (text)
            *text = box->text();
        if (QAbstractButton* pressed = box->button(button))
            pressed->click();
        else
            box->reject();
    });
}

// Removes every driver still waiting, so none reaches into the next test.
inline void StopModalDrivers()
{
    const auto timers =
        qApp->findChildren<QTimer*>(QStringLiteral("ModalDriver"), Qt::FindDirectChildrenOnly);
    for (QTimer* timer : timers)
        delete timer;
}
