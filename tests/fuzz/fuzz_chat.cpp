// A chat datagram from an agent: first the texts it is read as (the call for
// attention, the lines of a message), then the same bytes sent for real over
// UDP on 127.0.0.1 to the chat listener, which must hand them over whole
// when they fit and drop them unread when they do not.
#include "FuzzCheck.h"
#include "app/Win1252.h"
#include "chat/ChatProtocol.h"
#include "chat/ChatServer.h"
#include "chat/ChatTranscript.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QUdpSocket>

namespace {

constexpr qsizetype kMaxUdpPayload = 65507;

ChatServer *server = nullptr;
QUdpSocket *sender = nullptr;
QList<QByteArray> *received = nullptr;
quint64 sequence = 0;

// The call for attention read the slow way: the prefix, then 1..40 in
// plain decimal digits with no leading zero.
int expectedCallChannel(const QByteArray &payload)
{
    const QByteArray prefix("CHAMADA DO Canal ");
    if (!payload.startsWith(prefix))
        return 0;
    const QByteArray digits = payload.mid(prefix.size());
    if (digits.isEmpty() || digits.size() > 2 || digits.at(0) == '0')
        return 0;
    int value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return 0;
        value = value * 10 + (c - '0');
    }
    return value <= ChatProtocol::kChannels ? value : 0;
}

void checkTexts(const QByteArray &payload)
{
    const int channel = ChatProtocol::callChannel(payload);
    FUZZ_CHECK(channel == expectedCallChannel(payload));
    if (channel != 0)
        FUZZ_CHECK(ChatProtocol::callPayload(channel) == payload);

    const QStringList lines = ChatProtocol::linesOf(payload);
    QByteArray unified = payload;
    unified.replace("\r\n", "\n").replace('\r', '\n');
    FUZZ_CHECK(lines.size() == unified.count('\n') + 1);
    // Windows-1252 decoding loses nothing: the lines give the bytes back.
    FUZZ_CHECK(Win1252::encode(lines.join(QLatin1Char('\n'))) == unified);
    for (const QString &line : lines)
        FUZZ_CHECK(!line.contains(QLatin1Char('\r')) && !line.contains(QLatin1Char('\n')));

    ChatTranscript transcript;
    transcript.append(lines);
    FUZZ_CHECK(transcript.lines() == lines);
}

void checkListener(const QByteArray &payload)
{
    if (payload.size() > kMaxUdpPayload)
        return;
    // A marker after the payload says when everything sent has been drained.
    const QByteArray marker = QByteArrayLiteral("\xFF\xFEmarker ") + QByteArray::number(++sequence);
    received->clear();
    const quint16 port = server->boundPort();
    FUZZ_CHECK(sender->writeDatagram(payload, QHostAddress::LocalHost, port) == payload.size());
    FUZZ_CHECK(sender->writeDatagram(marker, QHostAddress::LocalHost, port) == marker.size());
    QElapsedTimer clock;
    clock.start();
    while ((received->isEmpty() || received->last() != marker) && clock.elapsed() < 10000)
        QCoreApplication::processEvents();
    if (clock.elapsed() > 500 || received->isEmpty() || received->last() != marker)
        std::fprintf(stderr, "listener: %lld ms, %lld datagrams, marker %s, payload %lld bytes\n",
                     qint64(clock.elapsed()), qint64(received->size()),
                     !received->isEmpty() && received->last() == marker ? "seen" : "missing",
                     qint64(payload.size()));
    if (received->isEmpty() || received->last() != marker) {
        QUdpSocket *socket = server->findChild<QUdpSocket *>();
        std::fprintf(stderr, "listener socket: pending %d size %lld state %d\n",
                     int(socket->hasPendingDatagrams()), qint64(socket->pendingDatagramSize()),
                     int(socket->state()));
    }
    FUZZ_CHECK(!received->isEmpty() && received->last() == marker);
    if (payload.size() <= ChatProtocol::kMaxDatagram)
        FUZZ_CHECK(received->size() == 2 && received->first() == payload);
    else
        FUZZ_CHECK(received->size() == 1);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    static int argc = 1;
    static char name[] = "fuzz_chat";
    static char *argv[] = { name, nullptr };
    new QCoreApplication(argc, argv);
    server = new ChatServer;
    server->setPort(0);
    FUZZ_CHECK(server->activate());
    received = new QList<QByteArray>;
    QObject::connect(server, &ChatServer::datagramReceived,
                     [](const QByteArray &payload) { received->append(payload); });
    sender = new QUdpSocket;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (!server)
        LLVMFuzzerInitialize(nullptr, nullptr);
    // A deep copy: the listener and the texts must not depend on the
    // caller's buffer outliving the call.
    const QByteArray payload(reinterpret_cast<const char *>(data), qsizetype(size));
    checkTexts(payload);
    checkListener(payload);
    return 0;
}
