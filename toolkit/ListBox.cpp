#include "toolkit/ListBox.h"

#include <QResizeEvent>
#include <QStyledItemDelegate>

#include <algorithm>

namespace {

constexpr int DataRole = Qt::UserRole;

// Every item as high as the list says, whatever its font and decorations ask for.
class TItemHeightDelegate : public QStyledItemDelegate {
public:
    explicit TItemHeightDelegate(TListBox* List) : QStyledItemDelegate(List), FList(List) {}
    QSize sizeHint(const QStyleOptionViewItem& Option, const QModelIndex& Index) const override {
        QSize Size = QStyledItemDelegate::sizeHint(Option, Index);
        Size.setHeight(FList->ItemHeight());
        return Size;
    }

private:
    TListBox* FList;
};

} // namespace

TListBox::TListBox(QWidget* Owner) : QListWidget(Owner) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    setItemDelegate(new TItemHeightDelegate(this));
}

QStringList TListBox::Items() const {
    QStringList Texts;
    for (int I = 0; I < count(); ++I)
        Texts << item(I)->text();
    return Texts;
}

void TListBox::SetItems(const QStringList& Texts) {
    clear();
    for (const QString& Text : Texts)
        AddItem(Text);
}

int TListBox::AddItem(const QString& Text, uint32_t Data) {
    auto* Item = new QListWidgetItem(Text, this);
    Item->setData(DataRole, QVariant::fromValue(Data));
    return count() - 1;
}

uint32_t TListBox::ItemData(int Index) const {
    const QListWidgetItem* Item = item(Index);
    return Item ? Item->data(DataRole).value<uint32_t>() : 0;
}

int TListBox::ItemIndex() const {
    const QList<QListWidgetItem*> Selected = selectedItems();
    return Selected.isEmpty() ? -1 : row(Selected.first());
}

void TListBox::SetItemIndex(int Index) {
    if (Index < 0 || Index >= count()) {
        clearSelection();
        return;
    }
    setCurrentRow(Index, QItemSelectionModel::ClearAndSelect);
}

void TListBox::SetItemHeight(int Value) {
    FItemHeight = std::max(Value, 1);
    ArrangeColumns();
    doItemsLayout();
}

void TListBox::SetColumns(int Value) {
    FColumns = std::max(Value, 0);
    setFlow(QListView::TopToBottom);
    setWrapping(FColumns > 0);
    ArrangeColumns();
}

void TListBox::resizeEvent(QResizeEvent* Event) {
    QListWidget::resizeEvent(Event);
    ArrangeColumns();
}

void TListBox::rowsInserted(const QModelIndex& Parent, int Start, int End) {
    QListWidget::rowsInserted(Parent, Start, End);
    ArrangeColumns();
}

void TListBox::rowsAboutToBeRemoved(const QModelIndex& Parent, int Start, int End) {
    QListWidget::rowsAboutToBeRemoved(Parent, Start, End);
    ArrangeColumns(count() - (End - Start + 1));
}

void TListBox::ArrangeColumns() {
    ArrangeColumns(count());
}

// The scroll bar appears only when the items need more columns than are shown, so that the
// full height holds items otherwise (the view keeps room for a scroll bar that may appear).
void TListBox::ArrangeColumns(int ItemCount) {
    if (FColumns == 0) {
        setGridSize(QSize());
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        return;
    }
    setGridSize(QSize(std::max(viewport()->width() / FColumns, 1), FItemHeight));
    const int Rows = std::max(maximumViewportSize().height() / FItemHeight, 1);
    const bool Fits = (ItemCount + Rows - 1) / Rows <= FColumns;
    setHorizontalScrollBarPolicy(Fits ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
}
