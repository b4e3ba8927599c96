#include "shell/Arranque.h"

#include "base/Interaccion.h"
#include "data/TMD.h"
#include "sheets/TFormPral.h"
#include "store/StoreError.h"

#include <QStringList>
#include <QTextStream>

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

int leerArgumentosVentana(const QStringList& argumentos, QString& base, QTextStream& salida, QTextStream& errores)
{
    static const QString uso = QStringLiteral("Uso: quorvel [--base FICHERO]\n");
    for (qsizetype i = 0; i < argumentos.size(); ++i) {
        const QString& arg = argumentos.at(i);
        if (arg == QStringLiteral("--help") || arg == QStringLiteral("-h") || arg == QStringLiteral("--ayuda")) {
            salida << uso
                   << QStringLiteral("\nAbre Quorvel con la base de datos FICHERO, que se crea si no existe. Sin "
                                     "--base usa Quorvel.abs junto al programa si en esa carpeta se puede "
                                     "escribir; si no, el de la carpeta de datos del usuario "
                                     "(~/.local/share/Quorvel).\n");
            salida.flush();
            return 0;
        }
        if (arg == QStringLiteral("--base") && i + 1 < argumentos.size() && !argumentos.at(i + 1).isEmpty() &&
            base.isEmpty()) {
            base = argumentos.at(++i);
            continue;
        }
        if (arg == QStringLiteral("--base"))
            errores << (base.isEmpty() ? QStringLiteral("Falta el fichero de --base.\n")
                                       : QStringLiteral("La opción --base aparece dos veces.\n"));
        else
            errores << QStringLiteral("Opción desconocida: «%1».\n").arg(arg);
        errores << uso;
        errores.flush();
        return 2;
    }
    return -1;
}
