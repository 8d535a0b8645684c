#include "TerminationHandler.h"

#include <QApplication>
#include <QDialog>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>

#include <array>
#include <cerrno>
#include <csignal>
#include <pthread.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace korvex::shell {

namespace {

constexpr std::array<int, 3> Signals = {SIGTERM, SIGHUP, SIGINT};
// A modal window that keeps reopening must not keep the program alive.
constexpr int MaxRounds = 50;

int s_pipe[2] = {-1, -1};  // [0] written by the handler, [1] read by the notifier
struct sigaction s_previous[Signals.size()];

void onSignal(int signal)
{
    // Only async-signal-safe calls here.
    const int savedErrno = errno;
    const char byte = char(signal);
    [[maybe_unused]] const ssize_t written = ::write(s_pipe[0], &byte, 1);
    errno = savedErrno;
}

} // namespace

TTerminationHandler::TTerminationHandler(QObject *parent)
    : QObject(parent)
{
    if (s_pipe[0] >= 0)
        throw std::logic_error("TTerminationHandler: one per program");
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, s_pipe) != 0)
        throw std::runtime_error("TTerminationHandler: no socket pair for the signal handler");
    m_notifier = new QSocketNotifier(s_pipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TTerminationHandler::signalled);

    for (size_t i = 0; i < Signals.size(); ++i)
        ::sigaction(Signals[i], nullptr, &s_previous[i]);
    claimSignals();
}

void TTerminationHandler::claimSignals()
{
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;  // calls the signal interrupts (the database client's) carry on
    for (const int signal : Signals)
        ::sigaction(signal, &action, nullptr);
}

TTerminationHandler::Hold::Hold(TTerminationHandler &handler)
    : m_handler(handler)
{
    sigset_t held;
    sigemptyset(&held);
    for (const int signal : Signals)
        sigaddset(&held, signal);
    // Threads the engine starts meanwhile keep the signals blocked too.
    pthread_sigmask(SIG_BLOCK, &held, &m_before);
}

TTerminationHandler::Hold::~Hold()
{
    m_handler.claimSignals();
    pthread_sigmask(SIG_SETMASK, &m_before, nullptr);
}

TTerminationHandler::~TTerminationHandler()
{
    for (size_t i = 0; i < Signals.size(); ++i)
        ::sigaction(Signals[i], &s_previous[i], nullptr);
    delete m_notifier;
    ::close(s_pipe[0]);
    ::close(s_pipe[1]);
    s_pipe[0] = s_pipe[1] = -1;
}

void TTerminationHandler::signalled()
{
    char bytes[64];
    while (::read(s_pipe[1], bytes, sizeof bytes) > 0) {
    }
    if (m_closing)
        return;
    m_closing = true;
    closeNext();
}

void TTerminationHandler::closeNext()
{
    // The innermost modal window is cancelled and its caller finishes, as
    // after "Отмена", before the next one is looked at.
    if (QWidget *modal = QApplication::activeModalWidget(); modal && m_rounds < MaxRounds) {
        ++m_rounds;
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        else
            modal->close();
        QTimer::singleShot(0, this, &TTerminationHandler::closeNext);
        return;
    }
    // The main window last: closing it is "Выход".
    const QList<QWidget *> windows = QApplication::topLevelWidgets();
    for (const bool mainWindows : {false, true})
        for (QWidget *window : windows)
            if (window->isVisible() && window->inherits("QMainWindow") == mainWindows)
                window->close();
    Q_EMIT closed();
}

} // namespace korvex::shell
