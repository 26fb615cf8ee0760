#include "SettingsScreen.h"

#include "SettingsOptions.h"
#include "common/NotifyDrain.h"
#include "foundation/DeviceRoot.h"
#include "uikit/UIDimmingView.h"

#include <QAbstractAnimation>
#include <QElapsedTimer>
#include <QKeyEvent>

QVariant SettingsScreen::stored(const QString& key) const {
    // Through libplist: none of the pane's own reading of its file.
    const auto file = PropertyList::parseWithLibplist(readAll(preferencesPath()));
    return file ? file->toMap().value(key) : QVariant();
}

bool near(const QColor& a, const QColor& b, int tolerance) {
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

bool sameValue(const QVariant& a, const QVariant& b) {
    const bool numbers = a.typeId() == QMetaType::Double || b.typeId() == QMetaType::Double;
    return numbers ? a.isValid() && std::abs(a.toDouble() - b.toDouble()) < 1e-6 : a == b;
}

// ---- the program ------------------------------------------------------------------------------

SettingsScreen::SettingsScreen() : SettingsScreen(Start{}) {}

SettingsScreen::SettingsScreen(Start start) {
    NotifyCenter::darwin()->observe(QStringLiteral("com.qev.tolvplayerprefs/ReloadPrefs"),
                                    &_listening, [this] { ++_reloads; });
    if (start.prepare)
        start.prepare(_root);
    QString error;
    const std::optional<SettingsOptions> options = SettingsOptions::parse(
        QStringList{"Settings", "--root", _root.path(), "--open", "TOLVPlayer"} + start.arguments,
        &error);
    if (options) {
        DeviceRoot::setPath(options->root); // as the program's main does; the root puts it back
        _app = std::make_unique<SettingsApplication>(*options);
    }
    if (!_app || !_app->start(&error)) {
        ADD_FAILURE() << error.toStdString();
        return;
    }
    window()->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window()));
    window()->grab(); // lays the rows out, as the first frame does
}

SettingsScreen::~SettingsScreen() {
    _app.reset();
    // The appearance belongs to the process; the next screen starts from light, as a program
    // does.
    UITraitCollection::setUserInterfaceStyleOfApplication(UIUserInterfaceStyle::Light);
}

PSTableCell* SettingsScreen::row(const QString& title) {
    UITableView* list = table();
    for (PSSpecifier* specifier : list ? pane()->specifiers() : QList<PSSpecifier*>()) {
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
    // Rows by their top, then by the left edge; the bar sits above every row.
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

void SettingsScreen::tap(QWidget* control, std::optional<QPoint> at) {
    const QPoint point = control->mapTo(window(), at.value_or(control->rect().center()));
    QTest::mouseClick(window()->windowHandle(), Qt::LeftButton, {}, point);
    QTest::qWait(1);
}

void SettingsScreen::key(int key, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(window()->windowHandle(), Qt::Key(key), modifiers);
    QTest::qWait(1);
}

void SettingsScreen::holdKey(int key, int ms) {
    QTest::keyPress(window()->windowHandle(), Qt::Key(key));
    const QString text = key == Qt::Key_Space ? QStringLiteral(" ") : QString();
    QElapsedTimer held;
    for (held.start(); held.elapsed() < ms;) {
        QTest::qWait(30);
        for (const QEvent::Type type : {QEvent::KeyRelease, QEvent::KeyPress}) {
            QKeyEvent repeat(type, key, Qt::NoModifier, text, true);
            QCoreApplication::sendEvent(window()->windowHandle(), &repeat);
        }
    }
    QTest::keyRelease(window()->windowHandle(), Qt::Key(key));
    QTest::qWait(1);
}

testing::AssertionResult SettingsScreen::tabTo(QWidget* control) {
    for (int i = 0; i < 80; ++i, key(Qt::Key_Tab))
        if (control && QApplication::focusWidget() == control)
            return testing::AssertionSuccess();
    return testing::AssertionFailure() << "Tab never reached the control";
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

QColor SettingsScreen::pixel(QWidget* control, QPoint at) const {
    const QImage image = shot();
    return image.pixelColor(control->mapTo(window(), at) * image.devicePixelRatio());
}

bool SettingsScreen::drawnAs(QWidget* w, const std::function<void()>& show,
                             const std::function<void()>& undo) {
    const QRect area(w->mapTo(window(), QPoint(0, 0)), w->size());
    const QImage drawn = window()->grab(area).toImage();
    show();
    const QImage expected = window()->grab(area).toImage();
    undo();
    return drawn == expected;
}

bool SettingsScreen::draws(QWidget* control, const QString& text) {
    auto* label = qobject_cast<QLabel*>(control);
    const QString own = label ? label->text() : QString();
    return label && drawnAs(
                        label, [&] { label->setText(text); }, [&] { label->setText(own); });
}

std::optional<bool> SettingsScreen::switchDrawnOn(QWidget* control) {
    // The thumb is white in every mode; the track never is.
    const auto white = [&](int x) {
        const QColor c =
            pixel(control, QPoint((control->width() - 51) / 2 + x, control->height() / 2));
        return c.red() >= 250 && c.green() >= 250 && c.blue() >= 250;
    };
    return white(8) == white(43) ? std::nullopt : std::optional(white(43));
}

bool SettingsScreen::shows(PSTableCell* row, const QVariant& value) {
    if (UISwitch* control = row ? first<UISwitch>(row) : nullptr)
        return switchDrawnOn(control) == value.toBool();
    if (UISlider* slider = row ? first<UISlider>(row) : nullptr) {
        const float own = slider->value();
        return draws(widgetOfClass(row, "QEVValueLabel"),
                     QString::number(value.toDouble(), 'f', 2)) &&
               drawnAs(
                   slider, [&] { slider->setValue(value.toFloat()); },
                   [&] { slider->setValue(own); });
    }
    if (QWidget* swatch = row ? widgetOfClass(row, "QEVColorIndicatorView") : nullptr) {
        // #RRGGBB or #RRGGBBAA, the swatch drawn over the white of the row.
        const QString hex = value.toString().toUpper();
        const int alpha = hex.size() == 9 ? hex.right(2).toInt(nullptr, 16) : 255;
        const QColor c = QColor::fromString(hex.left(7));
        const auto mix = [alpha](int v) { return (v * alpha + 255 * (255 - alpha) + 127) / 255; };
        const QString words =
            hex.left(7) + (alpha == 255 ? QString() : QString::asprintf(":%.2f", alpha / 255.0));
        return near(pixel(swatch, swatch->rect().center()),
                    QColor(mix(c.red()), mix(c.green()), mix(c.blue())), 3) &&
               draws(row->detailTextLabel(), words);
    }
    if (auto* field = row ? first<QLineEdit>(row) : nullptr) {
        const QString own = field->text();
        return drawnAs(
            field, [&] { field->setText(value.toString()); }, [&] { field->setText(own); });
    }
    return false;
}

// ---- the file ---------------------------------------------------------------------------------

int SettingsScreen::reloads() {
    EXPECT_TRUE(notificationsSettled());
    return _reloads;
}
