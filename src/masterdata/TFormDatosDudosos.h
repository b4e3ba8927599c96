#pragma once

#include <QDialog>

class QPlainTextEdit;
namespace store {
class Database;
}

// "Procesos › Datos dudosos": the list of identifiers to mend, read-only, to print or copy.
class TFormDatosDudosos : public QDialog
{
    Q_OBJECT

public:
    explicit TFormDatosDudosos(store::Database& db, QWidget* parent = nullptr);
    static QString textoSinDudas()
    {
        return QStringLiteral("No hay datos dudosos: todos los identificadores pasan su comprobación.");
    }

private:
    QPlainTextEdit* m_memo = nullptr;
};
