#pragma once

#include "framework/QEVRootListController.h"
#include "pane/AspectFitImageView.h"
#include "pane/PaneToast.h"
#include "pane/PreferenceStore.h"
#include "uikit/UIPopoverPresentationControllerDelegate.h"

#include <QColor>
#include <QLabel>
#include <QPointer>
#include <optional>

class QPropertyAnimation;
class UIBarButtonItem;

// The pane's principal controller: its store (rows from "Root", values read from and written to
// the add-on's preference file, the reload notification after each change), its face (restart
// button, title view, banner header, scrolling effects) and the restart confirmation.
class TOLVPLAYERPreferencesListController : public QEVRootListController,
                                            public UIPopoverPresentationControllerDelegate {
    Q_OBJECT
public:
    static const QString kPreferencesPath;    // device path of the preference file
    static const QString kReloadNotification; // Darwin notification after every stored change

    explicit TOLVPLAYERPreferencesListController(QObject* parent = nullptr);
    ~TOLVPLAYERPreferencesListController() override;

    QList<PSSpecifier*> specifiers() override;
    int tableViewStyle() override;

    // The stored entry, as stored (false, 0 and "" included); else the row's "default"; else
    // null. The file is looked at on every call (its parse is reused while it is unchanged),
    // except within one height pass, which reads it once for all rows.
    QVariant readPreferenceValue(PSSpecifier* specifier) override;
    void heightPassWillBegin(UITableView* tableView) override;
    void heightPassDidEnd(UITableView* tableView) override;

    // Read the file, set the entry, write it atomically, let the base re-lay the rows out, then
    // announce the change. A write that fails is announced to nobody: a line on stderr, the row
    // back at the stored value, and a short message in the window saying why. A row without a
    // text "key", or a null value, writes nothing and posts nothing; the base is still called so
    // the row heights stay consistent with the file.
    void setPreferenceValue(const QVariant& value, PSSpecifier* specifier) override;

    // The row's entry key: its "key" property when that is a text.
    static std::optional<QString> entryKey(PSSpecifier* specifier);

    // Face: restart button and title view (constructor), tint, banner header, title fade and
    // banner stretch while scrolling (TOLVPLAYERPreferencesListControllerChrome.cpp).
    static QColor paneTintColor() { return QColor(121, 145, 153); }
    static QColor paneDarkColor() { return QColor(72, 97, 112); }
    static constexpr int kHeaderSide = 200;
    static constexpr double kTitleFadeOffset = 40;
    static constexpr int kFadeMilliseconds = 200;

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    PSTableCell* cellForRowAtIndexPath(UITableView* tableView, NSIndexPath indexPath) override;
    void scrollViewDidScroll(UITableView* scrollView) override;

    QWidget* headerView() const { return _headerView; }
    void setHeaderView(QWidget* headerView) { _headerView = headerView; }
    AspectFitImageView* headerImageView() const { return _headerImageView; }
    void setHeaderImageView(AspectFitImageView* view) { _headerImageView = view; }
    QLabel* titleLabel() const { return _titleLabel; }
    void setTitleLabel(QLabel* titleLabel) { _titleLabel = titleLabel; }
    AspectFitImageView* iconView() const { return _iconView; }
    void setIconView(AspectFitImageView* iconView) { _iconView = iconView; }

    // Restart (TOLVPLAYERPreferencesListControllerRestart.cpp). Both are process-wide: the
    // newest popover, and the bar item of the newest pane's restart button.
    static UIViewController* popController();
    static UIBarButtonItem* respringButtonItem();
    static const QString kQuestionText;

    void apply();
    UIModalPresentationStyle adaptivePresentationStyleForPresentationController(
        UIPresentationController* controller) override;
    void handleYesGesture();
    void handleNoGesture();

private:
    void buildNavigationChrome();
    void buildHeader();
    void nameRestartButton();
    void applyPaneTint();
    UINavigationBar* outerNavigationBar() const;
    void fadeTitleView(bool showIcon);
    static QImage bundleImage(const QString& name);
    static void setRespringButtonItem(UIBarButtonItem* item);
    static void setPopController(UIViewController* controller);
    void spawnRestartCommand();

    QPointer<QWidget> _headerView;
    QPointer<AspectFitImageView> _headerImageView;
    QPointer<QLabel> _titleLabel;
    QPointer<AspectFitImageView> _iconView;
    QPointer<UIBarButtonItem> _respringButtonItem; // this pane's own restart button
    QPropertyAnimation* _iconFade = nullptr;
    QPropertyAnimation* _titleFade = nullptr;

    // Nothing when there was nothing to store (no key, or a null value).
    std::optional<FileWriteResult> storeValue(const QVariant& value, PSSpecifier* specifier);

    // The file beyond a plain store (TOLVPLAYERPreferencesListControllerFile.cpp). Another
    // program's change: the rows showing a changed entry show it, groups open or close, and
    // nothing is written or posted; our own writes change nothing shown.
    void watchPreferenceFile();
    void preferenceFileMayHaveChanged();
    // A failed store: the row back at the stored value and a message saying which setting and
    // why (the system's reason in a few words), in the user's language.
    void storeDidFail(PSSpecifier* specifier, const FileWriteResult& written);
    QString saveFailureTitle(PSSpecifier* specifier) const;
    QString saveFailureReason(int errorCode) const;
    QString localized(const QString& text) const;

    PreferenceStore _store;
    // The entries the rows were last brought up to, with our own stores since: a notice whose
    // file holds the same has nothing to show.
    QVariantMap _shownEntries;
    QPointer<PaneToast> _toast;
};
