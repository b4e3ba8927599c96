// Each failure of the store brought about by its real cause, and read the same from a record editor as from the
// general handler (here the settings screen, whose "Grabar" has no handling of its own).
#include "gui/MaestrosPruebas.h"

#include "mail/TFormManConstantes.h"
#include "masterdata/TFormManCentros.h"

#include <QDir>
#include <QFile>
#include <QToolButton>
#include <cerrno>
#include <cstring>
#include <sys/mount.h>

namespace {

const QString kLleno = QStringLiteral(
    "El disco de la base de datos está lleno. No se ha guardado nada de esta operación: libere espacio en esa "
    "unidad y vuelva a intentarlo (database or disk is full)");
const QString kSoloLectura = QStringLiteral(
    "No se puede escribir en la base de datos: el fichero o su carpeta son de solo lectura. Pida permiso de "
    "escritura o copie el fichero a una carpeta en la que pueda escribir (attempt to write a readonly database)");
const QString kDanado = QStringLiteral(
    "El fichero de la base de datos está dañado. No siga trabajando con él: haga una copia del fichero tal como "
    "está y recupere la última copia de seguridad (database disk image is malformed)");

class MensajesAlmacenTest : public MaestrosTest
{
protected:
    void TearDown() override
    {
        m_md.reset();
        if (m_montado)
            umount2(m_carpeta.toLocal8Bit().constData(), MNT_DETACH);
    }

    // The database in a folder of its own file system, `opciones` giving its size. Mounting needs the
    // privilege to; without it the test says so and is skipped.
    bool montar(const QByteArray& opciones)
    {
        m_carpeta = m_dir.file(QStringLiteral("montaje"));
        QDir().mkpath(m_carpeta);
        if (mount("tmpfs", m_carpeta.toLocal8Bit().constData(), "tmpfs", 0, opciones.constData()) != 0) {
            m_motivo = QStringLiteral("no se puede montar un tmpfs aquí (mount: %1)")
                           .arg(QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
        m_montado = true;
        m_md = std::make_unique<TMD>(QDir(m_carpeta).filePath(QStringLiteral("Quorvel.abs")));
        m_md->Calenxcentros = true;
        return true;
    }
    bool soloLectura()
    {
        return mount(nullptr, m_carpeta.toLocal8Bit().constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }
    // Writes zeros until the file system has no room left.
    void llenar()
    {
        QFile relleno(QDir(m_carpeta).filePath(QStringLiteral("relleno")));
        ASSERT_TRUE(relleno.open(QIODevice::WriteOnly));
        const QByteArray bloque(4096, '\0');
        while (relleno.write(bloque) == bloque.size() && relleno.flush()) {
        }
    }

    // What the user reads when a centre's change is stored from its editor, and when the settings are;
    // `averia` strikes once both windows have read their data.
    QStringList dosVoces(
        qint64 idCentro, const std::function<void()>& averia = [] {})
    {
        m_guion.errores.clear();
        m_guion.mensajes.clear();
        TFormManCentros editor(*m_md);
        editor.IdCentroEdit = idCentro;
        editor.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&editor));
        escribir(&editor, "DBNOMCENTRO", QStringLiteral("oficinas nuevas"));
        TFormManConstantes pantalla(db());
        pantalla.show();
        QTest::mouseClick(hijo<QAbstractButton>(&pantalla, "DBCKImpresora"), Qt::LeftButton);
        averia();
        pulsar(&editor, "BotGrabar");
        EXPECT_TRUE(editor.isVisible()) << "the window closed on a failed store";
        EXPECT_EQ(texto(&editor, "DBNOMCENTRO"), QStringLiteral("OFICINAS NUEVAS"));
        QTest::mouseClick(hijo<QToolButton>(&pantalla, "DBNavigator1Post"), Qt::LeftButton);
        EXPECT_TRUE(pantalla.isVisible());
        EXPECT_TRUE(m_guion.mensajes.isEmpty()) << m_guion.mensajes.join(u'\n').toStdString();
        return m_guion.errores;
    }

    QString m_carpeta;
    QString m_motivo;
    bool m_montado = false;
};

TEST_F(MensajesAlmacenTest, AFullDiskReadsTheSameEverywhere)
{
    if (!montar("size=1m"))
        GTEST_SKIP() << m_motivo.toStdString();
    const qint64 empresa = fixture::empresa(db(), QStringLiteral("UNO"), {}, {});
    const auto centro = fixture::centro(db(), empresa, QStringLiteral("A1"), QStringLiteral("ALMACÉN"));
    llenar();
    EXPECT_EQ(dosVoces(centro.id), QStringList({kLleno, kLleno}));
}

TEST_F(MensajesAlmacenTest, AReadOnlyFileReadsTheSameEverywhere)
{
    if (!montar("size=4m"))
        GTEST_SKIP() << m_motivo.toStdString();
    const qint64 empresa = fixture::empresa(db(), QStringLiteral("UNO"), {}, {});
    const auto centro = fixture::centro(db(), empresa, QStringLiteral("A1"), QStringLiteral("ALMACÉN"));
    // A read-only file system: the one read-only file that even the superuser cannot write.
    m_md = std::make_unique<TMD>(m_md->rutaBaseDatos());
    ASSERT_TRUE(soloLectura()) << std::strerror(errno);
    EXPECT_EQ(dosVoces(centro.id), QStringList({kSoloLectura, kSoloLectura}));
}

TEST_F(MensajesAlmacenTest, ATruncatedFileReadsTheSameEverywhere)
{
    const qint64 empresa = fixture::empresa(db(), QStringLiteral("UNO"), {}, {});
    const auto centro = fixture::centro(db(), empresa, QStringLiteral("A1"), QStringLiteral("ALMACÉN"));
    fixture::crearEjemplo(db());
    // Cut short while open, as a copy over a failing network share leaves it.
    QFile f(m_md->rutaBaseDatos());
    const qint64 mitad = f.size() / 2;
    EXPECT_EQ(dosVoces(centro.id, [&] { ASSERT_TRUE(f.resize(mitad)); }), QStringList({kDanado, kDanado}));
}

TEST_F(MensajesAlmacenTest, AnIoErrorReadsTheSameEverywhere)
{
    const qint64 empresa = fixture::empresa(db(), QStringLiteral("UNO"), {}, {});
    const auto centro = fixture::centro(db(), empresa, QStringLiteral("A1"), QStringLiteral("ALMACÉN"));
    // A folder where the store writes its journal beside the file: the writes and reads of it fail.
    const QString diario = m_md->rutaBaseDatos() + QStringLiteral("-journal");
    const QString kEs = QStringLiteral(
        "Ha fallado la lectura o la escritura en el disco de la base de datos. Compruebe que queda espacio libre y "
        "que la unidad sigue disponible, y vuelva a intentarlo (disk I/O error)");
    EXPECT_EQ(dosVoces(centro.id, [&] { QDir().mkpath(diario); }), QStringList({kEs, kEs}));
    QDir().rmdir(diario);
}

} // namespace
