#pragma once

#include "base/TextHelpers.h"
#include "sheets/ListasSeleccion.h"
#include "sheets/SalidaHojas.h"
#include "sheets/TFormImpHojaDef.h"
#include "store/Database.h"

#include <functional>

// A run's caller without windows: records messages and prints, answers the centre reloads from the database.
class InteraccionPruebas : public InteraccionSalida
{
public:
    explicit InteraccionPruebas(store::Database& db) : m_db(db) {}

    void mensaje(const QString& texto) override { mensajes << texto; }
    bool interrumpir() override { return pararCuando && pararCuando(); }
    void centroEnCurso(qint64, const QString& codcentro) override
    {
        centrosEnCurso << codcentro;
        if (alCentro)
            alCentro(codcentro);
    }
    reports::PrintResult imprimir(TFormImpHojaDef& hoja, ModoSalida modo) override
    {
        impresiones << modo;
        if (modo == ModoSalida::Impresora && impresoraReal)
            return reports::printReport(hoja.QRImpHojaDef());
        return {};
    }

    QStringList trabajadoresDe(const QString& codcentro) { return entradasTrabajadores(m_db, codcentro); }
    QStringList centrosDe(qint64 idempresa) { return entradasCentros(m_db, idempresa); }

    QStringList centros;
    QStringList mensajes;
    QStringList centrosEnCurso;
    QList<ModoSalida> impresiones;
    std::function<bool()> pararCuando;
    // Runs when an all-centres run reaches a centre, before it reads it.
    std::function<void(const QString& codcentro)> alCentro;
    // Printer mode goes to the system's print service (the tests' own scheduler).
    bool impresoraReal = false;

private:
    store::Database& m_db;
};
