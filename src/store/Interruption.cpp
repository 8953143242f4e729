// SPDX-License-Identifier: GPL-3.0-or-later
#include "Interruption.h"

#include <QList>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t g_signal = 0;
int g_pipe[2] = {-1, -1};
bool g_installed = false;

QList<QByteArray> &tracked()
{
    static QList<QByteArray> files;
    return files;
}

extern "C" void onSignal(int sig)
{
    const int saved = errno;
    if (g_signal == 0)
        g_signal = sig;
    if (g_pipe[1] >= 0) {
        const char byte = char(sig);
        // A full pipe already says a signal is waiting.
        [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
    }
    errno = saved;
}

} // namespace

void Interruption::install()
{
    if (g_installed)
        return;
    g_installed = true;
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        g_pipe[0] = g_pipe[1] = -1;
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    // Reads and writes in progress return EINTR, so a blocked read of a
    // pipe notices the signal.
    action.sa_flags = 0;
    for (const int sig : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(sig, &action, nullptr);
    // A parent may have left SIGPIPE ignored; a closed pipe should end us
    // as it ends any filter.
    std::signal(SIGPIPE, SIG_DFL);
}

bool Interruption::installed()
{
    return g_installed;
}

int Interruption::requested()
{
    return g_signal;
}

int Interruption::notifier()
{
    return g_pipe[0];
}

void Interruption::track(const QByteArray &path)
{
    tracked().append(path);
}

void Interruption::release(const QByteArray &path)
{
    tracked().removeAll(path);
}

void Interruption::remove(const QByteArray &path)
{
    ::unlink(path.constData());
    ::unlink((path + "-journal").constData());
    release(path);
}

void Interruption::removeTracked()
{
    const QList<QByteArray> files = tracked();
    for (const QByteArray &path : files)
        remove(path);
}

void Interruption::endBySignal()
{
    removeTracked();
    const int sig = g_signal ? int(g_signal) : SIGTERM;
    std::signal(sig, SIG_DFL);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, sig);
    ::sigprocmask(SIG_UNBLOCK, &set, nullptr);
    ::raise(sig);
    // Not reached for the signals handled here.
    ::_exit(128 + sig);
}

void Interruption::simulate(int sig)
{
    g_signal = sig;
}
