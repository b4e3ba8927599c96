#pragma once

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

    // Worker entries of a centre, as the main window lists them.
    QStringList trabajadoresDe(const QString& codcentro)
    {
        store::Statement st = m_db.prepare(QStringLiteral(
            "SELECT t.id, t.nomtrabajador FROM trabajadores t, ubicatrabajador u WHERE u.codcentro = ? AND "
            "t.id = u.idtrabajador ORDER BY t.nomtrabajador"));
        st.bind(1, codcentro);
        QStringList out;
        while (st.step())
            out << QString::number(st.integer(0)) + QStringLiteral(" - ") + st.text(1);
        return out;
    }

    // Centre entries of a company.
    QStringList centrosDe(qint64 idempresa)
    {
        store::Statement st =
            m_db.prepare(QStringLiteral("SELECT codcentro, nomcentro FROM centros WHERE idempresa = ? ORDER BY codcentro"));
        st.bind(1, idempresa);
        QStringList out;
        while (st.step())
            out << st.text(0) + QStringLiteral(" - ") + st.text(1);
        return out;
    }

    QStringList centros;
    QStringList mensajes;
    QList<int> centrosSeleccionados;
    QList<ModoSalida> impresiones;
    std::function<bool()> pararCuando;

private:
    store::Database& m_db;
};
