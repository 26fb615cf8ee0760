#include "preferences/UITableView.h"

#include "preferences/PSListController.h"
#include "preferences/PSSpecifier.h"
#include "preferences/PSTableCell.h"
#include "uikit/UIColor.h"
#include "uikit/UIFont.h"
#include "uikit/UIKeyboardFocus.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextEdit>
#include <QVariantAnimation>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace {

// The inset-grouped look, in logical pixels.
constexpr double kSectionInset = 16;
constexpr double kCornerRadius = 10;
constexpr double kTextInset = 16;
constexpr double kSectionGap = 35;
constexpr double kHeaderTop = 17;
constexpr double kHeaderBottom = 7;
constexpr double kFooterTop = 7;
constexpr double kFooterBottom = 10;
constexpr double kBottomPadding = 35;
constexpr double kMaximumRowHeight = 10000;
constexpr double kShownHeight = 0.5; // a row lower than this shows nothing
constexpr int kBounceMs = 400;
constexpr int kFlingMs = 800;
constexpr double kFlingSeconds = 0.33;
constexpr double kMinimumFlingSpeed = 200;

double sanitizedHeight(double height) {
    if (!std::isfinite(height) || height < 0)
        return 0;
    return std::min(height, kMaximumRowHeight);
}

QFont sectionTextFont() {
    return UIFont::systemFontOfSize(13);
}

double measuredTextHeight(const QString& text, double width) {
    const QFontMetricsF metrics(sectionTextFont());
    return metrics.boundingRect(QRectF(0, 0, std::max(1.0, width), 1e6), Qt::TextWordWrap, text)
        .height();
}

// The height of a section's header or footer text wrapped to `width`. Laying text out costs
// microseconds (a long list has hundreds of sections), so a short printable ASCII text, which
// is drawn in one font and certainly fits on one line, takes the height of one such line. A
// character's advance is at most the widest printable ASCII one, and kerning never adds as
// much again.
double textHeight(const QString& text, double width) {
    if (text.isEmpty())
        return 0;
    static const auto [widestAscii, asciiLine] = [] {
        const QFontMetricsF metrics(sectionTextFont());
        double widest = 0;
        for (char16_t c = 0x20; c < 0x7f; ++c)
            widest = std::max(widest, metrics.horizontalAdvance(QChar(c)));
        return std::pair(widest, measuredTextHeight(QStringLiteral("x"), 1e6));
    }();
    const bool plainAscii = std::all_of(text.cbegin(), text.cend(), [](QChar c) {
        return c.unicode() >= 0x20 && c.unicode() < 0x7f;
    });
    if (plainAscii && double(text.size()) * 2 * widestAscii <= width)
        return asciiLine;
    return measuredTextHeight(text, width);
}

bool isTextInput(QWidget* widget) {
    return qobject_cast<QLineEdit*>(widget) || qobject_cast<QTextEdit*>(widget) ||
           qobject_cast<QPlainTextEdit*>(widget) || qobject_cast<QAbstractSpinBox*>(widget);
}

} // namespace

UITableView::UITableView(PSListController* controller, int style, QWidget* parent)
    : QAbstractScrollArea(parent), _controller(controller), _style(style) {
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::NoFocus);
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    _clock.start();
    if (UIKeyboardFocus* keyboard = UIKeyboardFocus::instance())
        connect(keyboard, &UIKeyboardFocus::focusWalkWillBegin, this, &UITableView::makeEveryRow);
    QAccessible::installActivationObserver(this);
    _makesEveryRow = QAccessible::isActive();
}

UITableView::~UITableView() {
    QAccessible::removeActivationObserver(this);
    // Nothing is reported while the table goes away: closing its window moves the focus.
    disconnect(qApp, nullptr, this, nullptr);
    _controller = nullptr;
}

void UITableView::accessibilityActiveChanged(bool active) {
    if (active)
        makeEveryRow();
}

void UITableView::makeEveryRow() {
    if (_makesEveryRow)
        return;
    _makesEveryRow = true;
    if (_loaded)
        layoutContents();
}

void UITableView::detachController() {
    _controller = nullptr;
}

PSListController* UITableView::controller() const {
    return _controller.data();
}

double UITableView::insetX() const {
    return _style == InsetGrouped ? kSectionInset : 0;
}

double UITableView::sectionWidth() const {
    return std::max(0.0, viewport()->width() - 2 * insetX());
}

// ---- data -------------------------------------------------------------------------------

namespace {
// Tells the controller that a run of height queries starts and ends, even on early return.
class HeightPass {
public:
    HeightPass(PSListController* controller, UITableView* table)
        : _controller(controller), _table(table) {
        if (_controller)
            _controller->heightPassWillBegin(_table);
    }
    ~HeightPass() {
        if (_controller)
            _controller->heightPassDidEnd(_table);
    }
    HeightPass(const HeightPass&) = delete;
    HeightPass& operator=(const HeightPass&) = delete;

private:
    QPointer<PSListController> _controller;
    UITableView* _table;
};
} // namespace

void UITableView::ensureLoaded() const {
    if (!_loaded)
        const_cast<UITableView*>(this)->reloadData();
}

double UITableView::askHeight(NSIndexPath indexPath) {
    return _controller ? sanitizedHeight(_controller->heightForRowAtIndexPath(this, indexPath)) : 0;
}

void UITableView::reloadData() {
    ++_generation;
    // Running animations end where they are; the rows they moved are rebuilt below.
    if (_heightAnimation)
        _heightAnimation->stop();
    if (_scrollAnimation)
        _scrollAnimation->stop();
    for (const Section& section : std::as_const(_sections)) {
        for (const Row& row : section.rows) {
            if (!row.cell)
                continue;
            // A cell may be reloaded from inside its own signal; let it return first.
            PSSpecifier* specifier = row.cell->specifier();
            if (specifier && specifier->cell() == row.cell)
                specifier->setProperty(QVariant(), PSTableCellKey);
            row.cell->hide();
            row.cell->deleteLater();
        }
    }
    _sections.clear();
    _madeRows.clear();
    _tabRows.clear();
    _placedInView.clear();
    _loaded = true;
    const int sections =
        _controller ? std::max(0, _controller->numberOfSectionsInTableView(this)) : 0;
    {
        HeightPass pass(_controller, this);
        for (int s = 0; s < sections; ++s) {
            Section section;
            section.header = _controller->titleForHeaderInSection(this, s);
            section.footer = _controller->titleForFooterInSection(this, s);
            const int rows = std::max(0, _controller->numberOfRowsInSection(this, s));
            for (int r = 0; r < rows; ++r) {
                Row row;
                row.height = row.from = row.to = askHeight({s, r});
                section.rows.append(row);
            }
            _sections.append(section);
        }
    }
    layoutContents();
    settleOffset();
}

int UITableView::numberOfSections() const {
    ensureLoaded();
    return int(_sections.size());
}

int UITableView::numberOfRowsInSection(int section) const {
    ensureLoaded();
    return section >= 0 && section < _sections.size() ? int(_sections.at(section).rows.size()) : 0;
}

PSTableCell* UITableView::cellForRowAtIndexPath(NSIndexPath indexPath) const {
    if (indexPath.section < 0 || indexPath.section >= _sections.size())
        return nullptr;
    const QList<Row>& rows = _sections.at(indexPath.section).rows;
    if (indexPath.row < 0 || indexPath.row >= rows.size())
        return nullptr;
    return rows.at(indexPath.row).cell.data();
}

QList<PSTableCell*> UITableView::madeCells() const {
    QList<PSTableCell*> cells;
    for (const Section& section : _sections) {
        for (const Row& row : section.rows) {
            if (row.cell)
                cells.append(row.cell.data());
        }
    }
    return cells;
}

QRect UITableView::rectForRowAtIndexPath(NSIndexPath indexPath) const {
    ensureLoaded();
    if (indexPath.section < 0 || indexPath.section >= _sections.size())
        return QRect();
    const QList<Row>& rows = _sections.at(indexPath.section).rows;
    if (indexPath.row < 0 || indexPath.row >= rows.size())
        return QRect();
    const Row& row = rows.at(indexPath.row);
    const int top = qRound(row.y);
    return QRect(qRound(insetX()), top, qRound(sectionWidth()), qRound(row.y + row.height) - top);
}

QRect UITableView::rectForSection(int section) const {
    ensureLoaded();
    if (section < 0 || section >= _sections.size())
        return QRect();
    const Section& s = _sections.at(section);
    return QRectF(insetX(), s.rowsTop, sectionWidth(), s.rowsHeight).toRect();
}

QRect UITableView::rectForHeaderInSection(int section) const {
    ensureLoaded();
    return section >= 0 && section < _sections.size() ? _sections.at(section).headerRect.toRect()
                                                      : QRect();
}

QRect UITableView::rectForFooterInSection(int section) const {
    ensureLoaded();
    return section >= 0 && section < _sections.size() ? _sections.at(section).footerRect.toRect()
                                                      : QRect();
}

QString UITableView::headerTitleForSection(int section) const {
    ensureLoaded();
    return section >= 0 && section < _sections.size() ? _sections.at(section).header : QString();
}

QString UITableView::footerTitleForSection(int section) const {
    ensureLoaded();
    return section >= 0 && section < _sections.size() ? _sections.at(section).footer : QString();
}

std::optional<NSIndexPath> UITableView::indexPathForRowAtPoint(QPointF p) const {
    if (p.x() < insetX() || p.x() >= insetX() + sectionWidth())
        return std::nullopt;
    const auto section =
        std::partition_point(_sections.cbegin(), _sections.cend(),
                             [&p](const Section& s) { return s.rowsTop + s.rowsHeight <= p.y(); });
    for (auto s = section; s != _sections.cend() && s->rowsTop <= p.y(); ++s) {
        const QList<Row>& rows = s->rows;
        auto row = std::partition_point(rows.cbegin(), rows.cend(),
                                        [&p](const Row& r) { return r.y + r.height <= p.y(); });
        for (; row != rows.cend() && row->y <= p.y(); ++row) {
            if (row->height >= kShownHeight && p.y() >= row->y && p.y() < row->y + row->height)
                return NSIndexPath{int(s - _sections.cbegin()), int(row - rows.cbegin())};
        }
    }
    return std::nullopt;
}

double UITableView::maximumContentOffsetY() const {
    return std::max(0.0, _contentHeight - viewport()->height());
}

// ---- layout -----------------------------------------------------------------------------

void UITableView::layoutContents(bool geometryChanged) {
    if (_inLayout) {
        _layoutAgain = true;
        return;
    }
    _inLayout = true;
    for (int pass = 0; pass < 4; ++pass) {
        _layoutAgain = false;
        // A second pass follows a change made while placing (a cell gave its row a height).
        const bool measure = geometryChanged || pass > 0;
        if (measure)
            computeGeometry();
        placeHeaderView();
        placeCells(measure);
        if (!_layoutAgain)
            break;
    }
    _inLayout = false;
    viewport()->update();
}

void UITableView::computeGeometry() {
    const double textWidth = sectionWidth() - 2 * kTextInset;
    const double textLeft = insetX() + kTextInset;
    double y = _headerHeight;
    for (Section& section : _sections) {
        if (section.textWidth != textWidth) {
            section.textWidth = textWidth;
            section.headerHeight = textHeight(section.header, textWidth);
            section.footerHeight = textHeight(section.footer, textWidth);
        }
        if (section.header.isEmpty()) {
            section.headerRect = QRectF();
            y += kSectionGap;
        } else {
            const double h = section.headerHeight;
            section.headerRect = QRectF(textLeft, y + kHeaderTop, textWidth, h);
            y += kHeaderTop + h + kHeaderBottom;
        }
        section.rowsTop = y;
        section.firstShown = section.lastShown = -1;
        for (int r = 0; r < section.rows.size(); ++r) {
            Row& row = section.rows[r];
            row.y = y;
            y += row.height;
            if (row.height >= kShownHeight) {
                section.firstShown = section.firstShown < 0 ? r : section.firstShown;
                section.lastShown = r;
            }
        }
        section.rowsHeight = y - section.rowsTop;
        if (section.footer.isEmpty()) {
            section.footerRect = QRectF();
        } else {
            const double h = section.footerHeight;
            section.footerRect = QRectF(textLeft, y + kFooterTop, textWidth, h);
            y += kFooterTop + h + kFooterBottom;
        }
    }
    _contentHeight = y + kBottomPadding;
}

void UITableView::placeHeaderView() {
    if (!_headerView)
        return;
    if (_headerView->parentWidget() != viewport())
        _headerView->setParent(viewport());
    // A view does not clip what it holds unless told to: a subview stretched past the header's
    // bottom (its banner while the list is pulled down) is drawn whole, over the rows.
    const int height = qRound(_headerHeight);
    const int content = _headerView->childrenRect().bottom() + 1;
    _headerView->setGeometry(0, qRound(-_offset.y()), viewport()->width(),
                             std::max(height, content));
    if (content > height)
        _headerView->raise();
    else
        _headerView->lower();
    _headerView->show();
}

void UITableView::placeCells(bool everyCell) {
    // A scroll touches only the rows in view now and those placed in view before; after any
    // other change every made cell is placed again, as a row out of view may have collapsed.
    std::vector<RowIndex> rows = rowsInView();
    if (everyCell && _makesEveryRow) {
        // Every row, made or not: those shown without a cell get one (makeEveryRow).
        for (int s = 0; s < _sections.size(); ++s)
            for (int r = 0; r < _sections.at(s).rows.size(); ++r)
                rows.emplace_back(s, r);
    } else if (everyCell) {
        rows.insert(rows.end(), _madeRows.begin(), _madeRows.end());
    } else {
        rows.insert(rows.end(), _placedInView.begin(), _placedInView.end());
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    _placedInView.clear();
    for (const RowIndex& row : rows) {
        if (!placeRow(row.first, row.second))
            return; // the controller reloaded the table meanwhile
    }
}

std::vector<UITableView::RowIndex> UITableView::rowsInView() const {
    const double top = _offset.y();
    const double bottom = top + viewport()->height();
    std::vector<RowIndex> found;
    // Sections and rows lie in content order, so the first one reaching the top is searched.
    const auto section =
        std::partition_point(_sections.cbegin(), _sections.cend(),
                             [top](const Section& s) { return s.rowsTop + s.rowsHeight <= top; });
    for (auto s = section; s != _sections.cend() && s->rowsTop < bottom; ++s) {
        const QList<Row>& rows = s->rows;
        auto row = std::partition_point(rows.cbegin(), rows.cend(),
                                        [top](const Row& r) { return r.y + r.height <= top; });
        for (; row != rows.cend() && row->y < bottom; ++row) {
            if (row->height >= kShownHeight)
                found.emplace_back(int(s - _sections.cbegin()), int(row - rows.cbegin()));
        }
    }
    return found;
}

bool UITableView::placeRow(int s, int r) {
    const double top = _offset.y();
    const double bottom = top + viewport()->height();
    {
        const Row& row = _sections.at(s).rows.at(r);
        const bool inView = row.y < bottom && row.y + row.height > top;
        if (!row.cell && row.height >= kShownHeight && (inView || _makesEveryRow)) {
            const int generation = _generation;
            if (!makeCell(s, r) || generation != _generation)
                return false;
        }
    }
    const Section& section = _sections.at(s);
    const Row& row = section.rows.at(r);
    PSTableCell* cell = row.cell.data();
    if (!cell)
        return true;
    const int y0 = qRound(row.y - top);
    const int y1 = qRound(row.y + row.height - top);
    if (row.height < kShownHeight || y1 <= y0) {
        // A collapsed row takes no click and no keyboard focus.
        cell->hide();
        return true;
    }
    // A cell out of view that stays out of view needs no move.
    const QRect target(qRound(insetX()), y0, qRound(sectionWidth()), y1 - y0);
    const QRect view = viewport()->rect();
    if (!cell->isHidden() && !target.intersects(view) && !cell->geometry().intersects(view))
        return true;
    cell->setLayoutHeight(row.to > 0 ? row.to : row.height);
    cell->setSectionCorners(_style == InsetGrouped ? kCornerRadius : 0, r == section.firstShown,
                            r == section.lastShown);
    cell->setGeometry(target);
    if (cell->isHidden())
        cell->show();
    if (target.intersects(view))
        _placedInView.emplace_back(s, r);
    return true;
}

bool UITableView::makeCell(int section, int row) {
    if (!_controller)
        return false;
    const int generation = _generation;
    PSTableCell* cell = _controller->cellForRowAtIndexPath(this, {section, row});
    if (generation != _generation) {
        if (cell)
            cell->deleteLater();
        return false;
    }
    if (!cell)
        return true;
    cell->setParent(viewport());
    _sections[section].rows[row].cell = cell;
    connect(cell, &PSTableCell::pressed, this, &UITableView::selectCell, Qt::UniqueConnection);
    chainTabOrder({section, row});
    // A cell may set its row's height while it is made; the row takes it before it shows.
    const double height = askHeight({section, row});
    Row& made = _sections[section].rows[row];
    if (height != made.to && !isAnimating()) {
        made.height = made.from = made.to = height;
        _layoutAgain = true;
    }
    return true;
}

void UITableView::chainTabOrder(RowIndex made) {
    // Cells are made as they scroll into view, in any order; Tab goes through them in row
    // order, so the new cell's tab stops go between those of its nearest made neighbours.
    _madeRows.insert(made);
    PSTableCell* cell = _sections.at(made.first).rows.at(made.second).cell.data();
    const QList<QWidget*> stops = tabStops(cell);
    if (stops.isEmpty())
        return;
    for (QWidget* stop : stops)
        stop->installEventFilter(this); // to follow the keyboard focus (focusEntered)
    const auto it = _tabRows.insert(made).first;
    QWidget* previous = nullptr;
    for (auto p = it; !previous && p != _tabRows.begin();) {
        --p;
        const QList<QWidget*> before = tabStops(cellAt(*p));
        previous = before.isEmpty() ? nullptr : before.last();
        if (!previous)
            p = _tabRows.erase(p); // gone, or has no tab stop any more
    }
    QWidget* next = nullptr;
    for (auto n = std::next(it); !previous && !next && n != _tabRows.end();) {
        const QList<QWidget*> after = tabStops(cellAt(*n));
        next = after.isEmpty() ? nullptr : after.first();
        n = next ? n : _tabRows.erase(n);
    }
    if (previous)
        insertTabStopsAfter(previous, stops);
    else if (next)
        insertTabStopsAfter(next->previousInFocusChain(), stops);
}

PSTableCell* UITableView::cellAt(RowIndex index) const {
    return _sections.at(index.first).rows.at(index.second).cell.data();
}

QList<QWidget*> UITableView::tabStops(QWidget* cell) {
    QList<QWidget*> stops;
    if (!cell)
        return stops;
    const auto takesTab = [](QWidget* w) { return bool(w->focusPolicy() & Qt::TabFocus); };
    if (takesTab(cell))
        stops.append(cell); // a row that is itself a control
    // A cell's widgets follow it in the focus chain, in their order, when it joins the table.
    for (QWidget* w = cell->nextInFocusChain(); w != cell && cell->isAncestorOf(w);
         w = w->nextInFocusChain()) {
        if (takesTab(w))
            stops.append(w);
    }
    // Widgets the cell added later sit elsewhere in the chain.
    for (QWidget* w : cell->findChildren<QWidget*>()) {
        if (takesTab(w) && !stops.contains(w))
            stops.append(w);
    }
    return stops;
}

void UITableView::insertTabStopsAfter(QWidget* anchor, const QList<QWidget*>& stops) {
    // QWidget::setTabOrder moves only widgets that take focus; an anchor that takes none
    // takes Tab focus for the move (one with a focus proxy would pass it on, so it is left).
    if (!anchor || anchor == stops.first())
        return;
    const Qt::FocusPolicy policy = anchor->focusPolicy();
    const bool lend = !(policy & Qt::TabFocus);
    if (lend && anchor->focusProxy())
        return;
    if (lend)
        anchor->setFocusPolicy(Qt::TabFocus);
    QWidget::setTabOrder(anchor, stops.first());
    if (lend)
        anchor->setFocusPolicy(policy);
    for (qsizetype i = 1; i < stops.size(); ++i)
        QWidget::setTabOrder(stops.at(i - 1), stops.at(i));
}

// ---- header view ------------------------------------------------------------------------

void UITableView::setTableHeaderView(QWidget* view) {
    if (view == _headerView) {
        return;
    }
    if (_headerView && _headerView->parentWidget() == viewport())
        _headerView->hide();
    _headerView = view;
    _headerHeight = 0;
    if (view) {
        const int height = view->height() > 0 ? view->height() : view->sizeHint().height();
        _headerHeight = std::max(0, height);
        view->setParent(viewport());
        view->lower();
    }
    layoutContents();
}

QWidget* UITableView::tableHeaderView() const {
    return _headerView.data();
}

// ---- updates ----------------------------------------------------------------------------

void UITableView::beginUpdates() {
    ++_updateDepth;
}

void UITableView::endUpdates() {
    if (_updateDepth > 0)
        --_updateDepth;
    if (_updateDepth > 0)
        return;
    if (!_loaded) {
        reloadData();
        return;
    }
    // Rows are never inserted or removed here; a changed row count means a full reload.
    const int sections = _controller ? _controller->numberOfSectionsInTableView(this) : 0;
    bool sameShape = sections == _sections.size();
    for (int s = 0; sameShape && s < sections; ++s)
        sameShape = _controller->numberOfRowsInSection(this, s) == _sections.at(s).rows.size();
    if (!sameShape) {
        reloadData();
        return;
    }
    bool changed = false;
    {
        HeightPass pass(_controller, this);
        for (int s = 0; s < _sections.size(); ++s) {
            for (int r = 0; r < _sections.at(s).rows.size(); ++r) {
                const double height = askHeight({s, r});
                Row& row = _sections[s].rows[r];
                row.from = row.height;
                row.to = height;
                changed = changed || row.from != row.to;
            }
        }
    }
    if (changed)
        startHeightAnimation();
}

void UITableView::startHeightAnimation() {
    if (!_heightAnimation) {
        _heightAnimation = new QVariantAnimation(this);
        _heightAnimation->setDuration(kAnimationMs);
        _heightAnimation->setEasingCurve(QEasingCurve::InOutCubic);
        _heightAnimation->setStartValue(0.0);
        _heightAnimation->setEndValue(1.0);
        connect(_heightAnimation, &QVariantAnimation::valueChanged, this,
                [this](const QVariant& t) { setHeightProgress(t.toDouble()); });
        connect(_heightAnimation, &QVariantAnimation::finished, this, [this] {
            setHeightProgress(1);
            settleOffset();
        });
    }
    _heightAnimation->stop();
    if (!isVisible()) {
        setHeightProgress(1);
        return;
    }
    _heightAnimation->start();
}

void UITableView::setHeightProgress(double t) {
    for (Section& section : _sections) {
        for (Row& row : section.rows)
            row.height = t >= 1 ? row.to : row.from + (row.to - row.from) * t;
    }
    layoutContents();
}

bool UITableView::isAnimating() const {
    const auto running = [](QVariantAnimation* a) {
        return a && a->state() == QAbstractAnimation::Running;
    };
    return running(_heightAnimation) || running(_scrollAnimation);
}

void UITableView::finishAnimations() {
    if (_heightAnimation && _heightAnimation->state() == QAbstractAnimation::Running) {
        _heightAnimation->stop();
        setHeightProgress(1);
    }
    if (_scrollAnimation && _scrollAnimation->state() == QAbstractAnimation::Running) {
        _scrollAnimation->stop();
        applyOffset(_scrollAnimation->endValue().toDouble());
    }
}

bool UITableView::endEditing(bool) {
    QWidget* focused = focusWidget();
    if (!focused || !isAncestorOf(focused) || !isTextInput(focused))
        return false;
    focused->clearFocus();
    return true;
}

// ---- scrolling --------------------------------------------------------------------------

void UITableView::setContentOffset(QPointF offset) {
    setContentOffset(offset, false);
}

void UITableView::setContentOffset(QPointF offset, bool animated) {
    if (_scrollAnimation)
        _scrollAnimation->stop();
    const double y = std::isfinite(offset.y()) ? offset.y() : 0;
    if (animated && isVisible())
        animateOffsetTo(y, kAnimationMs);
    else
        applyOffset(y);
}

void UITableView::applyOffset(double y) {
    if (y == _offset.y())
        return;
    _offset.setY(y);
    layoutContents(false);
    if (_controller)
        _controller->scrollViewDidScroll(this);
    placeHeaderView(); // what the controller did to the header's subviews while it scrolled
}

void UITableView::settleOffset() {
    // While hidden the viewport's size means nothing yet.
    if (_pressed || !isVisible())
        return;
    const double maximum = maximumContentOffsetY();
    if (_offset.y() > maximum)
        applyOffset(maximum);
}

void UITableView::animateOffsetTo(double y, int durationMs) {
    if (!_scrollAnimation) {
        _scrollAnimation = new QVariantAnimation(this);
        _scrollAnimation->setEasingCurve(QEasingCurve::OutCubic);
        connect(_scrollAnimation, &QVariantAnimation::valueChanged, this,
                [this](const QVariant& v) { applyOffset(v.toDouble()); });
    }
    _scrollAnimation->stop();
    _scrollAnimation->setDuration(durationMs);
    _scrollAnimation->setStartValue(_offset.y());
    _scrollAnimation->setEndValue(y);
    _scrollAnimation->start();
}

double UITableView::rubberBand(double rawY) const {
    // Beyond either end the content follows the finger ever more reluctantly, as on the device.
    const double dimension = std::max(1, viewport()->height());
    const auto resist = [dimension](double beyond) {
        return (1.0 - 1.0 / (beyond * 0.55 / dimension + 1.0)) * dimension;
    };
    const double maximum = maximumContentOffsetY();
    if (rawY < 0)
        return -resist(-rawY);
    if (rawY > maximum)
        return maximum + resist(rawY - maximum);
    return rawY;
}

void UITableView::endDrag() {
    const double maximum = maximumContentOffsetY();
    const double y = _offset.y();
    if (y < 0 || y > maximum) {
        animateOffsetTo(std::clamp(y, 0.0, maximum), kBounceMs);
        return;
    }
    // Speed over the last tenth of a second of the drag.
    double speed = 0;
    const qint64 now = _clock.elapsed();
    for (const auto& sample : std::as_const(_dragSamples)) {
        if (now - sample.first <= 100 && now > sample.first) {
            speed = (_dragSamples.last().second - sample.second) /
                    std::max<qint64>(1, _dragSamples.last().first - sample.first) * 1000.0;
            break;
        }
    }
    if (std::abs(speed) < kMinimumFlingSpeed)
        return;
    animateOffsetTo(std::clamp(y - speed * kFlingSeconds, 0.0, maximum), kFlingMs);
}

void UITableView::wheelEvent(QWheelEvent* event) {
    if (_scrollAnimation)
        _scrollAnimation->stop();
    const double delta = !event->pixelDelta().isNull() ? event->pixelDelta().y()
                                                       : event->angleDelta().y() / 120.0 * 60;
    applyOffset(std::clamp(_offset.y() - delta, 0.0, maximumContentOffsetY()));
    event->accept();
}

void UITableView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    if (_scrollAnimation)
        _scrollAnimation->stop();
    _pressed = true;
    _dragging = false;
    _pressPos = event->position();
    _pressOffsetY = _offset.y();
    _pressedRow = indexPathForRowAtPoint(event->position() + _offset);
    _dragSamples = {{_clock.elapsed(), event->position().y()}};
    event->accept();
}

void UITableView::mouseMoveEvent(QMouseEvent* event) {
    if (!_pressed) {
        event->ignore();
        return;
    }
    const double dy = event->position().y() - _pressPos.y();
    if (!_dragging && std::abs(dy) >= QApplication::startDragDistance())
        _dragging = true;
    if (_dragging) {
        applyOffset(rubberBand(_pressOffsetY - dy));
        _dragSamples.append({_clock.elapsed(), event->position().y()});
        if (_dragSamples.size() > 20)
            _dragSamples.removeFirst();
    }
    event->accept();
}

void UITableView::mouseReleaseEvent(QMouseEvent* event) {
    if (!_pressed || event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    _pressed = false;
    if (_dragging) {
        _dragging = false;
        endDrag();
    } else {
        const std::optional<NSIndexPath> row = indexPathForRowAtPoint(event->position() + _offset);
        if (row && _pressedRow && *row == *_pressedRow)
            selectRow(*row);
    }
    event->accept();
}

void UITableView::selectRow(NSIndexPath indexPath) {
    PSTableCell* cell = cellForRowAtIndexPath(indexPath);
    if (!cell || cell->isHidden())
        return;
    cell->setSelected(true, true);
    if (_controller)
        _controller->didSelectRowAtIndexPath(this, indexPath);
}

void UITableView::selectCell(PSTableCell* cell) {
    for (int s = 0; s < _sections.size(); ++s) {
        const QList<Row>& rows = _sections.at(s).rows;
        for (int r = 0; r < rows.size(); ++r) {
            if (rows.at(r).cell == cell) {
                selectRow({s, r});
                return;
            }
        }
    }
}

bool UITableView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        // Only the keyboard's own moves scroll: focus given back after an alert, or to the
        // first control when the window activates, leaves the list where the person put it.
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason)
            focusEntered(qobject_cast<QWidget*>(watched));
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

void UITableView::focusEntered(QWidget* now) {
    if (!now || !viewport()->isAncestorOf(now) || _pressed)
        return;
    // Keyboard focus moved to a row out of view: bring it in.
    const QRect rect(now->mapTo(viewport(), QPoint(0, 0)), now->size());
    const int height = viewport()->height();
    double y = _offset.y();
    if (rect.top() < 0)
        y += rect.top() - 8;
    else if (rect.bottom() > height)
        y += rect.bottom() - height + 8;
    else
        return;
    applyOffset(std::clamp(y, 0.0, maximumContentOffsetY()));
}

// ---- events -----------------------------------------------------------------------------

void UITableView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    if (_loaded) {
        layoutContents();
        settleOffset();
    }
}

void UITableView::showEvent(QShowEvent* event) {
    QAbstractScrollArea::showEvent(event);
    if (!_loaded)
        reloadData();
    else
        layoutContents();
}

void UITableView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const UIColor background = _style == Plain ? UIColor::systemBackgroundColor()
                                               : UIColor::systemGroupedBackgroundColor();
    painter.fillRect(event->rect(), background.resolvedColorForView(this));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(0, -_offset.y());
    const QRectF visible = QRectF(event->rect()).translated(0, _offset.y());
    for (const Section& section : std::as_const(_sections)) {
        const double top = section.headerRect.isNull() ? section.rowsTop : section.headerRect.top();
        const double bottom = section.footerRect.isNull() ? section.rowsTop + section.rowsHeight
                                                          : section.footerRect.bottom();
        if (bottom < visible.top() || top > visible.bottom())
            continue;
        paintSection(painter, section, sectionWidth(), visible);
    }
}

void UITableView::paintSection(QPainter& painter, const Section& section, double width,
                               const QRectF& visible) const {
    painter.setFont(sectionTextFont());
    painter.setPen(UIColor::secondaryLabelColor().resolvedColorForView(this));
    if (!section.header.isEmpty())
        painter.drawText(section.headerRect, Qt::TextWordWrap | Qt::AlignLeft, section.header);
    if (!section.footer.isEmpty())
        painter.drawText(section.footerRect, Qt::TextWordWrap | Qt::AlignLeft, section.footer);
    if (section.rowsHeight < kShownHeight)
        return;
    const double radius = _style == InsetGrouped ? kCornerRadius : 0;
    const QRectF area(insetX(), section.rowsTop, width, section.rowsHeight);
    painter.setPen(Qt::NoPen);
    painter.setBrush(UIColor::secondarySystemGroupedBackgroundColor().resolvedColorForView(this));
    painter.drawRoundedRect(area, std::min(radius, area.height() / 2),
                            std::min(radius, area.height() / 2));
    // A hairline above every shown row that has another shown row before it; only the rows
    // near the painted area are visited.
    const double hairline = std::max(0.5, 1.0 / std::max(1.0, devicePixelRatioF()));
    const double from = visible.top() - 1;
    const double to = visible.bottom() + 1;
    const QColor separator = UIColor::separatorColor().resolvedColorForView(this);
    auto row = std::partition_point(section.rows.cbegin(), section.rows.cend(),
                                    [from](const Row& r) { return r.y + r.height < from; });
    for (; row != section.rows.cend() && row->y <= to; ++row) {
        if (row->height < kShownHeight || row - section.rows.cbegin() <= section.firstShown)
            continue;
        const double y = std::round(row->y * devicePixelRatioF()) / devicePixelRatioF();
        painter.fillRect(
            QRectF(area.left() + kTextInset, y - hairline, area.width() - kTextInset, hairline),
            separator);
    }
}
