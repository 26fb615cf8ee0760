// A process that writes the pane's preference file, for the tests that kill a writer mid-write
// and that race two writers on one file. It talks to the test in single bytes on its standard
// input and output, so starting and stopping it needs no timing guesses:
//
//   pane_writer_child killloop <root> <round>   'R' once set up, then stores the round's
//                                               sequence through the pane, forever
//   pane_writer_child pane <root> <count>       'R', waits for 'G', stores pane-0.. through
//                                               the pane, exits
//   pane_writer_child addon <root> <count>      the same with addon-0.. through PreferenceStore,
//                                               the read-modify-write the add-on shares
//   pane_writer_child blind <root> <count>      the same through a bare read, edit and atomic
//                                               rename: an add-on that checks nothing
#include "pane/writer/WriterSequence.h"

#include "foundation/DeviceRoot.h"
#include "foundation/NSBundle.h"
#include "foundation/PropertyList.h"
#include "pane/PreferenceStore.h"
#include "pane/TOLVPLAYERPreferencesListController.h"
#include "preferences/PSSpecifier.h"

#include <QApplication>
#include <QSaveFile>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

int gFailedStores = 0;

// Says it is ready, then waits for the word to go; false once the test has gone.
bool readyThenAwaitStart() {
    char go = 0;
    return ::write(STDOUT_FILENO, "R", 1) == 1 && ::read(STDIN_FILENO, &go, 1) == 1 && go == 'G';
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
    for (qint64 index = 0;; ++index) {
        const WriterSequence::Write write = WriterSequence::killLoopWrite(round, index);
        PSSpecifier* specifier = rowForKey(pane, write.key);
        if (!specifier)
            std::_Exit(4);
        pane.setPreferenceValue(write.value, specifier);
    }
}

int killLoop(int round) {
    auto pane = makePane(WriterSequence::kKillLoopBundle);
    if (::write(STDOUT_FILENO, "R", 1) != 1)
        return 1;
    storeRoundForever(*pane, round);
}

// Once let go, stores `count` keys of its own: through the pane, through the store the add-on
// shares, or as an add-on that knows nothing of the pane's check: read, edit, replace.
int racingWriter(const QByteArray& mode, int count) {
    std::unique_ptr<TOLVPLAYERPreferencesListController> pane;
    QList<PSSpecifier*> rows;
    if (mode == "pane") {
        pane = makePane(WriterSequence::kWritersBundle);
        for (int index = 0; index < count; ++index)
            rows.append(rowForKey(*pane, WriterSequence::paneKey(index)));
        if (rows.contains(nullptr))
            return 4;
    }
    const PreferenceStore store(TOLVPLAYERPreferencesListController::kPreferencesPath);
    const QString path = DeviceRoot::resolve(TOLVPLAYERPreferencesListController::kPreferencesPath);
    if (!readyThenAwaitStart())
        return 1;
    for (int index = 0; index < count; ++index) {
        const QString key = WriterSequence::addonKey(index);
        if (mode == "pane") {
            pane->setPreferenceValue(true, rows[index]);
        } else if (mode == "addon") {
            gFailedStores += !store.storeEntry(key, true);
        } else {
            QVariantMap entries = PropertyList::readDictionary(path).value_or(QVariantMap());
            entries.insert(key, true);
            QSaveFile file(path);
            gFailedStores += !file.open(QIODevice::WriteOnly) ||
                             file.write(PropertyList::toXml(entries)) < 0 || !file.commit();
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s killloop|pane|addon|blind <root> <number>\n", argv[0]);
        return 2;
    }
    // Started by a test: never outlive it.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    const QByteArray mode(argv[1]);
    const int argument = std::atoi(argv[3]);
    qInstallMessageHandler(countFailedStores);
    DeviceRoot::setPath(QString::fromLocal8Bit(argv[2]));
    QApplication app(argc, argv); // offscreen: the test starts it so
    const int result = mode == "killloop" ? killLoop(argument) : racingWriter(mode, argument);
    if (gFailedStores > 0) {
        std::fprintf(stderr, "pane_writer_child: %d stores failed\n", gFailedStores);
        return 3;
    }
    return result;
}
