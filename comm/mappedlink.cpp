#include "comm/mappedlink.h"

#include "comm/portdiagnosis.h"
#include "comm/rfc2217link.h"
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
    const bool network = target.kind == PortTarget::Kind::Network;
    const QString key = simulated ? QStringLiteral("sim") + target.simulation
                        : network ? QStringLiteral("net:") + target.address
                                  : QStringLiteral("dev:") + target.device;
    if (!backend_ || key != backendKey_) {
        Close();
        std::unique_ptr<SerialLink> backend;
        if (network) {
            backend = std::make_unique<Rfc2217Link>(timers_, target.address);
            connect(backend.get(), &SerialLink::Ready, this, &SerialLink::Ready);
            connect(backend.get(), &SerialLink::ConnectionFailed, this, [this] {
                // Said later than Open() returned: the failure is the link's now.
                failure_ = backend_->OpenFailure();
                SetErrorText(backend_->ErrorText());
                emit ConnectionFailed();
            });
        } else if (simulated) {
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
    if (network) {
        failure_ = backend_->OpenFailure();
    } else if (auto* port = qobject_cast<QSerialPortLink*>(backend_.get())) {
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

bool MappedSerialLink::IsReady() const
{
    return backend_ && backend_->IsReady();
}

qint64 MappedSerialLink::RoundTripUs() const
{
    return backend_ ? backend_->RoundTripUs() : -1;
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
    switch (t.kind) {
    case PortTarget::Kind::Simulated:
        return QStringLiteral("simulated terminal");
    case PortTarget::Kind::Network:
        return PrintableText(t.address, 200);
    case PortTarget::Kind::Device:
        break;
    }
    return t.device;
}

SimulatedTerminal* MappedSerialLink::Simulation() const
{
    return qobject_cast<SimulatedTerminal*>(backend_.get());
}
