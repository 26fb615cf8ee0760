#pragma once

#include "preferences/NSIndexPath.h"

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QElapsedTimer>
#include <QList>
#include <QPointer>
#include <QRectF>
#include <optional>
#include <set>
#include <utility>
#include <vector>

class PSListController;
class PSTableCell;
class QVariantAnimation;

// The list controller's table: sections of rows on a scroll area, drawn in the inset-grouped
// look. Row heights are asked of the controller for every row; a row's cell is made by the
// controller when the row first comes into view. The content offset goes negative while the
// list is pulled down beyond its top and springs back on release.
//
// The keyboard and assistive technologies reach every row, not only those seen so far: from the
// first Tab in the application, or while an assistive technology listens, every row that is
// shown has its cell, in the focus chain in row order.
class UITableView : public QAbstractScrollArea, public QAccessible::ActivationObserver {
    Q_OBJECT
public:
    enum Style { Plain = 0, Grouped = 1, InsetGrouped = 2 };

    explicit UITableView(PSListController* controller, int style = InsetGrouped,
                         QWidget* parent = nullptr);
    ~UITableView() override;

    PSListController* controller() const;
    // The controller is going away: the table asks and reports nothing from now on.
    void detachController();
    int style() const { return _style; }

    // Forgets every cell and asks the controller for sections, rows and heights again.
    void reloadData();
    int numberOfSections() const;
    int numberOfRowsInSection(int section) const;
    PSTableCell* cellForRowAtIndexPath(NSIndexPath indexPath) const; // made cell, or nullptr
    QList<PSTableCell*> madeCells() const;
    // Makes the cell of every shown row, now and whenever rows are shown from now on.
    void makeEveryRow();
    // In content coordinates, at the rows' current (possibly animating) heights.
    QRect rectForRowAtIndexPath(NSIndexPath indexPath) const;
    QRect rectForSection(int section) const;         // the section's rounded area of rows
    QRect rectForHeaderInSection(int section) const; // its title's text; empty without one
    QRect rectForFooterInSection(int section) const;
    QString headerTitleForSection(int section) const;
    QString footerTitleForSection(int section) const;
    std::optional<NSIndexPath> indexPathForRowAtPoint(QPointF contentPoint) const;

    // endUpdates asks every row's height again and animates the rows to the new heights.
    void beginUpdates();
    void endUpdates();
    bool isAnimating() const;
    void finishAnimations(); // jumps every running height or scroll animation to its end

    // Takes the keyboard focus from any text field in the table; true if one had it.
    bool endEditing(bool force);

    void setTableHeaderView(QWidget* view);
    QWidget* tableHeaderView() const;

    QPointF contentOffset() const { return _offset; }
    void setContentOffset(QPointF offset);
    void setContentOffset(QPointF offset, bool animated);
    double maximumContentOffsetY() const;

    static constexpr int kAnimationMs = 300;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void scrollContentsBy(int, int) override {}
    bool eventFilter(QObject* watched, QEvent* event) override;
    void accessibilityActiveChanged(bool active) override;

private:
    struct Row {
        double y = 0;
        double height = 0; // shown now
        double from = 0;   // at the start of the running height animation
        double to = 0;     // asked of the controller
        QPointer<PSTableCell> cell;
    };
    struct Section {
        QString header;
        QString footer;
        QList<Row> rows;
        QRectF headerRect; // text, content coordinates
        QRectF footerRect;
        double rowsTop = 0;
        double rowsHeight = 0;
        double textWidth = -1; // the width the text heights below were measured for
        double headerHeight = 0;
        double footerHeight = 0;
        int firstShown = -1; // first and last row tall enough to show, or -1
        int lastShown = -1;
    };
    using RowIndex = std::pair<int, int>; // section, row

    void ensureLoaded() const;
    double askHeight(NSIndexPath indexPath);
    // A scroll moves what is there; any other change measures the rows again first.
    void layoutContents(bool geometryChanged = true);
    void computeGeometry();
    void placeHeaderView();
    void placeCells(bool everyCell);
    std::vector<RowIndex> rowsInView() const;
    bool placeRow(int section, int row);
    bool makeCell(int section, int row);
    void chainTabOrder(RowIndex made);
    PSTableCell* cellAt(RowIndex index) const;
    static QList<QWidget*> tabStops(QWidget* cell); // widgets that take Tab focus, in order
    static void insertTabStopsAfter(QWidget* anchor, const QList<QWidget*>& stops);
    void applyOffset(double y);
    void settleOffset();
    void animateOffsetTo(double y, int durationMs);
    void startHeightAnimation();
    void setHeightProgress(double t);
    void endDrag();
    double rubberBand(double rawY) const;
    void selectRow(NSIndexPath indexPath);
    void selectCell(PSTableCell* cell);
    void focusEntered(QWidget* now);
    void paintSection(QPainter& painter, const Section& section, double width,
                      const QRectF& visible) const;
    double insetX() const;
    double sectionWidth() const;

    QPointer<PSListController> _controller;
    int _style;
    QList<Section> _sections;
    std::set<RowIndex> _madeRows;        // rows whose cell was made, in row order
    std::set<RowIndex> _tabRows;         // those of them whose cell has a tab stop
    std::vector<RowIndex> _placedInView; // rows whose cell was last placed in view
    bool _loaded = false;
    bool _makesEveryRow = false;
    int _generation = 0;
    double _contentHeight = 0;
    QPointF _offset;
    QPointer<QWidget> _headerView;
    double _headerHeight = 0;
    int _updateDepth = 0;
    bool _inLayout = false;
    bool _layoutAgain = false;
    QVariantAnimation* _heightAnimation = nullptr;
    QVariantAnimation* _scrollAnimation = nullptr;

    // Dragging the content.
    bool _pressed = false;
    bool _dragging = false;
    QPointF _pressPos;
    double _pressOffsetY = 0;
    std::optional<NSIndexPath> _pressedRow;
    QElapsedTimer _clock;
    QList<QPair<qint64, double>> _dragSamples; // time (ms), y
};
