#include "ranking_sort.h"

namespace ui {

RankingSortModel::RankingSortModel(QObject* parent)
    : QSortFilterProxyModel(parent), m_collator(QLocale(QLocale::German, QLocale::Germany)) {
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
    m_collator.setNumericMode(true);
    setSortRole(KeyRole);
}

bool RankingSortModel::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    const QVariant a = left.data(KeyRole);
    const QVariant b = right.data(KeyRole);
    if (!a.isValid() || !b.isValid()) {
        // The view reverses the order for a descending sort: an empty cell stays last.
        if (a.isValid() == b.isValid())
            return false;
        const bool emptyLast = !b.isValid();
        return sortOrder() == Qt::AscendingOrder ? emptyLast : !emptyLast;
    }
    if (a.typeId() == QMetaType::QStringList) {
        const QStringList x = a.toStringList(), y = b.toStringList();
        for (qsizetype k = 0; k < std::min(x.size(), y.size()); ++k)
            if (const int order = m_collator.compare(x[k], y[k]); order != 0)
                return order < 0;
        return x.size() < y.size();
    }
    return a.toDouble() < b.toDouble();
}

} // namespace ui
