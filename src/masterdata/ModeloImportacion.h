#pragma once

#include "masterdata/Importacion.h"

#include <QAbstractTableModel>

// The import preview as a read-only grid: one line per row of the file.
class ModeloImportacion : public QAbstractTableModel
{
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    void ponerVista(const importacion::Vista& vista);
    const importacion::Vista& vista() const { return m_vista; }

    int rowCount(const QModelIndex& padre = {}) const override;
    int columnCount(const QModelIndex& padre = {}) const override;
    QVariant data(const QModelIndex& indice, int rol = Qt::DisplayRole) const override;
    QVariant headerData(int seccion, Qt::Orientation orientacion, int rol = Qt::DisplayRole) const override;

private:
    importacion::Vista m_vista;
};
