// The restart: the confirmation popover under the round button, and on "是" the spawn of
// "killall SpringBoard" followed by the reload notification.
#include "TOLVPLAYERPreferencesListController.h"

#include "ChildReaper.h"

#include "foundation/DeviceRoot.h"
#include "notify/NotifyCenter.h"
#include "uikit/AudioServices.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UIFont.h"
#include "uikit/UIKeyboardFocus.h"
#include "uikit/UIPopoverPresentationController.h"
#include "uikit/UIViewController.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTextLayout>
#include <spawn.h>

const QString TOLVPLAYERPreferencesListController::kQuestionText =
    QStringLiteral("您确定要执行 注销 操作吗？");

namespace {
constexpr quint32 kConfirmationSound = 1519;
constexpr int kAnswerFontSize = 20;
constexpr int kQuestionLines = 2;

QPointer<UIViewController>& popControllerSlot() {
    static QPointer<UIViewController> controller;
    return controller;
}

QPointer<UIBarButtonItem>& respringButtonItemSlot() {
    static QPointer<UIBarButtonItem> item;
    return item;
}

// Lines and height of the text wrapped at `width`, with the fonts that really draw it (the
// Chinese glyphs come from a fallback font with taller lines than the first family's).
QSizeF wrappedSize(const QString& text, const QFont& font, qreal width, int* lines) {
    QTextLayout layout(text, font);
    QTextOption option(Qt::AlignCenter);
    option.setWrapMode(QTextOption::WordWrap); // as a word-wrapping label breaks
    layout.setTextOption(option);
    layout.beginLayout();
    qreal height = 0;
    qreal widest = 0;
    *lines = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        height += line.height();
        widest = qMax(widest, line.naturalTextWidth());
        ++*lines;
    }
    layout.endLayout();
    return QSizeF(widest, height);
}

// The largest bold size, at most `size`, at which the text wraps into the label's lines within
// its frame: a label that adjusts its font size to fit.
QFont fittingFont(const QString& text, const QSize& frame, int size, int maxLines) {
    QFont font = UIFont::boldSystemFontOfSize(size);
    for (; size > 1; --size) {
        font.setPixelSize(size);
        int lines = 0;
        const QSizeF needed = wrappedSize(text, font, frame.width(), &lines);
        if (lines <= maxLines && needed.height() <= frame.height() &&
            needed.width() <= frame.width())
            break;
    }
    return font;
}

QLabel* makeQuestionLabel(QWidget* parent) {
    auto* label = new QLabel(TOLVPLAYERPreferencesListController::kQuestionText, parent);
    label->setGeometry(20, 20, 160, 60);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignCenter);
    label->setFont(fittingFont(label->text(), label->size(), kAnswerFontSize, kQuestionLines));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, TOLVPLAYERPreferencesListController::paneTintColor());
    label->setPalette(palette);
    return label;
}

// A button with a title only, in the pane tint, dimmed while pressed.
QPushButton* makeAnswerButton(const QString& title, const QRect& frame, QWidget* parent) {
    auto* button = new QPushButton(title, parent);
    const QColor tint = TOLVPLAYERPreferencesListController::paneTintColor();
    button->setStyleSheet(QStringLiteral("QPushButton { border: none; background: transparent; "
                                         "color: %1; padding: 0; outline: none; }"
                                         "QPushButton:pressed { color: rgba(%2, %3, %4, 80); }")
                              .arg(tint.name())
                              .arg(tint.red())
                              .arg(tint.green())
                              .arg(tint.blue()));
    button->setFont(UIFont::boldSystemFontOfSize(kAnswerFontSize));
    button->setGeometry(frame);
    // Only a deliberate Space or Enter on the button answers; Tab moves between the two.
    button->setFocusPolicy(Qt::TabFocus);
    UIKeyboardFocus::pressOnEnter(button);
    return button;
}
} // namespace

UIViewController* TOLVPLAYERPreferencesListController::popController() {
    return popControllerSlot();
}

void TOLVPLAYERPreferencesListController::setPopController(UIViewController* controller) {
    // The slot owns the newest popover; the previous one goes at once, its layer with it, so
    // that nothing of it is left on screen behind the newest.
    QPointer<UIViewController>& slot = popControllerSlot();
    UIViewController* previous = slot;
    slot = controller;
    if (controller)
        controller->setParent(QCoreApplication::instance()); // outlives any one pane
    delete previous;
}

UIBarButtonItem* TOLVPLAYERPreferencesListController::respringButtonItem() {
    return respringButtonItemSlot();
}

void TOLVPLAYERPreferencesListController::setRespringButtonItem(UIBarButtonItem* item) {
    // The item is owned by the navigation item that shows it; the global only points to the
    // newest, and forgets it by itself when its pane goes.
    respringButtonItemSlot() = item;
}

void TOLVPLAYERPreferencesListController::apply() {
    setPopController(new UIViewController);
    UIViewController* popover = popController();
    popover->setModalPresentationStyle(UIModalPresentationStyle::Popover);
    popover->setPreferredContentSize(QSize(200, 130));

    QWidget* content = popover->view();
    makeQuestionLabel(content);
    QPushButton* yes = makeAnswerButton(QStringLiteral("是"), QRect(100, 100, 100, 30), content);
    connect(yes, &QPushButton::clicked, this, [this] { handleYesGesture(); });
    QPushButton* no = makeAnswerButton(QStringLiteral("否"), QRect(0, 100, 100, 30), content);
    connect(no, &QPushButton::clicked, this, [this] { handleNoGesture(); });
    QWidget::setTabOrder(no, yes); // as the two read, left to right

    UIPopoverPresentationController* presentation = popover->popoverPresentationController();
    presentation->setDelegate(this);
    presentation->setPermittedArrowDirections(UIPopoverArrowDirectionUp);
    // This pane's own button: the process-wide item is the newest pane's, which may be another
    // pane's, or gone with it, and the popover would then point at nothing.
    presentation->setBarButtonItem(_respringButtonItem);
    presentation->setBackgroundColor(paneDarkColor());

    presentViewController(popover, true);
    // The keyboard starts on the harmless answer; Escape, as a tap beside the popover, is 否 too.
    if (popover->presentingViewController())
        no->setFocus(Qt::OtherFocusReason);
    AudioServicesPlaySystemSound(kConfirmationSound);
}

UIModalPresentationStyle
TOLVPLAYERPreferencesListController::adaptivePresentationStyleForPresentationController(
    UIPresentationController*) {
    return UIModalPresentationStyle::None; // a popover even on a narrow window
}

void TOLVPLAYERPreferencesListController::handleYesGesture() {
    AudioServicesPlaySystemSound(kConfirmationSound);
    if (UIViewController* popover = popController())
        popover->dismissViewControllerAnimated(true);
    spawnRestartCommand();
    NotifyCenter::darwin()->post(kReloadNotification);
}

void TOLVPLAYERPreferencesListController::handleNoGesture() {
    if (UIViewController* popover = popController())
        popover->dismissViewControllerAnimated(true);
}

void TOLVPLAYERPreferencesListController::spawnRestartCommand() {
    const QString system = DeviceRoot::resolve(QStringLiteral("/usr/bin/killall"));
    const QString program = QFileInfo::exists(system)
                                ? system
                                : DeviceRoot::resolve(QStringLiteral("/var/jb/usr/bin/killall"));
    const QByteArray path = QFile::encodeName(program);
    char name[] = "killall";
    char target[] = "SpringBoard";
    char* const argv[] = {name, target, nullptr};
    // No environment: an empty one. (A null envp is not defined for posix_spawn here.)
    char* const envp[] = {nullptr};
    pid_t pid = 0;
    // A failed spawn is not noticed: the popover is already closed and the reload follows.
    if (::posix_spawn(&pid, path.constData(), nullptr, nullptr, argv, envp) == 0)
        ChildReaper::instance()->reap(pid);
}
