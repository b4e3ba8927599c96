#include "shell/Arranque.h"

#include "data/TMD.h"
#include "sheets/TFormPral.h"
#include "shell/Interaccion.h"
#include "store/StoreError.h"

std::unique_ptr<TFormPral> crearVentanaPrincipal(TMD& md)
{
    try {
        return std::make_unique<TFormPral>(md);
    } catch (const store::StoreError& e) {
        Interaccion::actual().error(
            nullptr, QStringLiteral("No se puede abrir la base de datos %1:\n%2").arg(md.rutaBaseDatos(), e.message()));
    }
    return nullptr;
}
