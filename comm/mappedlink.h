#pragma once
// The program's serial link: com N through the user's port map to a real
// device, to the built-in simulated terminal or to a terminal on the network
// (rfc2217://HOST:PORT). The simulated terminal is only ever used where the
// map (or the command line) names it. A terminal on the network is open at
// once and ready later: Ready() and ConnectionFailed() come from its link.

#include "comm/simterminal.h"
#include "platform/portmap.h"
#include "platform/serialdevices.h"
#include "platform/seriallink.h"

#include <memory>

class Timers;

class MappedSerialLink : public SerialLink {
    Q_OBJECT
public:
    // map: the program's port map, read at each Open(), so that a port the
    // interface dialog has just named is opened as named. It outlives the link.
    MappedSerialLink(Timers& timers, const PortMap& map, QObject* parent = nullptr);
    MappedSerialLink(Timers& timers, PortMap&& map, QObject* parent = nullptr) = delete;
    ~MappedSerialLink() override;

    // Uses this target instead of the port map (the CLI's --port DEVICE,
    // sim:FILE or rfc2217://HOST:PORT). Takes effect at the next Open().
    void SetFixedTarget(const PortTarget& target) { fixed_ = target; hasFixed_ = true; }
    PortTarget Target() const;
    // What the system says of its devices, to explain a port that did not
    // open; the running system's unless told otherwise.
    void SetDevices(const SerialDevices& devices) { devices_ = &devices; }
    const SerialDevices& Devices() const { return *devices_; }

    bool Open() override;
    void Close() override;
    bool IsOpen() const override;
    bool IsReady() const override;
    qint64 RoundTripUs() const override;
    void SetDtr(bool on) override;
    void SetRts(bool on) override;
    bool Dtr() const override;
    bool Rts() const override;
    void Send(const QByteArray& bytes) override;
    QByteArray ReadAll() override;
    void ClearReceive() override;
    QString Description() const override;
    PortFailure OpenFailure() const override { return failure_; }
    PortTarget TargetOf(int port) const override;

    // The simulated terminal behind the link, when the target is one.
    SimulatedTerminal* Simulation() const;

private:
    Timers& timers_;
    const PortMap& map_;
    PortTarget fixed_;
    bool hasFixed_ = false;
    std::unique_ptr<SerialLink> backend_;
    QString backendKey_;   // what backend_ was made for
    SystemSerialDevices systemDevices_;
    const SerialDevices* devices_ = &systemDevices_;
    PortFailure failure_;
};
