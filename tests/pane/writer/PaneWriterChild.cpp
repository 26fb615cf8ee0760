// A process that writes the pane's preference file, for the tests that kill a writer mid-write
// and that race two writers on one file. It talks to the test through single bytes on its
// standard input and output, so starting and stopping it needs no timing guesses:
//
//   pane_writer_child killloop <root> <round>   'R' once set up, then stores the round's
//                                               sequence through the pane, forever
//   pane_writer_child zygote <root>             sets the pane up once; per 4-byte round number
//                                               read, forks a writer as in killloop and sends
//                                               its pid; per 'W' read, reaps it and sends its
//                                               wait status
//   pane_writer_child pane <root> <count>       'R', waits for 'G', stores pane-0.. through
//                                               the pane, exits
//   pane_writer_child addon <root> <count>      the same with addon-0.. through PreferenceStore,
//                                               the read-modify-write the add-on shares
//   pane_writer_child blind <root> <count>      the same through a bare read, edit and atomic
//                                               rename: an add-on that checks nothing
#include "pane/writer/ByteTransfer.h"
#include "pane/writer/WriterSequence.h"

#include "foundation/DeviceRoot.h"
#include "foundation/NSBundle.h"
#include "foundation/PropertyList.h"
#include "pane/PreferenceStore.h"
#include "pane/TOLVPLAYERPreferencesListController.h"
#include "preferences/PSSpecifier.h"

#include <QApplication>
#include <QDir>
#include <QSaveFile>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

int gFailedStores = 0;

bool sendBytes(const void* data, size_t size) {
    return ByteTransfer::all(static_cast<const char*>(data), size, [](const char* bytes, size_t n) {
        return ::write(STDOUT_FILENO, bytes, n);
    });
}

// False at end of input: the test has gone, so the child goes too.
bool receiveBytes(void* data, size_t size) {
    return ByteTransfer::all(static_cast<char*>(data), size,
                             [](char* bytes, size_t n) { return ::read(STDIN_FILENO, bytes, n); });
}

bool readyThenAwaitStart() {
    char go = 0;
    return sendBytes("R", 1) && receiveBytes(&go, 1) && go == 'G';
}

// The pane counts a store it could not make only in a warning, so the warnings are counted.
void countFailedStores(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtWarningMsg && message.contains(QLatin1String("could not store")))
        ++gFailedStores;
    std::fprintf(stderr, "%s\n", qPrintable(message));
}

// The real pane, loaded from a bundle the test made in the device root, its view built so each
// store also runs the height pass that follows it in the Settings application.
std::unique_ptr<TOLVPLAYERPreferencesListController> makePane(const QString& bundleDevicePath) {
    auto pane = std::make_unique<TOLVPLAYERPreferencesListController>();
    pane->setBundle(NSBundle::bundleWithPath(DeviceRoot::resolve(bundleDevicePath)));
    pane->view();
    // One height pass now, so fonts and layout are loaded before the first store, not after it.
    pane->reloadSpecifiers();
    return pane;
}

PSSpecifier* rowForKey(TOLVPLAYERPreferencesListController& pane, const QString& key) {
    for (PSSpecifier* specifier : pane.specifiers()) {
        if (TOLVPLAYERPreferencesListController::entryKey(specifier) == key)
            return specifier;
    }
    return nullptr;
}

[[noreturn]] void storeRoundForever(TOLVPLAYERPreferencesListController& pane, int round) {
    QHash<QString, PSSpecifier*> rows;
    for (qint64 index = 0;; ++index) {
        const WriterSequence::Write write = WriterSequence::killLoopWrite(round, index);
        PSSpecifier*& specifier = rows[write.key];
        if (!specifier)
            specifier = rowForKey(pane, write.key);
        if (!specifier)
            std::_Exit(4);
        pane.setPreferenceValue(write.value, specifier);
    }
}

int killLoop(int round) {
    auto pane = makePane(WriterSequence::kKillLoopBundle);
    if (!sendBytes("R", 1))
        return 1;
    storeRoundForever(*pane, round);
}

int threadCount() {
    return int(QDir(QStringLiteral("/proc/self/task"))
                   .entryList(QDir::Dirs | QDir::NoDotAndDotDot)
                   .size());
}

// Forking is sound only while this process has one thread; it never touches the bus, so Qt
// starts none. A second thread means the premise broke: say so and stop rather than fork.
// The forked writer: tells its parent through `running` that it runs, then stores forever.
[[noreturn]] void forkedWriter(TOLVPLAYERPreferencesListController& pane, int round, pid_t parent,
                               int running) {
    // A writer outliving the test would write on forever: it dies with its parent.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent)
        std::_Exit(0);
    if (::write(running, "R", 1) != 1)
        std::_Exit(1);
    ::close(running);
    storeRoundForever(pane, round);
}

// Forks the round's writer; its pid once it runs (the test's kill delay starts then), else -1.
pid_t startWriter(TOLVPLAYERPreferencesListController& pane, int round) {
    int running[2];
    if (::pipe2(running, O_CLOEXEC) != 0)
        return -1;
    const pid_t parent = ::getpid();
    const pid_t writer = ::fork();
    if (writer == 0) {
        ::close(running[0]);
        forkedWriter(pane, round, parent, running[1]);
    }
    ::close(running[1]);
    char byte = 0;
    const ssize_t got = ByteTransfer::retried([&] { return ::read(running[0], &byte, 1); });
    ::close(running[0]);
    if (writer > 0 && got != 1) {
        ::kill(writer, SIGKILL);
        ByteTransfer::reap(writer);
        return -1;
    }
    return writer;
}

int zygote() {
    auto pane = makePane(WriterSequence::kKillLoopBundle);
    if (threadCount() != 1) {
        std::fprintf(stderr, "pane_writer_child: %d threads, cannot fork safely\n", threadCount());
        return 5;
    }
    qint32 round = 0;
    while (receiveBytes(&round, sizeof round)) {
        const pid_t writer = startWriter(*pane, round);
        const qint32 pid = writer;
        char reap = 0;
        if (writer <= 0) {
            sendBytes(&pid, sizeof pid);
            return 1;
        }
        if (!sendBytes(&pid, sizeof pid) || !receiveBytes(&reap, 1))
            ::kill(writer, SIGKILL);
        const qint32 reported = ByteTransfer::reap(writer);
        if (reap != 'W' || !sendBytes(&reported, sizeof reported))
            return 1;
    }
    return 0;
}

int paneWriter(int count) {
    auto pane = makePane(WriterSequence::kWritersBundle);
    QList<PSSpecifier*> rows;
    for (int index = 0; index < count; ++index)
        rows.append(rowForKey(*pane, WriterSequence::paneKey(index)));
    if (rows.contains(nullptr))
        return 4;
    if (!readyThenAwaitStart())
        return 1;
    for (PSSpecifier* row : rows)
        pane->setPreferenceValue(true, row);
    return 0;
}

int addonWriter(int count) {
    const PreferenceStore store(TOLVPLAYERPreferencesListController::kPreferencesPath);
    if (!readyThenAwaitStart())
        return 1;
    for (int index = 0; index < count; ++index) {
        if (!store.storeEntry(WriterSequence::addonKey(index), true))
            ++gFailedStores;
    }
    return 0;
}

// What an add-on that knows nothing of the pane's check does: read, edit, replace.
int blindWriter(int count) {
    const QString path = DeviceRoot::resolve(TOLVPLAYERPreferencesListController::kPreferencesPath);
    if (!readyThenAwaitStart())
        return 1;
    for (int index = 0; index < count; ++index) {
        QVariantMap entries = PropertyList::readDictionary(path).value_or(QVariantMap());
        entries.insert(WriterSequence::addonKey(index), true);
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(PropertyList::toXml(entries)) < 0 ||
            !file.commit())
            ++gFailedStores;
    }
    return 0;
}

int run(const QByteArray& mode, int argument) {
    if (mode == "killloop")
        return killLoop(argument);
    if (mode == "zygote")
        return zygote();
    if (mode == "pane")
        return paneWriter(argument);
    if (mode == "addon")
        return addonWriter(argument);
    if (mode == "blind")
        return blindWriter(argument);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s killloop|zygote|pane|addon|blind <root> [number]\n",
                     argv[0]);
        return 2;
    }
    // Started by a test: never outlive it.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    const QByteArray mode(argv[1]);
    const int argument = argc > 3 ? std::atoi(argv[3]) : 0;
    qInstallMessageHandler(countFailedStores);
    DeviceRoot::setPath(QString::fromLocal8Bit(argv[2]));
    // The add-on stand-ins have no face; only the pane needs the widget application.
    std::unique_ptr<QApplication> app;
    if (mode != "addon" && mode != "blind") {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QApplication>(argc, argv);
    }
    const int result = run(mode, argument);
    if (gFailedStores > 0) {
        std::fprintf(stderr, "pane_writer_child: %d stores failed\n", gFailedStores);
        return 3;
    }
    return result;
}
