#pragma once

#include <QString>
#include <sys/resource.h>

// Real file faults for tests that may run as root, where permission bits do
// not bite: an unprivileged effective user for a scope, the immutable flag,
// and a file size limit that makes a write fail part-way.
namespace FileFault {

// While alive, a root process acts as the user "nobody" (uid/gid 65534), so
// that read-only and unreadable files refuse it; does nothing otherwise.
// Files it must reach need permissions for others.
class Unprivileged final
{
public:
    Unprivileged();
    ~Unprivileged();
    Unprivileged(const Unprivileged &) = delete;
    Unprivileged &operator=(const Unprivileged &) = delete;
    bool ok() const { return m_ok; }

private:
    bool m_wasRoot = false;
    bool m_ok = true;
};

// Sets or clears the immutable flag (root only, and the file system must
// support it); false when that is not possible here.
bool setImmutable(const QString &path, bool on);

// While alive, no file of this process may grow beyond bytes: a write past
// the limit fails with EFBIG instead of raising SIGXFSZ.
class FileSizeLimit final
{
public:
    explicit FileSizeLimit(qint64 bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;
    bool ok() const { return m_ok; }

private:
    rlimit m_old {};
    bool m_ok = false;
};

} // namespace FileFault
