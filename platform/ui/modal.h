#pragma once
// How a window shows one of its modal dialogs. The program runs the dialog's
// own event loop; a test replaces the runner with one that plays the
// operator's part (types, presses OK or cancel) and returns, so no test waits
// on a real modal loop.

#include <QDialog>
#include <functional>

using ModalRunner = std::function<void(QDialog&)>;

inline ModalRunner ExecModal()
{
    return [](QDialog& dialog) { dialog.exec(); };
}
