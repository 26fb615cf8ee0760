#include "WriterProcess.h"
#include "pane/writer/ByteTransfer.h"

#include <QDir>
#include <QFile>
#include <QList>

#include <chrono>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <unistd.h>

extern char** environ;

namespace {

// The caller's environment with the bus pointed at nothing: a child that posts must not
// reach a session bus (and must not try to start one), and must draw offscreen.
QList<QByteArray> childEnvironment(const QString& deviceRoot) {
    QList<QByteArray> entries;
    for (char** entry = environ; *entry; ++entry) {
        const QByteArray line(*entry);
        if (!line.startsWith("DBUS_SESSION_BUS_ADDRESS=") && !line.startsWith("QT_QPA_PLATFORM="))
            entries.append(line);
    }
    entries.append("DBUS_SESSION_BUS_ADDRESS=unix:path=" + QFile::encodeName(deviceRoot) +
                   "/no-bus");
    entries.append("QT_QPA_PLATFORM=offscreen");
    // Qt warns on every start without a runtime directory; give it a private one.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString runtime = deviceRoot + QStringLiteral("/runtime");
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        entries.append("XDG_RUNTIME_DIR=" + QFile::encodeName(runtime));
    }
    return entries;
}

std::vector<char*> pointers(QList<QByteArray>& strings) {
    std::vector<char*> result;
    for (QByteArray& string : strings)
        result.push_back(string.data());
    result.push_back(nullptr);
    return result;
}

} // namespace

QString WriterProcess::program() {
    return QStringLiteral(QEV_PANE_WRITER_CHILD);
}

WriterProcess::WriterProcess(const QStringList& arguments, const QString& deviceRoot) {
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
        return;
    QList<QByteArray> argv{QFile::encodeName(program())};
    for (const QString& argument : arguments)
        argv.append(argument.toLocal8Bit());
    QList<QByteArray> envp = childEnvironment(deviceRoot);
    std::vector<char*> argvPointers = pointers(argv);
    std::vector<char*> envpPointers = pointers(envp);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
    pid_t pid = -1;
    const int error = ::posix_spawn(&pid, argvPointers[0], &actions, nullptr, argvPointers.data(),
                                    envpPointers.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(ends[1]);
    if (error != 0) {
        ::close(ends[0]);
        return;
    }
    _pid = pid;
    _socket = ends[0];
}

WriterProcess::~WriterProcess() {
    if (_pid > 0) {
        kill(SIGKILL);
        wait();
    }
    if (_socket >= 0)
        ::close(_socket);
}

bool WriterProcess::send(const void* data, size_t size) {
    return ByteTransfer::all(static_cast<const char*>(data), size,
                             [this](const char* bytes, size_t left) {
                                 return ::send(_socket, bytes, left, MSG_NOSIGNAL);
                             });
}

bool WriterProcess::receive(void* data, size_t size, int timeoutMs) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    return ByteTransfer::all(static_cast<char*>(data), size, [&](char* bytes, size_t left) {
        const auto remaining =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd readable{_socket, POLLIN, 0};
        const ssize_t ready = ::poll(&readable, 1, int(std::max<qint64>(remaining.count(), 0)));
        return ready <= 0 ? ready : ::recv(_socket, bytes, left, 0);
    });
}

bool WriterProcess::awaitByte(char expected, int timeoutMs) {
    char got = 0;
    return receive(&got, 1, timeoutMs) && got == expected;
}

std::optional<int> WriterProcess::finish(int timeoutMs) {
    char dropped[64];
    while (true) {
        pollfd readable{_socket, POLLIN, 0};
        if (ByteTransfer::retried([&] { return ::poll(&readable, 1, timeoutMs); }) <= 0)
            return std::nullopt;
        if (ByteTransfer::retried([&] { return ::recv(_socket, dropped, sizeof dropped, 0); }) <= 0)
            return wait();
    }
}

void WriterProcess::kill(int signal) {
    if (_pid > 0)
        ::kill(_pid, signal);
}

int WriterProcess::wait() {
    if (_pid <= 0)
        return -1;
    const int status = ByteTransfer::reap(_pid);
    _pid = -1;
    return status;
}
