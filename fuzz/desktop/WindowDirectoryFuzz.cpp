// The messages other editor processes send about their windows: no decoder
// takes bytes of an incomplete message, and a decoded window list survives
// encoding again.

#include "desktop/WindowDirectoryProtocol.h"

#include <cstdint>
#include <cstdlib>
#include <QBuffer>

namespace protocol = zrv::desktop::protocol;

namespace {

template <typename Decode> void Drain(const QByteArray& bytes, Decode decode)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    while (!buffer.atEnd()) {
        const qint64 before = buffer.pos();
        const protocol::DecodeState state = decode(buffer);
        if (state == protocol::DecodeState::Corrupt)
            return;
        if (state == protocol::DecodeState::Incomplete) {
            if (buffer.pos() != before)
                std::abort(); // bytes of an incomplete message must stay
            return;
        }
        if (buffer.pos() == before)
            std::abort(); // a whole message uses bytes
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    Drain(bytes, [](QIODevice& device) { return protocol::DecodeRequest(device).state; });
    Drain(bytes, [](QIODevice& device) { return protocol::DecodeAccepted(device).state; });
    Drain(bytes, [](QIODevice& device) {
        const auto decoded = protocol::DecodeWindows(device);
        if (decoded.complete()) {
            const std::vector<zrv::desktop::WindowEntry>* windows = &decoded.value;
            QByteArray again = protocol::EncodeWindows(*windows);
            QBuffer buffer(&again);
            buffer.open(QIODevice::ReadOnly);
            const auto twice = protocol::DecodeWindows(buffer);
            if (!twice.complete() || twice.value.size() != windows->size())
                std::abort();
            for (size_t i = 0; i < windows->size(); ++i) {
                if (twice.value[i].handle != (*windows)[i].handle ||
                    twice.value[i].caption != (*windows)[i].caption ||
                    twice.value[i].windowClass != (*windows)[i].windowClass)
                    std::abort();
            }
        }
        return decoded.state;
    });
    return 0;
}
