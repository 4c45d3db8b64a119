#pragma once

// Drives modal dialogs from inside their own event loop: the action runs once
// the first modal widget of the wanted type is up. A driver that waits ten
// seconds in vain fails the test on any other modal widget standing in the
// way, and closes it.

#include "ModalWatchdog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QAbstractItemView>
#include <QDeadlineTimer>
#include <QFileDialog>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

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

// Answers the next file dialog with File (a full name), or cancels it when
// File is empty; Folder, when given, receives the folder the dialog showed.
// The name is typed into the name box after the list's selection is cleared:
// a selection left from an earlier showing would otherwise win over the
// typed name whenever the box does not have the focus yet.
inline void AnswerFileDialog(const QString& file, QString* folder = nullptr)
{
    WhenModal<QFileDialog>([file, folder](QFileDialog* dialog) {
        if (folder)
            *folder = dialog->directory().absolutePath();
        if (file.isEmpty()) {
            dialog->reject();
            return;
        }
        if (auto* list = dialog->findChild<QAbstractItemView*>(QStringLiteral("listView")))
            list->selectionModel()->clearSelection();
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(edit, nullptr);
        edit->setText(file);
        static_cast<QDialog*>(dialog)->accept();
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
