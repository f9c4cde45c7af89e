#include "FullFileSystem.h"

#include <QByteArray>
#include <QFile>

#include <csignal>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tavlo::test {

FullFileSystem::FullFileSystem(qint64 bytes)
{
    if (!m_dir.isValid() || geteuid() != 0)
        return;
    const QByteArray options = "size=" + QByteArray::number(bytes);
    m_mounted = ::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0, options.constData()) == 0;
}

FullFileSystem::~FullFileSystem()
{
    if (m_mounted)
        ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
}

void FullFileSystem::fill()
{
    const int fd = ::open(QFile::encodeName(path(QStringLiteral(".filler"))).constData(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    if (fd < 0)
        return;
    const QByteArray block(4096, 'x');
    while (::write(fd, block.constData(), size_t(block.size())) > 0) {
    }
    // The last few bytes of a block.
    while (::write(fd, "x", 1) > 0) {
    }
    ::close(fd);
}

bool FullFileSystem::makeReadOnly()
{
    return m_mounted
        && ::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
}

QString makeFullDevice(const QString &folder)
{
    struct stat full {};
    const QString path = folder + QStringLiteral("/full");
    const bool made = ::stat("/dev/full", &full) == 0
                      && ::mknod(QFile::encodeName(path).constData(), S_IFCHR | 0600, full.st_rdev) == 0;
    return made ? path : QString();
}

int runWithFileSizeLimit(qint64 limit, const std::function<int()> &work)
{
    const pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit rl{rlim_t(limit), rlim_t(limit)};
        ::setrlimit(RLIMIT_FSIZE, &rl);
        ::_exit(work());
    }
    if (child < 0)
        return -1;
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

} // namespace tavlo::test
