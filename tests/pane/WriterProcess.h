#pragma once

#include <QProcess>
#include <optional>
#include <sys/wait.h>

// One run of the writer child (tests/pane/writer/), talked to in bytes over its standard input
// and output, each wait with a deadline. It runs off the session bus and draws offscreen;
// whatever happens, it is killed and reaped when this goes.
class WriterProcess {
public:
    WriterProcess(const QStringList& arguments, const QString& deviceRoot) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        // A child that posts must not reach a bus, nor try to start one.
        environment.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + deviceRoot + "/no-bus");
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        _process.setProcessEnvironment(environment);
        _process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        _process.start(QStringLiteral(QEV_PANE_WRITER_CHILD), arguments);
        _process.waitForStarted();
    }
    ~WriterProcess() {
        _process.kill();
        _process.waitForFinished();
    }

    pid_t pid() const { return pid_t(_process.processId()); }
    bool send(const void* data, qint64 size) {
        return _process.write(static_cast<const char*>(data), size) == size &&
               _process.waitForBytesWritten(30000);
    }
    // False when the child ended or `timeoutMs` passed before all bytes came.
    bool receive(void* data, qint64 size, int timeoutMs) {
        while (_process.bytesAvailable() < size)
            if (!_process.waitForReadyRead(timeoutMs))
                return false;
        return _process.read(static_cast<char*>(data), size) == size;
    }
    bool awaitByte(char expected, int timeoutMs) {
        char got = 0;
        return receive(&got, 1, timeoutMs) && got == expected;
    }
    // The wait status once the child has ended within `timeoutMs`, rebuilt from what QProcess
    // reports (it reaps the child itself).
    std::optional<int> finish(int timeoutMs) {
        if (_process.state() != QProcess::NotRunning && !_process.waitForFinished(timeoutMs))
            return std::nullopt;
        return _process.exitStatus() == QProcess::CrashExit ? W_EXITCODE(0, _process.exitCode())
                                                            : W_EXITCODE(_process.exitCode(), 0);
    }

private:
    QProcess _process;
};
