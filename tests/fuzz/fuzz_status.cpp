// A status reply from a recorder server: cut into records and fields, then
// applied to the server's 20 channels and driven through the call timers'
// handlers. Input: up to four chunks split at zero bytes, each a control byte
// (bit 0 the server, bits 1-2 the alarms, bits 3-4 timer ticks) and a reply.
#include "FuzzCheck.h"
#include "app/TimeText.h"
#include "app/Win1252.h"
#include "monitor/ChannelMonitor.h"
#include "monitor/ChannelTimer.h"
#include "monitor/FieldSplitter.h"
#include "monitor/StatusRecord.h"
#include "monitor/TDM.h"

#include <QCoreApplication>
#include <QList>
#include <array>
#include <vector>

namespace {

constexpr char kRecordSeparator = char(0xA8);
// Four replies in a row reach every transition (a listening seen, then
// ended; a call started, counted, stopped); more only slow each input down.
constexpr qsizetype kMaxReplies = 4;
const QByteArray kNao("N\xC3O", 3);

TDM *dm = nullptr;

// Every input starts and ends with every timer at rest except the always
// running maximum-time blink: the same start each time, and no timer left
// registered that the leak check would take for a leak of the input.
struct TimersAtRest
{
    TimersAtRest() { stopAll(); }
    ~TimersAtRest() { stopAll(); }
    static void stopAll()
    {
        for (int n = 1; n <= TDM::kChannels; ++n) {
            dm->tCanal(n)->stop();
            dm->tTempoOciosoC(n)->stop();
            dm->tOciosoC(n)->stop();
        }
    }
};

// The splitter's rules restated on the fields of QByteArray::split: field 1
// of a text of two or more bytes without the separator is empty, and any n
// outside the fields gives the last one.
QByteArray expectedField(const QByteArray &text, const QList<QByteArray> &fields, int n)
{
    if (text.isEmpty())
        return {};
    if (n == 1 && fields.size() == 1)
        return text.size() == 1 ? text : QByteArray();
    return n >= 1 && n <= fields.size() ? fields.at(n - 1) : fields.last();
}

bool isStatus(const QString &status)
{
    return status == QLatin1String("Aguardando") || status == QLatin1String("Gravando")
        || status == QLatin1String("Desabilitado");
}

void checkSplitter(const QByteArray &reply, const QList<QByteArray> &records)
{
    for (const int n : { -1, 0, 1, 2, 20, 21, 1000 })
        FUZZ_CHECK(fieldSplitter(reply, kRecordSeparator, n) == expectedField(reply, records, n));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    static int argc = 1;
    static char name[] = "fuzz_status";
    static char *argv[] = { name, nullptr };
    // The per-channel timers need an application object; no event loop
    // ever runs, so only the handlers called here change the channels.
    new QCoreApplication(argc, argv);
    dm = new TDM;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (!dm)
        LLVMFuzzerInitialize(nullptr, nullptr);
    const TimersAtRest rest;
    ChannelMonitor monitor(dm);
    monitor.setMaxCallTime(2);

    // std::vector: QList<int>'s operator== hands memcmp a null pointer when
    // one side was never allocated, which the sanitizer rightly reports.
    std::vector<int> changed;
    std::vector<int> ended;
    QObject::connect(&monitor, &ChannelMonitor::channelChanged,
                     [&changed](int n) { changed.push_back(n); });
    QObject::connect(&monitor, &ChannelMonitor::listeningEnded,
                     [&ended](int n) { ended.push_back(n); });

    std::array<bool, ChannelMonitor::kChannels + 1> listening {};
    const QByteArray input
        = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const QList<QByteArray> chunks = input.split('\0');
    for (qsizetype c = 0; c < chunks.size() && c < kMaxReplies; ++c) {
        const QByteArray &chunk = chunks.at(c);
        const quint8 control = chunk.isEmpty() ? 0 : quint8(chunk.at(0));
        const QByteArray reply = chunk.mid(1);
        const int server = (control & 1) ? 2 : 1;
        const int first = server == 1 ? 1 : ChannelMonitor::kRecordsPerServer + 1;
        const int last = first + ChannelMonitor::kRecordsPerServer - 1;
        monitor.setMaxAlarmEnabled(control & 2);
        monitor.setIdleAlarmEnabled(control & 4);
        // Split once: splitting the whole reply again for every record
        // would make the check, not the parser, the cost of each input.
        const QList<QByteArray> records = reply.split(kRecordSeparator);
        checkSplitter(reply, records);

        std::array<ChannelState, ChannelMonitor::kChannels + 1> before;
        for (int n = 1; n <= ChannelMonitor::kChannels; ++n)
            before[n] = monitor.channel(n);
        changed.clear();
        ended.clear();
        monitor.applyReply(server, reply);

        for (const int n : changed)
            FUZZ_CHECK(n >= first && n <= last);
        for (const int n : ended)
            FUZZ_CHECK(n >= first && n <= last);

        std::vector<int> expectedEnded;
        for (int k = 1; k <= ChannelMonitor::kRecordsPerServer; ++k) {
            const int n = first + k - 1;
            const QByteArray record = expectedField(reply, records, k);
            const QList<QByteArray> fields = record.split('|');
            const StatusRecord r = StatusRecord::fromReply(reply, k);
            FUZZ_CHECK(r.name == expectedField(record, fields, 1));
            FUZZ_CHECK(r.recording == expectedField(record, fields, 2));
            FUZZ_CHECK(r.listening == expectedField(record, fields, 3));
            FUZZ_CHECK(r.activity == expectedField(record, fields, 4));

            const ChannelState &s = monitor.channel(n);
            FUZZ_CHECK(s.name == Win1252::decode(r.name));
            FUZZ_CHECK(isStatus(s.status));
            if (r.listening == "SIM")
                listening[n] = true;
            if (listening[n] && r.listening == kNao) {
                listening[n] = false;
                expectedEnded.push_back(n);
            }
            FUZZ_CHECK(s.listeningSeen == listening[n]);
            if (r.recording == "-1") {
                FUZZ_CHECK(s.status == QLatin1String("Gravando"));
                FUZZ_CHECK(dm->tCanal(n)->isActive());
                FUZZ_CHECK(!dm->tTempoOciosoC(n)->isActive());
            } else if (r.recording == "0") {
                FUZZ_CHECK(s.status
                           == (r.activity == "Desabilitado" ? QLatin1String("Desabilitado")
                                                            : QLatin1String("Aguardando")));
                FUZZ_CHECK(s.duration == QLatin1String("00:00:00"));
                FUZZ_CHECK(s.hours == 0 && s.minutes == 0 && s.seconds == 0);
                FUZZ_CHECK(!dm->tCanal(n)->isActive());
                if (r.activity == "SIM")
                    FUZZ_CHECK(dm->tTempoOciosoC(n)->isActive());
            } else {
                // Any other field 2 leaves status and duration alone.
                FUZZ_CHECK(s.status == before[n].status);
                FUZZ_CHECK(s.duration == before[n].duration);
            }
        }
        FUZZ_CHECK(ended == expectedEnded);
        for (int n = 1; n <= ChannelMonitor::kChannels; ++n) {
            if (n >= first && n <= last)
                continue;
            const ChannelState &s = monitor.channel(n);
            FUZZ_CHECK(s.name == before[n].name && s.status == before[n].status
                       && s.duration == before[n].duration && s.lamp == before[n].lamp);
        }

        const int ticks = (control >> 3) & 3;
        for (int t = 0; t < ticks; ++t) {
            for (int n = first; n <= last; ++n) {
                monitor.tCanalTimer(n);
                monitor.tTempoOciosoCTimer(n);
                monitor.tOciosoCTimer(n);
                monitor.tEstouroCTimer(n);
            }
        }
        for (int n = first; n <= last; ++n) {
            const ChannelState &s = monitor.channel(n);
            FUZZ_CHECK(isStatus(s.status));
            FUZZ_CHECK(s.duration.size() == 8 && TimeText::parseTimeOfDay(s.duration));
            FUZZ_CHECK(s.seconds >= 0 && s.seconds < 60 && s.minutes >= 0 && s.minutes < 60);
        }
    }
    return 0;
}
