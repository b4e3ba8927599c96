#include "base/ManejadorErrores.h"

#include "base/Interaccion.h"
#include "store/ErrorQuorvel.h"

namespace errores {

QString textoDe(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const ErrorQuorvel& e) {
        return e.message();
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("Error inesperado");
    }
}

void mostrar(QWidget* padre, std::exception_ptr error)
{
    Interaccion::actual().error(padre, textoDe(error));
}

} // namespace errores
