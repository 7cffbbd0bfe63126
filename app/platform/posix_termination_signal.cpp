#include "app/platform/termination_signal.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Written by the signal handler, read on the window thread: the only safe way out of a handler.
int g_pipe[2] = {-1, -1};
struct sigaction g_before = {};

void handle(int)
{
    const int saved = errno;
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], "t", 1);
    errno = saved;
}

} // namespace

TerminationSignal::TerminationSignal(QObject *parent) : QObject(parent)
{
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto *notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &TerminationSignal::terminate);
    m_notifier = notifier;
    struct sigaction action = {};
    action.sa_handler = &handle;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, &g_before);
}

TerminationSignal::~TerminationSignal()
{
    if (!m_notifier)
        return;
    ::sigaction(SIGTERM, &g_before, nullptr);
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

void TerminationSignal::terminate()
{
    char byte = 0;
    while (::read(g_pipe[0], &byte, 1) > 0) {
    }
    // exit(), not quit(): a modal dialog that is open must not hold the logout up.
    QCoreApplication::exit(0);
}
