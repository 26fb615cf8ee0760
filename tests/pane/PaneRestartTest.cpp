#include "PaneFixture.h"

#include "pane/ChildReaper.h"
#include "uikit/AudioServices.h"
#include "uikit/UIPopoverPresentationController.h"

#include <QPushButton>
#include <algorithm>
#include <fstream>
#include <string>
#include <sys/auxv.h>
#include <unistd.h>

extern char** environ;

namespace {

// This test program is also the restart's stand-in "killall": linked under that name into a
// temporary device root, it is what the pane spawns. Started that way it only writes down,
// next to the link, the path it was started from, its arguments and the size of its
// environment, and ends.
[[maybe_unused]] const bool kStandInRan = [] {
    const auto* started = reinterpret_cast<const char*>(getauxval(AT_EXECFN));
    const std::string path = started ? started : "";
    if (!path.ends_with("/killall"))
        return false;
    std::ifstream cmdline("/proc/self/cmdline", std::ios::binary);
    std::string arguments((std::istreambuf_iterator<char>(cmdline)), {});
    std::replace(arguments.begin(), arguments.end(), '\0', ' ');
    int environment = 0;
    while (environ && environ[environment])
        ++environment;
    std::ofstream(path + ".record") << path << '\n' << arguments << '\n' << environment << '\n';
    _exit(0);
}();

const quint32 kSound = 1519;

struct RestartHost : ShownPane {
    RestartHost() { AudioServices::clearPlayed(); }
    ~RestartHost() { AudioServices::setObserver({}); }

    UIViewController* popover() { return Pane::popController(); }
    bool popoverShown() { return popover() && popover()->presentingViewController() == pane; }
    void tapRestart() {
        QAbstractButton* button = restartButton();
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
    }
    QPushButton* answer(const QString& title) {
        for (QPushButton* button : popover()->view()->findChildren<QPushButton*>())
            if (button->text() == title)
                return button;
        return nullptr;
    }
    // Where the popover's arrow points, against the middle of the lower edge of the button.
    QPoint arrowFromButton() {
        QAbstractButton* button = restartButton();
        const QPoint edge = button->mapTo(&window, QPoint(button->width() / 2, button->height()));
        return popover()->popoverPresentationController()->popupWidget()->arrowTip() - edge;
    }
};

// Each tap sounds once the popover is presenting, and puts up a new popover pointing at the
// button of the pane it came from, releasing the one before; 否 closes it.
TEST(PaneRestartPopover, EachTapPresentsANewPopoverAtItsPanesButtonAndNoClosesIt) {
    RestartHost host;
    int shownWhenSounded = -1;
    AudioServices::setObserver([&](quint32) { shownWhenSounded = host.popoverShown(); });
    QPointer<UIViewController> previous;
    for (const bool newerPane : {false, true}) {
        SCOPED_TRACE(newerPane ? "with a newer pane" : "alone");
        std::unique_ptr<Pane> newer(newerPane ? new Pane : nullptr);
        host.tapRestart();
        ASSERT_TRUE(host.popoverShown());
        EXPECT_EQ(shownWhenSounded, 1);
        EXPECT_TRUE(previous.isNull()) << "the previous popover is kept";
        EXPECT_LE(host.arrowFromButton().manhattanLength(), 3);
        previous = host.popover();
        QTest::mouseClick(host.answer(QStringLiteral("否")), Qt::LeftButton);
        EXPECT_FALSE(host.popoverShown());
    }
    EXPECT_EQ(AudioServices::playedSounds(), (QList<quint32>{kSound, kSound}));
}

TEST(PaneRestartPopover, GoingToTheBackgroundClosesIt) {
    RestartHost host;
    host.tapRestart();
    ASSERT_TRUE(host.popoverShown());
    host.window.setWindowState(Qt::WindowMinimized); // the application's last window leaves
    EXPECT_FALSE(host.popoverShown());
    host.window.setWindowState(Qt::WindowNoState);
}

// ---- "是": the restart --------------------------------------------------------------------

// What the stand-in wrote down; empty while it has not run.
QByteArray recordOf(const QString& link) {
    QFile file(link + ".record");
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(PaneRestartYes, SoundsWhileShownThenClosesSpawnsAndAnnounces) {
    struct Case {
        const char* name;
        bool system;
        bool jailbreak;
        const char* expected; // device path spawned, or none
    };
    const Case cases[] = {
        {"both", true, true, "/usr/bin/killall"},
        {"system only", true, false, "/usr/bin/killall"},
        {"jailbreak only", false, true, "/var/jb/usr/bin/killall"},
        {"neither", false, false, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RestartHost host;
        const QString self = QCoreApplication::applicationFilePath();
        for (auto [wanted, device] : {std::pair{c.system, "/usr/bin/killall"},
                                      std::pair{c.jailbreak, "/var/jb/usr/bin/killall"}}) {
            if (!wanted)
                continue;
            const QString link = host.root.hostPath(device);
            QDir().mkpath(QFileInfo(link).absolutePath());
            ASSERT_TRUE(QFile::link(self, link));
        }
        StoreWatch watch; // one announcement, no warning
        host.tapRestart();
        ASSERT_TRUE(host.popoverShown());
        int shownWhenSounded = -1;
        AudioServices::setObserver([&](quint32) { shownWhenSounded = host.popoverShown(); });
        const quint64 postsBefore = postsSoFar();
        std::optional<quint64> postsAtSpawn;
        const QMetaObject::Connection spawned =
            QObject::connect(ChildReaper::instance(), &ChildReaper::childAdded,
                             [&] { postsAtSpawn = postsSoFar(); });

        QTest::mouseClick(host.answer(QStringLiteral("是")), Qt::LeftButton);
        QObject::disconnect(spawned);

        EXPECT_EQ(AudioServices::playedSounds(), (QList<quint32>{kSound, kSound}));
        EXPECT_EQ(shownWhenSounded, 1); // the sound comes before the popover closes
        EXPECT_FALSE(host.popoverShown());
        EXPECT_TRUE(watch.landed());

        if (c.expected) {
            ASSERT_TRUE(postsAtSpawn.has_value());
            EXPECT_EQ(*postsAtSpawn, postsBefore); // spawned first, announced after
            const QString link = host.root.hostPath(c.expected);
            // Started from that path, as "killall SpringBoard", with an empty environment.
            EXPECT_TRUE(eventually([&] { return !recordOf(link).isEmpty(); },
                                   "the restart command ran", 10000));
            EXPECT_EQ(recordOf(link), QFile::encodeName(link) + "\nkillall SpringBoard \n0\n");
            // Not waited for, but collected: no zombie is left behind.
            EXPECT_TRUE(eventually([] { return ChildReaper::instance()->pendingCount() == 0; },
                                   "the restart command was reaped", 10000));
            for (const char* other : {"/usr/bin/killall", "/var/jb/usr/bin/killall"})
                EXPECT_TRUE(std::string_view(other) == c.expected ||
                            recordOf(host.root.hostPath(other)).isEmpty())
                    << other;
        } else {
            EXPECT_FALSE(postsAtSpawn.has_value()); // nothing could start
        }
    }
}

} // namespace
