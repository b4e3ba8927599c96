#pragma once

#include <memory>

class TFormPral;
class TMD;

// Creates the main window on the data module; its creation is the first access to the database. When the
// file cannot be opened the user is told why and null comes back; the file is left as it was.
std::unique_ptr<TFormPral> crearVentanaPrincipal(TMD& md);
