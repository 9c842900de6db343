#include "comm/mappedlink.h"

#include "comm/portdiagnosis.h"
#include "platform/timers.h"

MappedSerialLink::MappedSerialLink(Timers& timers, const PortMap& map, QObject* parent)
    : SerialLink(parent), timers_(timers), map_(map)
{
}

MappedSerialLink::~MappedSerialLink() = default;

PortTarget MappedSerialLink::Target() const
{
    return TargetOf(PortNumber());
}

PortTarget MappedSerialLink::TargetOf(int port) const
{
    return hasFixed_ ? fixed_ : map_.Resolve(port);
}

bool MappedSerialLink::Open()
{
    const PortTarget target = Target();
    const bool simulated = target.kind == PortTarget::Kind::Simulated;
    const QString key = (simulated ? QStringLiteral("sim") + target.simulation : QStringLiteral("dev:") + target.device);
    if (!backend_ || key != backendKey_) {
        Close();
        std::unique_ptr<SerialLink> backend;
        if (simulated) {
            QString error;
            const auto options = ParseSimulationOptions(target.simulation, &error);
            if (!options) {
                SetErrorText(error);
                failure_ = {};
                failure_.cause = PortFailure::Cause::SimulationSetting;
                failure_.device = QStringLiteral("sim") + target.simulation;
                failure_.detail = error;
                return false;
            }
            auto terminal = std::make_unique<SimulatedTerminal>(timers_);
            terminal->SetOptions(*options);
            backend = std::move(terminal);
        } else {
            auto port = std::make_unique<QSerialPortLink>();
            port->SetDevice(target.device);
            backend = std::move(port);
        }
        connect(backend.get(), &SerialLink::ReceiveEvent, this, &SerialLink::ReceiveEvent);
        connect(backend.get(), &SerialLink::BytesWritten, this, &SerialLink::BytesWritten);
        backend_ = std::move(backend);
        backendKey_ = key;
    }
    backend_->SetPortNumber(PortNumber());
    const bool opened = backend_->Open();
    SetErrorText(backend_->ErrorText());
    failure_ = {};
    if (opened)
        return true;
    if (auto* port = qobject_cast<QSerialPortLink*>(backend_.get())) {
        failure_ = DiagnoseOpenFailure(target.device, port->OpenError(), port->OpenErrorText(), *devices_);
    } else if (const auto* sim = Simulation(); sim && sim->InUse()) {
        // Another session has this simulated terminal: said as of a serial
        // port another program holds.
        failure_.cause = PortFailure::Cause::Busy;
        failure_.device = PrintableText(sim->Options().file);
    } else {
        failure_.cause = PortFailure::Cause::SimulationFile;
        failure_.detail = backend_->ErrorText();
    }
    return false;
}

void MappedSerialLink::Close()
{
    if (backend_)
        backend_->Close();
}

bool MappedSerialLink::IsOpen() const
{
    return backend_ && backend_->IsOpen();
}

void MappedSerialLink::SetDtr(bool on)
{
    if (backend_)
        backend_->SetDtr(on);
}

void MappedSerialLink::SetRts(bool on)
{
    if (backend_)
        backend_->SetRts(on);
}

bool MappedSerialLink::Dtr() const
{
    return backend_ && backend_->Dtr();
}

bool MappedSerialLink::Rts() const
{
    return backend_ && backend_->Rts();
}

void MappedSerialLink::Send(const QByteArray& bytes)
{
    if (backend_)
        backend_->Send(bytes);
}

QByteArray MappedSerialLink::ReadAll()
{
    return backend_ ? backend_->ReadAll() : QByteArray();
}

void MappedSerialLink::ClearReceive()
{
    if (backend_)
        backend_->ClearReceive();
}

QString MappedSerialLink::Description() const
{
    if (backend_)
        return backend_->Description();
    const PortTarget t = Target();
    return t.kind == PortTarget::Kind::Simulated ? QStringLiteral("simulated terminal") : t.device;
}

SimulatedTerminal* MappedSerialLink::Simulation() const
{
    return qobject_cast<SimulatedTerminal*>(backend_.get());
}
