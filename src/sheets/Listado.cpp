#include "sheets/Listado.h"

#include "base/TextHelpers.h"
#include "data/FilaCentro.h"
#include "data/Schema.h"
#include "sheets/ListasSeleccion.h"
#include "store/Database.h"

#include <optional>

QString codigoMes(QDate dia)
{
    return dia.toString(QStringLiteral("yyyyMM"));
}

namespace {

// Each run fills and reads the connection's own Listado: another copy's run at the same moment has its own.
void usarListadoPropio(store::Database& db)
{
    schema::usarTablaPropia(db, QStringLiteral("Listado"));
}

const QString kInsertar = QStringLiteral(
    "INSERT INTO Listado (idempresa, idcentro, idcalendario, e_nombre, e_nif, e_ccc, e_nomcentro, t_nombre, "
    "t_nif, t_nss, t_tipojornada, t_contrato, mes) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");

void insertar(store::Statement& st, const FilaListado& f)
{
    st.bindAll(f.idempresa, f.idcentro, f.idcalendario, f.e_nombre, f.e_nif, f.e_ccc, f.e_nomcentro, f.t_nombre,
               f.t_nif, f.t_nss, f.t_tipojornada, f.t_contrato, f.mes);
    st.run();
}

qint64 idTrabajador(const QString& entrada)
{
    const QString token = codigoEntrada(entrada);
    bool ok = false;
    const qint64 id = token.toLongLong(&ok);
    if (!ok)
        throw store::ConversionError(QStringLiteral("'%1' no es un valor entero válido").arg(token));
    return id;
}

// Rows are written in one transaction per build, committed before any message is shown, so that no dialog
// waits while holding the write lock that other copies need.
class Escritor
{
public:
    explicit Escritor(store::Database& db) : m_db(db), m_st((usarListadoPropio(db), db.prepare(kInsertar))) {}
    ~Escritor() { confirmar(); }
    void agregar(const FilaListado& f)
    {
        if (!m_tx)
            m_tx.emplace(m_db, store::Transaction::Alcance::SoloTemporales);
        insertar(m_st, f);
    }
    void confirmar()
    {
        if (m_tx) {
            try {
                m_tx->commit();
            } catch (const store::StoreError&) {
                // The destructor rolls back; rows of an interrupted build do not matter to the next run.
            }
            m_tx.reset();
        }
    }

private:
    store::Database& m_db;
    store::Statement m_st;
    std::optional<store::Transaction> m_tx;
};

} // namespace

void GrabarListado(store::Database& db, const QString& codcentro, const EntradaListado& entrada)
{
    store::Statement st =
        db.prepare(QStringLiteral("SELECT %1 FROM centros WHERE codcentro = ? ORDER BY id").arg(centros::kColumnas));
    st.bind(1, codcentro);
    if (!st.step()) {
        GrabarListado(db, nullptr, entrada);
        return;
    }
    centros::FilaCentro centro;
    centros::leerFila(st, centro);
    st.reset();
    GrabarListado(db, &centro, entrada);
}

void GrabarListado(store::Database& db, const centros::FilaCentro* centro, const EntradaListado& entrada)
{
    const auto interrumpido = [&] { return entrada.interrumpir && entrada.interrumpir(); };
    Escritor escritor(db);
    const auto avisar = [&](const QString& texto) {
        escritor.confirmar();
        if (entrada.mensaje)
            entrada.mensaje(texto);
    };

    // Months as dates: as text, the month after 999912 would sort before it and the build would never end.
    const QDate primerMes(entrada.mesInicio.year(), entrada.mesInicio.month(), 1);
    const QDate ultimoMes(entrada.mesFin.year(), entrada.mesFin.month(), 1);

    QList<int> posiciones;
    if (entrada.todosTrabajadores || entrada.todosCentros) {
        for (int i = 0; i < entrada.trabajadores.size(); ++i)
            posiciones << i;
    } else {
        posiciones << entrada.seleccionado;
    }

    FilaListado base;
    QString codcentro2;
    QString nomcentro;
    if (centro) {
        base.idcentro = centro->id;
        codcentro2 = centro->codcentro2;
        base.idcalendario = centro->calendario;
        // Every letter, accented ones and ñ too: "ALMACéN" on paper reads as a typing error.
        nomcentro = centro->nomcentro.toUpper();
        store::Statement empresa =
            db.prepare(QStringLiteral("SELECT nomempresa, cif, ccc, id FROM empresas WHERE id = ?"));
        empresa.bind(1, centro->idempresa.value_or(0));
        if (empresa.step()) {
            base.e_nombre = empresa.text(0);
            base.e_nif = empresa.text(1);
            base.e_ccc = empresa.text(2);
            base.idempresa = empresa.integer(3);
            empresa.reset();
        } else {
            avisar(QStringLiteral("error empresa no encontrada"));
        }
    } else {
        avisar(QStringLiteral("error: código de centro no encontrado"));
    }
    base.e_nomcentro = codcentro2 + QStringLiteral(" - ") + nomcentro;

    store::Statement trabajador = db.prepare(
        QStringLiteral("SELECT nomtrabajador, nif, nss, tipojornada, contrato FROM trabajadores WHERE id = ?"));
    for (const int posicion : posiciones) {
        if (interrumpido())
            break;
        const QString texto =
            entrada.trabajadores.isEmpty() ? entrada.textoTrabajador : entrada.trabajadores.value(posicion);
        const qint64 id = idTrabajador(texto);
        for (QDate mes = primerMes; mes <= ultimoMes && !interrumpido(); mes = mes.addMonths(1)) {
            FilaListado fila = base;
            trabajador.bind(1, id);
            if (trabajador.step()) {
                fila.t_nombre = trabajador.text(0);
                fila.t_nif = trabajador.text(1);
                fila.t_nss = trabajador.text(2);
                fila.t_tipojornada = trabajador.text(3);
                fila.t_contrato = trabajador.text(4);
                trabajador.reset();
            } else {
                avisar(QStringLiteral("error trabajador no encontrado en listado"));
            }
            fila.mes = codigoMes(mes);
            escritor.agregar(fila);
        }
    }
}

void VaciarListado(store::Database& db)
{
    usarListadoPropio(db);
    db.exec(QStringLiteral("DELETE FROM Listado"));
}

void grabarFilaListado(store::Database& db, const FilaListado& fila)
{
    usarListadoPropio(db);
    store::Statement st = db.prepare(kInsertar);
    insertar(st, fila);
}

std::vector<FilaListado> leerListado(store::Database& db)
{
    usarListadoPropio(db);
    store::Statement st = db.prepare(QStringLiteral(
        "SELECT idempresa, idcentro, idcalendario, e_nombre, e_nif, e_ccc, e_nomcentro, t_nombre, t_nif, t_nss, "
        "t_tipojornada, t_contrato, mes FROM Listado ORDER BY mes, rowid"));
    std::vector<FilaListado> filas;
    const auto entero = [&](int i) { return st.isNull(i) ? 0 : st.integer(i); };
    while (st.step()) {
        filas.push_back({entero(0), entero(1), entero(2), st.text(3), st.text(4), st.text(5), st.text(6), st.text(7),
                         st.text(8), st.text(9), st.text(10), st.text(11), st.text(12)});
    }
    return filas;
}
