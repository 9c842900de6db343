// Any bytes from a serial device server, in pieces of any size, into the
// network link's receive side: the client never delivers more bytes than it
// got, answers no more than a bounded amount per byte, keeps the server's
// words short, and once refused stays refused. The same bytes into the
// served terminal's side: its answers stay bounded too.
#include "comm/rfc2217.h"

#include <cstdlib>

namespace {
struct CountingPort : ComPortServer::Port {
    qsizetype written = 0;
    bool dtr = false, rts = false;
    void WriteData(const QByteArray& bytes) override { written += bytes.size(); }
    void SetDtr(bool on) override { dtr = on; }
    void SetRts(bool on) override { rts = on; }
    bool Dtr() const override { return dtr; }
    bool Rts() const override { return rts; }
    void PurgeReceive() override {}
};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte sets the size of the pieces the stream arrives in.
    const qsizetype piece = 1 + data[0] % 17;
    const QByteArrayView stream(reinterpret_cast<const char*>(data) + 1, qsizetype(size) - 1);

    ComPortClient client;
    client.Begin();
    bool settingsSent = false;
    bool refused = false;
    for (qsizetype at = 0; at < stream.size(); at += piece) {
        const QByteArrayView part = stream.sliced(at, std::min(piece, stream.size() - at));
        const QByteArray reply = client.Receive(part);
        qsizetype allowance = 3 * part.size() + 16;
        if (reply.contains(ComPortClient::SettingsBytes())) {
            if (settingsSent)
                std::abort();   // the settings go out once
            settingsSent = true;
            allowance += ComPortClient::SettingsBytes().size();
        }
        if (reply.size() > allowance)
            std::abort();
        if (client.TakeData().size() > part.size())
            std::abort();
        if (client.TakeLineErrors().size() > part.size())
            std::abort();
        if (refused && client.CurrentPhase() != ComPortClient::Phase::Refused)
            std::abort();
        refused = client.CurrentPhase() == ComPortClient::Phase::Refused;
    }
    if (client.ServerText().size() > ComPortClient::MaxServerText)
        std::abort();

    CountingPort port;
    ComPortServer server(port, "fuzz");
    qsizetype answered = 0;
    for (qsizetype at = 0; at < stream.size(); at += piece)
        answered += server.Receive(stream.sliced(at, std::min(piece, stream.size() - at))).size();
    if (answered > 2 * stream.size() + 16 || port.written > stream.size())
        std::abort();
    return 0;
}
