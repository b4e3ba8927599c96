#pragma once

#include "mail/RegistroEnvios.h"

#include <QAbstractTableModel>

// The register of sent mail as a grid: one row per attempt, newest first.
class ModeloEnvios : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Columna { Fecha, Centro, Fichero, Destinatarios, Tamano, Resultado, MessageId, Columnas };

    explicit ModeloEnvios(QObject* parent = nullptr);
    void setEnvios(QList<Envio> envios);
    const QList<Envio>& envios() const { return m_envios; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QList<Envio> m_envios;
};
