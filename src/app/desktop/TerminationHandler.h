#pragma once

#include <QObject>

#include <signal.h>

class QSocketNotifier;

namespace korvex::shell {

// Ends the desktop program in order when the system asks it to (SIGTERM from
// a service manager or a desktop logout, SIGHUP, SIGINT): as "Выход" would,
// never halfway through a write. Open modal windows are cancelled first, the
// innermost first, as "Отмена" would cancel them, so that each operation
// rolls back what it had begun; then every window closes, the main window
// last of all, and the program leaves its event loop as after "Выход".
//
// The signal handler only writes a byte into a socket pair; everything else
// runs on the user-interface thread when its event loop reads that byte.
// One object per program; it restores the previous handlers when destroyed.
//
// The database engine, when it starts, puts in handlers of its own for
// SIGTERM and SIGINT that end every connection at once. So a connection is
// opened inside a Hold: the signals wait until the handlers are taken back.
class TTerminationHandler : public QObject
{
    Q_OBJECT
public:
    explicit TTerminationHandler(QObject *parent = nullptr);
    ~TTerminationHandler() override;

    bool closing() const { return m_closing; }

    // Puts the handlers in (again).
    void claimSignals();

    // Keeps the signals waiting for its lifetime; then claims them back and
    // lets through what came meanwhile.
    class Hold
    {
    public:
        explicit Hold(TTerminationHandler &handler);
        ~Hold();
        Hold(const Hold &) = delete;
        Hold &operator=(const Hold &) = delete;

    private:
        TTerminationHandler &m_handler;
        sigset_t m_before;
    };

Q_SIGNALS:
    // Every window has been asked to close.
    void closed();

private:
    void signalled();
    void closeNext();

    QSocketNotifier *m_notifier = nullptr;
    bool m_closing = false;
    int m_rounds = 0;
};

} // namespace korvex::shell
