#pragma once

#include <QDialog>

class QLabel;

// The about box: product, version, date and the maker's contact; a click outside the panel closes it.
class TFormAcercade : public QDialog
{
    Q_OBJECT

public:
    explicit TFormAcercade(QWidget* parent = nullptr);

    // The main window's Version and FechaVersion.
    void ponerVersion(const QString& version, const QString& fecha);
    // The database file this copy opened, which may not be the one beside the program.
    void ponerBaseDatos(const QString& ruta);

    static QString correoContacto();
    static QString paginaWeb();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void abrirEnlace(const QString& enlace);

    QWidget* m_panel = nullptr;
    QLabel* m_version = nullptr;
    QLabel* m_fecha = nullptr;
    QLabel* m_baseDatos = nullptr;
};
