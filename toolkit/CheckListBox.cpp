#include "toolkit/CheckListBox.h"

TCheckListBox::TCheckListBox(QWidget* Owner) : TListBox(Owner) {}

bool TCheckListBox::Checked(int Index) const {
    const QListWidgetItem* Item = item(Index);
    return Item && Item->checkState() == Qt::Checked;
}

void TCheckListBox::SetChecked(int Index, bool Value) {
    if (QListWidgetItem* Item = item(Index))
        Item->setCheckState(Value ? Qt::Checked : Qt::Unchecked);
}

void TCheckListBox::rowsInserted(const QModelIndex& Parent, int Start, int End) {
    TListBox::rowsInserted(Parent, Start, End);
    for (int I = Start; I <= End; ++I) {
        QListWidgetItem* Item = item(I);
        Item->setFlags(Item->flags() | Qt::ItemIsUserCheckable);
        Item->setCheckState(Qt::Unchecked);
    }
}
