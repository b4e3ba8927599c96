#pragma once

#include <QStringList>
#include <memory>

class TFormPral;
class TMD;

// Creates the main window on the data module; its creation is the first access to the database. When the
// file cannot be opened the user is told why and null comes back; the file is left as it was.
std::unique_ptr<TFormPral> crearVentanaPrincipal(TMD& md);

class QTextStream;

// Reads the window program's command line: "--base FICHERO" names the database file (left empty otherwise).
// Returns the exit status when the program must end at once (help shown: 0; wrong arguments: 2), or -1 to go on.
// A server connection could later be named here in place of a file.
int leerArgumentosVentana(const QStringList& argumentos, QString& base, QTextStream& salida, QTextStream& errores);
