#pragma once

#include "reports/PrintQueue.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>

namespace store {
class Database;
}
class TFormImpHojaDef;

enum class ModoSalida { Pdf, Impresora, Previsualizar };

// The window's shading and sheet options at the moment of the run.
struct OpcionesHoja
{
    bool sabados = false;     // CKSSabados
    bool domingos = false;    // CKSDomingos
    bool festivos = false;    // CKSFestivos
    bool autocentros = false; // CKSautocentros: each centre's own calendar and flags
    bool diaSemana = false;   // CKDiaSemana
    bool verHoras = true;     // MD.VerHoras
};

// What a run asks of whoever drives it: the main window, or the batch tool.
class InteraccionSalida
{
public:
    virtual ~InteraccionSalida() = default;
    virtual void mensaje(const QString& texto) = 0;
    // The stop request, polled before each centre, worker and month.
    virtual bool interrumpir() { return false; }
    // The centre an all-centres run is at, as the run read it; the window shows it selected. The run reads the
    // centre's workers itself, in the same read as the centre.
    virtual void centroEnCurso(qint64 idcentro, const QString& codcentro)
    {
        Q_UNUSED(idcentro);
        Q_UNUSED(codcentro);
    }
    // Printer or preview of a prepared report (PDF is written by the run itself); says what became of the
    // printer's job (a preview always counts as printed).
    virtual reports::PrintResult imprimir(TFormImpHojaDef& hoja, ModoSalida modo) = 0;
    virtual void progreso(int hechos, int total, const QString& codcentro)
    {
        Q_UNUSED(hechos);
        Q_UNUSED(total);
        Q_UNUSED(codcentro);
    }
};

struct PeticionSalida
{
    QStringList centros; // centre entries "codcentro - nombre"
    // The code of each entry as it was looked up; when empty, the entry's first token. A code holding a
    // space ("01 7") loses its second half as a token.
    QStringList codigosCentros;
    QList<qint64> idsCentros; // the id of each entry; the selected centre is read by it
    qint64 idempresa = 0;     // an all-centres run prints the centres this company has when it starts
    int centroSeleccionado = -1;
    bool todosCentros = false;
    QStringList trabajadores; // worker entries of the selected centre
    int trabajadorSeleccionado = -1;
    QString textoTrabajador;
    bool todosTrabajadores = false;
    QDate mesInicio;
    QDate mesFin;
    OpcionesHoja opciones;
    ModoSalida modo = ModoSalida::Pdf;
    QString rutaPdf;
    // Centres written at once in a PDF run of every centre, each by its own store connection; printer and
    // preview go one centre at a time.
    int hilos = 1;
};

// One per core, but no more than four: each writer holds some 30 MB while it compresses a page.
int hilosPorDefecto();

struct ResultadoSalida
{
    enum class Estado {
        Rechazada, // refused with a message, nothing touched
        Interrumpida,
        Terminada,
        Incompleta // went to its end, but some centre was not printed: the printer did not take it, the centre
                   // was deleted meanwhile or its row could not be read (see the log)
    };
    Estado estado = Estado::Rechazada;
    std::optional<bool> correoHabilitado; // the two mail actions; nullopt leaves them as they are
    QStringList log;                      // with the separator and the hint when not empty
    QStringList ficheros;                 // PDF files written
    int hojas = 0;                        // pages written into them, as the export counted them
    bool abrirCarpeta = false;            // open the PDF folder in the desktop shell
};

extern const QString kTextoSinTrabajadores;     // "No hay trabajadores en este centro"
extern const QString kTextoInterrumpido;        // "Se ha interrumpido el proceso de impresión"
extern const QString kTextoSinCarpeta;          // PDF run without a folder in the settings
extern const QString kTextoNoEsCarpeta;         // "%1": the path, which names a file
extern const QString kTextoCarpetaNoCreada;     // "%1": the folder that could not be created
extern const QString kTextoCarpetaSinEscritura; // "%1": the folder
extern const QString kSeparadorLog;
extern const QString kCierreLog;

// What a PDF run leaves, for the clerk: "2 ficheros PDF (12 hojas) en <carpeta>", singular for one.
QString textoResumenPdf(int ficheros, int hojas, const QString& carpeta);

// What the clerk is told when the printer does not take a job, or holds it.
QString textoImpresoraEnPausa(const QString& impresora);
QString textoNoImpreso(const reports::PrintResult& impresion, const QString& codigo);

// "Quorvel_<codcentro>_<yyyymm>[-<yyyymm>].pdf"; the template passes "blanco" and never gets the end month.
QString nombrePdf(const QString& codcentro, QDate mesInicio, QDate mesFin);
// Creates the folder (one level) and deletes only the Quorvel_*.pdf files in it, letter case included.
void CreaCarpetayBorraArchivos(const QString& ruta);
// Empty when PDF files can be written into the folder (created here, one level, when missing); otherwise why
// not, for the user. Nothing in the folder is touched.
QString comprobarCarpetaPdf(const QString& ruta);
// The code of centre entry `posicion` of a request.
QString codigoCentro(const PeticionSalida& peticion, int posicion);

// The run of "Generar/Imprimir ficheros". Before the folder is cleared it checks the months, the folder (PDF
// mode) and that the tables it reads can be read; a failure there is a message and nothing is touched.
// Later errors of the store or an unwritable PDF throw; the run ends there.
// The stop request belongs to the caller, who clears it before the run and after an interrupted one.
ResultadoSalida GenerarFicheroImprimir(store::Database& db, const PeticionSalida& peticion,
                                       InteraccionSalida& interaccion);
// Prints or exports the current content of Listado for a centre code or "blanco"; returns the PDF written.
// A printed or previewed report is titled as its PDF would be named; `impresion` receives the printer's answer,
// `hojas` the pages of the PDF.
QString ImprimirListado(store::Database& db, const QString& codigo, const PeticionSalida& peticion,
                        InteraccionSalida& interaccion, reports::PrintResult* impresion = nullptr,
                        int* hojas = nullptr);
// The blank template of the start month, on the base calendar.
ResultadoSalida HojaBlanco(store::Database& db, const PeticionSalida& peticion, InteraccionSalida& interaccion);
