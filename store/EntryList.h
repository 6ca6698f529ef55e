#pragma once
#include <QList>
#include <QString>

namespace store {

// One name of the entry list with the id of the row it came from.
struct EntryListItem {
    QString text;
    qint64 id = 0;
};

// The list control that FillListFromTable fills: the list keeps its entries in
// its own sorted order, and each entry carries an item datum (its row id, 64 bits wide).
class EntryList {
public:
    virtual ~EntryList() = default;

    virtual void clear() = 0;
    // Adds the entries, each at its own sorted position.
    virtual void addItems(const QList<EntryListItem>& items) = 0;
    virtual int count() const = 0;
    virtual QString itemText(int index) const = 0;
    virtual qint64 itemData(int index) const = 0;
    virtual void setCurrentIndex(int index) = 0;
};

} // namespace store
