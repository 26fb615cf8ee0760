#include "SettingsScreen.h"

#include "SettingsOptions.h"

#include "foundation/DeviceRoot.h"
#include "preferences/PSListController.h"
#include "preferences/PSTableCell.h"
#include "preferences/UITableView.h"
#include "uikit/UIDimmingView.h"
#include "uikit/UITraitCollection.h"
#include "uikit/UIWindow.h"

#include <QAbstractAnimation>
#include <QAbstractButton>
#include <QApplication>
#include <QDBusMessage>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QWindow>

#include <plist/plist.h>

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace {
const QString kReload = QStringLiteral("com.qev.tolvplayerprefs/ReloadPrefs");
const QString kSentinel = QStringLiteral("test.e2e/sentinel");
const char* const kPath = "/platform/notify";
const char* const kInterface = "platform.notify.Center";
const char* const kMember = "Post";

QVariant fromNode(plist_t node) {
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        uint8_t b = 0;
        plist_get_bool_val(node, &b);
        return bool(b);
    }
    case PLIST_UINT: {
        uint64_t u = 0;
        plist_get_uint_val(node, &u);
        return qint64(u);
    }
    case PLIST_REAL: {
        double d = 0;
        plist_get_real_val(node, &d);
        return d;
    }
    case PLIST_STRING: {
        char* s = nullptr;
        plist_get_string_val(node, &s);
        const QString text = QString::fromUtf8(s);
        std::free(s);
        return text;
    }
    default:
        return QVariant();
    }
}
} // namespace

std::optional<QVariantMap> readPreferenceFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    plist_t root = nullptr;
    plist_from_memory(bytes.constData(), uint32_t(bytes.size()), &root);
    if (!root || plist_get_node_type(root) != PLIST_DICT) {
        plist_free(root);
        return std::nullopt;
    }
    QVariantMap entries;
    plist_dict_iter it = nullptr;
    plist_dict_new_iter(root, &it);
    for (;;) {
        char* key = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(root, it, &key, &value);
        if (!key)
            break;
        entries.insert(QString::fromUtf8(key), fromNode(value));
        std::free(key);
    }
    std::free(it);
    plist_free(root);
    return entries;
}

testing::AssertionResult tabTo(SettingsScreen& screen, QWidget* control) {
    for (int i = 0; i < 80; ++i) {
        if (QApplication::focusWidget() == control)
            return testing::AssertionSuccess();
        screen.key(Qt::Key_Tab);
    }
    return testing::AssertionFailure() << "Tab never reached the control";
}

// ---- notifications --------------------------------------------------------------------------

ReloadListener::ReloadListener() {
    QDBusConnection::sessionBus().connect(QString(), kPath, kInterface, kMember, this,
                                          SLOT(heard(QString)));
}

void ReloadListener::heard(const QString& name) {
    if (name == kReload)
        ++_count;
    else if (name == _awaited)
        _sentinelHeard = true;
}

int ReloadListener::settled() {
    _sentinelHeard = false;
    _awaited = QStringLiteral("%1/%2/%3")
                   .arg(kSentinel)
                   .arg(QCoreApplication::applicationPid())
                   .arg(++_sentinels);
    QDBusMessage sentinel = QDBusMessage::createSignal(kPath, kInterface, kMember);
    sentinel << _awaited;
    if (!QDBusConnection::sessionBus().send(sentinel))
        ADD_FAILURE() << "no session bus: notifications cannot be counted";
    EXPECT_TRUE(eventually([this] { return _sentinelHeard; }, "the bus caught up", 5000));
    return _count;
}

// ---- the program ------------------------------------------------------------------------------

SettingsScreen::SettingsScreen() : SettingsScreen(Start{}) {}

SettingsScreen::SettingsScreen(Start start) {
    if (start.prepare)
        start.prepare(_root);
    QString error;
    QStringList all{"Settings"};
    if (!start.arguments.contains("--root"))
        all << "--root" << _root.path();
    if (start.openPane)
        all << "--open"
            << "TOLVPlayer";
    const std::optional<SettingsOptions> options =
        SettingsOptions::parse(all + start.arguments, &error);
    if (!options) {
        ADD_FAILURE() << error.toStdString();
        return;
    }
    DeviceRoot::setPath(options->root); // as the program's main does; the root puts it back
    _app = std::make_unique<SettingsApplication>(*options);
    if (!_app->start(&error)) {
        ADD_FAILURE() << error.toStdString();
        return;
    }
    QWidget* shown = window();
    shown->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(shown));
    shown->grab(); // lays the rows out, as the first frame does
}

SettingsScreen::~SettingsScreen() {
    _app.reset();
    // The appearance belongs to the process; the next screen starts from light, as a program
    // does.
    UITraitCollection::setUserInterfaceStyleOfApplication(UIUserInterfaceStyle::Light);
}

QWidget* SettingsScreen::window() const {
    return _app->window();
}

UITableView* SettingsScreen::table() const {
    return pane() ? pane()->table() : nullptr;
}

QString SettingsScreen::textOf(const QWidget* w) {
    if (auto* label = qobject_cast<const QLabel*>(w))
        return label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(w))
        return button->text();
    if (auto* edit = qobject_cast<const QLineEdit*>(w))
        return edit->text();
    return QString();
}

PSTableCell* SettingsScreen::row(const QString& title) {
    UITableView* list = table();
    if (!list)
        return nullptr;
    for (PSSpecifier* specifier : pane()->specifiers()) {
        const auto path = pane()->indexPathForSpecifier(specifier);
        if (!path)
            continue;
        // Bringing a row into view is not what is tested: the list is placed directly.
        const QRect rect = list->rectForRowAtIndexPath(*path);
        const double top = list->contentOffset().y();
        const double visible = list->viewport()->height();
        if (rect.top() < top || rect.bottom() > top + visible)
            list->setContentOffset(
                QPointF(0, std::clamp(rect.center().y() - visible / 2, 0.0,
                                      std::max(0.0, list->maximumContentOffsetY()))));
        QCoreApplication::processEvents(); // the rows brought into view get their cells
        PSTableCell* cell = list->cellForRowAtIndexPath(*path);
        if (cell && labelled<QLabel>(cell, title))
            return cell;
    }
    ADD_FAILURE() << "no row titled " << title.toStdString();
    return nullptr;
}

QWidget* SettingsScreen::widgetOfClass(QWidget* within, const char* className) const {
    for (QWidget* w : within->findChildren<QWidget*>())
        if (w->isVisible() && w->inherits(className))
            return w;
    return nullptr;
}

QWidget* SettingsScreen::presented() const {
    for (auto* layer : window()->findChildren<UIDimmingView*>(Qt::FindDirectChildrenOnly))
        if (layer->isVisible() && !layer->testAttribute(Qt::WA_TransparentForMouseEvents))
            return layer;
    return nullptr;
}

QList<QWidget*> SettingsScreen::controls() const {
    QWidget* viewport = table() ? table()->viewport() : nullptr;
    // Rows first by their top, then by the left edge; the bar sits above every row.
    const auto place = [this, viewport](QWidget* w) {
        QWidget* row = w;
        while (viewport && row->parentWidget() && row->parentWidget() != viewport)
            row = row->parentWidget();
        const bool inList = viewport && row->parentWidget() == viewport;
        return std::pair(inList ? row->y() : std::numeric_limits<int>::min(),
                         w->mapTo(window(), QPoint(0, 0)).x());
    };
    QList<QWidget*> found;
    for (QWidget* w : window()->findChildren<QWidget*>())
        if (w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus))
            found << w;
    std::stable_sort(found.begin(), found.end(),
                     [&place](QWidget* a, QWidget* b) { return place(a) < place(b); });
    return found;
}

// ---- input ------------------------------------------------------------------------------------

QPoint SettingsScreen::windowPoint(QWidget* control, std::optional<QPoint> at) const {
    return control->mapTo(window(), at.value_or(control->rect().center()));
}

void SettingsScreen::tap(QWidget* control, std::optional<QPoint> at) {
    press(control, at);
    release(control, at);
}

void SettingsScreen::press(QWidget* control, std::optional<QPoint> at) {
    QTest::mousePress(window()->windowHandle(), Qt::LeftButton, {}, windowPoint(control, at));
}

void SettingsScreen::moveTo(QWidget* control, QPoint at) {
    QTest::mouseMove(window()->windowHandle(), windowPoint(control, at));
}

void SettingsScreen::release(QWidget* control, std::optional<QPoint> at) {
    QTest::mouseRelease(window()->windowHandle(), Qt::LeftButton, {}, windowPoint(control, at));
    QTest::qWait(1);
}

void SettingsScreen::key(int key, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(window()->windowHandle(), Qt::Key(key), modifiers);
    QTest::qWait(1);
}

void SettingsScreen::keyDown(int key) {
    QTest::keyPress(window()->windowHandle(), Qt::Key(key));
}

void SettingsScreen::keyRepeat(int key) {
    const QString text = key == Qt::Key_Space ? QStringLiteral(" ") : QString();
    for (const QEvent::Type type : {QEvent::KeyRelease, QEvent::KeyPress}) {
        QKeyEvent repeat(type, key, Qt::NoModifier, text, true);
        QCoreApplication::sendEvent(window()->windowHandle(), &repeat);
    }
}

void SettingsScreen::keyUp(int key) {
    QTest::keyRelease(window()->windowHandle(), Qt::Key(key));
    QTest::qWait(1);
}

testing::AssertionResult SettingsScreen::tabTo(QWidget* control) {
    for (int i = 0; i < 80; ++i) {
        if (QApplication::focusWidget() == control)
            return testing::AssertionSuccess();
        key(Qt::Key_Tab);
    }
    return testing::AssertionFailure() << "Tab never reached the control";
}

void SettingsScreen::type(const QString& text) {
    for (const QChar c : text)
        QTest::keyClick(window()->windowHandle(), c.toLatin1());
    QTest::qWait(1);
}

void SettingsScreen::wait(int ms) {
    QTest::qWait(ms);
}

testing::AssertionResult SettingsScreen::settle() {
    return eventually(
        [this] {
            const auto all = window()->findChildren<QAbstractAnimation*>();
            return std::none_of(all.cbegin(), all.cend(), [](QAbstractAnimation* a) {
                return a->state() == QAbstractAnimation::Running;
            });
        },
        "everything came to rest");
}

// ---- what is drawn ----------------------------------------------------------------------------

QImage SettingsScreen::shot() const {
    return window()->grab().toImage();
}

QColor SettingsScreen::pixel(QWidget* control, QPoint at) const {
    const QImage image = shot();
    const QPoint p = control->mapTo(window(), at) * image.devicePixelRatio();
    return image.pixelColor(p);
}

bool SettingsScreen::draws(QWidget* control, const QString& text) {
    auto* label = qobject_cast<QLabel*>(control);
    if (!label)
        return false;
    const QRect area(label->mapTo(window(), QPoint(0, 0)), label->size());
    const QImage drawn = window()->grab(area).toImage();
    const QString own = label->text();
    label->setText(text);
    const QImage expected = window()->grab(area).toImage();
    label->setText(own);
    return drawn == expected;
}

std::optional<bool> SettingsScreen::switchDrawnOn(QWidget* control) const {
    // The thumb is white in every mode; the track never is.
    const auto white = [](const QColor& c) {
        return c.red() >= 250 && c.green() >= 250 && c.blue() >= 250;
    };
    const int midY = control->height() / 2;
    const int trackLeft = (control->width() - 51) / 2;
    const bool leftWhite = white(pixel(control, QPoint(trackLeft + 8, midY)));
    const bool rightWhite = white(pixel(control, QPoint(trackLeft + 43, midY)));
    if (leftWhite == rightWhite)
        return std::nullopt; // between the two ends
    return rightWhite;
}

// ---- the file ---------------------------------------------------------------------------------

QString SettingsScreen::preferencesPath() const {
    return _root.hostPath(
        QStringLiteral("/var/jb/var/mobile/Library/Preferences/com.qev.tolvplayerprefs.plist"));
}

std::optional<QVariantMap> SettingsScreen::file() const {
    return readPreferenceFile(preferencesPath());
}

QVariant SettingsScreen::stored(const QString& key) const {
    return file().value_or(QVariantMap()).value(key);
}
