#pragma once

#include <QString>

// Files the program ships (the holiday table and the like): beside the executable for a copied, portable
// install, then the installed data folder; in the build tree, the source folder. Empty when none exists.
QString rutaDatos(const QString& nombre);
