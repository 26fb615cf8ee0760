#pragma once

#include "uikit/UIFocusRingShape.h"
#include "uikit/UIPressable.h"
#include "uikit/UITintObserver.h"

#include <QColor>
#include <QPointer>
#include <QString>
#include <QWidget>

class QLabel;
class QVariantAnimation;
class PSSpecifier;

enum UITableViewCellStyle {
    UITableViewCellStyleDefault = 0,
    UITableViewCellStyleValue1 = 1,
    UITableViewCellStyleValue2 = 2,
    UITableViewCellStyleSubtitle = 3,
};

enum UITableViewCellSelectionStyle {
    UITableViewCellSelectionStyleNone = 0,
    UITableViewCellSelectionStyleBlue = 1,
    UITableViewCellSelectionStyleGray = 2,
    UITableViewCellSelectionStyleDefault = 3,
};

// A row's cell: a content view holding a title and a detail label, and an optional accessory
// view at the trailing edge, outside the content view. The table paints the white section
// behind cells; a cell paints only its selection highlight.
//
// A row that is itself a control (it opens something when tapped) takes the keyboard focus:
// Enter, Return and Space then do what a tap does, and assistive technologies see a button
// named after the row, whose value is the detail text.
class PSTableCell : public QWidget,
                    public UITintObserver,
                    public UIPressable,
                    public UIFocusRingShape {
    Q_OBJECT
public:
    PSTableCell(int style, const QString& reuseIdentifier, PSSpecifier* specifier,
                QWidget* parent = nullptr);
    ~PSTableCell() override;

    int style() const { return _style; }
    QString reuseIdentifier() const { return _reuseIdentifier; }
    QLabel* textLabel() { return _textLabel; }
    QLabel* detailTextLabel() { return _detailTextLabel; }
    QWidget* contentView() { return _contentView; }
    QWidget* accessoryView() const { return _accessoryView; }
    void setAccessoryView(QWidget* view); // the cell takes it as a direct child

    PSSpecifier* specifier() const;
    void setSpecifier(PSSpecifier* specifier);
    virtual void refreshCellContentsWithSpecifier(PSSpecifier* specifier);
    // Shows the value the row's getter gives now, storing nothing: after a store that did not
    // reach the file, or when someone else changed the file. A cell that shows no value has
    // nothing to do.
    virtual void showStoredValue();

    // The order in which Tab reaches the row's controls, which the table keeps.
    void setControlOrder(const QList<QWidget*>& controls);

    void setActsAsControl(bool acts);
    bool actsAsControl() const;
    // What a tap on the row does: the table selects it.
    void press() override;
    QString pressableValue() const override;
    // Tells assistive technologies that the detail text (the row's value) changed.
    void detailTextDidChange();
    QRectF focusRingRect() const override;
    qreal focusRingRadius() const override;

    QColor tintColor() const;
    void setTintColor(const QColor& color);
    void tintColorDidChange() override;

    virtual void setSelected(bool selected, bool animated);
    bool isSelected() const { return _selected; }
    void setSelectionStyle(int style) { _selectionStyle = style; }
    qreal highlightOpacity() const { return _highlight; }

    // Qt always clips a widget's children to it; the flag is what the row asked for.
    void setClipsToBounds(bool clips) { _clipsToBounds = clips; }
    bool clipsToBounds() const { return _clipsToBounds; }

    // Called on every resize and layout pass; places the content view, accessory and labels.
    virtual void layoutSubviews();
    void setNeedsLayout();

    // Set by the table: the height the content is laid out for (a collapsing row keeps its
    // content at full size and is cut off rather than squeezed), and which corners of the
    // section the cell's highlight rounds.
    void setLayoutHeight(qreal height);
    qreal layoutHeight() const;
    void setSectionCorners(qreal radius, bool top, bool bottom);

    QSize sizeHint() const override;

    static constexpr int kMargin = 16;

signals:
    void pressed(PSTableCell* cell);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void layoutLabels(int width, int height);
    QSize accessorySize() const;
    void animateHighlightTo(qreal opacity, bool animated);

    int _style;
    QString _reuseIdentifier;
    QPointer<PSSpecifier> _specifier;
    QWidget* _contentView;
    QLabel* _textLabel;
    QLabel* _detailTextLabel;
    QPointer<QWidget> _accessoryView;
    bool _selected = false;
    int _selectionStyle = UITableViewCellSelectionStyleDefault;
    bool _clipsToBounds = false;
    bool _inLayout = false;
    qreal _highlight = 0;
    QVariantAnimation* _highlightAnimation = nullptr;
    qreal _layoutHeight = 0;
    qreal _cornerRadius = 0;
    bool _roundTop = false;
    bool _roundBottom = false;
};
