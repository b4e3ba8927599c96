#include "shell/ManejadorErrores.h"

#include "reports/Report.h"
#include "shell/Interaccion.h"
#include "store/StoreError.h"

namespace errores {

QString textoDe(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const store::StoreError& e) {
        return e.message();
    } catch (const store::ConversionError& e) {
        return e.message();
    } catch (const reports::ReportError& e) {
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
