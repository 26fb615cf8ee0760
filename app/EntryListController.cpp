#include "EntryListController.h"

#include "EntryRow.h"
#include "EntrySection.h"

#include "uikit/UIColor.h"
#include "uikit/UIFont.h"

#include <QLabel>
#include <QLocale>
#include <QPixmap>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {
constexpr int kInset = 16;
} // namespace

EntryListController::EntryListController(QList<SettingsEntry> entries, QString emptyText,
                                         QObject* parent)
    : UIViewController(parent), _entries(std::move(entries)), _emptyText(std::move(emptyText)) {
    setTitle(speaksChinese() ? QStringLiteral("设置") : QStringLiteral("Settings"));
}

bool EntryListController::speaksChinese() {
    const QStringList languages = QLocale().uiLanguages();
    return !languages.isEmpty() && languages.first().startsWith(QLatin1String("zh"));
}

QWidget* EntryListController::makeSection(QWidget* parent) {
    auto* section = new EntrySection(parent);
    auto* layout = new QVBoxLayout(section);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (qsizetype i = 0; i < _entries.size(); ++i) {
        const SettingsEntry& entry = _entries.at(i);
        auto* row = new EntryRow(entry.name, QPixmap(entry.iconHostPath()),
                                 i + 1 == _entries.size(), section);
        connect(row, &EntryRow::clicked, this, [this, entry] { emit entryChosen(entry); });
        layout->addWidget(row);
    }
    return section;
}

void EntryListController::loadView() {
    auto* view = new QScrollArea;
    view->setFrameShape(QFrame::NoFrame);
    view->setWidgetResizable(true);
    auto* content = new QWidget;
    content->setAutoFillBackground(true);
    UIColor::setPaletteColor(content, QPalette::Window, UIColor::systemGroupedBackgroundColor());
    UIColor::setPaletteColor(view, QPalette::Window, UIColor::systemGroupedBackgroundColor());
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(kInset, 35, kInset, 35);
    if (_entries.isEmpty()) {
        auto* empty = new QLabel(_emptyText, content);
        empty->setWordWrap(true);
        empty->setFont(UIFont::systemFontOfSize(13));
        UIColor::setPaletteColor(empty, QPalette::WindowText, UIColor::secondaryLabelColor());
        empty->setAlignment(Qt::AlignCenter);
        layout->addWidget(empty);
    } else {
        layout->addWidget(makeSection(content));
    }
    layout->addStretch(1);
    view->setWidget(content);
    setView(view);
}
