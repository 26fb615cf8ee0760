#pragma once

#include "cells/UIInfoButton.h"
#include "preferences/PSSwitchTableCell.h"

#include <QColor>
#include <QPointer>

class NSBundle;
class UIViewController;

// The pane's switch row: the host's switch cell (switch, label and stored value unchanged),
// whose switches turn amber when on, and which gets an info button when its specifier carries
// "infoTitle" or "infoMessage". The button shows an alert explaining the setting, its message
// translated through the pane's strings tables.
class QEVSwitchCell : public PSSwitchTableCell {
    Q_OBJECT
public:
    QEVSwitchCell(int style, const QString& reuseIdentifier, PSSpecifier* specifier,
                  QWidget* parent = nullptr);

    void layoutSubviews() override;
    void infoButtonTapped();

    UIInfoButton* infoButton() const { return _infoButton; }
    NSBundle* bundle() const { return _bundle; }

    static QColor onTintColor() { return QColor::fromRgbF(0.9176f, 0.7098f, 0.3137f, 1.0f); }
    static constexpr int kInfoTrailingInset = 4;
    static constexpr int kTitleToInfoSpacing = 8;

    // The alert's texts as the specifier gives them at the moment of a tap.
    static QString infoTitleFor(PSSpecifier* specifier);
    static QString infoMessageFor(PSSpecifier* specifier, NSBundle* bundle);

private:
    void makeInfoButton(PSSpecifier* specifier);
    void placeInfoButton();
    void tintSwitches();
    UIViewController* alertPresenter();

    QPointer<UIInfoButton> _infoButton;
    NSBundle* _bundle = nullptr; // bundles live for the whole process
};
