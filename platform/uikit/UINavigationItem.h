#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

class UIBarButtonItem;

// What a view controller shows in the navigation bar while it is on top: a title or a title
// view, and the right bar button items. Holds the title view and the items it was given.
class UINavigationItem : public QObject {
    Q_OBJECT
public:
    explicit UINavigationItem(QObject* parent = nullptr);
    ~UINavigationItem() override;

    QString title() const { return _title; }
    void setTitle(const QString& title);
    QWidget* titleView() const { return _titleView; }
    void setTitleView(QWidget* view);
    QList<UIBarButtonItem*> rightBarButtonItems() const;
    void setRightBarButtonItems(const QList<UIBarButtonItem*>& items);

signals:
    void changed();

private:
    QString _title;
    QPointer<QWidget> _titleView;
    QList<QPointer<UIBarButtonItem>> _rightItems;
};
