#pragma once

// Keeps a test from waiting on a dialog nobody answers: a modal widget that
// stays up for the patience (ten seconds unless given) without a driver of
// the test taking it fails the running test with its window title and text,
// and is closed so that the test and the rest of the suite go on. The widget
// test runner keeps one for the whole run.

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <chrono>

class TModalWatchdog
{
public:
    explicit TModalWatchdog(std::chrono::milliseconds Patience = std::chrono::seconds(10));

    TModalWatchdog(const TModalWatchdog&) = delete;
    TModalWatchdog& operator=(const TModalWatchdog&) = delete;

    // Marks a modal widget as in the hands of a driver of the test while the
    // object lives: no watchdog closes it meanwhile.
    class TTaken
    {
    public:
        explicit TTaken(QWidget* Widget);
        ~TTaken();
        TTaken(const TTaken&) = delete;
        TTaken& operator=(const TTaken&) = delete;

    private:
        QPointer<QWidget> m_widget;
    };

    // The modal widget that is up, holds the test in its event loop and that
    // no driver holds, or null.
    static QWidget* Unanswered();
    // Fails the running test with Why and the widget's window title and
    // text, then closes the widget.
    static void FailAndClose(QWidget* Widget, const QString& Why);

private:
    void Check();

    std::chrono::milliseconds m_patience;
    QTimer m_timer;
    QPointer<QWidget> m_watched;
    QElapsedTimer m_since;
};
