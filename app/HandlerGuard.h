#pragma once

// Every event handler of the program runs through Guarded: an exception that
// escapes the handler is stopped at the handler's edge (it must never cross
// Qt's own code), its message is shown in a message box captioned "Orvo", the
// command ends and the window stays open.

#include <QPointer>
#include <QString>
#include <QWidget>

#include <exception>
#include <type_traits>
#include <utility>

// Shows Message in a message box captioned "Orvo" with the critical icon.
void ShowErrorMessage(QWidget* parent, const QString& Message);
// Shows Message in a message box captioned "Orvo" with the information icon,
// and Details behind its "Show Details" button when there are any.
void ShowInformationMessage(QWidget* parent, const QString& Message,
                            const QString& Details = QString());

// The message of the exception in flight; call only inside a catch block.
QString CurrentExceptionMessage();

// Runs Handler, stopping any exception it raises (see above).
template <typename F> void RunGuarded(QWidget* parent, F&& Handler)
{
    QPointer<QWidget> guard(parent);
    try {
        std::forward<F>(Handler)();
    } catch (...) {
        ShowErrorMessage(guard.data(), CurrentExceptionMessage());
    }
}

// Wraps Handler for connecting to a signal or a canvas event: the arguments
// are passed on when the handler takes them and dropped when it takes none.
template <typename F> auto Guarded(QWidget* parent, F Handler)
{
    return [parent, Handler = std::move(Handler)](auto&&... Args) mutable {
        RunGuarded(parent, [&] {
            if constexpr (std::is_invocable_v<F&, decltype(Args)...>)
                Handler(std::forward<decltype(Args)>(Args)...);
            else
                Handler();
        });
    };
}
