#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QStringList>
#include <QVariantList>
#include <functional>
#include <vector>

namespace store {
class Database;
}

// The rows of one query for a grid: the columns it shows (field and heading), every field of the result
// readable by name, and the statement kept so the rows can be read again as now stored.
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

    // Fills a column the statement does not give, for each row as it is read.
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
    void ordenar();

    store::Database& m_db;
    std::vector<Columna> m_columnas;
    QString m_sql;
    QVariantList m_parametros;
    QString m_ordenEspanol;
    bool m_abierta = false;
    QHash<QString, int> m_campos; // lower-case field name -> position in a row
    std::vector<QVariantList> m_filas;
    QString m_editable;
    std::function<bool(int, const QVariant&)> m_grabar;
};
