#include "PaneChromeHost.h"

#include "foundation/NSNotificationCenter.h"
#include "pane/ChildReaper.h"
#include "uikit/AudioServices.h"
#include "uikit/UIPopoverPresentationController.h"

#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/auxv.h>
#include <unistd.h>

extern char** environ;

namespace {

// This test program is also the restart's stand-in "killall": linked under that name into a
// temporary device root, it is what the pane spawns. Started that way it only writes down the
// path it was started from, its environment and its arguments, next to the link, and ends.
[[maybe_unused]] const bool kStandInRan = [] {
    const auto* started = reinterpret_cast<const char*>(getauxval(AT_EXECFN));
    const std::string path = started ? started : "";
    const std::string suffix = "/killall";
    if (path.size() <= suffix.size() ||
        path.compare(path.size() - suffix.size(), suffix.size(), suffix) != 0)
        return false;
    std::ifstream cmdline("/proc/self/cmdline", std::ios::binary);
    const std::string arguments((std::istreambuf_iterator<char>(cmdline)),
                                std::istreambuf_iterator<char>());
    std::ofstream record(path + ".record", std::ios::binary);
    record << path << '\n';
    for (char** entry = environ; entry && *entry; ++entry)
        record << "env " << *entry << '\n';
    std::string argument;
    for (char c : arguments) {
        if (c == '\0') {
            record << "arg " << argument << '\n';
            argument.clear();
        } else {
            argument += c;
        }
    }
    record.close();
    _exit(0);
}();

const quint32 kSound = 1519;

struct RestartHost : ChromeHost {
    RestartHost() { AudioServices::clearPlayed(); }
    ~RestartHost() { AudioServices::setObserver({}); }

    UIViewController* popover() { return TOLVPLAYERPreferencesListController::popController(); }
    bool popoverShown() { return popover() && popover()->presentingViewController() == pane; }
    void tapRestart() {
        QAbstractButton* button = restartButton();
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
    }
    QPushButton* answer(const QString& title) {
        if (!popover())
            return nullptr;
        for (QPushButton* button : popover()->view()->findChildren<QPushButton*>()) {
            if (button->text() == title)
                return button;
        }
        return nullptr;
    }
};

TEST(PaneRestartPopover, TapBuildsTheQuestionPopoverUnderTheButton) {
    RestartHost host;
    int presentedWhenSounded = -1;
    AudioServices::setObserver([&](quint32) { presentedWhenSounded = host.popoverShown(); });
    host.tapRestart();

    UIViewController* popover = host.popover();
    ASSERT_NE(popover, nullptr);
    EXPECT_TRUE(host.popoverShown());
    EXPECT_EQ(AudioServices::playedSounds(), QList<quint32>{kSound});
    EXPECT_EQ(presentedWhenSounded, 1); // played once the presentation had started
    EXPECT_EQ(popover->modalPresentationStyle(), UIModalPresentationStyle::Popover);
    EXPECT_EQ(popover->preferredContentSize(), QSize(200, 130));

    UIPopoverPresentationController* presentation = popover->popoverPresentationController();
    ASSERT_NE(presentation, nullptr);
    EXPECT_EQ(presentation->delegate(), host.pane);
    EXPECT_EQ(presentation->permittedArrowDirections(), int(UIPopoverArrowDirectionUp));
    EXPECT_EQ(presentation->barButtonItem(),
              TOLVPLAYERPreferencesListController::respringButtonItem());
    EXPECT_EQ(presentation->backgroundColor(), QColor(72, 97, 112));
    // A 390-wide window is compact; the pane keeps the popover a popover, pointing up at the
    // button.
    EXPECT_EQ(host.pane->adaptivePresentationStyleForPresentationController(presentation),
              UIModalPresentationStyle::None);
    ASSERT_TRUE(presentation->isPresentedAsPopover());
    EXPECT_EQ(presentation->arrowDirection(), UIPopoverArrowDirectionUp);
    const QRect button(host.restartButton()->mapTo(&host.window, QPoint(0, 0)),
                       host.restartButton()->size());
    const QPoint tip = presentation->popupWidget()->arrowTip();
    EXPECT_NEAR(tip.x(), button.center().x(), 1);
    EXPECT_NEAR(tip.y(), button.bottom(), 2);

    QWidget* content = popover->view();
    EXPECT_FALSE(content->autoFillBackground());
    const QList<QLabel*> labels = content->findChildren<QLabel*>();
    ASSERT_EQ(labels.size(), 1);
    QLabel* question = labels.first();
    EXPECT_EQ(question->text(), QStringLiteral("您确定要执行 注销 操作吗？"));
    EXPECT_EQ(question->geometry(), QRect(20, 20, 160, 60));
    EXPECT_TRUE(question->wordWrap());
    EXPECT_EQ(question->alignment(), Qt::AlignCenter);
    EXPECT_EQ(question->font().weight(), QFont::Bold);
    EXPECT_LE(question->font().pixelSize(), 20);
    EXPECT_GE(question->font().pixelSize(), 12);
    EXPECT_EQ(question->palette().color(QPalette::WindowText), QColor(121, 145, 153));
    // The whole question within its frame: two lines of it at most.
    EXPECT_LE(question->heightForWidth(160), 60);
    EXPECT_GT(question->heightForWidth(160), question->fontMetrics().height());

    struct Answer {
        const char* title;
        QRect frame;
    };
    for (const Answer& a :
         {Answer{"否", QRect(0, 100, 100, 30)}, Answer{"是", QRect(100, 100, 100, 30)}}) {
        QPushButton* button = host.answer(QString::fromUtf8(a.title));
        ASSERT_NE(button, nullptr) << a.title;
        EXPECT_EQ(button->geometry(), a.frame) << a.title;
        EXPECT_EQ(button->font().pixelSize(), 20) << a.title;
        EXPECT_EQ(button->font().weight(), QFont::Bold) << a.title;
    }
}

TEST(PaneRestartPopover, EachTapBuildsANewPopoverAndNoClosesIt) {
    RestartHost host;
    host.tapRestart();
    QPointer<UIViewController> first = host.popover();
    ASSERT_TRUE(host.popoverShown());
    QTest::mouseClick(host.answer(QStringLiteral("否")), Qt::LeftButton);
    EXPECT_FALSE(host.popoverShown());
    EXPECT_EQ(host.popover(), first.data()); // the last one stays until the next tap
    EXPECT_EQ(AudioServices::playedSounds().size(), 1);

    host.tapRestart();
    EXPECT_TRUE(host.popoverShown());
    EXPECT_NE(host.popover(), nullptr);
    EXPECT_TRUE(first.isNull()); // replaced and released
    EXPECT_EQ(AudioServices::playedSounds(), (QList<quint32>{kSound, kSound}));

    // A newer pane anchors the next popover to its own button.
    UIBarButtonItem* older = TOLVPLAYERPreferencesListController::respringButtonItem();
    TOLVPLAYERPreferencesListController newer;
    EXPECT_NE(TOLVPLAYERPreferencesListController::respringButtonItem(), older);
    EXPECT_EQ(TOLVPLAYERPreferencesListController::respringButtonItem(),
              newer.navigationItem()->rightBarButtonItems().value(0));
}

// The popover points at the restart button of the pane it was opened from, whether a newer
// pane is still there or has come and gone.
TEST(PaneRestartPopover, PointsAtItsOwnPanesButtonWhateverPaneCameLater) {
    RestartHost host;
    for (const bool newerStays : {true, false}) {
        SCOPED_TRACE(newerStays);
        auto newer = std::make_unique<TOLVPLAYERPreferencesListController>();
        if (!newerStays)
            newer.reset();
        host.tapRestart();
        ASSERT_TRUE(host.popoverShown());
        UIPopoverPresentationController* presentation =
            host.popover()->popoverPresentationController();
        ASSERT_TRUE(presentation->isPresentedAsPopover());
        EXPECT_EQ(presentation->arrowDirection(), UIPopoverArrowDirectionUp);
        const QRect button(host.restartButton()->mapTo(&host.window, QPoint(0, 0)),
                           host.restartButton()->size());
        EXPECT_NEAR(presentation->popupWidget()->arrowTip().x(), button.center().x(), 1);
        host.pane->handleNoGesture();
    }
}

TEST(PaneRestartPopover, NoWithoutAnOpenPopoverDoesNothing) {
    RestartHost host;
    host.pane->handleNoGesture(); // none ever built, or an old one long closed
    host.tapRestart();
    QTest::mouseClick(host.answer(QStringLiteral("否")), Qt::LeftButton);
    ASSERT_FALSE(host.popoverShown());
    host.pane->handleNoGesture();
    host.pane->handleNoGesture();
    EXPECT_FALSE(host.popoverShown());
    EXPECT_NE(host.popover(), nullptr);
    EXPECT_EQ(AudioServices::playedSounds().size(), 1);
    // The pane is still usable afterwards.
    host.tapRestart();
    EXPECT_TRUE(host.popoverShown());
}

TEST(PaneRestartPopover, GoingToTheBackgroundClosesIt) {
    RestartHost host;
    host.tapRestart();
    ASSERT_TRUE(host.popoverShown());
    NSNotificationCenter::defaultCenter()->postNotificationName(
        UIApplicationDidEnterBackgroundNotification);
    EXPECT_FALSE(host.popoverShown());

    // The real move: the window minimised.
    host.tapRestart();
    ASSERT_TRUE(host.popoverShown());
    host.window.showMinimized();
    QCoreApplication::processEvents();
    if (!host.window.isMinimized())
        GTEST_SKIP() << "this platform does not minimise windows";
    EXPECT_FALSE(host.popoverShown());
}

// ---- "是": the restart --------------------------------------------------------------------

struct Record {
    QString path;
    QStringList environment;
    QStringList arguments;
};

std::optional<Record> readRecord(const QString& linkPath) {
    QFile file(linkPath + ".record");
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    if (lines.isEmpty())
        return std::nullopt;
    Record record{lines.first(), {}, {}};
    for (const QString& line : lines.mid(1)) {
        if (line.startsWith("env "))
            record.environment.append(line.mid(4));
        else if (line.startsWith("arg "))
            record.arguments.append(line.mid(4));
    }
    return record;
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
        QObject context;
        int deliveries = 0;
        const bool bus = haveSessionBus();
        if (bus)
            NotifyCenter::darwin()->observe(kReloadName, &context, [&] { ++deliveries; });

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
        EXPECT_EQ(postsSoFar(), postsBefore + 1);

        if (c.expected) {
            ASSERT_TRUE(postsAtSpawn.has_value());
            EXPECT_EQ(*postsAtSpawn, postsBefore); // spawned first, announced after
            const QString link = host.root.hostPath(c.expected);
            QTRY_VERIFY_WITH_TIMEOUT(readRecord(link).has_value(), 10000);
            const Record record = *readRecord(link);
            EXPECT_EQ(record.path, link);
            EXPECT_EQ(record.arguments, (QStringList{"killall", "SpringBoard"}));
            EXPECT_TRUE(record.environment.isEmpty()) << record.environment.join(' ').toStdString();
            // Not waited for, but collected: no zombie is left behind.
            QTRY_COMPARE_WITH_TIMEOUT(ChildReaper::instance()->pendingCount(), 0, 10000);
            for (const char* other : {"/usr/bin/killall", "/var/jb/usr/bin/killall"}) {
                if (QString::fromLatin1(other) != QString::fromLatin1(c.expected)) {
                    EXPECT_FALSE(readRecord(host.root.hostPath(other)).has_value()) << other;
                }
            }
        } else {
            EXPECT_FALSE(postsAtSpawn.has_value()); // nothing could start
        }
        if (bus) {
            drainNotifications(&context);
            EXPECT_EQ(deliveries, 1);
        }
    }
    if (!haveSessionBus())
        GTEST_SKIP() << "no session bus: deliveries not checked";
}

} // namespace
