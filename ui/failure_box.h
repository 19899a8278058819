// The program's message boxes: the error box for a failure that leaves a handler, and the
// guard that every handler runs in so that no exception crosses Qt's event loop.
#pragma once

#include <exception>
#include <string>

class QWidget;

namespace pixmora {

// The error box: error icon, OK, the application title as caption; text shown as given.
// Returns when the user has closed it.
void ShowErrorBox(QWidget* parent, const std::string& text);

// Shows the failure being handled (inside a catch block) in the error box, its message
// ending as WithFinalStop says.
void ShowCurrentFailure(QWidget* parent);

// Runs handler; a failure leaving it is shown and the program carries on.
template <class Handler>
void RunGuarded(QWidget* parent, Handler&& handler) {
    try {
        handler();
    } catch (...) {
        ShowCurrentFailure(parent);
    }
}

}  // namespace pixmora
