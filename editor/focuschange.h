#pragma once
// Focus that the operator moved inside the window, as opposed to the window
// itself becoming active or a popup closing: only the former runs the
// editor's focus handlers.

#include <QFocusEvent>

inline bool OwnFocusChange(const QEvent* event)
{
    const auto reason = static_cast<const QFocusEvent*>(event)->reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}
