#pragma once
// The order of a sortable evaluation table when a column title is clicked: numbers and
// dates by value, ratings by rank ("sehr schlecht" lowest to "überragend" highest), names by
// last name, then first name, in German collation (Ö with O, not after Z); cells without a
// value last in either direction.
#include <QCollator>
#include <QSortFilterProxyModel>

namespace ui {

class RankingSortModel : public QSortFilterProxyModel {
    Q_OBJECT
public:
    // The role that holds a cell's key: a number, or a list of texts compared one by one;
    // no key (an invalid QVariant): no value.
    static constexpr int KeyRole = Qt::UserRole + 10;

    explicit RankingSortModel(QObject* parent = nullptr);

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    QCollator m_collator;
};

} // namespace ui
