#pragma once
// TCheckListBox: a TListBox whose items carry check boxes; a click on the box or Space on the
// current item toggles it.

#include "toolkit/ListBox.h"

class TCheckListBox : public TListBox {
    Q_OBJECT
public:
    explicit TCheckListBox(QWidget* Owner = nullptr);

    bool Checked(int Index) const; // false outside the items
    void SetChecked(int Index, bool Value);

protected:
    void rowsInserted(const QModelIndex& Parent, int Start, int End) override;
};
