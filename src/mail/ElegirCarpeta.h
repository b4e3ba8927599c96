#pragma once

#include <QString>

class QWidget;

// The system's folder dialog with the given title, no folder preselected. True and the chosen folder's full
// path on confirmation; false and an empty path on cancel.
bool ElegirCarpeta(QWidget* padre, const QString& titulo, QString& carpeta);
