#include "base/Ventanas.h"

#include <QHeaderView>
#include <QScreen>
#include <QTableView>

QTableView* crearRejilla(const QString& nombre, QAbstractItemModel* modelo, QWidget* padre)
{
    auto* rejilla = new QTableView(padre);
    rejilla->setObjectName(nombre);
    rejilla->setModel(modelo);
    rejilla->setEditTriggers(QAbstractItemView::NoEditTriggers);
    rejilla->setSelectionBehavior(QAbstractItemView::SelectRows);
    rejilla->setSelectionMode(QAbstractItemView::SingleSelection);
    rejilla->verticalHeader()->hide();
    rejilla->horizontalHeader()->setStretchLastSection(true);
    return rejilla;
}

void centrarEnPantalla(QWidget* ventana)
{
    if (const QScreen* pantalla = ventana->screen())
        ventana->move(pantalla->availableGeometry().center() - QPoint(ventana->width() / 2, ventana->height() / 2));
}
