#include "monitor/StatusRecord.h"

#include "monitor/FieldSplitter.h"

StatusRecord StatusRecord::fromReply(const QByteArray &reply, int k)
{
    const QByteArray record = fieldSplitter(reply, char(0xA8), k);
    StatusRecord r;
    r.name = fieldSplitter(record, '|', 1);
    r.recording = fieldSplitter(record, '|', 2);
    r.listening = fieldSplitter(record, '|', 3);
    r.activity = fieldSplitter(record, '|', 4);
    return r;
}
