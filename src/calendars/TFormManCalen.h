#pragma once

#include <QDate>
#include <QDialog>

class QPushButton;
class QScrollArea;
class TFrameCalendarioAnual;
namespace store {
class Database;
}

// The year view of one calendar, editable, with its print button. Set the public fields, then exec().
// TFormManCalen shows the base calendar, TFormManCalen2 the numbered calendar NumCalendario.
class TFormManCalen : public QDialog
{
    Q_OBJECT

public:
    explicit TFormManCalen(store::Database& db, QWidget* parent = nullptr);
    ~TFormManCalen() override;

    // Refuses to open, saying why, when the calendar is not there.
    int exec() override;

    TFrameCalendarioAnual* FrameCalendarioAnual1() const { return m_frame; }
    void BotImprimirClick();
    // The official holidays of the year shown, for a community; and holidays from a file.
    void BotFestivosOficialesClick();
    void BotImportarFestivosClick();

    // Text after "Calendario Laboral:  " in the caption.
    QString Titulo;
    // The view opens on this day's year.
    QDate Hoy = QDate::currentDate();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void done(int resultado) override;

    // The editor for the calendar to show, made at the first show.
    virtual TFrameCalendarioAnual* crearEditor();
    // Whether the calendar exists; says why not.
    virtual bool disponible() { return true; }
    void FormShow();
    void FormClose();

    store::Database& m_db;

private:
    TFrameCalendarioAnual* m_frame = nullptr;
    QScrollArea* m_desplazable = nullptr;
    QPushButton* m_botImprimir = nullptr;
    QPushButton* m_botOficiales = nullptr;
    QPushButton* m_botImportar = nullptr;
    QPushButton* m_botCerrar = nullptr;
    bool m_mostrada = false;
};

class TFormManCalen2 : public TFormManCalen
{
    Q_OBJECT

public:
    using TFormManCalen::TFormManCalen;

    // Decimal text; "0" shows the base calendar.
    QString NumCalendario;

protected:
    TFrameCalendarioAnual* crearEditor() override;
    bool disponible() override;

private:
    int numero() const;
};
