#pragma once

#include "widgets/xQueryModel.h"

#include <QList>

namespace korvex::test {

// Every row of a keyed list's model by its "id": those before the rows held
// first, then those after. targetRow receives the row that holds key.
inline QList<int> wholeList(korvex::widgets::TxQueryModel &model, int *targetRow = nullptr, int key = 0)
{
    while (model.canFetchBefore())
        model.fetchBefore();
    while (model.canFetchMore())
        model.fetchMore();
    QList<int> keys;
    for (int row = 0; row < model.rowCount(); ++row) {
        keys << model.value(row, QStringLiteral("id")).toInt();
        if (targetRow && keys.last() == key)
            *targetRow = row;
    }
    return keys;
}

} // namespace korvex::test
