#include "ui/RowsWatch.h"

#include <QAbstractItemModel>

RowsWatch::RowsWatch(const QAbstractItemModel &model)
{
    const auto note = [this] { m_replaced = true; };
    QObject::connect(&model, &QAbstractItemModel::modelAboutToBeReset, &m_context, note);
    QObject::connect(&model, &QAbstractItemModel::rowsAboutToBeInserted, &m_context, note);
    QObject::connect(&model, &QAbstractItemModel::rowsAboutToBeRemoved, &m_context, note);
    QObject::connect(&model, &QAbstractItemModel::rowsAboutToBeMoved, &m_context, note);
}
