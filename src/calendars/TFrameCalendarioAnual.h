#pragma once

#include <QDate>
#include <QFrame>
#include <array>

class QLabel;
class QSpinBox;
class TColorCalendar;
namespace store {
class Database;
}

// One year of one calendar as twelve month grids: pick a day type in the legend, double-click a day (or
// press Enter on it) to mark it, unmark it or change its type. Every change is stored at once.
// This kind edits the base calendar; TFrameCalendarioAnual2 edits a numbered one.
class TFrameCalendarioAnual : public QFrame
{
    Q_OBJECT

public:
    explicit TFrameCalendarioAnual(store::Database& db, QWidget* parent = nullptr);
    ~TFrameCalendarioAnual() override;

    // The host opens the table before drawing and closes it when it goes; while closed nothing is drawn
    // or stored.
    void AbrirTabla() { m_abierta = true; }
    void CerrarTabla() { m_abierta = false; }
    bool tablaAbierta() const { return m_abierta; }

    // Moves every month to the year of `Any`, then draws the year.
    void AnyChange();
    void dibujar_calendario();
    TColorCalendar* Mes(QDate dia) const;
    TColorCalendar* mes(int numero) const { return m_meses.at(std::size_t(numero - 1)); }
    static QColor Colorin(int codigo);
    // The double click on grid `g`, on its current day.
    void EneroDblClick(TColorCalendar* g);
    // Chooses the type of the legend panel with tag `codigo` and frames that panel alone.
    void PanelNacionalClick(int codigo);
    // Nacional again, every time the focus comes into the editor.
    void FrameEnter();

    // The calendar edited: 0 for the base calendar.
    virtual int numeroCalendario() const { return 0; }
    // The chosen day type, one value per kind of editor.
    virtual int& TipoSeleccionado();

    QSpinBox* Any = nullptr;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void moverCon(TColorCalendar* g, int dias);
    void colorear(TColorCalendar* g, QDate dia, const QColor& color);

    store::Database& m_db;
    bool m_abierta = false;
    bool m_dobleEnBlanco = false;
    std::array<TColorCalendar*, 12> m_meses{};
    std::array<QFrame*, 4> m_paneles{};
    std::array<QLabel*, 4> m_leyendas{};
};

// The same editor on calendar NumCalendario (rows of calendar2 with that num).
class TFrameCalendarioAnual2 : public TFrameCalendarioAnual
{
    Q_OBJECT

public:
    using TFrameCalendarioAnual::TFrameCalendarioAnual;
    int numeroCalendario() const override { return NumCalendario; }
    int& TipoSeleccionado() override;

    int NumCalendario = 0;
};
