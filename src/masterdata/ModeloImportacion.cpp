#include "masterdata/ModeloImportacion.h"

#include <QBrush>
#include <QColor>

namespace {

const QStringList kTitulos = {QStringLiteral("Fila"),   QStringLiteral("Estado"),     QStringLiteral("CIF"),
                              QStringLiteral("Centro"), QStringLiteral("Trabajador"), QStringLiteral("Detalle"),
                              QStringLiteral("Avisos")};

} // namespace

void ModeloImportacion::ponerVista(const importacion::Vista& vista)
{
    beginResetModel();
    m_vista = vista;
    endResetModel();
}

int ModeloImportacion::rowCount(const QModelIndex& padre) const
{
    return padre.isValid() ? 0 : int(m_vista.filas.size());
}

int ModeloImportacion::columnCount(const QModelIndex& padre) const
{
    return padre.isValid() ? 0 : int(kTitulos.size());
}

QVariant ModeloImportacion::data(const QModelIndex& indice, int rol) const
{
    if (!indice.isValid() || indice.row() >= rowCount())
        return {};
    const importacion::FilaVista& f = m_vista.filas[size_t(indice.row())];
    if (rol == Qt::DisplayRole) {
        switch (indice.column()) {
        case 0:
            return f.fila;
        case 1:
            return importacion::textoEstado(f.estado) + (f.avisos.isEmpty() ? QString() : QStringLiteral(" con aviso"));
        case 2:
            return f.empresa;
        case 3:
            return f.centro;
        case 4:
            return f.trabajador;
        case 5:
            return f.detalle;
        case 6:
            return f.avisos.join(QStringLiteral("; "));
        }
    }
    // A refused row in red and a warned one in amber, so they are found at a glance in a long file.
    if (rol == Qt::ForegroundRole && f.estado == importacion::Estado::Rechazada)
        return QBrush(QColor(0xB0, 0x00, 0x00));
    if (rol == Qt::BackgroundRole && !f.avisos.isEmpty())
        return QBrush(QColor(0xFF, 0xF0, 0xC0));
    return {};
}

QVariant ModeloImportacion::headerData(int seccion, Qt::Orientation orientacion, int rol) const
{
    if (orientacion == Qt::Horizontal && rol == Qt::DisplayRole && seccion >= 0 && seccion < kTitulos.size())
        return kTitulos[seccion];
    return {};
}
