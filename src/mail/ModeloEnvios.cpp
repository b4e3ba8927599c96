#include "mail/ModeloEnvios.h"

#include <QBrush>
#include <QColor>

ModeloEnvios::ModeloEnvios(QObject* parent) : QAbstractTableModel(parent) {}

void ModeloEnvios::setEnvios(QList<Envio> envios)
{
    beginResetModel();
    m_envios = std::move(envios);
    endResetModel();
}

int ModeloEnvios::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_envios.size());
}

int ModeloEnvios::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : Columnas;
}

QVariant ModeloEnvios::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_envios.size())
        return {};
    const Envio& e = m_envios.at(index.row());
    if (role == Qt::ForegroundRole && !e.aceptado)
        return QBrush(QColor(0xB0, 0x00, 0x00));
    if (role == Qt::TextAlignmentRole && index.column() == Tamano)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case Fecha:
        return e.fecha.toString(QStringLiteral("dd/MM/yyyy hh:mm:ss"));
    case Centro:
        return e.codcentro;
    case Fichero:
        return e.fichero;
    case Destinatarios:
        return e.destinatarios;
    case Tamano:
        return QStringLiteral("%1 KB").arg((e.tamano + 1023) / 1024);
    case Resultado:
        return e.resultado;
    case MessageId:
        return e.messageId;
    default:
        return {};
    }
}

QVariant ModeloEnvios::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case Fecha:
        return QStringLiteral("Fecha");
    case Centro:
        return QStringLiteral("Centro");
    case Fichero:
        return QStringLiteral("Fichero");
    case Destinatarios:
        return QStringLiteral("Destinatarios");
    case Tamano:
        return QStringLiteral("Tamaño");
    case Resultado:
        return QStringLiteral("Resultado");
    case MessageId:
        return QStringLiteral("Message-ID");
    default:
        return {};
    }
}
