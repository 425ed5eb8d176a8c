#include "FileFault.h"

#include <QFile>
#include <csignal>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace FileFault {

namespace {
constexpr uid_t kNobody = 65534;
}

Unprivileged::Unprivileged()
    : m_wasRoot(::geteuid() == 0)
{
    if (!m_wasRoot)
        return;
    // The group first: once the user is no longer root it cannot change it.
    m_ok = ::setegid(kNobody) == 0 && ::seteuid(kNobody) == 0;
}

Unprivileged::~Unprivileged()
{
    if (!m_wasRoot)
        return;
    if (::seteuid(0) != 0 || ::setegid(0) != 0)
        qFatal("cannot return to root");
}

bool setImmutable(const QString &path, bool on)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK);
    if (fd < 0)
        return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return done;
}

FileSizeLimit::FileSizeLimit(qint64 bytes)
{
    std::signal(SIGXFSZ, SIG_IGN);
    if (::getrlimit(RLIMIT_FSIZE, &m_old) != 0)
        return;
    rlimit limit = m_old;
    limit.rlim_cur = rlim_t(bytes);
    m_ok = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

FileSizeLimit::~FileSizeLimit()
{
    if (m_ok)
        ::setrlimit(RLIMIT_FSIZE, &m_old);
}

} // namespace FileFault
