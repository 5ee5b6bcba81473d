#pragma once
// TRadioGroup: a captioned group of radio buttons, one per item, laid out in Columns columns
// filled top to bottom. ItemIndex is the checked item (-1: none); OnClick fires whenever it
// changes, by the mouse, the keyboard or SetItemIndex. The group is one tab stop; the arrow
// keys move between its items.

#include "toolkit/Events.h"

#include <QGroupBox>
#include <QStringList>

#include <vector>

class QButtonGroup;
class QRadioButton;

class TRadioGroup : public QGroupBox {
    Q_OBJECT
    Q_PROPERTY(QStringList Items READ Items WRITE SetItems)
    Q_PROPERTY(int Columns READ Columns WRITE SetColumns)
    Q_PROPERTY(int ItemIndex READ ItemIndex WRITE SetItemIndex)

public:
    explicit TRadioGroup(QWidget* Owner = nullptr);

    QStringList Items() const { return FItems; }
    void SetItems(const QStringList& Items); // unchecks every item
    int Columns() const { return FColumns; }
    void SetColumns(int Value);
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value); // outside the items: none

    QRadioButton* Button(int Index) const; // nullptr outside the items

    TNotifyEvent OnClick;

protected:
    void resizeEvent(QResizeEvent* Event) override;
    void changeEvent(QEvent* Event) override;

private:
    void Checked(int Index);
    void ArrangeButtons();

    QStringList FItems;
    std::vector<QRadioButton*> FButtons;
    QButtonGroup* FGroup;
    int FColumns = 1;
    int FItemIndex = -1;
};
