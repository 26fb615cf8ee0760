#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

#include <sys/types.h>

// One run of the writer child (tests/pane/writer/): its standard input and output are one end
// of a socket pair, so the test can send it bytes and wait for its bytes with a deadline, and a
// child that died never takes the test down with SIGPIPE. It runs off the session bus. Whatever
// happens, the destructor kills and reaps it.
class WriterProcess {
public:
    WriterProcess(const QStringList& arguments, const QString& deviceRoot);
    ~WriterProcess();
    WriterProcess(const WriterProcess&) = delete;
    WriterProcess& operator=(const WriterProcess&) = delete;

    static QString program();

    bool started() const { return _pid > 0; }
    pid_t pid() const { return _pid; }
    bool send(const void* data, size_t size);
    // False when the child closed its end or `timeoutMs` passed before all bytes came.
    bool receive(void* data, size_t size, int timeoutMs);
    bool awaitByte(char expected, int timeoutMs);

    // The wait status once the child closed its end (it ends) within `timeoutMs`; anything it
    // sends meanwhile is dropped. Nullopt on timeout: the destructor then kills it.
    std::optional<int> finish(int timeoutMs);

    void kill(int signal);
    // The wait status once the child has ended (it is reaped); -1 on error.
    int wait();

private:
    pid_t _pid = -1;
    int _socket = -1;
};
