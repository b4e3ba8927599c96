#include "support/ServidorSmtps.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

namespace {

const QString kPython = QStringLiteral("/usr/bin/python3");

struct Certificados
{
    QTemporaryDir dir;
    QString confiable;
    QString claveConfiable;
    QString ajeno;
    QString claveAjeno;
};

bool generar(const QString& cert, const QString& clave)
{
    QProcess p;
    p.start(QStringLiteral("openssl"),
            {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("ec"),
             QStringLiteral("-pkeyopt"), QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
             QStringLiteral("-keyout"), clave, QStringLiteral("-out"), cert, QStringLiteral("-days"),
             QStringLiteral("3"), QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-addext"),
             QStringLiteral("subjectAltName=IP:127.0.0.1,DNS:localhost")});
    return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

Certificados& certificados()
{
    static Certificados c = [] {
        Certificados n;
        n.confiable = n.dir.filePath(QStringLiteral("confiable.pem"));
        n.claveConfiable = n.dir.filePath(QStringLiteral("confiable.key"));
        n.ajeno = n.dir.filePath(QStringLiteral("ajeno.pem"));
        n.claveAjeno = n.dir.filePath(QStringLiteral("ajeno.key"));
        generar(n.confiable, n.claveConfiable);
        generar(n.ajeno, n.claveAjeno);
        return n;
    }();
    return c;
}

} // namespace

QString ServidorSmtps::faltaAlgo()
{
    // Only a missing package excuses a mail test; a module that is there but fails to load must fail the
    // test when the server does not start.
    if (!QFile::exists(kPython))
        return QStringLiteral("/usr/bin/python3 is not installed (tools/paquetes.sh installs python3-aiosmtpd)");
    if (QStandardPaths::findExecutable(QStringLiteral("openssl")).isEmpty())
        return QStringLiteral("openssl is not installed (tools/paquetes.sh installs it)");
    QProcess p;
    p.start(kPython, {QStringLiteral("-c"),
                      QStringLiteral("import importlib.util, sys; sys.exit(0 if importlib.util.find_spec('aiosmtpd') "
                                     "else 3)")});
    if (p.waitForFinished(20000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 3)
        return QStringLiteral("python3-aiosmtpd is not installed (tools/paquetes.sh installs it)");
    return {};
}

void ServidorSmtps::confiarEnCertificado()
{
    qputenv("SSL_CERT_FILE", QFile::encodeName(certificados().confiable));
}

ServidorSmtps::ServidorSmtps(Modo modo, QString usuario, QString clave)
    : m_modo(modo), m_usuario(std::move(usuario)), m_clave(std::move(clave))
{
}

ServidorSmtps::~ServidorSmtps()
{
    parar();
}

QString ServidorSmtps::arrancar()
{
    confiarEnCertificado();
    const Certificados& c = certificados();
    if (!QFile::exists(c.confiable) || !QFile::exists(c.ajeno))
        return QStringLiteral("openssl could not make the test certificates");
    const bool ajeno = m_modo == Modo::NoConfiable;
    const QString modo = m_modo == Modo::Plano         ? QStringLiteral("plano")
                         : m_modo == Modo::Mudo        ? QStringLiteral("mudo")
                         : m_modo == Modo::CallaDatos  ? QStringLiteral("calla_datos")
                         : m_modo == Modo::GoteoSaludo ? QStringLiteral("goteo_saludo")
                         : m_modo == Modo::GoteoDatos  ? QStringLiteral("goteo_datos")
                         : m_modo == Modo::CallaQuit   ? QStringLiteral("calla_quit")
                         : m_modo == Modo::Ligero      ? QStringLiteral("ligero")
                                                       : QStringLiteral("tls");
    m_proceso = std::make_unique<QProcess>();
    m_proceso->setProcessChannelMode(QProcess::SeparateChannels);
    m_proceso->start(kPython, {QStringLiteral(QUORVEL_SERVIDOR_SMTPS), modo, ajeno ? c.ajeno : c.confiable,
                               ajeno ? c.claveAjeno : c.claveConfiable, m_buzon.path(), m_usuario, m_clave});
    QDeadlineTimer limite(20000);
    QByteArray leido;
    while (!limite.hasExpired()) {
        if (m_proceso->state() == QProcess::NotRunning)
            break;
        m_proceso->waitForReadyRead(200);
        leido += m_proceso->readAllStandardOutput();
        const qsizetype i = leido.indexOf("PUERTO ");
        const qsizetype fin = leido.indexOf('\n', i);
        if (i >= 0 && fin > i) {
            m_puerto = leido.mid(i + 7, fin - i - 7).trimmed().toInt();
            return {};
        }
    }
    const QString error = QString::fromLocal8Bit(m_proceso->readAllStandardError());
    parar();
    return QStringLiteral("the SMTP server did not start: ") + error;
}

void ServidorSmtps::parar()
{
    if (!m_proceso)
        return;
    if (m_proceso->state() != QProcess::NotRunning) {
        m_proceso->terminate();
        if (!m_proceso->waitForFinished(5000)) {
            m_proceso->kill();
            m_proceso->waitForFinished(5000);
        }
    }
    m_proceso.reset();
}

QList<QJsonObject> ServidorSmtps::mensajes() const
{
    QList<QJsonObject> lista;
    for (int n = 1;; ++n) {
        QFile f(QDir(m_buzon.path()).filePath(QStringLiteral("%1.json").arg(n)));
        if (!f.open(QIODevice::ReadOnly))
            break;
        lista << QJsonDocument::fromJson(f.readAll()).object();
    }
    return lista;
}

QStringList ServidorSmtps::dialogo() const
{
    QStringList lineas;
    QFile f(QDir(m_buzon.path()).filePath(QStringLiteral("dialogo.log")));
    if (!f.open(QIODevice::ReadOnly))
        return lineas;
    for (const QByteArray& l : f.readAll().split('\n')) {
        if (!l.isEmpty())
            lineas << QJsonDocument::fromJson("[" + l + "]").array().at(0).toString();
    }
    return lineas;
}

QStringList ServidorSmtps::sobres() const
{
    QStringList lineas;
    for (QString l : dialogo()) {
        if (l.startsWith(QStringLiteral("MAIL")) || l.startsWith(QStringLiteral("RCPT")))
            lineas << l.remove(QRegularExpression(QStringLiteral(" SIZE=\\d+$")));
    }
    return lineas;
}

QStringList ServidorSmtps::malFormados() const
{
    QFile f(QDir(m_buzon.path()).filePath(QStringLiteral("errores.log")));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
}
