#include "common/scriptedlink.h"

#include "platform/timers.h"

#include <QStringList>

qint64 ScriptedLink::Now() const
{
    return clock_ ? clock_->NowMs() : 0;
}

bool ScriptedLink::Open()
{
    if (failingPorts.contains(PortNumber())) {
        SetErrorText(QStringLiteral("com%1 is busy").arg(PortNumber()));
        return false;
    }
    open_ = true;
    opened << PortNumber();
    SetDtr(false);
    SetRts(false);
    return true;
}

void ScriptedLink::Close()
{
    if (!open_)
        return;
    SetDtr(false);
    SetRts(false);
    open_ = false;
    ++closes;
}

void ScriptedLink::SetDtr(bool on)
{
    if (on != dtr_)
        lineChanges.append({Now(), 'D', on});
    dtr_ = on;
}

void ScriptedLink::SetRts(bool on)
{
    if (on != rts_)
        lineChanges.append({Now(), 'R', on});
    rts_ = on;
}

QString ScriptedLink::LinePattern() const
{
    QStringList parts;
    for (const LineChange& c : lineChanges)
        parts << QStringLiteral("%1%2@%3").arg(QChar::fromLatin1(c.line), c.on ? QStringLiteral("+") : QStringLiteral("-")).arg(c.ms);
    return parts.join(u' ');
}
