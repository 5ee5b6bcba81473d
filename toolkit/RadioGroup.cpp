#include "toolkit/RadioGroup.h"

#include <QButtonGroup>
#include <QEvent>
#include <QFontMetrics>
#include <QRadioButton>

#include <algorithm>

TRadioGroup::TRadioGroup(QWidget* Owner) : QGroupBox(Owner), FGroup(new QButtonGroup(this)) {
    connect(FGroup, &QButtonGroup::idToggled, this, [this](int Id, bool On) {
        if (On)
            Checked(Id);
    });
}

void TRadioGroup::SetItems(const QStringList& Items) {
    for (QRadioButton* Button : FButtons)
        delete Button;
    FButtons.clear();
    FItems = Items;
    FItemIndex = -1;
    for (int I = 0; I < FItems.size(); ++I) {
        auto* Button = new QRadioButton(FItems[I], this);
        FGroup->addButton(Button, I);
        FButtons.push_back(Button);
        Button->show();
    }
    ArrangeButtons();
}

void TRadioGroup::SetColumns(int Value) {
    FColumns = std::max(Value, 1);
    ArrangeButtons();
}

void TRadioGroup::SetItemIndex(int Value) {
    if (Value < 0 || Value >= static_cast<int>(FButtons.size())) {
        if (FItemIndex == -1)
            return;
        // An exclusive group cannot uncheck its last button by itself.
        FGroup->setExclusive(false);
        FButtons[static_cast<size_t>(FItemIndex)]->setChecked(false);
        FGroup->setExclusive(true);
        FItemIndex = -1;
        if (OnClick)
            OnClick(this);
        return;
    }
    FButtons[static_cast<size_t>(Value)]->setChecked(true);
}

QRadioButton* TRadioGroup::Button(int Index) const {
    if (Index < 0 || Index >= static_cast<int>(FButtons.size()))
        return nullptr;
    return FButtons[static_cast<size_t>(Index)];
}

void TRadioGroup::Checked(int Index) {
    if (Index == FItemIndex)
        return;
    FItemIndex = Index;
    if (OnClick)
        OnClick(this);
}

void TRadioGroup::resizeEvent(QResizeEvent* Event) {
    QGroupBox::resizeEvent(Event);
    ArrangeButtons();
}

void TRadioGroup::changeEvent(QEvent* Event) {
    QGroupBox::changeEvent(Event);
    if (Event->type() == QEvent::FontChange)
        ArrangeButtons();
}

// Columns of equal width from an 8-pixel indent; the rows share the height below the caption.
void TRadioGroup::ArrangeButtons() {
    if (FButtons.empty())
        return;
    const int Count = static_cast<int>(FButtons.size());
    const int PerColumn = (Count + FColumns - 1) / FColumns;
    const int TextHeight = QFontMetrics(font()).height();
    const int ButtonWidth = std::max((width() - 10) / FColumns, 1);
    const int Free = std::max(height() - TextHeight - 5, PerColumn);
    const int ButtonHeight = Free / PerColumn;
    const int TopMargin = TextHeight + 1 + (Free % PerColumn) / 2;
    for (int I = 0; I < Count; ++I)
        FButtons[static_cast<size_t>(I)]->setGeometry((I / PerColumn) * ButtonWidth + 8,
                                                      (I % PerColumn) * ButtonHeight + TopMargin,
                                                      ButtonWidth, ButtonHeight);
}
