#pragma once

#include <QString>

class QAbstractItemModel;
class QTableView;
class QWidget;

// A read-only grid of whole rows, one chosen at a time, as every list of records in the program is.
QTableView* crearRejilla(const QString& nombre, QAbstractItemModel* modelo, QWidget* padre);

// Puts a window in the middle of its screen, as it should appear when first shown.
void centrarEnPantalla(QWidget* ventana);
