#include "masterdata/Importacion.h"

#include "masterdata/Identificadores.h"
#include "masterdata/Maestros.h"
#include "store/Database.h"

#include <QHash>
#include <QSet>
#include <algorithm>
#include <array>
#include <map>
#include <optional>

namespace importacion {

namespace {

struct Definicion
{
    const char* nombre;
    const char* rotulo; // how a message names it
    int ancho;          // the most characters the editors take; 0 when they fix none
    bool mayusculas;    // the editors turn its letters into capitals
};

// The widths are the editors' limits; a centre name is entered with 20 characters of the 25 the field has.
const std::array<Definicion, kNumColumnas> kDefiniciones = {{
    {"empresa_cif", "el CIF de la empresa", 20, true},
    {"empresa_nombre", "el nombre de la empresa", 0, true},
    {"empresa_ccc", "el CCC de la empresa", 30, true},
    {"centro_codigo", "el código del centro", 2, true},
    {"centro_nombre", "el nombre del centro", 20, true},
    {"centro_email", "el correo del centro", 80, false},
    {"centro_domicilio", "el domicilio del centro", 35, false},
    {"centro_poblacion", "la población del centro", 35, false},
    {"centro_cp", "el código postal", 5, false},
    {"centro_telefono", "el teléfono del centro", 20, false},
    {"trabajador_nif", "el NIF del trabajador", 20, true},
    {"trabajador_nombre", "el nombre del trabajador", 100, true},
    {"trabajador_nss", "el NSS del trabajador", 20, true},
    {"tipo_jornada", "el tipo de jornada", 2, true},
    {"contrato", "el contrato", 30, false},
    {"trabajador_telefono", "el teléfono del trabajador", 20, false},
    {"trabajador_email", "el correo del trabajador", 20, false},
    {"trabajador_alias", "el alias del trabajador", 30, true},
}};

QString rotulo(int c)
{
    return QString::fromUtf8(kDefiniciones[c].rotulo);
}

QString capitalizar(QString texto)
{
    if (!texto.isEmpty())
        texto[0] = texto[0].toUpper();
    return texto;
}

bool esDeEmpresa(int c)
{
    return c <= EmpresaCcc;
}
bool esDeCentro(int c)
{
    return c >= CentroCodigo && c <= CentroTelefono;
}
bool esDeTrabajador(int c)
{
    return c >= TrabajadorNif;
}

using Valores = std::array<QString, kNumColumnas>;

struct Fila
{
    int numero = 0;
    Valores v;
    QStringList motivos; // empty while the row is accepted
    QStringList avisos;
    QString claveEmpresa, claveCentro, claveTrabajador;
    bool tieneEmpresa = false, tieneCentro = false, tieneTrabajador = false;
};

struct OpEmpresa
{
    std::optional<maestros::Empresa> antes;
    maestros::Empresa despues;
    int duena = -1;
};
struct OpCentro
{
    QString claveEmpresa;
    std::optional<maestros::Centro> antes;
    maestros::Centro despues;
    int duena = -1;
};
struct OpTrabajador
{
    std::optional<maestros::Trabajador> antes;
    maestros::Trabajador despues;
    int duena = -1;
};
struct OpAsignacion
{
    QString claveTrabajador, claveCentro;
    bool nueva = false;
    int duena = -1;
};

// What is stored, read once, so that a file of thousands of rows costs a few queries.
struct Existentes
{
    QHash<QString, QList<qint64>> empresas;     // compacted CIF -> ids
    QHash<QString, QList<qint64>> centros;      // "id|code" -> ids
    QHash<QString, QList<qint64>> trabajadores; // compacted NIF -> ids
    QSet<QString> asignaciones;                 // "worker id|codcentro"
};

Existentes leerExistentes(store::Database& db)
{
    Existentes e;
    store::Statement emp = db.prepare(QStringLiteral("SELECT id, cif FROM empresas ORDER BY id"));
    while (emp.step())
        if (!emp.isNull(1))
            e.empresas[identificadores::compactar(emp.text(1))] << emp.integer(0);
    store::Statement cen = db.prepare(
        QStringLiteral("SELECT id, idempresa, codcentro2 FROM centros WHERE idempresa IS NOT NULL ORDER BY id"));
    while (cen.step())
        e.centros[QString::number(cen.integer(1)) + u'|' + maestros::mayusculas(cen.text(2).trimmed())]
            << cen.integer(0);
    store::Statement tra = db.prepare(QStringLiteral("SELECT id, nif FROM trabajadores ORDER BY id"));
    while (tra.step())
        if (!tra.isNull(1))
            e.trabajadores[identificadores::compactar(tra.text(1))] << tra.integer(0);
    store::Statement asi = db.prepare(QStringLiteral("SELECT idtrabajador, codcentro FROM ubicatrabajador"));
    while (asi.step())
        e.asignaciones.insert(asi.text(0) + u'|' + asi.text(1));
    return e;
}

QString plegar(const QString& texto)
{
    const QString d = texto.normalized(QString::NormalizationForm_D);
    QString out;
    for (QChar c : d)
        if (c.category() != QChar::Mark_NonSpacing)
            out += c;
    return out;
}

// "C" or "P" from what a payroll program writes: the letter, "Completa", "Tiempo parcial"…; empty when neither.
QString tipoJornada(const QString& valor)
{
    QString letras;
    for (QChar c : plegar(valor).toUpper())
        if (c.isLetter())
            letras += c;
    if (letras == QStringLiteral("C") || letras.contains(QStringLiteral("COMPLET")))
        return QStringLiteral("C");
    if (letras == QStringLiteral("P") || letras.contains(QStringLiteral("PARCIAL")))
        return QStringLiteral("P");
    return {};
}

bool codigoValido(const QString& codigo)
{
    if (codigo.isEmpty() || codigo.size() > 2)
        return false;
    for (QChar c : codigo)
        if (!((c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')))
            return false;
    return true;
}

// Checks one row on its own and fills its keys; the rules that need other rows come later.
void revisarFila(Fila& f)
{
    for (int c = 0; c < kNumColumnas; ++c) {
        QString& v = f.v[c];
        v = v.trimmed();
        if (kDefiniciones[c].mayusculas)
            v = maestros::mayusculas(v);
        if (v.isEmpty())
            continue;
        f.tieneEmpresa = f.tieneEmpresa || esDeEmpresa(c);
        f.tieneCentro = f.tieneCentro || esDeCentro(c);
        f.tieneTrabajador = f.tieneTrabajador || esDeTrabajador(c);
    }
    // New identifiers are stored in the compact form they are compared in.
    f.v[EmpresaCif] = identificadores::compactar(f.v[EmpresaCif]);
    f.v[TrabajadorNif] = identificadores::compactar(f.v[TrabajadorNif]);
    // A spreadsheet drops the leading zero of a postal code such as 08001.
    QString& cp = f.v[CentroCp];
    if (const QString noNumero = maestros::textoCpNoNumero(cp); !noNumero.isEmpty())
        f.motivos << noNumero;
    else if (cp.size() == 4)
        cp.prepend(u'0');
    if (!f.v[TipoJornada].isEmpty()) {
        const QString tipo = tipoJornada(f.v[TipoJornada]);
        if (tipo.isEmpty())
            f.motivos << QStringLiteral("El tipo de jornada «%1» debe ser C (tiempo completo) o P (tiempo parcial)")
                             .arg(f.v[TipoJornada]);
        f.v[TipoJornada] = tipo;
    }
    for (int c = 0; c < kNumColumnas; ++c) {
        const int ancho = kDefiniciones[c].ancho;
        if (ancho > 0 && f.v[c].size() > ancho && c != TipoJornada)
            f.motivos << QStringLiteral("%1 tiene %2 caracteres y caben %3: «%4»")
                             .arg(capitalizar(rotulo(c)), QString::number(f.v[c].size()), QString::number(ancho),
                                  f.v[c]);
    }
    if ((f.tieneEmpresa || f.tieneCentro) && f.v[EmpresaCif].isEmpty())
        f.motivos << QStringLiteral("Falta el CIF de la empresa");
    if (f.tieneCentro && f.v[CentroCodigo].isEmpty())
        f.motivos << QStringLiteral("Falta el código del centro");
    else if (f.tieneCentro && !codigoValido(f.v[CentroCodigo]))
        f.motivos
            << QStringLiteral("El código del centro «%1» debe ser de una o dos letras o cifras").arg(f.v[CentroCodigo]);
    if (f.tieneTrabajador && f.v[TrabajadorNif].isEmpty())
        f.motivos << QStringLiteral("Falta el NIF del trabajador");
    for (const QString& aviso :
         {identificadores::avisoCif(f.v[EmpresaCif]), identificadores::avisoCcc(f.v[EmpresaCcc]),
          identificadores::avisoNif(f.v[TrabajadorNif]), identificadores::avisoNss(f.v[TrabajadorNss])})
        if (!aviso.isEmpty())
            f.avisos << aviso;
    if (f.tieneEmpresa || f.tieneCentro)
        f.claveEmpresa = f.v[EmpresaCif];
    if (f.tieneCentro)
        f.claveCentro = f.claveEmpresa + u'|' + f.v[CentroCodigo];
    if (f.tieneTrabajador)
        f.claveTrabajador = f.v[TrabajadorNif];
}

QString listaFilas(const QList<int>& filas)
{
    QStringList t;
    for (int n : filas)
        t << QString::number(n);
    return t.join(QStringLiteral(", "));
}

// One key given two different names in the file: which is right cannot be told, so every row of it is refused.
void refusarNombresDistintos(std::vector<Fila>& filas, QString Fila::*clave, int columnaClave, int columna,
                             const QString& que)
{
    struct Grupo
    {
        QString nombre;
        QList<int> indices;
        bool distinto = false;
    };
    std::map<QString, Grupo> grupos;
    for (int i = 0; i < int(filas.size()); ++i) {
        const Fila& f = filas[i];
        if ((f.*clave).isEmpty() || f.v[columna].isEmpty())
            continue;
        Grupo& g = grupos[f.*clave];
        if (g.indices.isEmpty())
            g.nombre = f.v[columna];
        else if (g.nombre != f.v[columna])
            g.distinto = true;
        g.indices << i;
    }
    for (const auto& [k, g] : grupos) {
        if (!g.distinto)
            continue;
        QList<int> numeros;
        for (int i : g.indices)
            numeros << filas[i].numero;
        const QString valor = filas[g.indices.first()].v[columnaClave];
        for (int i : g.indices)
            filas[i].motivos
                << QStringLiteral("%1 %2 repetido con otro nombre (filas %3)").arg(que, valor, listaFilas(numeros));
    }
}

// The later non-empty value of the file wins over the stored one. A field the editors write in capitals keeps a
// value stored in small letters by older copies when it reads the same, so an export imported again changes nothing.
void poner(QString& campo, const QString& valor, bool mayusculas = false)
{
    if (!valor.isEmpty() && !(mayusculas && maestros::mayusculas(campo) == valor))
        campo = valor;
}

struct Plan
{
    std::vector<Fila> filas;
    std::map<QString, OpEmpresa> empresas;
    std::map<QString, OpCentro> centros;
    std::map<QString, OpTrabajador> trabajadores;
    std::map<std::pair<QString, QString>, OpAsignacion> asignaciones;
};

// Builds the operations of the accepted rows; returns the rows it refused for a rule of a whole record.
QList<int> construir(store::Database& db, const Existentes& ex, Plan& p)
{
    p.empresas.clear();
    p.centros.clear();
    p.trabajadores.clear();
    p.asignaciones.clear();
    QList<int> refusadas;
    auto refusar = [&](int i, const QString& motivo) {
        if (!p.filas[i].motivos.contains(motivo))
            p.filas[i].motivos << motivo;
        refusadas << i;
    };

    for (int i = 0; i < int(p.filas.size()); ++i) {
        Fila& f = p.filas[i];
        if (!f.motivos.isEmpty())
            continue;
        if (!f.claveEmpresa.isEmpty()) {
            const QList<qint64> ids = ex.empresas.value(f.claveEmpresa);
            if (ids.size() > 1) {
                refusar(i, QStringLiteral("Hay %1 empresas con el CIF %2").arg(ids.size()).arg(f.claveEmpresa));
                continue;
            }
            auto [it, nueva] = p.empresas.try_emplace(f.claveEmpresa);
            OpEmpresa& op = it->second;
            if (nueva) {
                op.duena = i;
                if (!ids.isEmpty())
                    op.antes = maestros::leerEmpresa(db, ids.first());
                op.despues = op.antes.value_or(maestros::Empresa{0, {}, f.v[EmpresaCif], {}});
            }
            poner(op.despues.nomempresa, f.v[EmpresaNombre], true);
            poner(op.despues.ccc, f.v[EmpresaCcc], true);
        }
        if (!f.claveCentro.isEmpty()) {
            const OpEmpresa& empresa = p.empresas.at(f.claveEmpresa);
            const QList<qint64> ids =
                empresa.antes ? ex.centros.value(QString::number(empresa.antes->id) + u'|' + f.v[CentroCodigo])
                              : QList<qint64>();
            if (ids.size() > 1) {
                refusar(i, QStringLiteral("La empresa tiene %1 centros con el código %2")
                               .arg(ids.size())
                               .arg(f.v[CentroCodigo]));
                continue;
            }
            auto [it, nuevo] = p.centros.try_emplace(f.claveCentro);
            OpCentro& op = it->second;
            if (nuevo) {
                op.duena = i;
                op.claveEmpresa = f.claveEmpresa;
                if (!ids.isEmpty())
                    op.antes = maestros::leerCentro(db, ids.first());
                if (op.antes) {
                    op.despues = *op.antes;
                } else {
                    op.despues = maestros::centroNuevo(std::nullopt);
                    op.despues.codcentro2 = f.v[CentroCodigo];
                }
            }
            maestros::Centro& c = op.despues;
            poner(c.nomcentro, f.v[CentroNombre], true);
            poner(c.email, f.v[CentroEmail]);
            poner(c.domicilio, f.v[CentroDomicilio]);
            poner(c.poblacion, f.v[CentroPoblacion]);
            poner(c.cp, f.v[CentroCp]);
            poner(c.telefono, f.v[CentroTelefono]);
        }
        if (!f.claveTrabajador.isEmpty()) {
            const QList<qint64> ids = ex.trabajadores.value(f.claveTrabajador);
            if (ids.size() > 1) {
                refusar(i, QStringLiteral("Hay %1 trabajadores con el NIF %2").arg(ids.size()).arg(f.claveTrabajador));
                continue;
            }
            auto [it, nuevo] = p.trabajadores.try_emplace(f.claveTrabajador);
            OpTrabajador& op = it->second;
            if (nuevo) {
                op.duena = i;
                if (!ids.isEmpty())
                    op.antes = maestros::leerTrabajador(db, ids.first());
                if (op.antes) {
                    op.despues = *op.antes;
                } else {
                    op.despues = maestros::Trabajador{};
                    op.despues.nif = f.v[TrabajadorNif];
                }
            }
            maestros::Trabajador& t = op.despues;
            // A NIF already stored under another name is more often a mistyped NIF than a new name: say so.
            if (op.antes && !f.v[TrabajadorNombre].isEmpty() && f.v[TrabajadorNombre] != op.antes->nomtrabajador)
                f.avisos << QStringLiteral("El NIF %1 es de «%2»: se le cambia el nombre a «%3»")
                                .arg(f.claveTrabajador, op.antes->nomtrabajador, f.v[TrabajadorNombre]);
            poner(t.nomtrabajador, f.v[TrabajadorNombre], true);
            poner(t.nss, f.v[TrabajadorNss], true);
            poner(t.tipojornada, f.v[TipoJornada]);
            poner(t.contrato, f.v[Contrato]);
            poner(t.telef, f.v[TrabajadorTelefono]);
            poner(t.email, f.v[TrabajadorEmail]);
            poner(t.alias, f.v[TrabajadorAlias], true);
            if (!f.claveCentro.isEmpty()) {
                auto [ita, nueva] = p.asignaciones.try_emplace({f.claveTrabajador, f.claveCentro});
                if (nueva) {
                    OpAsignacion& a = ita->second;
                    a.duena = i;
                    a.claveTrabajador = f.claveTrabajador;
                    a.claveCentro = f.claveCentro;
                    const OpCentro& centro = p.centros.at(f.claveCentro);
                    a.nueva = !op.antes || !centro.antes ||
                              !ex.asignaciones.contains(QString::number(op.antes->id) + u'|' + centro.antes->codcentro);
                }
            }
        }
    }

    // The editors' rules for a record as a whole: a new one needs its name.
    auto refusarClave = [&](QString Fila::*clave, const QString& valor, const QString& motivo) {
        for (int i = 0; i < int(p.filas.size()); ++i)
            if (p.filas[i].motivos.isEmpty() && p.filas[i].*clave == valor)
                refusar(i, motivo);
    };
    for (const auto& [k, op] : p.empresas)
        if (const QString vacio = maestros::campoVacio(op.despues); !vacio.isEmpty())
            refusarClave(&Fila::claveEmpresa, k, maestros::textoFalta(vacio));
    for (const auto& [k, op] : p.centros)
        if (op.despues.nomcentro.trimmed().isEmpty())
            refusarClave(&Fila::claveCentro, k, maestros::textoFalta(QStringLiteral("nomcentro")));
    for (const auto& [k, op] : p.trabajadores)
        if (const QString vacio = maestros::campoVacio(op.despues); !vacio.isEmpty())
            refusarClave(&Fila::claveTrabajador, k, maestros::textoFalta(vacio));
    return refusadas;
}

QStringList cambiosEmpresa(const OpEmpresa& op)
{
    QStringList c;
    if (op.antes->nomempresa != op.despues.nomempresa)
        c << QStringLiteral("nombre");
    if (op.antes->ccc != op.despues.ccc)
        c << QStringLiteral("CCC");
    return c;
}

QStringList cambiosCentro(const OpCentro& op)
{
    const maestros::Centro& a = *op.antes;
    const maestros::Centro& d = op.despues;
    QStringList c;
    if (a.nomcentro != d.nomcentro)
        c << QStringLiteral("nombre");
    if (a.email != d.email)
        c << QStringLiteral("correo");
    if (a.domicilio != d.domicilio)
        c << QStringLiteral("domicilio");
    if (a.poblacion != d.poblacion)
        c << QStringLiteral("población");
    if (a.cp != d.cp)
        c << QStringLiteral("código postal");
    if (a.telefono != d.telefono)
        c << QStringLiteral("teléfono");
    return c;
}

QStringList cambiosTrabajador(const OpTrabajador& op)
{
    const maestros::Trabajador& a = *op.antes;
    const maestros::Trabajador& d = op.despues;
    QStringList c;
    if (a.nomtrabajador != d.nomtrabajador)
        c << QStringLiteral("nombre");
    if (a.nss != d.nss)
        c << QStringLiteral("NSS");
    if (a.tipojornada != d.tipojornada)
        c << QStringLiteral("jornada");
    if (a.contrato != d.contrato)
        c << QStringLiteral("contrato");
    if (a.telef != d.telef)
        c << QStringLiteral("teléfono");
    if (a.email != d.email)
        c << QStringLiteral("correo");
    if (a.alias != d.alias)
        c << QStringLiteral("alias");
    return c;
}

// Everything the writing depends on, in one text: equal texts mean equal data and equal operations.
QString firmar(const Plan& p)
{
    QStringList partes;
    const QChar sep = u'\x1f';
    for (const Fila& f : p.filas)
        partes << QString::number(f.numero) + sep + f.motivos.join(sep);
    for (const auto& [k, op] : p.empresas) {
        const maestros::Empresa& a = op.antes.value_or(maestros::Empresa{});
        partes << k + sep + QString::number(a.id) + sep + a.nomempresa + sep + a.cif + sep + a.ccc + sep +
                      op.despues.nomempresa + sep + op.despues.ccc;
    }
    for (const auto& [k, op] : p.centros) {
        const maestros::Centro& a = op.antes.value_or(maestros::Centro{});
        const maestros::Centro& d = op.despues;
        partes << QStringList{k,
                              QString::number(a.id),
                              a.codcentro,
                              a.codcentro2,
                              a.nomcentro,
                              QString::number(a.idempresa.value_or(-1)),
                              a.email,
                              a.domicilio,
                              a.poblacion,
                              a.cp,
                              a.telefono,
                              a.calendario,
                              QString::number(a.sabados) + QString::number(a.domingos) + QString::number(a.festivos),
                              d.nomcentro,
                              d.email,
                              d.domicilio,
                              d.poblacion,
                              d.cp,
                              d.telefono}
                      .join(sep);
    }
    for (const auto& [k, op] : p.trabajadores) {
        const maestros::Trabajador& a = op.antes.value_or(maestros::Trabajador{});
        const maestros::Trabajador& d = op.despues;
        partes << QStringList{k,
                              QString::number(a.id),
                              a.nomtrabajador,
                              a.nif,
                              a.nss,
                              a.telef,
                              a.tipojornada,
                              a.email,
                              a.alias,
                              a.contrato,
                              a.falta,
                              a.fbaja,
                              a.observaciones,
                              d.nomtrabajador,
                              d.nss,
                              d.telef,
                              d.tipojornada,
                              d.email,
                              d.alias,
                              d.contrato}
                      .join(sep);
    }
    for (const auto& [k, a] : p.asignaciones)
        partes << k.first + sep + k.second + sep + QString::number(a.nueva);
    return partes.join(u'\x1e');
}

struct Lectura
{
    Vista vista;
    Plan plan;
};

Lectura planificar(store::Database& db, const QList<QStringList>& tabla, const QList<int>& numeros)
{
    Lectura l;
    Vista& v = l.vista;
    v.tabla = tabla;
    v.numeros = numeros;
    if (tabla.isEmpty()) {
        v.error = QStringLiteral("El fichero está vacío.");
        return l;
    }
    std::array<int, kNumColumnas> posicion;
    posicion.fill(-1);
    QHash<QString, int> porNombre;
    for (int c = 0; c < kNumColumnas; ++c)
        porNombre.insert(normalizarCabecera(QString::fromLatin1(kDefiniciones[c].nombre)), c);
    const QStringList& cabecera = tabla.first();
    for (int i = 0; i < cabecera.size(); ++i) {
        const auto it = porNombre.constFind(normalizarCabecera(cabecera[i]));
        if (it == porNombre.constEnd() || posicion[*it] >= 0) {
            if (!cabecera[i].trimmed().isEmpty())
                v.desconocidas << cabecera[i].trimmed();
        } else {
            posicion[*it] = i;
        }
    }
    if (std::all_of(posicion.begin(), posicion.end(), [](int p) { return p < 0; })) {
        v.error = QStringLiteral("La primera fila del fichero no nombra ninguna columna conocida (como "
                                 "empresa_cif, centro_codigo o trabajador_nif).");
        return l;
    }

    Plan& p = l.plan;
    for (int r = 1; r < tabla.size(); ++r) {
        Fila f;
        f.numero = r < numeros.size() ? numeros[r] : r + 1;
        for (int c = 0; c < kNumColumnas; ++c)
            if (posicion[c] >= 0 && posicion[c] < tabla[r].size())
                f.v[c] = tabla[r][posicion[c]];
        revisarFila(f);
        p.filas.push_back(std::move(f));
    }
    refusarNombresDistintos(p.filas, &Fila::claveEmpresa, EmpresaCif, EmpresaNombre, QStringLiteral("CIF"));
    refusarNombresDistintos(p.filas, &Fila::claveCentro, CentroCodigo, CentroNombre,
                            QStringLiteral("Código de centro"));
    refusarNombresDistintos(p.filas, &Fila::claveTrabajador, TrabajadorNif, TrabajadorNombre, QStringLiteral("NIF"));

    const Existentes ex = leerExistentes(db);
    // A record refused as a whole takes its rows out, which can leave another record without them: repeat.
    while (!construir(db, ex, p).isEmpty()) {
    }

    // Each operation is told on the first row that asks for it.
    std::vector<QStringList> partes(p.filas.size());
    std::vector<int> nuevas(p.filas.size(), 0), cambiadas(p.filas.size(), 0);
    Totales& t = v.totales;
    for (const auto& [k, op] : p.empresas) {
        if (!op.antes) {
            ++t.empresasNuevas;
            ++nuevas[op.duena];
            partes[op.duena] << QStringLiteral("empresa nueva");
        } else if (const QStringList c = cambiosEmpresa(op); !c.isEmpty()) {
            ++t.empresasModificadas;
            ++cambiadas[op.duena];
            partes[op.duena] << QStringLiteral("empresa: cambia ") + c.join(QStringLiteral(", "));
        }
    }
    for (const auto& [k, op] : p.centros) {
        if (!op.antes) {
            ++t.centrosNuevos;
            ++nuevas[op.duena];
            partes[op.duena] << QStringLiteral("centro nuevo");
        } else if (const QStringList c = cambiosCentro(op); !c.isEmpty()) {
            ++t.centrosModificados;
            ++cambiadas[op.duena];
            partes[op.duena] << QStringLiteral("centro: cambia ") + c.join(QStringLiteral(", "));
        }
    }
    for (const auto& [k, op] : p.trabajadores) {
        if (!op.antes) {
            ++t.trabajadoresNuevos;
            ++nuevas[op.duena];
            partes[op.duena] << QStringLiteral("trabajador nuevo");
        } else if (const QStringList c = cambiosTrabajador(op); !c.isEmpty()) {
            ++t.trabajadoresModificados;
            ++cambiadas[op.duena];
            partes[op.duena] << QStringLiteral("trabajador: cambia ") + c.join(QStringLiteral(", "));
        }
    }
    for (const auto& [k, a] : p.asignaciones) {
        if (a.nueva) {
            ++t.asignacionesNuevas;
            ++nuevas[a.duena];
            partes[a.duena] << QStringLiteral("asignado al centro ") + p.filas[a.duena].v[CentroCodigo];
        }
    }
    for (int i = 0; i < int(p.filas.size()); ++i) {
        const Fila& f = p.filas[i];
        FilaVista fv;
        fv.fila = f.numero;
        fv.empresa = f.v[EmpresaCif];
        fv.centro = f.v[CentroCodigo];
        fv.trabajador = f.v[TrabajadorNif];
        if (!f.v[TrabajadorNombre].isEmpty())
            fv.trabajador += (fv.trabajador.isEmpty() ? QString() : QStringLiteral(" ")) + f.v[TrabajadorNombre];
        fv.avisos = f.avisos;
        ++t.filas;
        if (!f.motivos.isEmpty()) {
            fv.estado = Estado::Rechazada;
            fv.detalle = f.motivos.join(QStringLiteral("; "));
            ++t.filasRechazadas;
        } else {
            fv.estado = nuevas[i] > 0 ? Estado::Alta : cambiadas[i] > 0 ? Estado::Modificacion : Estado::SinCambios;
            fv.detalle = partes[i].join(QStringLiteral("; "));
            if (fv.estado == Estado::SinCambios)
                ++t.filasSinCambios;
        }
        if (!f.avisos.isEmpty())
            ++t.filasConAviso;
        v.filas.push_back(fv);
    }
    v.firma = firmar(p);
    return l;
}

} // namespace

const QStringList& nombresColumnas()
{
    static const QStringList nombres = [] {
        QStringList n;
        for (const Definicion& d : kDefiniciones)
            n << QString::fromLatin1(d.nombre);
        return n;
    }();
    return nombres;
}

QString normalizarCabecera(const QString& cabecera)
{
    QString out;
    for (QChar c : plegar(cabecera).toLower())
        if (!c.isSpace() && c != u'_')
            out += c;
    return out;
}

QString textoEstado(Estado e)
{
    switch (e) {
    case Estado::Alta:
        return QStringLiteral("alta");
    case Estado::Modificacion:
        return QStringLiteral("modificación");
    case Estado::SinCambios:
        return QStringLiteral("sin cambios");
    case Estado::Rechazada:
        return QStringLiteral("rechazada");
    }
    return {};
}

bool Totales::sinCambios() const
{
    return empresasNuevas + empresasModificadas + centrosNuevos + centrosModificados + trabajadoresNuevos +
               trabajadoresModificados + asignacionesNuevas ==
           0;
}

Vista preparar(store::Database& db, const QByteArray& contenido)
{
    const csv::Tabla tabla = csv::leer(contenido);
    Vista v = planificar(db, tabla.filas, tabla.numeros).vista;
    v.codificacion = tabla.codificacion;
    v.separador = tabla.separador;
    return v;
}

QString textoDatosCambiados()
{
    return QStringLiteral("Otro usuario ha cambiado empresas, centros o trabajadores desde la vista previa. "
                          "No se ha importado nada: vuelva a abrir el fichero para ver los datos actuales.");
}

Totales aplicar(store::Database& db, const Vista& vista, bool parcial)
{
    if (!vista.error.isEmpty())
        throw maestros::Rechazo(vista.error);
    if (vista.totales.filasRechazadas > 0 && !parcial)
        throw maestros::Rechazo(QStringLiteral("%1 filas rechazadas: no se ha importado nada. Corrija el fichero o "
                                               "importe solo las filas aceptadas.")
                                    .arg(vista.totales.filasRechazadas));
    store::Transaction tx(db);
    // Read again under the write lock: what the clerk saw must still be what is stored.
    Lectura l = planificar(db, vista.tabla, vista.numeros);
    if (l.vista.firma != vista.firma)
        throw maestros::Rechazo(textoDatosCambiados());
    Plan& p = l.plan;
    QHash<QString, qint64> idEmpresa;
    for (auto& [k, op] : p.empresas) {
        if (!op.antes || !cambiosEmpresa(op).isEmpty())
            maestros::grabarEmpresa(db, op.despues);
        idEmpresa.insert(k, op.despues.id);
    }
    QHash<QString, QString> codigo;
    for (auto& [k, op] : p.centros) {
        maestros::Centro& c = op.despues;
        if (!op.antes) {
            c.idempresa = idEmpresa.value(op.claveEmpresa);
            c.codcentro = maestros::codigoCentro(QString::number(*c.idempresa), c.codcentro2);
        }
        if (!op.antes || !cambiosCentro(op).isEmpty())
            maestros::grabarCentro(db, c);
        codigo.insert(k, c.codcentro);
    }
    QHash<QString, qint64> idTrabajador;
    for (auto& [k, op] : p.trabajadores) {
        if (!op.antes || !cambiosTrabajador(op).isEmpty())
            maestros::grabarTrabajador(db, op.despues);
        idTrabajador.insert(k, op.despues.id);
    }
    for (const auto& [k, a] : p.asignaciones)
        if (a.nueva)
            maestros::asignar(db, idTrabajador.value(a.claveTrabajador), codigo.value(a.claveCentro));
    tx.commit();
    return l.vista.totales;
}

QString resumen(const Totales& t)
{
    if (t.sinCambios() && t.filasRechazadas == 0)
        return QStringLiteral("Sin cambios: la base de datos ya tiene todos los datos del fichero (%1 filas).")
            .arg(t.filas);
    if (t.sinCambios())
        return QStringLiteral("Sin cambios en las filas aceptadas. Filas: %1, rechazadas %2, con aviso %3.")
            .arg(t.filas)
            .arg(t.filasRechazadas)
            .arg(t.filasConAviso);
    return QStringLiteral("Empresas: %1 nuevas, %2 modificadas. Centros: %3 nuevos, %4 modificados. "
                          "Trabajadores: %5 nuevos, %6 modificados. Asignaciones nuevas: %7. "
                          "Filas: %8, rechazadas %9, con aviso %10, sin cambios %11.")
        .arg(t.empresasNuevas)
        .arg(t.empresasModificadas)
        .arg(t.centrosNuevos)
        .arg(t.centrosModificados)
        .arg(t.trabajadoresNuevos)
        .arg(t.trabajadoresModificados)
        .arg(t.asignacionesNuevas)
        .arg(t.filas)
        .arg(t.filasRechazadas)
        .arg(t.filasConAviso)
        .arg(t.filasSinCambios);
}

QStringList lineas(const Vista& vista)
{
    QStringList out;
    if (!vista.error.isEmpty())
        return {vista.error};
    out << QStringLiteral("Fichero: %1, separador %2.")
               .arg(csv::nombreCodificacion(vista.codificacion), csv::nombreSeparador(vista.separador));
    for (const QString& c : vista.desconocidas)
        out << QStringLiteral("Columna desconocida, no se importa: «%1».").arg(c);
    for (const FilaVista& f : vista.filas) {
        QString linea = QStringLiteral("Fila %1: %2").arg(f.fila).arg(textoEstado(f.estado));
        if (!f.avisos.isEmpty())
            linea += QStringLiteral(" con aviso");
        if (!f.detalle.isEmpty())
            linea += QStringLiteral(" — ") + f.detalle;
        if (!f.avisos.isEmpty())
            linea += QStringLiteral(" — aviso: ") + f.avisos.join(QStringLiteral("; "));
        out << linea;
    }
    out << resumen(vista.totales);
    return out;
}

QByteArray plantilla()
{
    return QByteArray("\xEF\xBB\xBF") + nombresColumnas().join(u';').toUtf8() + "\r\n";
}

} // namespace importacion
