#pragma once

#include "sheets/ListasSeleccion.h"
#include "sheets/SalidaHojas.h"
#include "shell/TextHelpers.h"
#include "store/Database.h"

#include <functional>

// A run's caller without windows: records messages and prints, answers the centre reloads from the database.
class InteraccionPruebas : public InteraccionSalida
{
public:
    explicit InteraccionPruebas(store::Database& db) : m_db(db) {}

    void mensaje(const QString& texto) override { mensajes << texto; }
    bool interrumpir() override { return pararCuando && pararCuando(); }
    QStringList seleccionarCentro(int posicion) override
    {
        centrosSeleccionados << posicion;
        return trabajadoresDe(ExtraerTokens(centros.value(posicion), QStringLiteral(" "), 1, 1));
    }
    bool imprimir(TFormImpHojaDef&, ModoSalida modo) override
    {
        impresiones << modo;
        return true;
    }

    QStringList trabajadoresDe(const QString& codcentro) { return entradasTrabajadores(m_db, codcentro); }
    QStringList centrosDe(qint64 idempresa) { return entradasCentros(m_db, idempresa); }

    QStringList centros;
    QStringList mensajes;
    QList<int> centrosSeleccionados;
    QList<ModoSalida> impresiones;
    std::function<bool()> pararCuando;

private:
    store::Database& m_db;
};
