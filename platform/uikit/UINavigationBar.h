#pragma once

#include <QColor>
#include <QList>
#include <QPointer>
#include <QVariantMap>
#include <QWidget>

class QLabel;
class UIBackButton;
class UINavigationItem;

inline const QString NSForegroundColorAttributeName = "NSForegroundColorAttributeName";

// The bar at the top of a navigation controller, 44 high: a back button (chevron and the
// previous title, in the tint) at the leading edge, the title or title view in the middle,
// the right bar button items at the trailing edge.
class UINavigationBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHeight = 44;

    explicit UINavigationBar(QWidget* parent = nullptr);

    void setTintColor(const QColor& color);
    QColor tintColor() const;
    void setTranslucent(bool translucent);
    bool isTranslucent() const { return _translucent; }
    void setTitleTextAttributes(const QVariantMap& attributes);
    QVariantMap titleTextAttributes() const { return _titleTextAttributes; }

    // What the bar shows; set by the navigation controller that owns the bar.
    void showItem(UINavigationItem* item, const QString& fallbackTitle, const QString& backTitle,
                  bool backVisible);
    UINavigationItem* topItem() const { return _item; }
    UIBackButton* backButton() const { return _backButton; }
    QLabel* titleLabel() const { return _titleLabel; }

    QSize sizeHint() const override;

signals:
    void backTapped();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutContents();
    void applyTitleColor();
    QList<QWidget*> rightViews() const;

    bool _translucent = true;
    QVariantMap _titleTextAttributes;
    QPointer<UINavigationItem> _item;
    QPointer<QWidget> _shownTitleView;
    QList<QPointer<QWidget>> _shownRightViews;
    UIBackButton* _backButton = nullptr;
    QLabel* _titleLabel = nullptr;
};
