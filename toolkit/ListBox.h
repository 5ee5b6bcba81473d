#pragma once
// TListBox: a single-selection list of texts, each item carrying a number as its data, every
// item ItemHeight pixels high; with Columns > 0 the items fill that many columns of equal width
// top to bottom and the list scrolls sideways. ItemIndex is the selected item (-1: none).

#include <QListWidget>
#include <QStringList>

#include <cstdint>

class TListBox : public QListWidget {
    Q_OBJECT
    Q_PROPERTY(QStringList Items READ Items WRITE SetItems)
    Q_PROPERTY(int ItemHeight READ ItemHeight WRITE SetItemHeight)
    Q_PROPERTY(int Columns READ Columns WRITE SetColumns)

public:
    explicit TListBox(QWidget* Owner = nullptr);

    QStringList Items() const;
    void SetItems(const QStringList& Texts);             // each with data 0
    int AddItem(const QString& Text, uint32_t Data = 0); // appends; returns the new index
    uint32_t ItemData(int Index) const;                  // 0 outside the items
    int Count() const { return count(); }
    void Clear() { clear(); } // drops the selection with the items

    int ItemIndex() const;
    void SetItemIndex(int Index); // outside the items: no selection

    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int Value);
    int Columns() const { return FColumns; }
    void SetColumns(int Value);

protected:
    void resizeEvent(QResizeEvent* Event) override;
    void rowsInserted(const QModelIndex& Parent, int Start, int End) override;
    void rowsAboutToBeRemoved(const QModelIndex& Parent, int Start, int End) override;

private:
    void ArrangeColumns();
    void ArrangeColumns(int ItemCount);

    int FItemHeight = 16;
    int FColumns = 0;
};
