#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QStringList>
#include <QVariantList>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace store {
class Database;
}

// The rows of one query for a grid: the columns it shows (field and heading), every field of the result
// readable by name, and the statement kept so the rows can be read again as now stored. The rows are kept as
// the store gave them and turned into values only when read, so a long list costs little until it is shown.
class TablaConsulta : public QAbstractTableModel
{
    Q_OBJECT

public:
    struct Columna
    {
        QString campo;
        QString titulo; // the field name when empty
    };

    TablaConsulta(store::Database& db, std::vector<Columna> columnas, QObject* parent = nullptr);

    // Runs the statement with its parameters, bound by position; an error of the store leaves the grid empty.
    // With `ordenEspanol`, the rows are put in Spanish order of that field, then of "id", here rather than by
    // the statement (much faster for a long list).
    void abrir(const QString& sql, const QVariantList& parametros = {}, const QString& ordenEspanol = {});
    // The last statement again.
    void reabrir();
    void cerrar();
    bool abierta() const { return m_abierta; }
    store::Database& baseDatos() const { return m_db; }

    QVariant valor(int fila, const QString& campo) const;
    qint64 id(int fila) const { return valor(fila, QStringLiteral("id")).toLongLong(); }
    // The first row whose field holds the value, or -1.
    int buscar(const QString& campo, const QVariant& valor) const;
    int columnaDe(const QString& campo) const;

    // Fills a column the statement does not give, for each row when that column is first read after the rows
    // were (a grid reads the rows it shows). A failure leaves the cell empty.
    std::function<QVariant(const TablaConsulta&, int fila)> calcular;
    QString campoCalculado;
    // Makes one column editable in place; `grabar` stores the new value of that row, false when it could not
    // (the row then keeps its old value).
    void hacerEditable(const QString& campo, std::function<bool(int fila, const QVariant& valor)> grabar);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

private:
    // Drops the rows and what was computed or changed in them.
    void vaciar();
    // Puts the rows in Spanish order of m_ordenEspanol, then of id; empty (NULL) ones first.
    void ordenar(int campo, int id);
    // The value of one cell the statement gave, read from the stored row.
    QVariant celda(int fila, int columna) const;
    // The same cell as stored: its type byte and what follows it.
    std::string_view bytesDe(int fila, int columna) const;

    store::Database& m_db;
    std::vector<Columna> m_columnas;
    QString m_sql;
    QVariantList m_parametros;
    QString m_ordenEspanol;
    bool m_abierta = false;
    QHash<QString, int> m_campos; // lower-case field name -> position in a row
    int m_columnasSql = 0;        // the fields the statement gives; the computed one, if any, comes after
    // Every row as read: for each cell a type byte, then 8 bytes of number or a length and the bytes.
    std::string m_datos;
    std::vector<std::size_t> m_inicio; // where each row starts in m_datos, in the grid's order
    mutable std::vector<QVariant> m_calculados;
    mutable std::vector<char> m_calculado;
    // Each row's place in the last full Spanish ordering, by id, with the cell it was placed by.
    struct Puesto
    {
        std::string crudo;
        int puesto;
    };
    std::unordered_map<qint64, Puesto> m_puestos;
    std::map<std::pair<int, int>, QVariant> m_cambios; // cells changed in place (row, field position)
    QString m_editable;
    std::function<bool(int, const QVariant&)> m_grabar;
};
