#include "uikit/UISelectionFeedbackGenerator.h"

void UISelectionFeedbackGenerator::selectionChanged() {
    ++_selectionChanged;
    emit selectionChangedRequested();
}

void UISelectionFeedbackGenerator::prepare() {
    ++_prepared;
}
