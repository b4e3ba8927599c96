#pragma once

#include "support/TempDir.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <cups/cups.h>
#include <gtest/gtest.h>
#include <vector>

// A CUPS scheduler of the test's own: configuration, spool, logs and socket in a temporary folder, so the
// machine's printers are never touched. The process talks to it while the object lives. Queues print to
// files (file:/// devices), and the spooled documents are kept, so a test can read back what was printed.
class ServidorCups
{
public:
    ServidorCups()
    {
        m_anteriorServidor = qgetenv("CUPS_SERVER");
        m_anteriorRaiz = qgetenv("CUPS_SERVERROOT");
        arrancar();
    }

    ~ServidorCups()
    {
        parar();
        restaurar("CUPS_SERVER", m_anteriorServidor);
        restaurar("CUPS_SERVERROOT", m_anteriorRaiz);
        cupsSetServer(nullptr);
    }

    ServidorCups(const ServidorCups&) = delete;
    ServidorCups& operator=(const ServidorCups&) = delete;

    bool enMarcha() const { return m_proceso.state() == QProcess::Running && m_motivo.isEmpty(); }
    // True only on a machine without the cups package: the one case a printing test may skip.
    bool faltaCups() const { return m_faltaCups; }
    // Why it could not start.
    const QString& motivo() const { return m_motivo; }

    // A file-backed queue. `conA4` false leaves a printer whose only paper is Letter.
    bool crearCola(const QString& cola, const QString& papel = QStringLiteral("A4"), bool conA4 = true,
                   bool predeterminada = true)
    {
        const QString ppd = carpeta(QStringLiteral("ppd-origen/") + cola + QStringLiteral(".ppd"));
        QFile f(ppd);
        if (!f.open(QIODevice::WriteOnly))
            return false;
        f.write(textoPpd(papel, conA4));
        f.close();
        QStringList args{QStringLiteral("-p"),
                         cola,
                         QStringLiteral("-E"),
                         QStringLiteral("-v"),
                         QStringLiteral("file://") + salida(cola),
                         QStringLiteral("-P"),
                         ppd};
        if (!orden(QStringLiteral("lpadmin"), args))
            return false;
        return !predeterminada || orden(QStringLiteral("lpadmin"), {QStringLiteral("-d"), cola});
    }

    // Runs a CUPS command (lpadmin, cupsreject, cupsdisable...) against this scheduler.
    bool orden(const QString& programa, const QStringList& args)
    {
        QProcess p;
        p.setProcessEnvironment(entorno());
        p.start(programa, args);
        const bool bien = p.waitForFinished(20000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
        if (!bien)
            m_ultimoError = QString::fromLocal8Bit(p.readAllStandardError());
        return bien;
    }
    const QString& ultimoError() const { return m_ultimoError; }

    void parar()
    {
        if (m_proceso.state() == QProcess::NotRunning)
            return;
        m_proceso.terminate();
        if (!m_proceso.waitForFinished(10000)) {
            m_proceso.kill();
            m_proceso.waitForFinished(5000);
        }
    }

    struct Trabajo
    {
        int id;
        QString cola;
        QString titulo;
        ipp_jstate_t estado;
    };

    // Every job the scheduler knows, oldest first.
    std::vector<Trabajo> trabajos() const
    {
        cups_job_t* jobs = nullptr;
        const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, nullptr, 0, CUPS_WHICHJOBS_ALL);
        std::vector<Trabajo> todos;
        for (int i = 0; i < n; ++i)
            todos.push_back(
                {jobs[i].id, QString::fromUtf8(jobs[i].dest), QString::fromUtf8(jobs[i].title), jobs[i].state});
        cupsFreeJobs(n, jobs);
        std::sort(todos.begin(), todos.end(), [](const Trabajo& a, const Trabajo& b) { return a.id < b.id; });
        return todos;
    }

    // Waits until no job is pending or printing (a held job on a paused queue never finishes).
    bool esperarTrabajos(int ms = 20000) const
    {
        QDeadlineTimer plazo(ms);
        while (!plazo.hasExpired()) {
            cups_job_t* jobs = nullptr;
            const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, nullptr, 0, CUPS_WHICHJOBS_ACTIVE);
            cupsFreeJobs(n, jobs);
            if (n == 0)
                return true;
            QThread::msleep(50);
        }
        return false;
    }

    // The document as the program handed it to the queue.
    QString documento(int idTrabajo) const
    {
        return carpeta(QStringLiteral("spool/d%1-001").arg(idTrabajo, 5, 10, QLatin1Char('0')));
    }
    // What the queue's device received after the print system's filters, as a PDF file (the printer's
    // job-control wrapper removed).
    QString impreso(const QString& cola) const
    {
        QFile f(salida(cola));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        const QByteArray datos = f.readAll();
        const qsizetype desde = datos.indexOf("%PDF");
        const qsizetype hasta = datos.lastIndexOf("%%EOF");
        if (desde < 0 || hasta < desde)
            return {};
        const QString pdf = carpeta(QStringLiteral("impreso-") + cola + QStringLiteral(".pdf"));
        QFile out(pdf);
        if (!out.open(QIODevice::WriteOnly))
            return {};
        out.write(datos.mid(desde, hasta + 5 - desde));
        return pdf;
    }

    // For a test's SetUp: skips where CUPS is not installed, fails where it is but did not start.
    void exigir() const
    {
        if (m_faltaCups)
            GTEST_SKIP() << m_motivo.toStdString();
        ASSERT_TRUE(enMarcha()) << "cupsd está instalado pero no arranca: " << m_motivo.toStdString();
    }

private:
    QString carpeta(const QString& nombre) const { return m_dir.file(nombre); }
    QString salida(const QString& cola) const
    {
        return carpeta(QStringLiteral("salida/") + cola + QStringLiteral(".prn"));
    }
    QString socket() const { return carpeta(QStringLiteral("cups.sock")); }

    QProcessEnvironment entorno() const
    {
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert(QStringLiteral("CUPS_SERVER"), socket());
        e.insert(QStringLiteral("CUPS_SERVERROOT"), carpeta(QStringLiteral("cliente")));
        e.remove(QStringLiteral("LPDEST"));
        e.remove(QStringLiteral("PRINTER"));
        return e;
    }

    static void restaurar(const char* variable, const QByteArray& valor)
    {
        if (valor.isNull())
            qunsetenv(variable);
        else
            qputenv(variable, valor);
    }

    // A PDF printer: the queue hands the filtered PDF to its device, so page sizes can be read back.
    static QByteArray textoPpd(const QString& papel, bool conA4)
    {
        QByteArray t = "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*FileVersion: \"1.0\"\n"
                       "*LanguageVersion: English\n*LanguageEncoding: ISOLatin1\n*PCFileName: \"PRUEBA.PPD\"\n"
                       "*Manufacturer: \"Pruebas\"\n*Product: \"(Impresora PDF)\"\n*ModelName: \"Impresora PDF\"\n"
                       "*ShortNickName: \"Impresora PDF\"\n*NickName: \"Impresora PDF\"\n"
                       "*PSVersion: \"(3010.000) 0\"\n*LanguageLevel: \"3\"\n*ColorDevice: False\n"
                       "*DefaultColorSpace: Gray\n*FileSystem: False\n*Throughput: \"1\"\n"
                       "*LandscapeOrientation: Plus90\n*TTRasterizer: Type42\n"
                       "*cupsFilter: \"application/vnd.cups-pdf 0 -\"\n";
        struct Papel
        {
            const char* nombre;
            const char* puntos;
        };
        std::vector<Papel> papeles{{"Letter", "612 792"}};
        if (conA4)
            papeles.push_back({"A4", "595 842"});
        const QByteArray defecto = papel.toLatin1();
        for (const char* clave : {"PageSize", "PageRegion"}) {
            t += "*OpenUI *" + QByteArray(clave) + ": PickOne\n*OrderDependency: 10 AnySetup *" + clave + "\n";
            t += "*Default" + QByteArray(clave) + ": " + defecto + "\n";
            for (const Papel& p : papeles)
                t += "*" + QByteArray(clave) + " " + p.nombre + ": \"\"\n";
            t += "*CloseUI: *" + QByteArray(clave) + "\n";
        }
        t += "*DefaultImageableArea: " + defecto + "\n";
        for (const Papel& p : papeles)
            t += "*ImageableArea " + QByteArray(p.nombre) + ": \"0 0 " + p.puntos + "\"\n";
        t += "*DefaultPaperDimension: " + defecto + "\n";
        for (const Papel& p : papeles)
            t += "*PaperDimension " + QByteArray(p.nombre) + ": \"" + p.puntos + "\"\n";
        return t;
    }

    void arrancar()
    {
        const QString cupsd = QStandardPaths::findExecutable(
            QStringLiteral("cupsd"), {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/local/sbin")});
        if (cupsd.isEmpty()) {
            m_faltaCups = true;
            m_motivo = QStringLiteral("no hay cupsd (tools/paquetes.sh instala el paquete cups)");
            return;
        }
        // The filters run as the scheduler's own user, which must reach the spool inside our folder.
        QFile::setPermissions(m_dir.path(), QFile::permissions(m_dir.path()) | QFile::ReadGroup | QFile::ExeGroup |
                                                QFile::ReadOther | QFile::ExeOther);
        for (const char* sub : {"etc", "spool/tmp", "cache", "state", "log", "salida", "ppd-origen", "cliente"})
            QDir().mkpath(carpeta(QString::fromLatin1(sub)));
        QFile::setPermissions(carpeta(QStringLiteral("spool/tmp")), QFile::Permissions(0x7777));
        escribir(QStringLiteral("etc/cupsd.conf"),
                 "Listen " + socket().toUtf8() +
                     "\nLogLevel warn\nBrowsing No\nWebInterface No\nDefaultAuthType None\n"
                     "PreserveJobFiles Yes\nMaxJobTime 60\n"
                     "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                     "<Policy default>\n  <Limit All>\n    Order deny,allow\n    Allow all\n  </Limit>\n</Policy>\n");
        const QByteArray raiz = m_dir.path().toUtf8();
        escribir(QStringLiteral("etc/cups-files.conf"),
                 "ServerRoot " + raiz + "/etc\nRequestRoot " + raiz + "/spool\nTempDir " + raiz +
                     "/spool/tmp\nCacheDir " + raiz + "/cache\nStateDir " + raiz + "/state\nErrorLog " + raiz +
                     "/log/error_log\nAccessLog " + raiz + "/log/access_log\nPageLog " + raiz +
                     "/log/page_log\nPrintcap " + raiz + "/printcap\nFileDevice Yes\n");
        escribir(QStringLiteral("cliente/client.conf"), "ServerName " + socket().toUtf8() + "\n");

        m_proceso.setProcessChannelMode(QProcess::MergedChannels);
        m_proceso.start(cupsd, {QStringLiteral("-f"), QStringLiteral("-c"), carpeta(QStringLiteral("etc/cupsd.conf")),
                                QStringLiteral("-s"), carpeta(QStringLiteral("etc/cups-files.conf"))});
        if (!m_proceso.waitForStarted(10000)) {
            m_motivo = QStringLiteral("cupsd no arranca: ") + m_proceso.errorString();
            return;
        }
        // This process, and Qt's print support in it, talk to our scheduler from now on.
        qputenv("CUPS_SERVER", socket().toUtf8());
        qputenv("CUPS_SERVERROOT", carpeta(QStringLiteral("cliente")).toUtf8());
        cupsSetServer(socket().toUtf8().constData());
        QDeadlineTimer plazo(15000);
        while (!plazo.hasExpired() && m_proceso.state() == QProcess::Running) {
            if (http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, HTTP_ENCRYPTION_IF_REQUESTED,
                                            1, 1000, nullptr)) {
                httpClose(http);
                return;
            }
            QThread::msleep(50);
        }
        m_proceso.waitForFinished(100);
        QFile log(carpeta(QStringLiteral("log/error_log")));
        log.open(QIODevice::ReadOnly);
        m_motivo = QStringLiteral("cupsd no responde: ") + QString::fromLocal8Bit(m_proceso.readAll()) +
                   QString::fromLocal8Bit(log.readAll());
        parar();
    }

    void escribir(const QString& nombre, const QByteArray& texto)
    {
        QFile f(carpeta(nombre));
        if (f.open(QIODevice::WriteOnly))
            f.write(texto);
    }

    TempDir m_dir;
    QProcess m_proceso;
    QString m_motivo;
    bool m_faltaCups = false;
    QString m_ultimoError;
    QByteArray m_anteriorServidor;
    QByteArray m_anteriorRaiz;
};
